#include "UploadJobState.h"

UploadEntry* UploadJobState::CursorEntry() {
  const std::int32_t cursor = transferCursor.load();
  if (cursor < 0 || cursor >= kUploadEntryLimit) return nullptr;
  return &entries[cursor];
}

void UploadJobState::RequestStop() {
  if (UploadEntry* entry = CursorEntry()) entry->state.store(kUploadStopped);
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
