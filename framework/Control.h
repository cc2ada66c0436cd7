#pragma once
// A child control bound to its window, usually by dialog item id. Texts are
// CP949. Attaching links the window to this object through a comctl32
// subclass (SetWindowSubclass, this object as its reference data), so the
// parent dialog can reflect WM_DRAWITEM to DrawItem (owner-drawn buttons draw
// themselves). Subclass() additionally routes the control's own messages to
// HandleMessage (mouse tracking of skin buttons, custom painting). Other
// subclasses of the same window, installed before or after, keep working:
// each passes on with DefSubclassProc, and detaching removes only this one.
// Attach, Subclass and Detach run on the window's thread (comctl32 cannot
// subclass across threads). The window going away (WM_NCDESTROY) detaches the
// object; the object must outlive its attachment otherwise, and its
// destructor detaches.
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
  // False when `window` is null or cannot be subclassed from this thread.
  // Another Control attached to the same window loses its link to it.
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

  // Routes this control's messages to HandleMessage, ahead of the subclasses
  // installed before Attach and of the class procedure. A handler that throws
  // leaves the message to them and a debug output line (SwallowedException.h).
  // Undone by Detach.
  bool Subclass();

protected:
  // A subclassed control's messages; return true when handled (with `result`).
  virtual bool HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
  // The handling of the rest of the chain (earlier subclasses, then the
  // class procedure), for use inside HandleMessage.
  LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);

private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR subclassId, DWORD_PTR control);

  HWND hwnd_ = nullptr;
  bool routesMessages_ = false;
};
