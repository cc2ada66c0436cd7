#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Every text below that goes on the wire is held as CP949 bytes; paths on
// this machine (`path` of a served file) stay UTF-8.

struct Member {
  std::string id;
  int64_t megabytes = 0;
  std::string plan;
  int64_t expiry = 0;
  bool overUser = false;
};

struct ServedFile {
  std::string code;
  std::string name;
  std::string key;
  std::string subfolder;
  std::string path;  // relative to the root, UTF-8
  std::string dataServer;
  std::optional<int64_t> size;
};

struct UploadItem {
  std::string key;
  std::string name;
  std::string file;
  std::string path;
  std::string dataServer;
  int64_t size = 0;
};

struct UploadJob {
  std::string listCode;
  std::vector<UploadItem> items;
};

struct Fault {
  std::string on;
  std::string action;
  // filters (empty: any)
  std::string request;
  std::string after;
  std::string key;
  std::string name;
  std::string path;
  // parameters
  std::optional<std::string> text;
  int64_t bytes = 0;
  int64_t value = 0;
  int64_t ms = 100;
  bool msGiven = false;  // an upload drop waits only when its ms is given
  int status = 0;
  std::string location;
  bool reset = false;
  int64_t times = -1;
  int64_t skip = 0;
};

struct Config {
  std::string dataServer;
  std::vector<Member> members;
  std::vector<ServedFile> files;
  std::vector<UploadJob> uploadJobs;
  std::vector<Fault> faults;
};

// Reads the config file; throws std::runtime_error with a clear reason.
Config LoadConfig(const std::string& path, const std::string& defaultDataServer);
// The name after the last "\" (CP949-aware), or the whole text.
std::string LastPathPiece(const std::string& cp949Path);
