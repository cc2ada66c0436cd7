#include "EventLog.h"

EventLog::EventLog() : start_(std::chrono::steady_clock::now()) {}

EventLog::~EventLog() {
  if (file_) fclose(file_);
}

bool EventLog::Open(const std::string& path) {
  file_ = fopen(path.c_str(), "a");
  return file_ != nullptr;
}

void EventLog::Write(const std::string& server, const std::string& event, nlohmann::json fields) {
  if (!fields.is_object()) fields = nlohmann::json::object();
  std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
  fields["time"] = elapsed.count();
  fields["server"] = server;
  fields["event"] = event;
  // Texts were converted to UTF-8 before; replace anything invalid rather than throw.
  std::string line = fields.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!file_) return;
  fputs(line.c_str(), file_);
  fputc('\n', file_);
  fflush(file_);
}
