#pragma once
// The download worker: one thread per file. It downloads the entry at the
// transfer cursor of a DownloadJobState from its data server (port 7301),
// resuming from the bytes already on disk, and reports through the state's
// outcome code, the entry's counters and the current speed. It never touches
// a window.
#include <list>
#include <memory>

#include "DownloadJobState.h"
#include "ThreadHandle.h"

constexpr int kDataPort = 7301;

// The thread routine; `sharedJobState` is a std::shared_ptr<DownloadJobState>
// allocated with new, which the routine deletes when it ends. Returns 1.
unsigned DownloadWorker(void* sharedJobState);

// The main window's list of running workers. At most one worker runs: two
// workers must never write one file, so no worker is started while an earlier
// one is still registered (ended workers leave the list at RemoveEnded).
class DownloadWorkers {
public:
  // Starts a worker for `state`; false when one is still registered or the
  // thread cannot be created.
  // The worker shares `state` until it ends.
  bool Start(const std::shared_ptr<DownloadJobState>& state);
  void RemoveEnded();
  bool IsEmpty() const { return threads_.empty(); }
  // The id of the registered worker's thread, 0 when none.
  DWORD ThreadId() const { return threads_.empty() ? 0 : threads_.front().ThreadId(); }
  // Waits at most timeoutMs for every registered worker; true when all ended.
  bool WaitAll(DWORD timeoutMs) const;

private:
  std::list<ThreadHandle> threads_;
};
