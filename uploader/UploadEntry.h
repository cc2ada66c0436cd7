#pragma once
// One file of an upload job. The window's thread and the upload worker use
// the entry being uploaded at the same time without a lock: the fields the
// worker writes (transferring, state, sent) and the 64-bit size are atomics,
// so every read sees a whole, fresh value. The texts and the file id are
// written once, when the list is fetched, before any worker reads them.
// Entries are copied whole when rows are reordered.
#include <atomic>
#include <cstdint>
#include <string>

#include "TransferListRules.h"

// The states are the transfer list's (TransferListRules.h).
constexpr std::int32_t kUploadWaiting = transfer_rules::kWaiting;
constexpr std::int32_t kUploadSending = transfer_rules::kTransferring;
constexpr std::int32_t kUploadStopped = transfer_rules::kStopped;    // stop requested by the user, or stopped
constexpr std::int32_t kUploadComplete = transfer_rules::kComplete;
constexpr std::int32_t kUploadFailed = transfer_rules::kFailed;      // retries used up; skipped until the next full pass

struct UploadEntry {
  std::string name;       // file name as listed
  std::string folder;     // the listed local path up to and including its last "\"
  std::string localPath;  // the local path as listed; the file sent is folder + name
  std::atomic<std::int32_t> transferring{0};  // 1 from the server's resume offset until the file completes
  std::atomic<std::int32_t> state{kUploadWaiting};
  std::atomic<std::int64_t> sent{0};  // bytes the server holds: the resume offset plus every byte sent since
  std::atomic<std::int64_t> size{0};  // as listed
  std::int32_t fileId = 0;  // the server's number for the file signature; echoed when the file completes
  std::string dataServer;   // dotted IPv4
  std::string uploadKey;    // first text block on the data connection
  std::string uploadName;   // second text block

  UploadEntry() = default;
  UploadEntry(const UploadEntry& other) { *this = other; }
  UploadEntry& operator=(const UploadEntry& other) {
    if (this == &other) return *this;
    name = other.name;
    folder = other.folder;
    localPath = other.localPath;
    transferring.store(other.transferring.load());
    state.store(other.state.load());
    sent.store(other.sent.load());
    size.store(other.size.load());
    fileId = other.fileId;
    dataServer = other.dataServer;
    uploadKey = other.uploadKey;
    uploadName = other.uploadName;
    return *this;
  }
};
