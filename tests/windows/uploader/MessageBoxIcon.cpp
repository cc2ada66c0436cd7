#include "MessageBoxIcon.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Dib32.h"
#include "WindowFinder.h"

namespace test_support {

namespace {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> bgrx;  // top-down rows
};

BOOL CALLBACK FindIconControl(HWND child, LPARAM found) {
  if (harness::WindowClassName(child) != L"Static") return TRUE;
  if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

// Runs `draw` on a 32-bit top-down bitmap of the given size and returns its pixels.
template <typename Draw>
Pixels Render(int width, int height, Draw draw) {
  Pixels pixels;
  pixels.width = width;
  pixels.height = height;
  BITMAPINFO info = harness::TopDownDib32(width, height);
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) {
    DeleteDC(memory);
    return pixels;
  }
  HGDIOBJ previous = SelectObject(memory, bitmap);
  draw(memory);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  pixels.bgrx.assign(first, first + static_cast<std::size_t>(width) * height);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

long long Distance(const Pixels& a, const Pixels& b) {
  if (a.bgrx.size() != b.bgrx.size() || a.bgrx.empty()) return -1;
  long long sum = 0;
  for (std::size_t i = 0; i < a.bgrx.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      sum += std::abs(static_cast<int>((a.bgrx[i] >> shift) & 0xFF) - static_cast<int>((b.bgrx[i] >> shift) & 0xFF));
    }
  }
  return sum;
}

}  // namespace

const wchar_t* MessageBoxIcon(HWND box) {
  HWND control = nullptr;
  EnumChildWindows(box, &FindIconControl, reinterpret_cast<LPARAM>(&control));
  if (!control) return nullptr;
  // A box just found may not be shown yet.
  for (int i = 0; i < 250 && !IsWindowVisible(control); ++i) harness::PumpMessages(20);
  if (!IsWindowVisible(control)) return nullptr;
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  harness::PumpMessages(200);  // the box paints on its own thread

  RECT place;
  GetWindowRect(control, &place);
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  if (width <= 0 || height <= 0) return nullptr;
  HDC screen = GetDC(nullptr);
  const COLORREF background = GetPixel(screen, place.left - 1, place.top - 1);
  const Pixels shown = Render(width, height, [&](HDC memory) {
    BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
  });
  ReleaseDC(nullptr, screen);

  const wchar_t* const candidates[] = {IDI_INFORMATION, IDI_ERROR, IDI_WARNING, IDI_QUESTION};
  const wchar_t* best = nullptr;
  long long bestDistance = -1;
  long long secondDistance = -1;
  for (const wchar_t* candidate : candidates) {
    const Pixels drawn = Render(width, height, [&](HDC memory) {
      HBRUSH brush = CreateSolidBrush(background);
      RECT all = {0, 0, width, height};
      FillRect(memory, &all, brush);
      DeleteObject(brush);
      DrawIconEx(memory, 0, 0, LoadIconW(nullptr, candidate), 0, 0, 0, nullptr, DI_NORMAL);
    });
    const long long distance = Distance(shown, drawn);
    if (distance < 0) return nullptr;
    if (bestDistance < 0 || distance < bestDistance) {
      secondDistance = bestDistance;
      bestDistance = distance;
      best = candidate;
    } else if (secondDistance < 0 || distance < secondDistance) {
      secondDistance = distance;
    }
  }
  // A clear match: far closer than any other icon.
  return bestDistance * 4 < secondDistance ? best : nullptr;
}

const char* IconName(const wchar_t* icon) {
  if (icon == IDI_INFORMATION) return "information";
  if (icon == IDI_ERROR) return "error";
  if (icon == IDI_WARNING) return "warning";
  if (icon == IDI_QUESTION) return "question";
  return "none recognised";
}

}  // namespace test_support
