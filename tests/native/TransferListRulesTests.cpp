// The transfer list's decisions: removals and moves keep the window's indices
// on their entries, the next entry, network failures and the byte totals.
#include <gtest/gtest.h>

#include <cstdint>

#include <vector>

#include "RowReorder.h"
#include "TransferListRules.h"

namespace {

using namespace transfer_rules;

EntryFacts Entry(std::int32_t state, std::int64_t size, std::int64_t transferred = 0, bool requested = false) {
  EntryFacts facts;
  facts.state = state;
  facts.size = size;
  facts.transferred = transferred;
  facts.requested = requested;
  return facts;
}

TEST(Removal, DeletingSelectedRowsKeepsTheCursorsOnTheirEntries) {
  //                rows: 0  1  2  3  4
  const std::vector<char> selected{1, 0, 1, 0, 1};
  Removal removal = PlanDeleteSelected(selected, Cursors{3, 1});
  EXPECT_EQ((std::vector<int>{4, 2, 0}), removal.rows);
  EXPECT_EQ(2, removal.entryCount);
  EXPECT_EQ(1, removal.cursors.transfer);  // entry 3 is now row 1
  EXPECT_EQ(0, removal.cursors.stopped);   // entry 1 is now row 0
}

TEST(Removal, DeletingTheStoppedEntryForgetsItAndTheCursorTakesTheNextEntry) {
  Removal removal = PlanDeleteSelected({0, 1, 0}, Cursors{1, 1});
  EXPECT_EQ(kNoStoppedEntry, removal.cursors.stopped);
  EXPECT_EQ(1, removal.cursors.transfer);
  EXPECT_EQ(2, removal.entryCount);
  // Without a cursor nothing moves it.
  EXPECT_EQ(kNoCursor, PlanDeleteSelected({1, 1, 1}, Cursors{}).cursors.transfer);
}

TEST(Removal, RemovingCompletedRowsLowersTheCursorForRowsAtOrAboveIt) {
  // The file at the cursor (row 2) has just completed; rows 0 and 2 go.
  Removal removal = PlanRemoveCompleted({1, 0, 1, 0}, Cursors{2, 3});
  EXPECT_EQ((std::vector<int>{2, 0}), removal.rows);
  EXPECT_EQ(0, removal.cursors.transfer);  // + 1 by the caller: the entry that was row 3
  EXPECT_EQ(1, removal.cursors.stopped);
  EXPECT_EQ(2, removal.entryCount);
  // Rows below the cursor leave it alone.
  EXPECT_EQ(1, PlanRemoveCompleted({0, 0, 1}, Cursors{1, -1}).cursors.transfer);
}

// The window keeps its cursor and stopped index on their entries through the
// arrow buttons by following the exchanges the reordering made.
TEST(Moves, TheStoppedIndexFollowsItsEntryThroughEveryMove) {
  struct Recorder {
    std::vector<std::pair<int, int>>* swaps;
    void operator()(int a, int b) const { swaps->push_back({a, b}); }
  };
  const std::vector<int (*)(row_reorder::Selection&, Recorder)> moves = {
      &row_reorder::MoveToTop<Recorder>, &row_reorder::MoveUp<Recorder>, &row_reorder::MoveDown<Recorder>,
      &row_reorder::MoveToBottom<Recorder>};
  for (std::size_t m = 0; m < moves.size(); ++m) {
    for (const row_reorder::Selection& start :
         {row_reorder::Selection{0, 0, 1, 0, 0}, row_reorder::Selection{1, 0, 1, 0, 1},
          row_reorder::Selection{0, 1, 1, 0, 0}}) {
      std::vector<int> rows{0, 1, 2, 3, 4};  // which entry each row holds
      std::vector<std::pair<int, int>> swaps;
      row_reorder::Selection selected = start;
      moves[m](selected, Recorder{&swaps});
      for (const auto& swap : swaps) std::swap(rows[swap.first], rows[swap.second]);
      for (int entry = 0; entry < 5; ++entry) {
        const int row = FollowSwaps(entry, swaps);
        EXPECT_EQ(entry, rows[row]) << "move " << m << ", entry " << entry;
      }
    }
  }
}

TEST(NextEntry, TakesTheFirstPendingEntryThatHasNotFailed) {
  Facts entries{Entry(kComplete, 5), Entry(kFailed, 5), Entry(kStopped, 5, 2, true), Entry(kWaiting, 5)};
  EXPECT_EQ(2, ChooseNextEntry(entries).cursor);
  EXPECT_FALSE(ChooseNextEntry(entries).allDone);
  // A complete entry whose request is still open is pending.
  EXPECT_EQ(0, ChooseNextEntry({Entry(kComplete, 5, 5, true)}).cursor);
}

TEST(NextEntry, OnlyCompleteOrFailedEntriesMeanAllDone) {
  EXPECT_TRUE(ChooseNextEntry({}).allDone);
  EXPECT_TRUE(ChooseNextEntry({Entry(kComplete, 1, 1), Entry(kFailed, 2)}).allDone);
  EXPECT_EQ(kNoCursor, ChooseNextEntry({Entry(kFailed, 2)}).cursor);
}

TEST(NetworkFailure, ThreeRetriesThenTheFileIsSkippedUnlessItIsTheLast) {
  FailureOutcome first = AfterNetworkFailure(0, 3, 1, 3);
  EXPECT_TRUE(first.retry);
  EXPECT_EQ(1, first.retryCount);
  EXPECT_EQ(1, first.cursor);
  EXPECT_FALSE(first.showError);

  FailureOutcome used = AfterNetworkFailure(3, 3, 1, 3);
  EXPECT_EQ(0, used.retryCount);
  EXPECT_TRUE(used.showError);
  EXPECT_TRUE(used.markFailed);
  EXPECT_TRUE(used.retry);
  EXPECT_EQ(2, used.cursor);

  FailureOutcome last = AfterNetworkFailure(3, 3, 2, 3);
  EXPECT_TRUE(last.showError);
  EXPECT_FALSE(last.markFailed);
  EXPECT_FALSE(last.retry);
  EXPECT_EQ(2, last.cursor);
}

// Completed bytes are derived from the entries, so no order of completions,
// skips and recounts can count a file twice.
TEST(Totals, CompletedBytesAreTheSizesOfTheCompleteEntriesOnly) {
  Facts entries{Entry(kComplete, 100, 100), Entry(kStopped, 50, 20, true), Entry(kFailed, 30, 10),
                Entry(kComplete, 7, 7)};
  EXPECT_EQ(187, TotalBytes(entries));
  EXPECT_EQ(107, CompletedBytes(entries));
  EXPECT_TRUE(HasCompleted(entries, 0));
  EXPECT_FALSE(HasCompleted(entries, 1));
  EXPECT_FALSE(HasCompleted(entries, kNoCursor));
  EXPECT_FALSE(HasCompleted(entries, 4));
}

TEST(CompletionPass, FailedEntriesWaitAgainAndTheFirstTakesTheCursor) {
  CompletionPass pass = PlanCompletionPass({Entry(kComplete, 1, 1), Entry(kFailed, 1), Entry(kFailed, 1)});
  EXPECT_EQ((std::vector<int>{1, 2}), pass.waitAgain);
  EXPECT_EQ(1, pass.cursor);
  EXPECT_EQ(kNoCursor, PlanCompletionPass({Entry(kComplete, 1, 1)}).cursor);
}

TEST(ChosenEntry, SelectionThenCursorWhileSomethingIsPendingElseTheFirst) {
  Facts pending{Entry(kComplete, 1, 1), Entry(kWaiting, 1)};
  EXPECT_EQ(0, ChosenEntry(pending, 0, 1));
  EXPECT_EQ(1, ChosenEntry(pending, -1, 1));
  EXPECT_EQ(0, ChosenEntry(pending, -1, kNoCursor));
  EXPECT_EQ(0, ChosenEntry({Entry(kComplete, 1, 1), Entry(kComplete, 1, 1)}, -1, 1));
  EXPECT_EQ(-1, ChosenEntry({}, -1, 0));
}

}  // namespace

// Sizes are the server's word: huge ones saturate instead of overflowing,
// negative ones count as nothing.
TEST(Totals, ServerSizesNeitherOverflowNorSubtract) {
  Facts entries{Entry(kComplete, INT64_MAX, INT64_MAX), Entry(kComplete, 3000, 3000), Entry(kWaiting, -500, 0)};
  EXPECT_EQ(INT64_MAX, TotalBytes(entries));
  EXPECT_EQ(INT64_MAX, CompletedBytes(entries));
  EXPECT_EQ(0, TotalBytes(Facts{Entry(kWaiting, -500, 0)}));
}
