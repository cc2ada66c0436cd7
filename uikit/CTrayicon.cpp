#include "CTrayicon.h"

#include "CTray_menus.h"
#include "TextConversion.h"

namespace {
const wchar_t kCallbackMessageName[] = L"Pell_tray_icons";
}

CTrayicon::CTrayicon(HWND owner, UINT iconId, UINT iconResource)
    : owner_(owner), iconId_(iconId), iconResource_(iconResource) {}

CTrayicon::~CTrayicon() { RemoveIcon(); }

UINT CTrayicon::CallbackMessage() {
  static const UINT message = RegisterWindowMessageW(kCallbackMessageName);
  return message;
}

void CTrayicon::AddIcon(const std::string& tip) {
  tip_ = tip;
  data_ = NOTIFYICONDATAW{};
  // The record without the balloon icon, as every shell since Windows 2000 reads it.
  data_.cbSize = NOTIFYICONDATAW_V3_SIZE;
  data_.hWnd = owner_;
  data_.uID = iconId_;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = CallbackMessage();
  data_.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResource_));
  std::wstring wideTip = Widen(tip);
  lstrcpynW(data_.szTip, wideTip.c_str(), ARRAYSIZE(data_.szTip));
  Shell_NotifyIconW(NIM_ADD, &data_);
}

void CTrayicon::RemoveIcon() {
  NOTIFYICONDATAW removal{};
  removal.cbSize = NOTIFYICONDATAW_V3_SIZE;
  removal.hWnd = owner_;
  removal.uID = iconId_;
  Shell_NotifyIconW(NIM_DELETE, &removal);
}

LRESULT CTrayicon::HandleCallback(WPARAM iconId, LPARAM mouseMessage, UINT menuId) {
  if (iconId != kIconId) return 0;
  switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDBLCLK:
      CTray_menus().ShowOwner(owner_);
      break;
    case WM_RBUTTONDOWN:
      ShowMenu(menuId);
      break;
    default:
      break;
  }
  return 0;
}

void CTrayicon::ShowMenu(UINT menuId) {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
  if (!menu) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  // Without the owner in the foreground the pop-up would stay open when the
  // user clicks elsewhere.
  SetForegroundWindow(owner_);
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0,
                 owner_, nullptr);
  PostMessageW(owner_, WM_NULL, 0, 0);
  DestroyMenu(menu);
}
