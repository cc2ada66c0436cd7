#pragma once
// The uploader's job table: the entries, and the fields through which the
// upload worker reports to the main window.
#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "DataSocketSlot.h"
#include "UploadEntry.h"

constexpr int kUploadEntryLimit = 200;

// Outcome codes of an upload worker (0: none yet / acted on).
enum UploadStatusCode : std::int32_t {
  kUploadStatusNone = 0,
  kUploadNetworkFailure = 1,
  kUploadFileUnreadable = 2,  // cannot be opened, or it shrank while it was read
  kUploadStoppedByUser = 3,
};

// Shared by the window and its worker: a worker holds the state alive until
// it ends, so a window that goes first never leaves it writing into freed
// memory.
class UploadJobState {
  std::unique_ptr<UploadEntry[]> ownEntries_{new UploadEntry[kUploadEntryLimit]};

public:
  // The transfer list's entry array (entry i belongs to row i), packed from 0;
  // the first entry without a name ends the list.
  UploadEntry* const entries = ownEntries_.get();
  std::int32_t entryCount = 0;

  // Written by the window only while no worker is registered; the worker
  // reads them once, when it starts.
  std::atomic<std::int32_t> transferCursor{transfer_rules::kNoCursor};
  std::string currentPath;  // folder + name of the entry at the cursor

  // Shared with the running worker.
  std::atomic<std::int32_t> uploadStatus{kUploadStatusNone};
  std::atomic<std::int64_t> currentSpeed{0};  // bytes per second
  DataSocketSlot dataSocket;

  // The entry at the transfer cursor, or null when it designates none.
  UploadEntry* CursorEntry();
  // Asks the worker of the cursor entry to stop: state 2 unless the entry
  // has completed meanwhile, and the data socket shut down (the worker also
  // looks at the state while it waits, where a shutdown does not wake it).
  void RequestStop();
  // Clears the job state (window initialisation): no entries, no cursor,
  // outcome 0, speed 0.
  void Reset();
};
