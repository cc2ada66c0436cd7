#include "CTray_menus.h"

#include <shellapi.h>

#include "ServiceEndpoints.h"
#include "TextConversion.h"

void CTray_menus::ShowOwner(HWND owner) { ShowWindow(owner, SW_SHOW); }

void CTray_menus::OpenHomePage() {
  std::wstring url = Widen(WebHostUrl("/"));
  ShellExecuteW(nullptr, L"open", L"iexplore", url.c_str(), nullptr, SW_SHOWNORMAL);
}
