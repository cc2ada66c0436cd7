#pragma once
// The decisions behind a transfer list, on plain facts about its entries: which
// rows a removal takes and where the window's indices land afterwards, which
// entry starts next, what a network failure leads to, and the byte totals.
// The main window builds the facts from its entry records, asks, and applies
// the answer (the list control removes rows, the window moves its cursors).
// Both transfer programs use them. No OS code here.
//
//   std::vector<EntryFacts> facts = ...;            // one per used entry, in row order
//   NextStart next = ChooseNextEntry(facts);
//   if (next.allDone) RunCompletionActions(); else StartWorker(next.cursor);
#include <cstdint>
#include <utility>
#include <vector>

namespace transfer_rules {

constexpr int kNoCursor = -1000;  // the transfer cursor designates no entry
constexpr int kNoStoppedEntry = -1;

enum EntryState : std::int32_t {
  kWaiting = 0,
  kTransferring = 1,
  kStopped = 2,   // stop requested by the user, or stopped
  kComplete = 3,
  kFailed = 4,    // retries used up; skipped until the next full pass
};

// What the rules need to know of one used entry.
struct EntryFacts {
  std::int32_t state = kWaiting;
  bool requested = false;  // the worker has asked for the file and it is not complete yet
  std::int64_t transferred = 0;  // bytes of the file already at the destination
  std::int64_t size = 0;
};
using Facts = std::vector<EntryFacts>;

// The window's indices into its entries.
struct Cursors {
  int transfer = kNoCursor;         // entry being transferred or next to transfer
  int stopped = kNoStoppedEntry;    // entry the user stopped last
};

// A removal of rows: remove `rows` in the order given (highest first, so every
// index is still valid when its turn comes), then take the new count and
// cursors. Each cursor stays on its entry; a cursor whose entry is removed
// lands on the entry that moves into its row (the stopped index is dropped).
struct Removal {
  std::vector<int> rows;
  int entryCount = 0;
  Cursors cursors;
};

// The rows whose flag is set in `selected` (one flag per used entry).
Removal PlanDeleteSelected(const std::vector<char>& selected, Cursors cursors);
// The rows whose state text says complete, one flag per used entry. The
// transfer cursor drops by one for each removed row at or above it, so a
// caller that then advances it by one lands on the entry after a removed one.
Removal PlanRemoveCompleted(const std::vector<char>& complete, Cursors cursors);

// Where an index lands after the row exchanges `swaps` were made in order.
int FollowSwaps(int index, const std::vector<std::pair<int, int>>& swaps);

// An entry is pending while it is not complete or its request is still open.
bool IsPending(const EntryFacts& entry);

struct NextStart {
  int cursor = kNoCursor;
  bool allDone = false;  // nothing pending but failed entries: run the completion actions
};
// The first pending entry that has not failed.
NextStart ChooseNextEntry(const Facts& entries);

// What the window does when a worker reports a network failure.
struct FailureOutcome {
  int retryCount = 0;       // the new count of automatic restarts
  bool retry = false;       // set the retry timer (restarts at `cursor`)
  bool showError = false;   // the cursor row shows the error text
  bool markFailed = false;  // the cursor entry becomes kFailed
  int cursor = kNoCursor;   // the transfer cursor afterwards
};
// Retries are counted across files: `retryCount` of `retryLimit` are used.
// When they run out the count starts again, the row shows the error, and the
// next entry is taken unless the failed one is the last.
FailureOutcome AfterNetworkFailure(int retryCount, int retryLimit, int cursor, int entryCount);

// True when the entry at `cursor` has just completed: all bytes there and complete.
bool HasCompleted(const Facts& entries, int cursor);

std::int64_t TotalBytes(const Facts& entries);
// Bytes counted as done: the sizes of the complete entries, nothing else.
std::int64_t CompletedBytes(const Facts& entries);

// The completion pass: failed entries wait again for the next pass; the first
// of them becomes the transfer cursor (kNoCursor when none failed).
struct CompletionPass {
  std::vector<int> waitAgain;
  int cursor = kNoCursor;
};
CompletionPass PlanCompletionPass(const Facts& entries);

// The entry the open-folder and open-file commands act on: the first selected
// row; else the transfer cursor while some entry is pending; else entry 0.
// -1 when there is no entry.
int ChosenEntry(const Facts& entries, int firstSelected, int cursor);

}  // namespace transfer_rules
