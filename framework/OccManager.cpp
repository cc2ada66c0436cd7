#include "OccManager.h"

#include "DialogInitData.h"

namespace {

constexpr WORD kDialogInitResourceType = 240;

bool ClassIdOfWindowClass(HWND window, CLSID& clsid) {
  wchar_t name[64] = L"";
  if (GetClassNameW(window, name, 64) == 0 || name[0] != L'{') return false;
  return SUCCEEDED(CLSIDFromString(name, &clsid));
}

std::vector<HWND> ChildWindows(HWND dialog) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

}  // namespace

std::vector<BYTE> DialogControlState(HINSTANCE module, UINT templateId, int itemId) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(kDialogInitResourceType));
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  if (!data || itemId <= 0 || itemId > 0xFFFF) return {};
  return FindDialogInitRecord(data, SizeofResource(module, found), static_cast<std::uint16_t>(itemId),
                              kLoadFromStreamRecord);
}

std::vector<OleControlSite*> OccManager::CreateDialogControls(HWND dialog, HINSTANCE module, UINT templateId) {
  std::vector<OleControlSite*> sites;
  for (HWND item : ChildWindows(dialog)) {
    CLSID clsid;
    if (!ClassIdOfWindowClass(item, clsid)) continue;
    OleControlSite* site = CreateSite();
    if (!site) continue;
    if (site->CreateControl(clsid, item, DialogControlState(module, templateId, GetDlgCtrlID(item)))) {
      sites.push_back(site);
    } else {
      site->Release();
    }
  }
  return sites;
}
