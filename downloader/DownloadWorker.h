#pragma once
// The download worker: one thread per file. It downloads the entry at the
// transfer cursor of a DownloadJobState from its data server (port 7301),
// resuming from the bytes already on disk, and reports through the state's
// outcome code, the entry's counters and the current speed. It never touches
// a window.
#include <list>

#include "DownloadJobState.h"
#include "ThreadHandle.h"

constexpr int kDataPort = 7301;

// The thread routine; `jobState` is the DownloadJobState. Returns 1.
unsigned DownloadWorker(void* jobState);

// The main window's list of running workers. At most one worker runs: two
// workers must never write one file, so no worker is started while an earlier
// one is still registered (ended workers leave the list at RemoveEnded).
class DownloadWorkers {
public:
  // Starts a worker for `state`; false when one is still registered or the
  // thread cannot be created.
  bool Start(DownloadJobState& state);
  void RemoveEnded();
  bool IsEmpty() const { return threads_.empty(); }
  // Waits at most timeoutMs for every registered worker; true when all ended.
  bool WaitAll(DWORD timeoutMs) const;

private:
  std::list<ThreadHandle> threads_;
};
