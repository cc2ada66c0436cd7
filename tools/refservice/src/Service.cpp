#include "Service.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "Cp949.h"
#include "Net.h"

Service::Service(std::string address, std::string root, std::string uploadDir, Config config)
    : address_(std::move(address)),
      root_(std::move(root)),
      uploadDir_(std::move(uploadDir)),
      config_(std::move(config)),
      faults_(config_.faults) {}

const UploadJob* Service::FindUploadJob(const std::string& listCode) {
  for (const auto& job : config_.uploadJobs)
    if (job.listCode == listCode) return &job;
  std::lock_guard<std::mutex> lock(jobsMutex_);
  for (const auto& job : extraJobs_)
    if (job.listCode == listCode) return &job;
  return nullptr;
}

std::string Service::RegisterUploadJob(UploadJob job) {
  std::lock_guard<std::mutex> lock(jobsMutex_);
  if (job.listCode.empty()) job.listCode = "W" + std::to_string(nextJob_++);
  for (auto& item : job.items) {
    if (item.key.empty()) item.key = "W" + std::to_string(nextKey_++);
    if (item.dataServer.empty()) item.dataServer = config_.dataServer;
  }
  // A deque only ever appended to keeps the jobs handed out in place.
  if (extraJobs_.size() >= kMaxRegisteredJobs) return "";
  extraJobs_.push_back(std::move(job));
  return extraJobs_.back().listCode;
}

int Service::AssignFileId(const UploadItem& item) {
  std::lock_guard<std::mutex> lock(jobsMutex_);
  if (fileIds_.size() >= kMaxFileIds) fileIds_.erase(fileIds_.begin());
  int id = nextFileId_++;
  fileIds_[id] = item;
  return id;
}

bool Service::FindFileId(int id, UploadItem& item) {
  std::lock_guard<std::mutex> lock(jobsMutex_);
  auto it = fileIds_.find(id);
  if (it == fileIds_.end()) return false;
  item = it->second;
  return true;
}

std::string SafeFileName(const std::string& cp949) {
  std::string name = Cp949ToUtf8(cp949);
  for (char& c : name)
    if (c == '/' || c == '\\' || c == '\0') c = '_';
  if (name.empty() || name == "." || name == "..") name = "_" + name;
  return name;
}

std::string Service::StoredUploadPath(const std::string& key, const std::string& name) const {
  return uploadDir_ + "/" + SafeFileName(key) + "/" + SafeFileName(name);
}

const ServedFile* Service::FindFileByCode(const std::string& code) const {
  for (const auto& f : config_.files)
    if (f.code == code) return &f;
  return nullptr;
}

const ServedFile* Service::FindFileByKey(const std::string& key) const {
  for (const auto& f : config_.files)
    if (f.key == key) return &f;
  return nullptr;
}

std::string Service::LocalPath(const ServedFile& file) const { return root_ + "/" + file.path; }

void Service::StartAcceptor(int listenFd, std::string server,
                            std::function<void(int, uint64_t)> handler) {
  listenFds_.push_back(listenFd);
  acceptors_.emplace_back([this, listenFd, server, handler] {
    while (!stopping_) {
      pollfd p{listenFd, POLLIN, 0};
      if (poll(&p, 1, 200) <= 0) continue;
      int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      Serve(fd, server, handler);
    }
  });
}

void Service::Serve(int fd, const std::string& server, const std::function<void(int, uint64_t)>& handler) {
  uint64_t conn = nextConn_++;
  {
    std::lock_guard<std::mutex> lock(connMutex_);
    if (static_cast<int>(openFds_.size()) >= kMaxConnections) {
      log_.Write(server, "error", {{"conn", conn}, {"peer", PeerText(fd)}, {"reason", "over capacity"}});
      close(fd);
      return;
    }
    openFds_.insert(fd);
  }
  std::thread([this, fd, conn, server, handler] {
    SetTimeouts(fd, kIdleSeconds);
    log_.Write(server, "open", {{"conn", conn}, {"peer", PeerText(fd)}});
    try {
      handler(fd, conn);
    } catch (const std::exception& e) {
      log_.Write(server, "error", {{"conn", conn}, {"reason", e.what()}});
    }
    log_.Write(server, "close", {{"conn", conn}});
    std::lock_guard<std::mutex> lock(connMutex_);
    close(fd);
    openFds_.erase(fd);
    connChanged_.notify_all();
  }).detach();
}

void Service::Pause(int64_t ms) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!stopping_ && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min<int64_t>(ms, 20)));
}

void Service::Stop() {
  stopping_ = true;
  for (auto& t : acceptors_) t.join();
  for (int fd : listenFds_) close(fd);
  std::unique_lock<std::mutex> lock(connMutex_);
  for (int fd : openFds_) shutdown(fd, SHUT_RDWR);
  connChanged_.wait_for(lock, std::chrono::seconds(3), [this] { return openFds_.empty(); });
}
