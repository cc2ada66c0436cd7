#include "Control.h"

#include "TextConversion.h"

namespace {
// Window property that links a control window to its Control object.
const wchar_t kControlProperty[] = L"Haulbox.Control";
}

Control::~Control() { Detach(); }

bool Control::Attach(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item && Attach(item);
}

bool Control::Attach(HWND window) {
  if (!window) return false;
  Detach();
  hwnd_ = window;
  SetPropW(hwnd_, kControlProperty, this);
  return true;
}

void Control::Detach() {
  if (!hwnd_) return;
  if (originalProc_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
  }
  originalProc_ = nullptr;
  if (GetPropW(hwnd_, kControlProperty) == this) RemovePropW(hwnd_, kControlProperty);
  hwnd_ = nullptr;
}

Control* Control::FromHandle(HWND window) {
  if (!window) return nullptr;
  return static_cast<Control*>(GetPropW(window, kControlProperty));
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
  if (originalProc_) return true;
  originalProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  return originalProc_ != nullptr;
}

LRESULT Control::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(originalProc_, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Control* control = FromHandle(hwnd);
  if (!control || !control->originalProc_) return DefWindowProcW(hwnd, message, wParam, lParam);
  WNDPROC original = control->originalProc_;
  if (message == WM_NCDESTROY) {
    // The window goes away before the object: unhook so no later call reaches it.
    control->Detach();
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
  }
  try {
    LRESULT result = 0;
    if (control->HandleMessage(message, wParam, lParam, result)) return result;
  } catch (...) {
    // A failing handler leaves the message to the control's class.
  }
  return CallWindowProcW(original, hwnd, message, wParam, lParam);
}
