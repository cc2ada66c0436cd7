#pragma once
// The two actions of the tray menu that need no main-window state.
#include <windows.h>

class CTray_menus {
public:
  virtual ~CTray_menus() = default;

  // A hidden window becomes visible again in its previous state; a minimised
  // one stays minimised.
  void ShowOwner(HWND owner);

  // Opens the service's home page in the web browser.
  void OpenHomePage();
};
