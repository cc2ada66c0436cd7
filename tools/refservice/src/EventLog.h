#pragma once
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

#include <nlohmann/json.hpp>

// The JSON-lines log of every exchange; each line is flushed as written so
// tests can read it while the service runs.
class EventLog {
 public:
  EventLog();
  ~EventLog();
  bool Open(const std::string& path);
  void Write(const std::string& server, const std::string& event, nlohmann::json fields = {});

 private:
  std::mutex mutex_;
  FILE* file_ = nullptr;
  std::chrono::steady_clock::time_point start_;
};
