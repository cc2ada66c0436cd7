#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Starts the refservice program on its own address with a config and a root
// folder of its own, and talks to it over plain sockets. Every wait is bounded.
class RefServiceHarness {
 public:
  explicit RefServiceHarness(std::string address);
  ~RefServiceHarness();

  const std::string& address() const { return address_; }
  const std::string& root() const { return root_; }
  std::string uploadDir() const { return root_ + "/uploads"; }
  int webPort() const { return webPort_; }

  void WriteFile(const std::string& relative, const std::string& content);
  // Starts with `config`; false (and the program's error text) when it does not become ready.
  bool Start(const nlohmann::json& config, int webPort = 0);
  void Stop();
  std::vector<nlohmann::json> Events(const std::string& server, const std::string& event) const;
  // Events once at least `count` of them are logged (or what there is after 5 s).
  std::vector<nlohmann::json> WaitForEvents(const std::string& server, const std::string& event, size_t count) const;
  const std::string& startError() const { return startError_; }

 private:
  std::string address_;
  std::string dir_;
  std::string root_;
  int webPort_ = 0;
  pid_t pid_ = -1;
  std::string startError_;
};

// Socket client helpers (all with 5 s time-outs).
int ConnectTo(const std::string& address, int port);
bool SendText(int fd, const std::string& text);
// One reply: what one receive returns; "" when the peer closed.
std::string ReceiveOnce(int fd);
std::string Transact(int fd, const std::string& request);
// Everything up to the peer's close (or error/time-out, then `*clean` is false).
std::string ReceiveAll(int fd, bool* clean = nullptr);
// A 2048-byte request block holding `text` and zero bytes.
std::string Block(const std::string& text);
std::string PatternBytes(size_t size, unsigned seed);
std::string ReadLocalFile(const std::string& path);
