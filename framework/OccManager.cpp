#include "OccManager.h"

#include <cstring>

namespace {

// Dialog initialisation data: records of (WORD item id, WORD message,
// DWORD length, bytes), ended by an item id of 0.
constexpr WORD kDialogInitResourceType = 240;
constexpr WORD kLoadFromStreamMessage = 0x0376;

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
  if (!data) return {};
  const size_t size = SizeofResource(module, found);
  size_t at = 0;
  while (at + 2 <= size) {
    WORD id, message;
    DWORD length;
    std::memcpy(&id, data + at, 2);
    if (id == 0) break;
    if (at + 8 > size) break;
    std::memcpy(&message, data + at + 2, 2);
    std::memcpy(&length, data + at + 4, 4);
    at += 8;
    if (length > size - at) break;  // a record running past the resource
    if (id == itemId && message == kLoadFromStreamMessage) return std::vector<BYTE>(data + at, data + at + length);
    at += length;
  }
  return {};
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
