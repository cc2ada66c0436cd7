#pragma once
// The main window's job table: the entries and their raw replies, and the
// fields through which the download worker reports to the window.
#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "DataSocketSlot.h"
#include "DownloadEntry.h"

constexpr int kEntryLimit = 200;

// Outcome codes of a download worker (0: none yet / acted on).
enum DownloadStatusCode : std::int32_t {
  kStatusNone = 0,
  kStatusNetworkFailure = 1,
  kStatusLocalFileFailure = 2,  // cannot be opened, created or written
  kStatusStopped = 3,
  kStatusAskExistingFile = 10,
};

// Shared by the window and its worker: a worker holds the state alive until
// it ends, so a window that goes first never leaves it writing into freed
// memory.
class DownloadJobState {
  std::unique_ptr<DownloadEntry[]> ownEntries_{new DownloadEntry[kEntryLimit]};

public:
  // The transfer list's entry array (entry i belongs to row i).
  DownloadEntry* const entries = ownEntries_.get();  // kEntryLimit entries, packed from 0
  std::int32_t entryCount = 0;

  // Shared with the worker.
  std::atomic<std::int32_t> transferCursor{0};
  std::atomic<std::int32_t> downloadStatus{kStatusNone};
  std::atomic<std::int32_t> existingFileRule{3};  // 1 overwrite, 2 ask, 3 resume
  std::atomic<std::int32_t> overwriteAnswer{0};   // 0 none, 1 overwrite, other resume
  std::atomic<std::int32_t> stoppedIndex{-1};
  std::atomic<std::int64_t> currentSpeed{0};      // bytes per second
  DataSocketSlot dataSocket;

  // The entry at the transfer cursor, or null when it designates none.
  DownloadEntry* CursorEntry();
  bool HasFileCode(const std::string& fileCode) const;
  // Asks the worker of the cursor entry to stop: state 2, and its data
  // socket shut down so that a waiting receive returns at once.
  void RequestStop();
  // Clears the job state (window initialisation): no entries, cursor 0,
  // outcome 0, stopped index -1, overwrite answer 0, speed 0.
  void Reset();
};
