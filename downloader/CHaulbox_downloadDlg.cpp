#include "CHaulbox_downloadDlg.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "Application.h"
#include "DownloaderRes.h"
#include "Formatting.h"
#include "MessageBoxes.h"
#include "ServiceEndpoints.h"
#include "TextConversion.h"

const char kDownloaderReadyText[] = "Haulbox_Downloader";
const wchar_t kLauncherWindowClass[] = L"HAULbox_AX_EXE";
const wchar_t kDownloaderWindowClass[] = L"Haulbox_downloader";

namespace {

int ConfigInt(const char* entry, int defaultValue = 0) {
  Application* app = Application::Current();
  return app ? app->GetProfileInt("Config", entry, defaultValue) : defaultValue;
}

}  // namespace

CHaulbox_downloadDlg::CHaulbox_downloadDlg() : Dialog(IDD_HAULBOX_DOWN_DIALOG), job_(jobState_, *this) {}

const MessageTable& CHaulbox_downloadDlg::Table() {
  static const MessageEntry entries[] = {
      messages::CopyData(&CHaulbox_downloadDlg::ReceiveHandoff),
  };
  static const MessageTable table(entries, &Dialog::Table());
  return table;
}

BOOL CHaulbox_downloadDlg::OnInitDialog() {
  list_.Attach(Hwnd(), IDC_DOWN_LIST);
  ReadSettings();
  AdmitCopyDataThroughFilter();
  SetIcons();
  readyFlag_ = 1;
  jobState_.Reset();
  running_ = 0;
  job_.Member() = MemberFields();
  if (Application* app = Application::Current()) app->SetMainWindow(Hwnd());
  AnnounceReady();
  return TRUE;
}

void CHaulbox_downloadDlg::OnCancel() { ShowWindow(Hwnd(), SW_HIDE); }

void CHaulbox_downloadDlg::ReadSettings() { jobState_.existingFileRule = ConfigInt("DOWN_File_over"); }

// The launcher window runs in the browser, possibly at a lower integrity
// level: WM_COPYDATA from it must be let through the message filter.
void CHaulbox_downloadDlg::AdmitCopyDataThroughFilter() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&version)) return;
#pragma GCC diagnostic pop
  if (version.dwPlatformId != VER_PLATFORM_WIN32_NT || version.dwMajorVersion <= 5) return;
  using FilterFunction = BOOL(WINAPI*)(UINT, DWORD);
  HMODULE user32 = GetModuleHandleW(L"USER32.DLL");
  auto filter = user32 ? reinterpret_cast<FilterFunction>(
                             reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter")))
                       : nullptr;
  if (filter) filter(WM_COPYDATA, 1 /* MSGFLT_ADD */);
}

void CHaulbox_downloadDlg::SetIcons() {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  if (!icon) return;
  SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void CHaulbox_downloadDlg::AnnounceReady() {
  HWND launcher = FindWindowW(kLauncherWindowClass, nullptr);
  if (!launcher) return;
  COPYDATASTRUCT data{};
  data.dwData = kHandoffTagDownloader;
  data.cbData = static_cast<DWORD>(std::strlen(kDownloaderReadyText) + 1);
  data.lpData = const_cast<char*>(kDownloaderReadyText);
  SendMessageW(launcher, WM_COPYDATA, reinterpret_cast<WPARAM>(Hwnd()), reinterpret_cast<LPARAM>(&data));
}

bool CHaulbox_downloadDlg::ReceiveHandoff(HWND, const COPYDATASTRUCT& data) {
  if (data.dwData != kHandoffTagDownloader) return false;
  // The text ends at its zero byte, but never beyond the bytes actually sent.
  const char* text = static_cast<const char*>(data.lpData);
  pendingHandoff_ = text ? std::string(text, strnlen(text, data.cbData)) : std::string();
  if (readyFlag_) {
    list_.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES);
    if (!columnsCreated_) {
      CreateListColumns();
      columnsCreated_ = 1;
    }
    ProcessJob(pendingHandoff_);
  }
  return true;
}

void CHaulbox_downloadDlg::ProcessJob(const std::string& handoffText) {
  pendingHandoff_.clear();
  job_.ProcessJob(handoffText);
  readyFlag_ = 1;
}

void CHaulbox_downloadDlg::CreateListColumns() {
  list_.InsertColumn(0, "파일명", 300);
  list_.InsertColumn(1, "크기", 80, LVCFMT_RIGHT);
  list_.InsertColumn(2, "상태", 60, LVCFMT_CENTER);
}

