// CButtontoImage on real GDI: faces cut from a strip, the transparent key
// colour, pressed and alternate faces, and the strips of the skin table.
#include <gtest/gtest.h>

#include <CButtontoImage.h>
#include <SkinTable.h>

#include <set>
#include <tuple>

#include "UiTestSupport.h"

namespace {

using uitest::Hex;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A pixel of frame `frame` that differs from every other pixel of the strip
// and is never the key colour.
COLORREF FramePixel(int frame, int x, int y) {
  return RGB(40 * frame + (y % 40), x % 256, 100 + (x / 256) * 50);
}

HBITMAP MakeStrip(int frameWidth, int height) {
  uitest::Surface strip(frameWidth * kSkinFrameCount, height);
  for (int frame = 0; frame < kSkinFrameCount; ++frame)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < frameWidth; ++x) strip.SetPixelColour(frame * frameWidth + x, y, FramePixel(frame, x, y));
  return strip.Release();
}

class SkinButtonTest : public testing::Test {
protected:
  uitest::ParentWindow parent{400, 200};

  // An owner-drawn button of exactly width x height client pixels.
  HWND AddButton(int width, int height) {
    return parent.AddChild(L"BUTTON", BS_OWNERDRAW, 100, 10, 10, width, height);
  }

  // DrawItem into a fresh surface with the given item state.
  void Draw(CButtontoImage& button, UINT state, uitest::Surface& surface) {
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.hwndItem = button.Hwnd();
    item.hDC = surface.Dc();
    item.itemState = state;
    GetClientRect(button.Hwnd(), &item.rcItem);
    ASSERT_TRUE(button.DrawItem(item));
  }

  // Every pixel of the drawn button equals frame `frame` of the strip.
  void ExpectFrame(const uitest::Surface& surface, int frame, int width, int height, const char* what) {
    int wrong = 0;
    for (int y = 0; y < height && wrong < 3; ++y)
      for (int x = 0; x < width && wrong < 3; ++x) {
        COLORREF seen = surface.Pixel(x, y);
        if (seen != FramePixel(frame, x, y)) {
          ++wrong;
          ADD_FAILURE() << what << ": pixel (" << x << "," << y << ") is " << Hex(seen) << ", frame "
                        << frame << " has " << Hex(FramePixel(frame, x, y));
        }
      }
  }
};

TEST_F(SkinButtonTest, KeyColourShowsTheButtonFaceAndItsNeighbourIsDrawn) {
  uitest::Surface strip(40, 10, RGB(10, 120, 30));
  strip.SetPixelColour(1, 1, kMagenta);
  strip.SetPixelColour(2, 1, RGB(254, 0, 255));
  strip.SetPixelColour(3, 1, RGB(255, 0, 254));
  HBITMAP bitmap = strip.Release();
  CButtontoImage button;
  ASSERT_TRUE(button.Attach(AddButton(10, 10)));
  ASSERT_TRUE(button.LoadSkinFromStrip(bitmap, 4, {0, 10, 0, 10}));

  uitest::Surface surface(10, 10);
  Draw(button, 0, surface);
  EXPECT_EQ(Hex(GetSysColor(COLOR_BTNFACE)), Hex(surface.Pixel(1, 1)));
  EXPECT_EQ(Hex(RGB(254, 0, 255)), Hex(surface.Pixel(2, 1)));
  EXPECT_EQ(Hex(RGB(255, 0, 254)), Hex(surface.Pixel(3, 1)));
  EXPECT_EQ(Hex(RGB(10, 120, 30)), Hex(surface.Pixel(5, 5)));
}

// 32-bit strips store an alpha byte; a key pixel with alpha 255 is still the key.
TEST_F(SkinButtonTest, KeyColourOfA32BitStripWithAlphaIsTransparent) {
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = 16;
  format.bmiHeader.biHeight = -4;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP strip = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(nullptr, strip);
  auto* pixels = static_cast<DWORD*>(bits);
  for (int i = 0; i < 16 * 4; ++i) pixels[i] = 0xFF204060;  // opaque RGB(32, 64, 96)
  pixels[1 * 16 + 1] = 0xFFFF00FF;                           // key colour, alpha 255
  GdiFlush();
  CButtontoImage button;
  ASSERT_TRUE(button.Attach(AddButton(4, 4)));
  ASSERT_TRUE(button.LoadSkinFromStrip(strip, 4, {0, 4, 0, 4}));
  DeleteObject(strip);
  uitest::Surface surface(4, 4);
  Draw(button, 0, surface);
  EXPECT_EQ(Hex(GetSysColor(COLOR_BTNFACE)), Hex(surface.Pixel(1, 1)));
  EXPECT_EQ(Hex(RGB(32, 64, 96)), Hex(surface.Pixel(2, 2)));
}

