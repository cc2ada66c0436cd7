#pragma once
// Helpers of the UI toolkit tests: a plain top-level parent window that
// reflects WM_DRAWITEM like a dialog, 32-bit off-screen surfaces to read
// pixels from, and a scripted driver for modal dialogs.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace uitest {

// A visible top-level popup window hosting the controls under test.
class ParentWindow {
public:
  ParentWindow(int width, int height);
  ~ParentWindow();
  HWND Hwnd() const { return hwnd_; }
  // A child window of `className` with `style` at (x, y, width, height).
  HWND AddChild(const wchar_t* className, DWORD style, int id, int x, int y, int width, int height);

private:
  HWND hwnd_ = nullptr;
};

// A 32-bit top-down DIB selected into a memory context.
class Surface {
public:
  Surface(int width, int height, COLORREF fill = RGB(0, 0, 0));
  ~Surface();
  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return bitmap_; }
  COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }
  void SetPixelColour(int x, int y, COLORREF colour) { SetPixel(dc_, x, y, colour); }
  // Gives the bitmap up (deselects it) so that it can be used elsewhere.
  HBITMAP Release();

private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

std::string Hex(COLORREF colour);

// Runs `run` (which starts a modal loop, e.g. DoModal) while a thread timer
// plays `steps` one per `intervalMs` on the thread's first visible dialog
// window (class "#32770"). After the last step it keeps looking for at most
// `graceMs`; a dialog still open then is ended with `fallbackCommand`
// (a WM_COMMAND id) so that a failing test never hangs. Returns the number
// of steps played; `leftOpen` tells whether the fallback was needed.
struct ScriptResult {
  int stepsPlayed = 0;
  bool leftOpen = false;
};
using Step = std::function<void(HWND dialog)>;
ScriptResult RunModal(const std::function<void()>& run, const std::vector<Step>& steps,
                      int fallbackCommand, DWORD intervalMs = 150, DWORD graceMs = 1500);

// Key press on the window that has the focus in `dialog` (or the dialog).
void PressKey(HWND dialog, UINT virtualKey);
// A click on control `id` as the user would make it (BM_CLICK).
void ClickItem(HWND dialog, int id);

}  // namespace uitest
