#pragma once
// The program's icon in the taskbar notification area. It holds the
// notification record only; the owner window receives the callback message
// registered as "Pell_tray_icons" and passes it to HandleCallback.
#include <windows.h>

#include <shellapi.h>

#include <string>

class CTrayicon {
public:
  static const UINT kIconId = 128;

  // iconResource: the program's tray icon (IDI_TRAY of its id header).
  CTrayicon(HWND owner, UINT iconId, UINT iconResource);
  virtual ~CTrayicon();  // removes the icon
  CTrayicon(const CTrayicon&) = delete;
  CTrayicon& operator=(const CTrayicon&) = delete;

  // The callback message of every program's tray icon.
  static UINT CallbackMessage();

  // Adds the icon with the tip (CP949, cut to the record's 127 characters).
  // Called again when the taskbar is re-created ("TaskbarCreated").
  void AddIcon(const std::string& tip);
  void RemoveIcon();

  // The owner's handling of the callback message: a double click shows the
  // owner, a right click opens the first submenu of menu `menuId` at the
  // cursor with its commands sent to the owner. Other icon ids and mouse
  // messages are ignored. Always returns 0.
  LRESULT HandleCallback(WPARAM iconId, LPARAM mouseMessage, UINT menuId);

private:
  void ShowMenu(UINT menuId);

  NOTIFYICONDATAW data_{};
  HWND owner_;
  UINT iconId_;
  UINT iconResource_;
  std::string tip_;
};
