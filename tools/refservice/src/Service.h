#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Config.h"
#include "EventLog.h"
#include "FaultTable.h"

// Shared state of one instance: its address and folders, the config, the
// faults, the log, the upload jobs and the connections being served.
class Service {
 public:
  static constexpr int kTransferPort = 7510;
  static constexpr int kDownloadPort = 7301;
  static constexpr int kUploadPort = 7310;
  static constexpr int kMaxConnections = 64;
  static constexpr int kIdleSeconds = 120;
  static constexpr size_t kMaxRegisteredJobs = 1024;
  static constexpr size_t kMaxFileIds = 10000;

  Service(std::string address, std::string root, std::string uploadDir, Config config);

  const std::string& address() const { return address_; }
  const std::string& root() const { return root_; }
  const std::string& uploadDir() const { return uploadDir_; }
  const Config& config() const { return config_; }
  FaultTable& faults() { return faults_; }
  EventLog& log() { return log_; }
  bool stopping() const { return stopping_.load(); }

  // Upload jobs: those of the config plus those registered over the web host.
  const UploadJob* FindUploadJob(const std::string& listCode);
  std::string RegisterUploadJob(UploadJob job);
  // File ids handed out for file signatures.
  int AssignFileId(const UploadItem& item);
  bool FindFileId(int id, UploadItem& item);
  std::string StoredUploadPath(const std::string& key, const std::string& name) const;
  const ServedFile* FindFileByCode(const std::string& code) const;
  const ServedFile* FindFileByKey(const std::string& key) const;
  std::string LocalPath(const ServedFile& file) const;

  // Accepts on `listenFd` until Stop(), serving each connection on its own thread.
  void StartAcceptor(int listenFd, std::string server, std::function<void(int fd, uint64_t conn)> handler);
  // Sleeps up to `ms`, returning early when the service stops.
  void Pause(int64_t ms);
  void Stop();

 private:
  void Serve(int fd, const std::string& server, const std::function<void(int, uint64_t)>& handler);

  std::string address_;
  std::string root_;
  std::string uploadDir_;
  Config config_;
  FaultTable faults_;
  EventLog log_;
  std::atomic<bool> stopping_{false};
  std::atomic<uint64_t> nextConn_{1};

  std::mutex jobsMutex_;
  std::deque<UploadJob> extraJobs_;
  int nextJob_ = 1;
  int nextKey_ = 1;
  std::map<int, UploadItem> fileIds_;
  int nextFileId_ = 1;

  std::mutex connMutex_;
  std::condition_variable connChanged_;
  std::set<int> openFds_;
  std::vector<std::thread> acceptors_;
  std::vector<int> listenFds_;
};

// Turns a CP949 wire text into one safe file name piece (UTF-8, no separators).
std::string SafeFileName(const std::string& cp949);
