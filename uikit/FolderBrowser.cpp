#include "FolderBrowser.h"

#include <TextConversion.h>

#include <objbase.h>
#include <shlobj.h>

bool BrowseForFolder(HWND owner, const std::string& title, std::string& path) {
  HRESULT com = OleInitialize(nullptr);
  std::wstring wideTitle = Widen(title);
  BROWSEINFOW browse = {};
  browse.hwndOwner = owner;
  browse.lpszTitle = wideTitle.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  bool picked = false;
  if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse)) {
    wchar_t buffer[MAX_PATH] = {};
    if (SHGetPathFromIDListW(item, buffer)) {
      path = Narrow(buffer);
      picked = true;
    }
    CoTaskMemFree(item);
  }
  if (SUCCEEDED(com)) OleUninitialize();
  return picked;
}
