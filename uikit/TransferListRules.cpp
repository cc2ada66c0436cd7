#include "TransferListRules.h"

#include <cstdint>

namespace transfer_rules {

namespace {

int StoppedAfterRemoval(int stopped, int row) {
  if (stopped == row) return kNoStoppedEntry;
  return stopped > row ? stopped - 1 : stopped;
}

// Removes the flagged rows, highest first. The transfer cursor drops for
// removed rows above it, and for its own row too when `dropsForItsOwnRow`.
Removal PlanRemoval(const std::vector<char>& flagged, Cursors cursors, bool dropsForItsOwnRow) {
  Removal removal;
  removal.cursors = cursors;
  removal.entryCount = static_cast<int>(flagged.size());
  for (int row = removal.entryCount - 1; row >= 0; --row) {
    if (!flagged[row]) continue;
    removal.rows.push_back(row);
    const int cursor = removal.cursors.transfer;
    if (cursor > row || (dropsForItsOwnRow && cursor == row)) --removal.cursors.transfer;
    removal.cursors.stopped = StoppedAfterRemoval(removal.cursors.stopped, row);
  }
  removal.entryCount -= static_cast<int>(removal.rows.size());
  return removal;
}

}  // namespace

Removal PlanDeleteSelected(const std::vector<char>& selected, Cursors cursors) {
  return PlanRemoval(selected, cursors, false);
}

Removal PlanRemoveCompleted(const std::vector<char>& complete, Cursors cursors) {
  return PlanRemoval(complete, cursors, true);
}

int FollowSwaps(int index, const std::vector<std::pair<int, int>>& swaps) {
  for (const auto& swap : swaps) {
    if (index == swap.first) {
      index = swap.second;
    } else if (index == swap.second) {
      index = swap.first;
    }
  }
  return index;
}

bool IsPending(const EntryFacts& entry) { return entry.state != kComplete || entry.requested; }

NextStart ChooseNextEntry(const Facts& entries) {
  NextStart next;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (IsPending(entries[i]) && entries[i].state != kFailed) {
      next.cursor = static_cast<int>(i);
      return next;
    }
  }
  next.allDone = true;
  return next;
}

FailureOutcome AfterNetworkFailure(int retryCount, int retryLimit, int cursor, int entryCount) {
  FailureOutcome outcome;
  outcome.cursor = cursor;
  if (retryCount < retryLimit) {
    outcome.retryCount = retryCount + 1;
    outcome.retry = true;
    return outcome;
  }
  outcome.retryCount = 0;
  outcome.showError = true;
  if (cursor >= 0 && cursor < entryCount - 1) {
    outcome.markFailed = true;
    outcome.cursor = cursor + 1;
    outcome.retry = true;
  }
  return outcome;
}

bool HasCompleted(const Facts& entries, int cursor) {
  if (cursor < 0 || cursor >= static_cast<int>(entries.size())) return false;
  const EntryFacts& entry = entries[cursor];
  return entry.state == kComplete && entry.transferred == entry.size;
}

namespace {

// Sizes are the server's: a negative one counts as nothing, and the sums
// stop at the largest 64-bit value instead of overflowing.
std::int64_t AddSize(std::int64_t sum, std::int64_t size) {
  if (size <= 0) return sum;
  return sum > INT64_MAX - size ? INT64_MAX : sum + size;
}

}  // namespace

std::int64_t TotalBytes(const Facts& entries) {
  std::int64_t total = 0;
  for (const EntryFacts& entry : entries) total = AddSize(total, entry.size);
  return total;
}

std::int64_t CompletedBytes(const Facts& entries) {
  std::int64_t completed = 0;
  for (const EntryFacts& entry : entries) {
    if (entry.state == kComplete) completed = AddSize(completed, entry.size);
  }
  return completed;
}

CompletionPass PlanCompletionPass(const Facts& entries) {
  CompletionPass pass;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].state != kFailed) continue;
    pass.waitAgain.push_back(static_cast<int>(i));
    if (pass.cursor == kNoCursor) pass.cursor = static_cast<int>(i);
  }
  return pass;
}

int ChosenEntry(const Facts& entries, int firstSelected, int cursor) {
  const int count = static_cast<int>(entries.size());
  if (count == 0) return -1;
  if (firstSelected >= 0 && firstSelected < count) return firstSelected;
  for (const EntryFacts& entry : entries) {
    if (IsPending(entry)) return cursor >= 0 && cursor < count ? cursor : 0;
  }
  return 0;
}

}  // namespace transfer_rules
