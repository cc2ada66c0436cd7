// The OS-free part of the UI toolkit: skin table, face layout, bar geometry
// and the row reordering of the transfer list.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <vector>

#include "NinePartLayout.h"
#include "ProgressGeometry.h"
#include "RowReorder.h"
#include "SkinTable.h"

namespace {

std::vector<SkinRow> AllSkinRows() {
  std::size_t count = 0;
  const SkinRow* rows = SkinRows(&count);
  return std::vector<SkinRow>(rows, rows + count);
}

TEST(SkinTable, EveryRowHasFourWholeFramesAndUniqueIds) {
  std::set<std::pair<int, int>> seen;
  for (const SkinRow& row : AllSkinRows()) {
    EXPECT_EQ(0, row.stripWidth % kSkinFrameCount) << "bitmap " << row.bitmapId;
    EXPECT_TRUE(seen.insert({static_cast<int>(row.window), row.controlId}).second)
        << "control " << row.controlId << " twice";
  }
  EXPECT_EQ(33u, seen.size());
}

// The numbers are the templates' own on purpose: the table, written with the
// id headers' names, must come out as them.
TEST(SkinTable, FindsRowsByWindowAndControl) {
  const SkinRow* start = FindSkin(SkinWindow::DownloaderMain, 1016);
  ASSERT_NE(nullptr, start);
  EXPECT_EQ(137, start->bitmapId);
  EXPECT_EQ(328, start->margins.right);
  const SkinRow* uploaderOk = FindSkin(SkinWindow::UploaderSettings, 1055);
  ASSERT_NE(nullptr, uploaderOk);
  EXPECT_EQ(196, uploaderOk->bitmapId);
  EXPECT_EQ(nullptr, FindSkin(SkinWindow::UploaderSettings, 1058));
  EXPECT_EQ(nullptr, FindSkin(SkinWindow::DownloaderMain, 1006));
}

// A button exactly one frame in size must show that frame pixel for pixel:
// every copy maps face pixel (x, y) to strip pixel (x0 + x, y), and the
// copies together cover the whole face.
TEST(NinePartLayout, OneFrameSizedFaceIsTheFrameUnscaledForEveryTableRow) {
  for (const SkinRow& row : AllSkinRows()) {
    const int fw = row.stripWidth / kSkinFrameCount;
    for (int frame = 0; frame < kSkinFrameCount; ++frame) {
      const int x0 = frame * fw;
      std::vector<char> covered(static_cast<size_t>(fw * row.stripHeight), 0);
      for (const FaceCopy& copy : NinePartCopies(frame, kSkinFrameCount, row.stripWidth, row.stripHeight,
                                                 fw, row.stripHeight, row.margins)) {
        SCOPED_TRACE(testing::Message() << "bitmap " << row.bitmapId << " frame " << frame);
        EXPECT_EQ(copy.dest.x + x0, copy.source.x);
        EXPECT_EQ(copy.dest.y, copy.source.y);
        if (copy.stretch) {
          EXPECT_EQ(copy.dest.width, copy.source.width);
          EXPECT_EQ(copy.dest.height, copy.source.height);
        }
        // Negative extents on both sides copy the same area without mirroring.
        const int left = std::min(copy.dest.x, copy.dest.x + copy.dest.width);
        const int right = std::max(copy.dest.x, copy.dest.x + copy.dest.width);
        const int top = std::min(copy.dest.y, copy.dest.y + copy.dest.height);
        const int bottom = std::max(copy.dest.y, copy.dest.y + copy.dest.height);
        for (int y = std::max(top, 0); y < std::min(bottom, row.stripHeight); ++y)
          for (int x = std::max(left, 0); x < std::min(right, fw); ++x) covered[y * fw + x] = 1;
      }
      EXPECT_EQ(covered.size(), static_cast<size_t>(std::count(covered.begin(), covered.end(), 1)))
          << "bitmap " << row.bitmapId << " frame " << frame;
    }
  }
}

TEST(NinePartLayout, LargerFaceKeepsCornersAndStretchesTheMiddle) {
  const SkinMargins margins = {3, 4, 5, 6};
  const auto copies = NinePartCopies(1, 4, 80, 20, 50, 40, margins);  // frame 20 x 20 at x 20
  EXPECT_EQ(20, copies[0].source.x);                                   // top-left from the frame
  EXPECT_EQ(44, copies[3].dest.x);                                     // bottom-right at w - R
  EXPECT_EQ(36, copies[3].dest.y);                                     // and h - B
  EXPECT_EQ(34, copies[3].source.x);                                   // x0 + fw - R
  EXPECT_TRUE(copies[4].stretch);
  EXPECT_EQ(39, copies[4].dest.width);  // 50 - 6 - 5
  EXPECT_EQ(9, copies[4].source.width);  // 20 - 6 - 5
  EXPECT_EQ(33, copies[4].dest.height);  // 40 - 4 - 3
}

TEST(NinePartLayout, MarginsTakingTheWholeFrameStretchALineInsideTheFrame) {
  // Frame 30 x 24 (the second of four) with margins that cover all of it,
  // on a face 4 pixels taller and 6 wider than the frame.
  const SkinMargins margins = {12, 12, 15, 15};
  const auto copies = NinePartCopies(1, 4, 120, 24, 36, 28, margins);
  for (const FaceCopy& copy : copies) {
    if (copy.dest.width <= 0 || copy.dest.height <= 0) continue;
    EXPECT_GT(copy.source.width, 0);
    EXPECT_GT(copy.source.height, 0);
    EXPECT_GE(copy.source.x, 30);
    EXPECT_LE(copy.source.x + copy.source.width, 60);
    EXPECT_GE(copy.source.y, 0);
    EXPECT_LE(copy.source.y + copy.source.height, 24);
  }
}

TEST(ProgressGeometry, FillWidthIsTruncatedShareOfTheClientWidth) {
  EXPECT_EQ(150, ProgressFillWidth(500, 0, 1000, 300));
  EXPECT_EQ(300, ProgressFillWidth(1000, 0, 1000, 300));
  EXPECT_EQ(0, ProgressFillWidth(0, 0, 1000, 300));
  EXPECT_EQ(33, ProgressFillWidth(333, 0, 1000, 100));
  EXPECT_EQ(152, ProgressFillWidth(505, 0, 1000, 301));  // 152.005 truncated
}

TEST(ProgressGeometry, EmptyOrStaleRangeDoesNotDivideByZero) {
  EXPECT_EQ(0, ProgressFillWidth(5, 5, 5, 300));
  EXPECT_EQ(300, ProgressFillWidth(500, 0, 100, 300));  // range narrowed below the position
}

TEST(ProgressGeometry, SetPosAcceptsOnlyNewPositionsInRange) {
  EXPECT_TRUE(ProgressAcceptsPos(500, 0, 1000, 0));
  EXPECT_FALSE(ProgressAcceptsPos(500, 0, 1000, 500));
  EXPECT_FALSE(ProgressAcceptsPos(1001, 0, 1000, 0));
  EXPECT_FALSE(ProgressAcceptsPos(9, 10, 1000, 10));
  EXPECT_TRUE(ProgressAcceptsPos(1000, 0, 1000, 0));
}

// Rows hold their original numbers; the selection is given as row indexes.
struct Rows {
  std::vector<int> content;
  row_reorder::Selection selected;
  Rows(int count, std::initializer_list<int> selectedRows) : selected(count, 0) {
    for (int i = 0; i < count; ++i) content.push_back(i);
    for (int row : selectedRows) selected[row] = 1;
  }
  auto Swapper() {
    return [this](int a, int b) { std::swap(content[a], content[b]); };
  }
  std::vector<int> SelectedRows() const {
    std::vector<int> rows;
    for (size_t i = 0; i < selected.size(); ++i)
      if (selected[i]) rows.push_back(static_cast<int>(i));
    return rows;
  }
};

using V = std::vector<int>;

TEST(RowReorder, SingleRowMoves) {
  Rows top(4, {0});
  EXPECT_EQ(-1, row_reorder::MoveUp(top.selected, top.Swapper()));
  EXPECT_EQ(V({0, 1, 2, 3}), top.content);

  Rows up(4, {2});
  EXPECT_EQ(1, row_reorder::MoveUp(up.selected, up.Swapper()));
  EXPECT_EQ(V({0, 2, 1, 3}), up.content);
  EXPECT_EQ(V({1}), up.SelectedRows());

  Rows last(4, {3});
  EXPECT_EQ(-1, row_reorder::MoveDown(last.selected, last.Swapper()));
  EXPECT_EQ(V({0, 1, 2, 3}), last.content);
  EXPECT_EQ(V({3}), last.SelectedRows());

  Rows down(4, {1});
  EXPECT_EQ(2, row_reorder::MoveDown(down.selected, down.Swapper()));
  EXPECT_EQ(V({0, 2, 1, 3}), down.content);

  // To the top exchanges with row 0: the former first row takes the old place.
  Rows toTop(5, {3});
  EXPECT_EQ(0, row_reorder::MoveToTop(toTop.selected, toTop.Swapper()));
  EXPECT_EQ(V({3, 1, 2, 0, 4}), toTop.content);
  EXPECT_EQ(V({0}), toTop.SelectedRows());

  Rows toBottom(5, {1});
  EXPECT_EQ(4, row_reorder::MoveToBottom(toBottom.selected, toBottom.Swapper()));
  EXPECT_EQ(V({0, 4, 2, 3, 1}), toBottom.content);
  EXPECT_EQ(V({4}), toBottom.SelectedRows());
}

TEST(RowReorder, NothingSelectedMovesNothing) {
  for (auto move : {&row_reorder::MoveUp<std::function<void(int, int)>>,
                    &row_reorder::MoveDown<std::function<void(int, int)>>,
                    &row_reorder::MoveToTop<std::function<void(int, int)>>,
                    &row_reorder::MoveToBottom<std::function<void(int, int)>>}) {
    Rows rows(3, {});
    EXPECT_EQ(-1, move(rows.selected, rows.Swapper()));
    EXPECT_EQ(V({0, 1, 2}), rows.content);
  }
}

TEST(RowReorder, SeveralRowsMoveAndStaySelected) {
  Rows up(5, {2, 3});
  row_reorder::MoveUp(up.selected, up.Swapper());
  EXPECT_EQ(V({0, 2, 3, 1, 4}), up.content);
  EXPECT_EQ(V({1, 2}), up.SelectedRows());

  Rows gappedUp(5, {1, 3});
  row_reorder::MoveUp(gappedUp.selected, gappedUp.Swapper());
  EXPECT_EQ(V({1, 0, 3, 2, 4}), gappedUp.content);
  EXPECT_EQ(V({0, 2}), gappedUp.SelectedRows());

  Rows down(5, {1, 2});
  row_reorder::MoveDown(down.selected, down.Swapper());
  EXPECT_EQ(V({0, 3, 1, 2, 4}), down.content);
  EXPECT_EQ(V({2, 3}), down.SelectedRows());

  Rows toTop(5, {2, 4});
  EXPECT_EQ(1, row_reorder::MoveToTop(toTop.selected, toTop.Swapper()));
  EXPECT_EQ(V({2, 4, 0, 3, 1}), toTop.content);
  EXPECT_EQ(V({0, 1}), toTop.SelectedRows());

  Rows toBottom(5, {0, 2});
  EXPECT_EQ(3, row_reorder::MoveToBottom(toBottom.selected, toBottom.Swapper()));
  EXPECT_EQ(V({3, 1, 4, 0, 2}), toBottom.content);
  EXPECT_EQ(V({3, 4}), toBottom.SelectedRows());
}

}  // namespace
