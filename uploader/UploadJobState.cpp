#include "UploadJobState.h"

UploadEntry* UploadJobState::CursorEntry() {
  const std::int32_t cursor = transferCursor.load();
  if (cursor < 0 || cursor >= kUploadEntryLimit) return nullptr;
  return &entries[cursor];
}

void UploadJobState::RequestStop() {
  // Only an entry still being sent: a file the worker has just completed
  // stays complete.
  if (UploadEntry* entry = CursorEntry()) {
    std::int32_t sending = kUploadSending;
    entry->state.compare_exchange_strong(sending, kUploadStopped);
  }
  dataSocket.ShutDown();
}

void UploadJobState::Reset() {
  for (int i = 0; i < kUploadEntryLimit; ++i) entries[i] = UploadEntry();
  entryCount = 0;
  transferCursor = transfer_rules::kNoCursor;
  currentPath.clear();
  uploadStatus = kUploadStatusNone;
  currentSpeed = 0;
}