TEST_F(SkinButtonTest, OneFrameSizedButtonShowsEachFrameUnscaledForEveryMarginSetOfTheTable) {
  std::size_t count = 0;
  const SkinRow* rows = SkinRows(&count);
  std::set<std::tuple<int, int, int, int, int, int>> tried;
  for (std::size_t i = 0; i < count; ++i) {
    const SkinRow& row = rows[i];
    const SkinMargins& m = row.margins;
    if (!tried.insert({row.stripWidth, row.stripHeight, m.top, m.bottom, m.left, m.right}).second) continue;
    SCOPED_TRACE(testing::Message() << "bitmap " << row.bitmapId << " margins " << m.top << "," << m.bottom
                                    << "," << m.left << "," << m.right);
    const int fw = row.stripWidth / kSkinFrameCount;
    HBITMAP strip = MakeStrip(fw, row.stripHeight);
    HWND window = AddButton(fw, row.stripHeight);
    {
      CButtontoImage button;
      ASSERT_TRUE(button.Attach(window));
      ASSERT_TRUE(button.LoadSkinFromStrip(strip, kSkinFrameCount, m));
      const struct {
        int alternate;
        UINT state;
        int frame;
        const char* what;
      } cases[] = {{0, 0, kFrameNormal, "normal"},
                   {0, ODS_FOCUS | ODS_SELECTED, kFramePressed, "pressed"},
                   {1, 0, kFrameAltNormal, "alternate normal"},
                   {1, ODS_FOCUS | ODS_SELECTED, kFrameAltPressed, "alternate pressed"}};
      for (const auto& c : cases) {
        button.m_alternate = c.alternate;
        uitest::Surface surface(fw, row.stripHeight);
        Draw(button, c.state, surface);
        ExpectFrame(surface, c.frame, fw, row.stripHeight, c.what);
      }
    }
    DestroyWindow(window);
    DeleteObject(strip);
  }
  EXPECT_EQ(12u, tried.size());
}

// Frame 1 is fully opaque but for one key pixel, through which the normal
// face underneath shows; without focus only the normal face is drawn.
TEST_F(SkinButtonTest, PressedFaceIsDrawnOverTheNormalOneOnlyWithFocus) {
  HBITMAP strip = MakeStrip(12, 8);
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, strip);
    SetPixel(dc, 12 + 3, 3, kMagenta);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  CButtontoImage button;
  ASSERT_TRUE(button.Attach(AddButton(12, 8)));
  ASSERT_TRUE(button.LoadSkinFromStrip(strip, 4, {0, 8, 0, 12}));
  DeleteObject(strip);

  uitest::Surface pressed(12, 8);
  Draw(button, ODS_FOCUS | ODS_SELECTED, pressed);
  EXPECT_EQ(Hex(FramePixel(1, 2, 3)), Hex(pressed.Pixel(2, 3)));
  EXPECT_EQ(Hex(FramePixel(0, 3, 3)), Hex(pressed.Pixel(3, 3)));

  uitest::Surface selectedOnly(12, 8);
  Draw(button, ODS_SELECTED, selectedOnly);
  EXPECT_EQ(Hex(FramePixel(0, 2, 3)), Hex(selectedOnly.Pixel(2, 3)));
  uitest::Surface focusOnly(12, 8);
  Draw(button, ODS_FOCUS, focusOnly);
  EXPECT_EQ(Hex(FramePixel(0, 2, 3)), Hex(focusOnly.Pixel(2, 3)));
}

TEST_F(SkinButtonTest, LargerButtonKeepsTheCornersUnscaled) {
  HBITMAP strip = MakeStrip(20, 10);
  CButtontoImage button;
  ASSERT_TRUE(button.Attach(AddButton(60, 30)));
  ASSERT_TRUE(button.LoadSkinFromStrip(strip, 4, {2, 3, 4, 5}));
  DeleteObject(strip);
  uitest::Surface surface(60, 30);
  Draw(button, 0, surface);
  EXPECT_EQ(Hex(FramePixel(0, 1, 1)), Hex(surface.Pixel(1, 1)));      // top-left corner
  EXPECT_EQ(Hex(FramePixel(0, 19, 9)), Hex(surface.Pixel(59, 29)));   // bottom-right corner
  EXPECT_EQ(Hex(FramePixel(0, 16, 0)), Hex(surface.Pixel(56, 0)));    // top-right corner
}

TEST_F(SkinButtonTest, MissingResourceBuildsNothingAndDrawsTheButtonFace) {
  CButtontoImage button;
  ASSERT_TRUE(button.Attach(AddButton(16, 14)));
  const int noSuchBitmap = 9999;  // in neither program's resources
  EXPECT_FALSE(button.LoadSkin(noSuchBitmap, 4, 0, 73, 73, 73));
  EXPECT_FALSE(button.FacesBuilt());
  uitest::Surface surface(16, 14);
  Draw(button, ODS_FOCUS | ODS_SELECTED, surface);
  EXPECT_EQ(Hex(GetSysColor(COLOR_BTNFACE)), Hex(surface.Pixel(8, 7)));
}

// The downloader's strips as linked into this test: each loads, with the
// size the skin table gives, and skins a button of one frame's size.
TEST_F(SkinButtonTest, DownloaderStripsMatchTheSkinTable) {
  std::size_t count = 0;
  const SkinRow* rows = SkinRows(&count);
  int checked = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const SkinRow& row = rows[i];
    if (row.window != SkinWindow::DownloaderMain && row.window != SkinWindow::DownloaderSettings) continue;
    SCOPED_TRACE(testing::Message() << "bitmap " << row.bitmapId);
    auto strip = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(row.bitmapId),
                                                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, strip);
    BITMAP info = {};
    GetObjectW(strip, sizeof info, &info);
    EXPECT_EQ(row.stripWidth, info.bmWidth);
    EXPECT_EQ(row.stripHeight, info.bmHeight);
    DeleteObject(strip);
    HWND window = AddButton(row.stripWidth / 4, row.stripHeight);
    {
      CButtontoImage button;
      ASSERT_TRUE(button.Attach(window));
      EXPECT_TRUE(button.LoadSkin(row));
      EXPECT_EQ(row.bitmapId, button.BitmapId());
    }
    DestroyWindow(window);
    ++checked;
  }
  EXPECT_EQ(18, checked);
}

}  // namespace