void CHaulbox_downloadDlg::MoveToTopLeft() {
  SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHaulbox_downloadDlg::AttachSystemIcons() {
  SHFILEINFOW info{};
  auto systemList = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (!systemList) return;
  // The system image list belongs to the shell: the list must not destroy it.
  LONG_PTR style = GetWindowLongPtrW(list_.Hwnd(), GWL_STYLE);
  SetWindowLongPtrW(list_.Hwnd(), GWL_STYLE, style | LVS_SHAREIMAGELISTS);
  list_.SetImageList(systemList, LVSIL_SMALL);
}

bool CHaulbox_downloadDlg::PickFolder(const std::string& title, std::string& folder) {
  std::wstring wideTitle = Widen(title);
  BROWSEINFOW browse{};
  browse.hwndOwner = Hwnd();
  browse.lpszTitle = wideTitle.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&browse);
  if (!picked) return false;
  wchar_t path[MAX_PATH] = L"";
  bool ok = SHGetPathFromIDListW(picked, path) != FALSE;
  CoTaskMemFree(picked);
  if (ok) folder = Narrow(path);
  return ok;
}

int CHaulbox_downloadDlg::RowCount() { return list_.GetItemCount(); }

void CHaulbox_downloadDlg::AddRow(int entryIndex) {
  const DownloadEntry& entry = jobState_.entries[entryIndex];
  list_.InsertItem(entryIndex, entry.name);
  list_.SetItemText(entryIndex, 1, FormatSize(entry.size.load()));
  list_.SetItemText(entryIndex, 2, "대기");
}

// The totals shown by the progress bars come with the window's face; here the
// entry count and the transfer cursor are brought up to date.
void CHaulbox_downloadDlg::RecomputeTotals() {
  if (jobState_.entryCount == 0) return;
  int walked = 0;
  for (; walked < kEntryLimit && !jobState_.entries[walked].name.empty(); ++walked) {
    if (jobState_.transferCursor < 0 && jobState_.entries[walked].state != kEntryComplete) {
      jobState_.transferCursor = walked;
    }
  }
  jobState_.entryCount = walked;
}

void CHaulbox_downloadDlg::ToggleDownload() {
  if (running_) {
    jobState_.stoppedIndex = jobState_.transferCursor.load();
    jobState_.RequestStop();
    running_ = 0;
    return;
  }
  StartNextDownload();
}

// Starts the worker for the first unfinished entry. The progress timer that
// follows it and goes on to the next file belongs to the scheduling.
void CHaulbox_downloadDlg::StartNextDownload() {
  workers_.RemoveEnded();
  if (!workers_.IsEmpty()) return;  // the stopped worker has not ended yet
  jobState_.transferCursor = kNoTransferCursor;
  for (int i = 0; i < kEntryLimit && !jobState_.entries[i].name.empty(); ++i) {
    DownloadEntry& entry = jobState_.entries[i];
    bool pending = entry.state != kEntryComplete || entry.requested != 0;
    if (pending && entry.state != kEntryFailed) {
      jobState_.transferCursor = i;
      break;
    }
  }
  DownloadEntry* entry = jobState_.CursorEntry();
  if (!entry) return;
  if (entry->requested == 0) entry->received = 0;
  entry->state = kEntryDownloading;
  running_ = 1;
  if (!workers_.Start(jobState_)) running_ = 0;
}

void CHaulbox_downloadDlg::OpenWebHost() {
  ShellExecuteW(nullptr, L"open", L"iexplore", Widen(WebHostUrl("/")).c_str(), nullptr, SW_SHOWNORMAL);
}

void CHaulbox_downloadDlg::ExitProgram() {
  int unfinished = 0;
  for (int i = 0; i < kEntryLimit && !jobState_.entries[i].name.empty(); ++i) {
    if (jobState_.entries[i].state != kEntryComplete) ++unfinished;
  }
  if (unfinished > 0 &&
      ShowMessageBox(Hwnd(), "전송이 완료되지 않은 파일이 있습니다.\n그래도 종료 하시겠습니까?", "종료확인",
                     MB_YESNO | MB_ICONINFORMATION) != IDYES) {
    return;
  }
  job_.Logout();
  PostQuitMessage(0);
  EndDialog(IDCANCEL);
}
