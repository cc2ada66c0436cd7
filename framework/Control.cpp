#include "Control.h"

#include <commctrl.h>

#include <exception>

#include "SwallowedException.h"
#include "TextConversion.h"

namespace {

// With SubclassProc, identifies the one subclass that links a window to its
// Control object.
constexpr UINT_PTR kControlSubclassId = 1;

// comctl32's GetWindowSubclass, looked up by its ordinal (411 in every
// version since 5.8): the 64-bit mingw-w64 import library lacks the name. It
// is taken from the copy of comctl32 that SetWindowSubclass came from: the
// side-by-side version 6 and the system's version 5 keep subclasses apart.
using GetWindowSubclassFunction = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);

GetWindowSubclassFunction GetWindowSubclassEntry() {
  static const GetWindowSubclassFunction entry = [] {
    // The address may be an import thunk of our own module: then the named
    // comctl32 is the one.
    HMODULE comctl32 = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&SetWindowSubclass)), &comctl32);
    FARPROC found = comctl32 ? GetProcAddress(comctl32, MAKEINTRESOURCEA(411)) : nullptr;
    if (!found && (comctl32 = GetModuleHandleW(L"comctl32.dll"))) found = GetProcAddress(comctl32, MAKEINTRESOURCEA(411));
    if (!found) OutputDebugStringW(L"Haulbox: GetWindowSubclass (comctl32 ordinal 411) not found\n");
    return reinterpret_cast<GetWindowSubclassFunction>(reinterpret_cast<void*>(found));
  }();
  return entry;
}

}  // namespace

Control::~Control() { Detach(); }

bool Control::Attach(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item && Attach(item);
}

bool Control::Attach(HWND window) {
  if (!window) return false;
  Detach();
  if (!SetWindowSubclass(window, SubclassProc, kControlSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
  hwnd_ = window;
  return true;
}

void Control::Detach() {
  if (!hwnd_) return;
  // Another object may have taken the window over since: its link stays.
  if (IsWindow(hwnd_)) {
    Control* linked = FromHandle(hwnd_);
    if (!linked || linked == this) RemoveWindowSubclass(hwnd_, SubclassProc, kControlSubclassId);
  }
  hwnd_ = nullptr;
  routesMessages_ = false;
}

Control* Control::FromHandle(HWND window) {
  GetWindowSubclassFunction getWindowSubclass = GetWindowSubclassEntry();
  DWORD_PTR control = 0;
  if (!window || !getWindowSubclass || !getWindowSubclass(window, SubclassProc, kControlSubclassId, &control)) {
    return nullptr;
  }
  return reinterpret_cast<Control*>(control);
}

void Control::SetText(const std::string& cp949) { SetWindowTextW(hwnd_, Widen(cp949).c_str()); }

std::string Control::GetText() const {
  if (!hwnd_) return std::string();
  int length = GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(hwnd_, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return Narrow(text);
}

void Control::Show(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }

bool Control::IsVisible() const { return IsWindowVisible(hwnd_) != FALSE; }

void Control::Enable(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }

bool Control::IsEnabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

void Control::Move(int x, int y, int width, int height, bool repaint) {
  MoveWindow(hwnd_, x, y, width, height, repaint ? TRUE : FALSE);
}

RECT Control::RectInParent() const {
  RECT rect = {};
  if (!GetWindowRect(hwnd_, &rect)) return rect;
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void Control::SetFont(HFONT font, bool redraw) {
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

void Control::Invalidate(bool erase) { InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE); }

bool Control::Subclass() {
  if (!hwnd_) return false;
  routesMessages_ = true;
  return true;
}

LRESULT Control::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR reference) {
  Control* control = reinterpret_cast<Control*>(reference);
  if (message == WM_NCDESTROY) {
    // The window goes away before the object: unlink so no later call reaches it.
    control->Detach();
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  if (control->routesMessages_) {
    try {
      LRESULT result = 0;
      if (control->HandleMessage(message, wParam, lParam, result)) return result;
    } catch (const std::exception& failure) {
      // A failing handler leaves the message to the rest of the chain.
      TraceSwallowedException(L"control subclass procedure", message, failure.what());
    } catch (...) {
      TraceSwallowedException(L"control subclass procedure", message, nullptr);
    }
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}
