#pragma once
// The window of the banner's web browser control: either the dialog item the
// control was created in (Attach, from Control) or a window Create makes.
// The program navigates it once; a banner whose control could not be created
// is a blank strip, and navigating it does nothing.
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "Control.h"

class CWebBrowser_banner : public Control {
public:
  // Creates the browser control, without persisted state, in a new child
  // window of `parent` with `style`, `rect` (parent's client coordinates) and
  // item `id`, on a site from the application's control-container manager.
  // False when the control cannot be created (no window is left behind).
  bool Create(const std::string& windowName, DWORD style, const RECT& rect, HWND parent, int id);

  // The control's Navigate2 (dispatch member 500, five arguments by reference).
  HRESULT Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData, VARIANT* headers);
  // Navigate2 to `url` (CP949) with the other four arguments empty.
  HRESULT Navigate2(const std::string& url);

  // True when the window hosts a live browser control.
  bool HasBrowser() const;
};
