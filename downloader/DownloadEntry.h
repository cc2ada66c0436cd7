#pragma once
// One file of a download job. The window's thread and the download worker use
// the entry being downloaded at the same time without a lock: the fields the
// worker writes (requested flag, state, received) and the 64-bit size are
// atomics, so every read sees a whole, fresh value. Entries are copied whole
// when rows are reordered.
#include <atomic>
#include <cstdint>
#include <string>

#include "TransferListRules.h"

// The states are the transfer list's (TransferListRules.h).
constexpr std::int32_t kEntryWaiting = transfer_rules::kWaiting;
constexpr std::int32_t kEntryDownloading = transfer_rules::kTransferring;
constexpr std::int32_t kEntryStopped = transfer_rules::kStopped;    // stop requested by the user, or stopped
constexpr std::int32_t kEntryComplete = transfer_rules::kComplete;
constexpr std::int32_t kEntryFailed = transfer_rules::kFailed;      // retries used up; skipped until the next full pass

struct DownloadEntry {
  std::string fileCode;
  std::string name;
  std::string localFolder;  // save folder + subfolder
  std::string baseFolder;   // the job's save folder
  std::string subfolder;    // relative, each level ending with "\"
  std::atomic<std::int32_t> requested{0};  // 1 from the request until the file completes
  std::atomic<std::int32_t> state{kEntryWaiting};
  std::atomic<std::int64_t> received{0};   // bytes of the file on disk
  std::atomic<std::int64_t> size{0};
  std::string dataServer;  // dotted IPv4
  std::string extension;
  std::string serverKey;
  std::string rawReply;  // the file reply as received

  DownloadEntry() = default;
  DownloadEntry(const DownloadEntry& other) { *this = other; }
  DownloadEntry& operator=(const DownloadEntry& other) {
    if (this == &other) return *this;
    fileCode = other.fileCode;
    name = other.name;
    localFolder = other.localFolder;
    baseFolder = other.baseFolder;
    subfolder = other.subfolder;
    requested.store(other.requested.load());
    state.store(other.state.load());
    received.store(other.received.load());
    size.store(other.size.load());
    dataServer = other.dataServer;
    extension = other.extension;
    serverKey = other.serverKey;
    rawReply = other.rawReply;
    return *this;
  }
};
