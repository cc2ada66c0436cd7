#include "UploadSelection.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "MessageBoxes.h"
#include "RegistryKey.h"
#include "SelectionRules.h"
#include "SwallowedException.h"
#include "TextConversion.h"

using selection::ConvertedName;

namespace {

const wchar_t kRememberedFolderValue[] = L"Default_folder_upload";
const DWORD kFileDialogFlags =
    OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
const wchar_t kTreeClass[] = L"SysTreeView32";
const wchar_t kNameSpaceClass[] = L"SHBrowseForFolder ShellNameSpace Control";

// The code page 949 text of a name, and whether every character made it:
// without WC_NO_BEST_FIT_CHARS a character could turn into a look-alike (or
// into "?", an entry's end in the list) without a word.
ConvertedName ToCodePage(const std::wstring& text) {
  ConvertedName converted;
  if (text.empty()) return converted;
  int length = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  int bytes = WideCharToMultiByte(949, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) {
    converted.exact = false;
    return converted;
  }
  converted.text.resize(bytes);
  WideCharToMultiByte(949, WC_NO_BEST_FIT_CHARS, text.data(), length, &converted.text[0], bytes, nullptr,
                      &usedDefault);
  converted.exact = !usedDefault;
  return converted;
}

HANDLE OpenForReading(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A file that cannot be opened counts as empty.
std::int64_t FileSize(const std::wstring& path) {
  HANDLE file = OpenForReading(path);
  if (file == INVALID_HANDLE_VALUE) return 0;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) size.QuadPart = 0;
  CloseHandle(file);
  return size.QuadPart;
}

bool NamesOpenableFile(const std::wstring& path) {
  HANDLE file = OpenForReading(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring RememberedFolder(const std::wstring& settingsKeyPath) {
  std::wstring value;
  RegistryKey key;
  if (settingsKeyPath.empty() || key.Open(HKEY_CURRENT_USER, settingsKeyPath) != ERROR_SUCCESS) return value;
  if (key.ReadString(kRememberedFolderValue, value) != ERROR_SUCCESS) value.clear();
  return value;
}

void Remember(const std::wstring& settingsKeyPath, const std::wstring& folder) {
  RegistryKey key;
  if (settingsKeyPath.empty() || key.Create(HKEY_CURRENT_USER, settingsKeyPath, KEY_WRITE) != ERROR_SUCCESS) return;
  key.WriteString(kRememberedFolderValue, folder);
}

std::wstring InitialFolder(const std::wstring& remembered) {
  bool openable = !remembered.empty() && NamesOpenableFile(remembered);
  ConvertedName text = ToCodePage(remembered);
  if (text.exact) return Widen(selection::InitialFolder(text.text, openable));
  // A path the code page cannot say is kept in UTF-16.
  std::size_t last = remembered.find_last_of(L'\\');
  return openable && last != std::wstring::npos ? remembered.substr(0, last + 1) : remembered;
}

void Tell(HWND owner, const std::string& text, const char* caption) { ShowMessageBox(owner, text, caption, MB_OK); }

class SystemFolderSource : public selection::FolderSource {
public:
  std::vector<Item> Items(const std::wstring& folder) override {
    std::vector<Item> items;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return items;
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      items.push_back({name, ToCodePage(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return items;
  }

  std::int64_t SizeOf(const std::wstring& path) override { return FileSize(path); }
};

struct BrowseRequest {
  std::wstring initialFolder;
  std::wstring title;
  bool editBox = false;
};

RECT ChildRect(HWND dialog, HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void Place(HWND window, int x, int y, int width, int height) {
  SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// 200 pixels wider and taller by the edit box's height + 35 (30 without
// it); buttons in the lower right corner, the edit box on top, the tree
// between them.
void LayOutBrowser(HWND browser, bool editBox) {
  HWND edit = FindWindowExW(browser, nullptr, L"Edit", nullptr);
  int editHeight = 0;
  if (edit) {
    RECT rect = ChildRect(browser, edit);
    editHeight = rect.bottom - rect.top;
  }
  RECT frame;
  GetWindowRect(browser, &frame);
  SetWindowPos(browser, nullptr, 0, 0, frame.right - frame.left + 200,
               frame.bottom - frame.top + (editBox && edit ? editHeight + 35 : 30), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(browser, &client);

  int buttonsTop = client.bottom;
  if (HWND cancel = GetDlgItem(browser, IDCANCEL)) {
    RECT rect = ChildRect(browser, cancel);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int left = client.right - 10 - width;
    buttonsTop = client.bottom - 10 - height;
    Place(cancel, left, buttonsTop, width, height);
    if (HWND ok = GetDlgItem(browser, IDOK)) Place(ok, left - 10 - width, buttonsTop, width, height);
  }
  int treeTop = 10;
  if (edit && editBox) {
    Place(edit, 10, 10, client.right - 20, editHeight);
    treeTop = 10 + editHeight + 5;
  } else if (edit) {
    Place(edit, -1000, -1000, 0, 0);
    ShowWindow(edit, SW_HIDE);
  }
  HWND tree = FindWindowExW(browser, nullptr, kTreeClass, nullptr);
  if (!tree) tree = FindWindowExW(browser, nullptr, kNameSpaceClass, nullptr);
  if (tree) Place(tree, 10, treeTop, client.right - 20, buttonsTop - 10 - treeTop);
}

void PrepareBrowser(HWND browser, const BrowseRequest& request) {
  SetWindowLongPtrW(browser, GWL_STYLE, GetWindowLongPtrW(browser, GWL_STYLE) & ~static_cast<LONG_PTR>(DS_CONTEXTHELP));
  SetWindowLongPtrW(browser, GWL_EXSTYLE,
                    GetWindowLongPtrW(browser, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_CONTEXTHELP));
  SetWindowPos(browser, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  if (!request.initialFolder.empty()) {
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(request.initialFolder.c_str()));
  }
  if (!request.title.empty()) SetWindowTextW(browser, request.title.c_str());
  LayOutBrowser(browser, request.editBox);
}

// OK stays as the browser set it only for an existing file-system folder
// that is not a shortcut.
void CheckSelection(HWND browser, LPCITEMIDLIST item) {
  wchar_t path[MAX_PATH] = L"";
  bool usable = item && SHGetPathFromIDListW(item, path) && path[0] && Exists(path);
  if (usable) {
    SHFILEINFOW info{};
    info.dwAttributes = SFGAO_LINK;
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item), 0, &info, sizeof info,
                       SHGFI_PIDL | SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED) &&
        (info.dwAttributes & SFGAO_LINK)) {
      usable = false;
    }
  }
  if (!usable) SendMessageW(browser, BFFM_ENABLEOK, 0, FALSE);
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
  try {
    const auto* request = reinterpret_cast<const BrowseRequest*>(data);
    if (message == BFFM_INITIALIZED) PrepareBrowser(browser, *request);
    if (message == BFFM_SELCHANGED) CheckSelection(browser, reinterpret_cast<LPCITEMIDLIST>(lParam));
  } catch (...) {
    TraceSwallowedException(L"folder browser callback", "unknown exception");
  }
  return 0;
}

}  // namespace

bool BrowseForFolder(HWND owner, const std::wstring& initialFolder, int rootFolder, const std::string& title,
                     std::wstring& chosen) {
  chosen.clear();
  BrowseRequest request{initialFolder, Widen(title), true};
  LPITEMIDLIST root = nullptr;
  if (rootFolder >= 0 && FAILED(SHGetSpecialFolderLocation(owner, rootFolder, &root))) root = nullptr;
  if (request.initialFolder.empty() && !root) {
    wchar_t current[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
    if (length > 0 && length < MAX_PATH) request.initialFolder.assign(current, length);
  }
  wchar_t displayName[MAX_PATH] = L"";
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = root;
  info.pszDisplayName = displayName;
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&request);
  LPITEMIDLIST item = SHBrowseForFolderW(&info);
  bool confirmed = false;
  if (item) {
    wchar_t path[MAX_PATH] = L"";
    if (SHGetPathFromIDListW(item, path) && path[0]) {
      chosen = path;
      confirmed = true;
    }
    CoTaskMemFree(item);
  }
  if (root) CoTaskMemFree(root);
  return confirmed;
}

std::string SelectUploadFiles(HWND owner, const std::wstring& settingsKeyPath) {
  std::wstring initialFolder = InitialFolder(RememberedFolder(settingsKeyPath));
  std::wstring filter = selection::FilterForDialog(Widen(selection::kFileFilter));
  std::wstring title = Widen(selection::kFileDialogTitle);
  std::vector<wchar_t> names(selection::kNameBufferChars, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = names.data();
  dialog.nMaxFile = static_cast<DWORD>(names.size());
  dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = kFileDialogFlags;
  dialog.lpstrDefExt = L"*.*";
  if (!GetOpenFileNameW(&dialog)) return std::string();

  std::wstring pathName;
  selection::FileSelection files;
  for (const std::wstring& path : selection::ChosenPaths(std::wstring(names.data(), names.size()), pathName)) {
    if (!files.Take(ToCodePage(path), [&] { return FileSize(path); })) break;
  }
  if (files.LimitExceeded()) Tell(owner, selection::kTooManyFilesText, selection::kTooManyFilesCaption);
  if (files.ZeroByteCount() > 0) {
    Tell(owner, selection::ZeroByteText(files.ZeroByteCount()), selection::kNotUploadableCaption);
  }
  if (files.LeftOutCount() > 0) {
    Tell(owner, selection::LeftOutText(files.LeftOutCount()), selection::kNotUploadableCaption);
  }
  Remember(settingsKeyPath, pathName);
  return files.List();
}

// A folder whose path the code page cannot say, or too long for the walk,
// is walked only to count what is left out.
std::string ListUploadFolder(const std::wstring& folder, int& leftOut) {
  SystemFolderSource source;
  selection::FolderWalk walk(source);
  std::string list = walk.Run(folder, ToCodePage(folder));
  leftOut = walk.LeftOutCount();
  return list;
}

std::string SelectUploadFolder(HWND owner, const std::wstring& settingsKeyPath) {
  std::wstring initialFolder = InitialFolder(RememberedFolder(settingsKeyPath));
  std::wstring folder;
  if (!BrowseForFolder(owner, initialFolder, CSIDL_DESKTOP, selection::kFolderBrowserTitle, folder) ||
      !Exists(folder)) {
    return std::string();
  }
  int leftOut = 0;
  std::string list = ListUploadFolder(folder, leftOut);
  std::string result;
  if (list.empty()) {
    Tell(owner, selection::kTooManyInFolderText, selection::kTooManyFilesCaption);
  } else {
    Remember(settingsKeyPath, folder);
    result = selection::FolderResult(ToCodePage(folder).text, list);
  }
  if (leftOut > 0) Tell(owner, selection::LeftOutText(leftOut), selection::kNotUploadableCaption);
  return result;
}
