#include "CHaulbox_downloadDlg.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "Application.h"
#include "CFileOverCheck.h"
#include "DownloaderRes.h"
#include "Formatting.h"
#include "Haulbox_Config.h"
#include "MessageBoxes.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "SkinTable.h"
#include "TextConversion.h"

namespace {

const char kErrorCaption[] = "다운로더 (오류)";
const char kNoticeCaption[] = "다운로더";
const COLORREF kStatusCellColour = RGB(250, 252, 228);
const COLORREF kFolderCellColour = RGB(242, 242, 242);

// Every skin button but start/stop.
const int kSkinButtonIds[] = {
    IDC_DOWN_HIDE,         IDC_DOWN_MINIMIZE,    IDC_DOWN_CLOSE,           IDC_DOWN_MOVE_TOP,
    IDC_DOWN_MOVE_UP,      IDC_DOWN_MOVE_DOWN,   IDC_DOWN_MOVE_BOTTOM,     IDC_DOWN_SETTINGS,
    IDC_DOWN_DELETE_SELECTED, IDC_DOWN_REMOVE_COMPLETED, IDC_DOWN_EXIT,    IDC_DOWN_OPEN_FOLDER,
    IDC_DOWN_HOMEPAGE,     IDC_DOWN_OPEN_FILE,   0};

const CTransferWindow::Setup kWindowSetup = {
    SkinWindow::DownloaderMain, IDC_DOWN_START_STOP, kSkinButtonIds, IDC_DOWN_FILE_PROGRESS, IDC_DOWN_TOTAL_PROGRESS,
    IDR_MAINFRAME,              IDI_TRAY,            IDR_TRAY_MENU,  "다운로더",
    IDC_DOWN_BANNER,            "/app/download.html"};

std::string WithBackslash(const std::string& folder) {
  if (!folder.empty() && folder.back() == '\\') return folder;
  return folder + "\\";
}

}  // namespace

CHaulbox_downloadDlg::CHaulbox_downloadDlg()
    : CTransferWindow(IDD_HAULBOX_DOWN_DIALOG, kWindowSetup),
      job_(jobState_, *this),
      userButton_([this] { OpenSettingsDialog(); }) {}

// A worker that does not end in time keeps the job state it shares alive.
CHaulbox_downloadDlg::~CHaulbox_downloadDlg() { StopWorker(2000); }

bool CHaulbox_downloadDlg::StopWorker(DWORD timeoutMs) {
  workers_.RemoveEnded();
  if (workers_.IsEmpty()) return true;
  jobState_.RequestStop();
  workers_.WaitAll(timeoutMs);
  workers_.RemoveEnded();
  return workers_.IsEmpty();
}

const MessageTable& CHaulbox_downloadDlg::Table() {
  using D = CHaulbox_downloadDlg;
  static const MessageEntry entries[] = {
      messages::CopyData(&D::ReceiveHandoff),
      messages::Timer(kProgressTimer, &D::ProgressTimer),
      messages::Timer(kRetryTimer, &D::RetryTimer),
      messages::Command(IDC_DOWN_START_STOP, &D::StartStopClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_DELETE_SELECTED, &D::DeleteSelectedClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_REMOVE_COMPLETED, &D::RemoveCompletedClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_MOVE_TOP, &D::MoveTopClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_MOVE_UP, &D::MoveUpClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_MOVE_DOWN, &D::MoveDownClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_MOVE_BOTTOM, &D::MoveBottomClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_SETTINGS, &D::SettingsClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_OPEN_FOLDER, &D::OpenFolderClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_OPEN_FILE, &D::OpenFileClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_HOMEPAGE, &D::HomePageClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_HIDE, &D::HideClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_MINIMIZE, &D::MinimizeClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_CLOSE, &D::ExitClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_EXIT, &D::ExitClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_EXIT_AFTER, &D::ExitAfterClicked, BN_CLICKED),
      messages::Command(IDC_DOWN_SHUTDOWN_AFTER, &D::ShutdownAfterClicked, BN_CLICKED),
      messages::Command(ID_TRAY_HOMEPAGE, &D::HomePageClicked),
      messages::Command(ID_TRAY_SHOW_WINDOW, &D::TrayShowWindow),
      messages::Command(ID_TRAY_SETTINGS, &D::TraySettings),
      messages::Command(ID_TRAY_EXIT, &D::ExitClicked),
      messages::Notify(IDC_DOWN_LIST, NM_DBLCLK, &D::ListDoubleClicked),
  };
  static const MessageTable table(entries, &CTransferWindow::Table());
  return table;
}

