#pragma once
// What the list commands need from the main window that owns the job table:
// its counters and its two ways of recomputing the totals. The downloader's
// and the uploader's main windows implement it.
#include <cstdint>

class FileListOwner {
public:
  virtual ~FileListOwner() = default;

  virtual int EntryCount() const = 0;
  virtual void SetEntryCount(int count) = 0;
  // File size of entry `index` (the owner knows its entry record).
  virtual std::int64_t EntrySize(int index) const = 0;
  virtual std::int64_t TotalBytes() const = 0;
  virtual void SetTotalBytes(std::int64_t bytes) = 0;
  virtual std::int64_t DoneBytes() const = 0;
  virtual void SetDoneBytes(std::int64_t bytes) = 0;
  virtual int TransferCursor() const = 0;
  virtual void SetTransferCursor(int index) = 0;
  // The entry the user stopped last, -1 for none (the uploader has none).
  virtual int StoppedIndex() const { return -1; }
  virtual void SetStoppedIndex(int) {}

  virtual void RefreshTotals() = 0;    // after DeleteSelected
  virtual void RecomputeTotals() = 0;  // after RemoveCompleted
};
