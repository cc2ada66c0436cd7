#pragma once
// A child control bound to its window, usually by dialog item id. Texts are
// CP949. Attaching links the window to this object, so the parent dialog can
// reflect WM_DRAWITEM to DrawItem (owner-drawn buttons draw themselves).
// Subclass() additionally routes the control's own messages to HandleMessage
// (mouse tracking of skin buttons, custom painting).
// The object must outlive its attachment; the destructor detaches.
#include <windows.h>

#include <string>

class Control {
public:
  Control() = default;
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Binds to item `id` of `dialog`; false when there is no such item.
  bool Attach(HWND dialog, int id);
  bool Attach(HWND window);
  void Detach();
  // The control object attached to `window`, or null.
  static Control* FromHandle(HWND window);

  HWND Hwnd() const { return hwnd_; }
  int Id() const { return GetDlgCtrlID(hwnd_); }

  void SetText(const std::string& cp949);
  std::string GetText() const;
  void Show(bool visible);
  bool IsVisible() const;
  void Enable(bool enabled);
  bool IsEnabled() const;
  // Position and size in the parent's client coordinates.
  void Move(int x, int y, int width, int height, bool repaint = true);
  RECT RectInParent() const;
  void SetFont(HFONT font, bool redraw = true);
  void Invalidate(bool erase = true);

  // Owner-draw reflection from the parent dialog; true when drawn.
  virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }

  // Routes this control's messages to HandleMessage before its class
  // procedure. Undone by Detach.
  bool Subclass();

protected:
  // A subclassed control's messages; return true when handled (with `result`).
  virtual bool HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
  // The class procedure's handling, for use inside HandleMessage.
  LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);

private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  WNDPROC originalProc_ = nullptr;
};