BOOL CHaulbox_downloadDlg::OnInitDialog() {
  RemoveCaption();
  list_.Attach(Hwnd(), IDC_DOWN_LIST);
  LoadSkinButtons();
  LoadBackground("images/download_bg.bmp", /*topmost=*/true);
  SetStaticCellColour(IDC_DOWN_FILE_TEXT, kStatusCellColour);
  SetStaticCellColour(IDC_DOWN_SPEED, kStatusCellColour);
  SetStaticCellColour(IDC_DOWN_TIME_LEFT, kStatusCellColour);
  SetStaticCellColour(IDC_DOWN_FOLDER_TEXT, kFolderCellColour);
  // A long folder would wrap into a second, cut-off line: shorten it in the middle instead.
  if (HWND folderLabel = Item(IDC_DOWN_FOLDER_TEXT)) {
    LONG_PTR style = GetWindowLongPtrW(folderLabel, GWL_STYLE);
    SetWindowLongPtrW(folderLabel, GWL_STYLE, (style & ~SS_ELLIPSISMASK) | SS_PATHELLIPSIS);
  }
  CreateProgressBars();
  exitAfterBox_.Attach(Hwnd(), IDC_DOWN_EXIT_AFTER);
  shutdownAfterBox_.Attach(Hwnd(), IDC_DOWN_SHUTDOWN_AFTER);
  ReadSettings();
  AdmitCopyDataThroughFilter();
  SetWindowIcons();
  readyFlag_ = 1;
  jobState_.Reset();
  SetRunning(false);
  job_.Member() = MemberFields();
  if (Application* app = Application::Current()) app->SetMainWindow(Hwnd());
  AnnounceReady(kHandoffTagDownloader, kDownloaderReadyText);
  AddTrayIcon();
  NavigateBanner();
  return TRUE;
}

void CHaulbox_downloadDlg::OnCancel() { ShowWindow(Hwnd(), SW_HIDE); }

void CHaulbox_downloadDlg::ReadSettings() {
  jobState_.existingFileRule = settings::ReadInt("DOWN_File_over");
  exitAfterBox_.SetCheck(settings::ReadInt("DOWN_Program_end") != 0 ? BST_CHECKED : BST_UNCHECKED);
  shutdownAfterBox_.SetCheck(settings::ReadInt("DOWN_System_end") != 0 ? BST_CHECKED : BST_UNCHECKED);
}

bool CHaulbox_downloadDlg::ReceiveHandoff(HWND, const COPYDATASTRUCT& data) {
  if (data.dwData != kHandoffTagDownloader) return false;
  // The text ends at its zero byte, but never beyond the bytes actually sent.
  const char* text = static_cast<const char*>(data.lpData);
  pendingHandoff_ = text ? std::string(text, strnlen(text, data.cbData)) : std::string();
  if (readyFlag_) {
    list_.SetExtendedStyle(CFileList<DownloadEntry>::kExtendedStyle);
    if (!columnsCreated_) {
      CreateListColumns();
      columnsCreated_ = 1;
    }
    ProcessJob(std::string(pendingHandoff_));  // a copy: the job clears the pending text first
  }
  return true;
}

void CHaulbox_downloadDlg::ProcessJob(const std::string& handoffText) {
  pendingHandoff_.clear();
  job_.ProcessJob(handoffText);
  readyFlag_ = 1;
}

void CHaulbox_downloadDlg::CreateListColumns() {
  RECT client{};
  GetClientRect(list_.Hwnd(), &client);
  // The state column takes what the name and size columns leave, but stays readable.
  const int stateWidth = std::max<int>(60, client.right - client.left - 555);
  list_.InsertColumn(0, "파일명", 490, LVCFMT_CENTER);
  list_.InsertColumn(1, "파일크기", 60, LVCFMT_RIGHT);
  list_.InsertColumn(3, "진행상태", stateWidth, LVCFMT_CENTER);
}

