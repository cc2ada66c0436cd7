#pragma once
// The upload worker: one thread per file. It sends the entry at the transfer
// cursor of an UploadJobState to its data server (port 7310) from the offset
// the server already holds, then sends the completion notice, and reports
// through the state's outcome code, the entry's counters and the current
// speed. Its only window is the resume-offset receive error's message box.
#include <cstdint>
#include <memory>

#include "UploadJobState.h"
#include "WorkerRegistry.h"

constexpr int kUploadDataPort = 7310;

// The thread routine; `sharedJobState` is a std::shared_ptr<UploadJobState>
// allocated with new, which the routine deletes when it ends. Returns 1.
unsigned UploadWorker(void* sharedJobState);

// The main window's running upload workers.
class UploadWorkers : public WorkerRegistry<UploadJobState> {
public:
  UploadWorkers() : WorkerRegistry(&UploadWorker) {}
};

// Tells the transfer server that the file of `fileId` has arrived: a fresh
// control connection, "@Upload_complute", then the id in decimal. The replies
// are ignored; a connection that cannot be made shows the connect-failure box.
void SendUploadComplete(std::int32_t fileId);
