#include "DownloadJobState.h"

DownloadEntry* DownloadJobState::CursorEntry() {
  std::int32_t cursor = transferCursor.load();
  if (cursor < 0 || cursor >= kEntryLimit) return nullptr;
  return &entries[cursor];
}

bool DownloadJobState::HasFileCode(const std::string& fileCode) const {
  for (int i = 0; i < entryCount; ++i) {
    if (entries[i].fileCode == fileCode) return true;
  }
  return false;
}

void DownloadJobState::RequestStop() {
  // A file the worker has just completed stays complete.
  if (DownloadEntry* entry = CursorEntry()) {
    std::int32_t downloading = kEntryDownloading;
    entry->state.compare_exchange_strong(downloading, kEntryStopped);
  }
  dataSocket.ShutDown();
}

void DownloadJobState::Reset() {
  for (int i = 0; i < kEntryLimit; ++i) {
    entries[i] = DownloadEntry();
  }
  entryCount = 0;
  transferCursor = 0;
  downloadStatus = kStatusNone;
  overwriteAnswer = 0;
  stoppedIndex = -1;
  currentSpeed = 0;
}
