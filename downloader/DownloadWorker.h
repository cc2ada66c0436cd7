#pragma once
// The download worker: one thread per file. It downloads the entry at the
// transfer cursor of a DownloadJobState from its data server (port 7301),
// resuming from the bytes already on disk, and reports through the state's
// outcome code, the entry's counters and the current speed. It never touches
// a window.
#include <memory>

#include "DownloadJobState.h"
#include "WorkerRegistry.h"

constexpr int kDataPort = 7301;

// The thread routine; `sharedJobState` is a std::shared_ptr<DownloadJobState>
// allocated with new, which the routine deletes when it ends. Returns 1.
unsigned DownloadWorker(void* sharedJobState);

// The main window's running download workers.
class DownloadWorkers : public WorkerRegistry<DownloadJobState> {
public:
  DownloadWorkers() : WorkerRegistry(&DownloadWorker) {}
};
