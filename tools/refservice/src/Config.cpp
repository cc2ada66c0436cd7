#include "Config.h"

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "Cp949.h"

using nlohmann::json;

namespace {

std::string Where(const std::string& context, const char* field) {
  return context + "." + field;
}

std::string Text(const json& object, const char* field, const std::string& context,
                 const std::string& fallback = "") {
  if (!object.contains(field) || object[field].is_null()) return fallback;
  if (!object[field].is_string())
    throw std::runtime_error(Where(context, field) + " must be a string");
  return object[field].get<std::string>();
}

std::string WireText(const json& object, const char* field, const std::string& context,
                     const std::string& fallback = "") {
  if (!object.contains(field) || object[field].is_null()) return fallback;
  auto converted = Utf8ToCp949(Text(object, field, context));
  if (!converted) throw std::runtime_error(Where(context, field) + " cannot be written in CP949");
  return *converted;
}

int64_t Number(const json& object, const char* field, const std::string& context, int64_t fallback) {
  if (!object.contains(field) || object[field].is_null()) return fallback;
  if (!object[field].is_number_integer())
    throw std::runtime_error(Where(context, field) + " must be an integer");
  return object[field].get<int64_t>();
}

bool Flag(const json& object, const char* field, const std::string& context) {
  if (!object.contains(field) || object[field].is_null()) return false;
  if (!object[field].is_boolean()) throw std::runtime_error(Where(context, field) + " must be true or false");
  return object[field].get<bool>();
}

const json& List(const json& root, const char* field) {
  static const json empty = json::array();
  if (!root.contains(field)) return empty;
  if (!root[field].is_array()) throw std::runtime_error(std::string(field) + " must be an array");
  return root[field];
}

void CheckObject(const json& value, const std::string& context) {
  if (!value.is_object()) throw std::runtime_error(context + " must be an object");
}

Member ReadMember(const json& m, const std::string& ctx) {
  CheckObject(m, ctx);
  Member member;
  member.id = WireText(m, "id", ctx);
  if (member.id.empty()) throw std::runtime_error(ctx + ".id is missing");
  member.megabytes = Number(m, "megabytes", ctx, 0);
  member.plan = WireText(m, "plan", ctx);
  member.expiry = Number(m, "expiry", ctx, 0);
  member.overUser = Flag(m, "over_user", ctx);
  return member;
}

ServedFile ReadFile(const json& f, const std::string& ctx, const std::string& dataServer) {
  CheckObject(f, ctx);
  ServedFile file;
  file.code = WireText(f, "code", ctx);
  if (file.code.empty()) throw std::runtime_error(ctx + ".code is missing");
  file.name = WireText(f, "name", ctx);
  file.path = Text(f, "path", ctx, Text(f, "name", ctx));
  if (file.path.empty()) throw std::runtime_error(ctx + " needs a path or a name");
  if (file.path.find("..") != std::string::npos || file.path[0] == '/')
    throw std::runtime_error(ctx + ".path must stay inside the root");
  file.key = WireText(f, "key", ctx, file.code);
  file.subfolder = WireText(f, "subfolder", ctx);
  file.dataServer = WireText(f, "data_server", ctx, dataServer);
  if (f.contains("size") && !f["size"].is_null()) file.size = Number(f, "size", ctx, 0);
  return file;
}

UploadJob ReadUploadJob(const json& j, const std::string& ctx, const std::string& dataServer,
                        int& keyCounter) {
  CheckObject(j, ctx);
  UploadJob job;
  job.listCode = WireText(j, "list_code", ctx);
  if (job.listCode.empty()) throw std::runtime_error(ctx + ".list_code is missing");
  const json& items = List(j, "files");
  for (size_t i = 0; i < items.size(); ++i) {
    std::string ictx = ctx + ".files[" + std::to_string(i) + "]";
    CheckObject(items[i], ictx);
    UploadItem item;
    item.path = WireText(items[i], "path", ictx);
    item.size = Number(items[i], "size", ictx, 0);
    item.name = WireText(items[i], "name", ictx, LastPathPiece(item.path));
    item.file = WireText(items[i], "file", ictx, item.name);
    item.key = WireText(items[i], "key", ictx);
    if (item.key.empty()) item.key = "U" + std::to_string(++keyCounter);
    item.dataServer = WireText(items[i], "data_server", ictx, dataServer);
    job.items.push_back(item);
  }
  return job;
}

Fault ReadFault(const json& f, const std::string& ctx) {
  static const std::set<std::string> places = {"transfer", "download", "upload", "http"};
  CheckObject(f, ctx);
  Fault fault;
  fault.on = Text(f, "on", ctx);
  if (!places.count(fault.on)) throw std::runtime_error(ctx + ".on must be transfer, download, upload or http");
  fault.action = Text(f, "action", ctx);
  if (fault.action.empty()) throw std::runtime_error(ctx + ".action is missing");
  fault.request = WireText(f, "request", ctx);
  fault.after = WireText(f, "after", ctx);
  fault.key = WireText(f, "key", ctx);
  fault.name = WireText(f, "name", ctx);
  fault.path = Text(f, "path", ctx);
  if (f.contains("text") && !f["text"].is_null()) fault.text = WireText(f, "text", ctx);
  fault.bytes = Number(f, "bytes", ctx, 0);
  fault.value = Number(f, "value", ctx, 0);
  fault.ms = Number(f, "ms", ctx, 100);
  fault.msGiven = f.contains("ms");
  fault.status = static_cast<int>(Number(f, "status", ctx, 0));
  fault.location = Text(f, "location", ctx);
  fault.reset = Flag(f, "reset", ctx);
  fault.times = Number(f, "times", ctx, -1);
  fault.skip = Number(f, "skip", ctx, 0);
  return fault;
}

}  // namespace

std::string LastPathPiece(const std::string& path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < path.size()) {
      ++i;
    } else if (c == '\\') {
      start = i + 1;
    }
  }
  return path.substr(start);
}

Config LoadConfig(const std::string& path, const std::string& defaultDataServer) {
  Config config;
  config.dataServer = defaultDataServer;
  if (path.empty()) return config;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read config " + path);
  json root;
  try {
    root = json::parse(in);
  } catch (const json::exception& e) {
    throw std::runtime_error("config " + path + " is not valid JSON: " + e.what());
  }
  CheckObject(root, "config");
  config.dataServer = WireText(root, "data_server", "config", defaultDataServer);
  const json& members = List(root, "members");
  for (size_t i = 0; i < members.size(); ++i)
    config.members.push_back(ReadMember(members[i], "members[" + std::to_string(i) + "]"));
  const json& files = List(root, "files");
  for (size_t i = 0; i < files.size(); ++i)
    config.files.push_back(ReadFile(files[i], "files[" + std::to_string(i) + "]", config.dataServer));
  int keyCounter = 0;
  const json& jobs = List(root, "upload_jobs");
  for (size_t i = 0; i < jobs.size(); ++i)
    config.uploadJobs.push_back(
        ReadUploadJob(jobs[i], "upload_jobs[" + std::to_string(i) + "]", config.dataServer, keyCounter));
  const json& faults = List(root, "faults");
  for (size_t i = 0; i < faults.size(); ++i)
    config.faults.push_back(ReadFault(faults[i], "faults[" + std::to_string(i) + "]"));
  return config;
}