void CHaulbox_downloadDlg::MoveToTopLeft() {
  SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHaulbox_downloadDlg::AttachSystemIcons() { list_.AttachSystemImageList(); }

bool CHaulbox_downloadDlg::PickFolder(const std::string& title, std::string& folder) {
  return BrowseForFolder(Hwnd(), title, folder);
}

int CHaulbox_downloadDlg::RowCount() { return list_.GetItemCount(); }

void CHaulbox_downloadDlg::AddRow(int entryIndex) {
  const DownloadEntry& entry = jobState_.entries[entryIndex];
  list_.InsertFileRow(entryIndex, entry.name, FormatSize(entry.size.load()), "대기");
}

void CHaulbox_downloadDlg::ClearRunning() {
  SetRunning(false);
  RepaintStartStop();
}

void CHaulbox_downloadDlg::OpenWebHost() { ShellOpen("iexplore", WebHostUrl("/")); }

// ---- Labels, captions and totals -------------------------------------------

void CHaulbox_downloadDlg::SetRowState(int row, const char* text) {
  if (row < 0 || row >= list_.GetItemCount()) return;
  // The progress timer sets the running row's state on every tick; an
  // unchanged text would only repaint the row.
  if (list_.GetItemText(row, CFileList<DownloadEntry>::kStateColumn) == text) return;
  list_.SetItemText(row, CFileList<DownloadEntry>::kStateColumn, text);
}

void CHaulbox_downloadDlg::ShowCursorFile() {
  const DownloadEntry* entry = jobState_.CursorEntry();
  if (!entry || entry->name.empty()) {
    // Nothing left to download: the labels say so instead of naming no file.
    SetLabel(IDC_DOWN_FILE_TEXT, "");
    SetLabel(IDC_DOWN_FOLDER_TEXT, "");
    return;
  }
  SetLabel(IDC_DOWN_FILE_TEXT, "'" + ShortName(entry->name) + "' 다운로드중");
  SetLabel(IDC_DOWN_FOLDER_TEXT, entry->localFolder);
}

void CHaulbox_downloadDlg::ShowOverallProgress(std::int64_t done, bool reset) {
  ShowBarProgress(TotalBar(), done, TotalBytes(), reset);
}

void CHaulbox_downloadDlg::ShowFileProgress(std::int64_t received, std::int64_t size, bool reset) {
  ShowBarProgress(FileBar(), received, size, reset);
}

transfer_rules::Facts CHaulbox_downloadDlg::Facts() const {
  transfer_rules::Facts facts;
  for (int i = 0; i < kEntryLimit && !jobState_.entries[i].name.empty(); ++i) {
    const DownloadEntry& entry = jobState_.entries[i];
    transfer_rules::EntryFacts fact;
    fact.state = entry.state.load();
    fact.requested = entry.requested.load() != 0;
    fact.transferred = entry.received.load();
    fact.size = entry.size.load();
    facts.push_back(fact);
  }
  return facts;
}

void CHaulbox_downloadDlg::RecomputeTotals() {
  if (jobState_.entryCount == 0) return;
  const transfer_rules::Facts facts = Facts();
  jobState_.entryCount = static_cast<int>(facts.size());
  if (jobState_.transferCursor < 0) {
    for (std::size_t i = 0; i < facts.size(); ++i) {
      if (facts[i].state == kEntryComplete) continue;
      jobState_.transferCursor = static_cast<int>(i);
      break;
    }
  }
  FileBar().SetRange(0, 1000);
  TotalBar().SetRange(0, 1000);
  SetLabel(IDC_DOWN_TIME_LEFT, "00:00:00");
  ShowOverallProgress(transfer_rules::CompletedBytes(facts), true);
  FileBar().m_caption = "0/100%(0/0 Byte)";
  FileBar().SetPos(0);
  FileBar().Invalidate();
  ShowCursorFile();
  SetLabel(IDC_DOWN_SPEED, "-");
}

void CHaulbox_downloadDlg::RefreshTotals() {
  const transfer_rules::Facts facts = Facts();
  jobState_.entryCount = static_cast<int>(facts.size());
  TotalBar().SetRange(0, 1000);
  if (!facts.empty()) {
    ShowOverallProgress(transfer_rules::CompletedBytes(facts), true);
    return;
  }
  TotalBar().m_caption = "0%/100%(0/0 Byte)";
  TotalBar().SetPos(0);
  TotalBar().Invalidate();
  SetLabel(IDC_DOWN_TIME_LEFT, "00:00:00");
}

void CHaulbox_downloadDlg::ApplyRemoval(const transfer_rules::Removal& removal) {
  UserButton().RemoveRows(removal, jobState_.entryCount);
  jobState_.entryCount = removal.entryCount;
  jobState_.transferCursor = removal.cursors.transfer;
  jobState_.stoppedIndex = removal.cursors.stopped;
}

void CHaulbox_downloadDlg::FollowMoves(const CFileList<DownloadEntry>::Swaps& swaps) {
  jobState_.transferCursor = transfer_rules::FollowSwaps(jobState_.transferCursor.load(), swaps);
  jobState_.stoppedIndex = transfer_rules::FollowSwaps(jobState_.stoppedIndex.load(), swaps);
}

// ---- Commands ----------------------------------------------------------------

// A stopped worker may still be ending (a pending connect, its receive-error
// box): until it has, no list command may move the entries under it.
bool CHaulbox_downloadDlg::BlockedWhileRunning() {
  if (!IsRunning() && !HasWorker()) return false;
  ShowMessageBox(Hwnd(), "전송중에는 사용할수 없습니다.", kErrorCaption, MB_OK | MB_ICONERROR);
  return true;
}

CUser_button<DownloadEntry>& CHaulbox_downloadDlg::UserButton() {
  userButton_.Attach(Hwnd(), &list_);
  return userButton_;
}

void CHaulbox_downloadDlg::DeleteSelectedClicked() {
  if (BlockedWhileRunning()) return;
  if (list_.GetSelectedCount() <= 0) {
    ShowMessageBox(Hwnd(), "삭제할 파일을 선택하세요.", kNoticeCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (ShowMessageBox(Hwnd(), "삭제하시겠습니까?", "삭제확인", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  // The question's message loop may have started a download (retry timer, a hand-off's auto-start).
  if (BlockedWhileRunning()) return;
  const transfer_rules::Cursors cursors{jobState_.transferCursor.load(), jobState_.stoppedIndex.load()};
  ApplyRemoval(transfer_rules::PlanDeleteSelected(UserButton().SelectedRows(jobState_.entryCount), cursors));
  RefreshTotals();
}

void CHaulbox_downloadDlg::RemoveCompletedClicked() {
  if (BlockedWhileRunning()) return;
  RemoveCompletedRows();
}

void CHaulbox_downloadDlg::RemoveCompletedRows() {
  const transfer_rules::Cursors cursors{jobState_.transferCursor.load(), jobState_.stoppedIndex.load()};
  ApplyRemoval(transfer_rules::PlanRemoveCompleted(UserButton().CompletedRows(jobState_.entryCount), cursors));
  RecomputeTotals();
}

void CHaulbox_downloadDlg::MoveTopClicked() {
  if (!BlockedWhileRunning()) FollowMoves(list_.MoveSelectedToTop());
}
void CHaulbox_downloadDlg::MoveUpClicked() {
  if (!BlockedWhileRunning()) FollowMoves(list_.MoveSelectedUp());
}
void CHaulbox_downloadDlg::MoveDownClicked() {
  if (!BlockedWhileRunning()) FollowMoves(list_.MoveSelectedDown());
}
void CHaulbox_downloadDlg::MoveBottomClicked() {
  if (!BlockedWhileRunning()) FollowMoves(list_.MoveSelectedToBottom());
}

void CHaulbox_downloadDlg::SettingsClicked() {
  UserButton().OpenSettings();
  ReadSettings();
}

void CHaulbox_downloadDlg::OpenSettingsDialog() {
  Haulbox_Config dialog(settings::ConfigProgram::Downloader);
  dialog.DoModal();
}

int CHaulbox_downloadDlg::ChosenEntry() const {
  return transfer_rules::ChosenEntry(Facts(), list_.GetNextItem(-1, LVNI_SELECTED), jobState_.transferCursor.load());
}

void CHaulbox_downloadDlg::OpenFolderClicked() {
  const int chosen = ChosenEntry();
  if (chosen < 0) return;
  ShellOpen("explorer", jobState_.entries[chosen].localFolder);
}

void CHaulbox_downloadDlg::OpenFileClicked() {
  const int chosen = ChosenEntry();
  if (chosen < 0 || jobState_.entries[chosen].received.load() <= 0) {
    ShowMessageBox(Hwnd(), "선택한 파일은 전송되지 않아 재생할수 없습니다.", "재생오류", MB_OK | MB_ICONINFORMATION);
    return;
  }
  OpenEntryFile(chosen);
}

void CHaulbox_downloadDlg::OpenEntryFile(int index) {
  const DownloadEntry& entry = jobState_.entries[index];
  ShellOpen("", WithBackslash(entry.localFolder) + entry.name);
  ShowWindow(Hwnd(), SW_MINIMIZE);
}

bool CHaulbox_downloadDlg::ListDoubleClicked(const NMHDR&, LRESULT& result) {
  result = 0;
  const int selected = list_.GetNextItem(-1, LVNI_SELECTED);
  if (selected >= 0 && selected < jobState_.entryCount) OpenEntryFile(selected);
  return true;
}

void CHaulbox_downloadDlg::ShellOpen(const std::string& program, const std::string& parameter) {
  if (program.empty()) {
    ShellExecuteW(Hwnd(), nullptr, Widen(parameter).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  } else {
    ShellExecuteW(Hwnd(), L"open", Widen(program).c_str(), Widen(parameter).c_str(), nullptr, SW_SHOWNORMAL);
  }
}

void CHaulbox_downloadDlg::HomePageClicked() { OpenWebHost(); }
void CHaulbox_downloadDlg::HideClicked() { ShowWindow(Hwnd(), SW_HIDE); }
void CHaulbox_downloadDlg::MinimizeClicked() { ShowWindow(Hwnd(), SW_MINIMIZE); }

void CHaulbox_downloadDlg::ExitAfterClicked() { settings::WriteInt("DOWN_Program_end", exitAfterBox_.IsChecked() ? 1 : 0); }

void CHaulbox_downloadDlg::ShutdownAfterClicked() {
  settings::WriteInt("DOWN_System_end", shutdownAfterBox_.IsChecked() ? 1 : 0);
}

void CHaulbox_downloadDlg::TrayShowWindow() {
  SetFocus(Hwnd());
  trayMenus_.ShowOwner(Hwnd());
}

void CHaulbox_downloadDlg::TraySettings() {
  trayMenus_.ShowOwner(Hwnd());
  SettingsClicked();
}

// ---- Completion and exit -----------------------------------------------------

void CHaulbox_downloadDlg::RunCompletionActions() {
  SetRunning(false);
  RepaintStartStop();
  SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  const transfer_rules::CompletionPass pass = transfer_rules::PlanCompletionPass(Facts());
  for (int index : pass.waitAgain) jobState_.entries[index].state = kEntryWaiting;
  jobState_.transferCursor = pass.cursor;
  if (settings::ReadInt("DOWN_System_end") != 0) {
    ShutDownComputer();
    return;
  }
  if (settings::ReadInt("DOWN_Program_end") == 1) {
    ExitProgram();
    return;
  }
  ShowMessageBox(Hwnd(), "모든 파일이 전송완료되었습니다.", "전송완료", MB_OK | MB_ICONINFORMATION);
  ShowWindow(Hwnd(), SW_SHOW);
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
  // Before any job nobody is logged in; an empty id would go unanswered.
  if (!job_.Member().memberId.empty()) job_.Logout();
  DeleteTrayIcon();
  StopTimer(kProgressTimer);
  StopTimer(kRetryTimer);
  PostQuitMessage(0);
  EndDialog(IDCANCEL);
}
