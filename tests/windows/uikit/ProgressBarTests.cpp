// CPic_Progress in a real window: fill width, background, repaint rules.
#include <gtest/gtest.h>

#include <CPic_Progress.h>
#include <DownloaderRes.h>
#include <WindowFinder.h>

#include "UiTestSupport.h"

namespace {

using uitest::Hex;

constexpr COLORREF kBar = RGB(87, 180, 221);
constexpr COLORREF kBackground = RGB(232, 232, 232);

class ProgressBarTest : public testing::Test {
protected:
  void SetUp() override {
    RECT rect = {10, 10, 312, 24};
    ASSERT_TRUE(bar.Create(parent.Hwnd(), 0, rect));
    GetClientRect(bar.Hwnd(), &client);
  }

  int Width() const { return client.right - client.left; }
  int MiddleY() const { return (client.bottom - client.top) / 2; }

  // Paints the bar off-screen (as WM_PAINT does) and returns the number of
  // leading pixels of the middle row that show the bar colour.
  int FilledPixels() {
    uitest::Surface surface(Width(), client.bottom);
    bar.PaintTo(surface.Dc());
    int filled = 0;
    while (filled < Width() && surface.Pixel(filled, MiddleY()) == kBar) ++filled;
    for (int x = filled; x < Width(); ++x) {
      if (surface.Pixel(x, MiddleY()) != kBackground) {
        ADD_FAILURE() << "pixel " << x << " after the bar is " << Hex(surface.Pixel(x, MiddleY()));
        break;
      }
    }
    return filled;
  }

  bool HasPendingPaint() {
    RECT update;
    return GetUpdateRect(bar.Hwnd(), &update, FALSE) != FALSE;
  }

  uitest::ParentWindow parent{400, 100};
  CPic_Progress bar;
  RECT client = {};
};

TEST_F(ProgressBarTest, FreshBarPaintsOnlyTheBackground) {
  EXPECT_EQ(0u, bar.Minimum());
  EXPECT_EQ(100u, bar.Maximum());
  EXPECT_EQ(0, FilledPixels());
}

TEST_F(ProgressBarTest, FillsHalfAtFiveHundredOfAThousandAndAllAtTheMaximum) {
  bar.SetRange(0, 1000);
  bar.SetPos(500, true);
  EXPECT_EQ(Width() / 2, FilledPixels()) << "client width " << Width();
  bar.SetPos(1000, true);
  EXPECT_EQ(Width(), FilledPixels());
  bar.SetPos(333, true);
  EXPECT_EQ(static_cast<int>(0.333 * Width()), FilledPixels());
}

TEST_F(ProgressBarTest, SetPosRepaintsOnlyForANewPositionInRange) {
  bar.SetRange(0, 1000);
  bar.SetPos(400, true);
  EXPECT_TRUE(HasPendingPaint());
  UpdateWindow(bar.Hwnd());
  ASSERT_FALSE(HasPendingPaint());

  bar.SetPos(400, true);
  EXPECT_FALSE(HasPendingPaint()) << "same position";
  bar.SetPos(1001, true);
  EXPECT_FALSE(HasPendingPaint()) << "above the maximum";
  EXPECT_EQ(400u, bar.Pos());
  bar.SetRange(100, 1000);
  bar.SetPos(50, true);
  EXPECT_FALSE(HasPendingPaint()) << "below the minimum";
  EXPECT_EQ(400u, bar.Pos());

  // The owner's 1, 0, value sequence repaints even for an unchanged value.
  bar.SetRange(0, 1000);
  bar.SetPos(1, true);
  bar.SetPos(0, true);
  UpdateWindow(bar.Hwnd());
  bar.SetPos(400, true);
  EXPECT_TRUE(HasPendingPaint());
  bar.SetPos(500, false);
  EXPECT_EQ(500u, bar.Pos());
}

TEST_F(ProgressBarTest, ResizeMakesANewSurfaceOfTheNewSize) {
  EXPECT_EQ(Width(), bar.SurfaceSize().cx);
  MoveWindow(bar.Hwnd(), 10, 10, 200, 30, TRUE);
  RECT resized;
  GetClientRect(bar.Hwnd(), &resized);
  EXPECT_EQ(resized.right, bar.SurfaceSize().cx);
  EXPECT_EQ(resized.bottom, bar.SurfaceSize().cy);
  client = resized;
  bar.SetRange(0, 1000);
  bar.SetPos(1000, true);
  EXPECT_EQ(resized.right, FilledPixels());
}

TEST_F(ProgressBarTest, CreateOverPlaceholderTakesItsPlace) {
  HWND placeholder = parent.AddChild(L"STATIC", SS_ETCHEDFRAME, IDC_DOWN_FILE_PROGRESS, 20, 40, 300, 12);
  CPic_Progress over;
  ASSERT_TRUE(over.CreateOver(parent.Hwnd(), 0, IDC_DOWN_FILE_PROGRESS));
  RECT rect = over.RectInParent();
  EXPECT_EQ(20, rect.left);
  EXPECT_EQ(40, rect.top);
  EXPECT_EQ(320, rect.right);
  EXPECT_EQ(52, rect.bottom);
  EXPECT_TRUE(IsWindow(placeholder));
  CPic_Progress missing;
  EXPECT_FALSE(missing.CreateOver(parent.Hwnd(), 0, 4711));
}

}  // namespace
