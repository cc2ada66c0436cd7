#include "CPellmark_uploadDlg.h"

#include <shellapi.h>

#include <algorithm>

#include "Application.h"
#include "Formatting.h"
#include "Handoff.h"
#include "Haulbox_Config.h"
#include "MessageBoxes.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "SkinTable.h"
#include "TextConversion.h"
#include "UploadText.h"
#include "UploaderRes.h"

namespace {

const char kErrorCaption[] = "업로더 (오류)";
const char kNoticeCaption[] = "업로더";
const COLORREF kStatusCellColour = RGB(239, 201, 222);

// Every skin button but start/stop.
const int kSkinButtonIds[] = {
    IDC_UP_HIDE,      IDC_UP_MINIMIZE,        IDC_UP_CLOSE,            IDC_UP_MOVE_TOP,
    IDC_UP_MOVE_UP,   IDC_UP_MOVE_DOWN,       IDC_UP_MOVE_BOTTOM,      IDC_UP_SETTINGS,
    IDC_UP_HOMEPAGE,  IDC_UP_DELETE_SELECTED, IDC_UP_DELETE_COMPLETED, 0};

const CTransferWindow::Setup kWindowSetup = {
    SkinWindow::UploaderMain, IDC_UP_START_STOP, kSkinButtonIds, IDC_UP_FILE_PROGRESS, IDC_UP_TOTAL_PROGRESS,
    IDR_MAINFRAME,            IDI_TRAY,          IDR_TRAY_MENU,  "업로더",
    IDC_UP_BANNER,            "/app/upload.html"};

std::string TextAfterLastBackslash(const std::string& path) {
  return path.substr(upload_text::FolderOf(path).size());
}

std::int64_t SizeOnDisk(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

CPellmark_uploadDlg::CPellmark_uploadDlg()
    : CTransferWindow(IDD_HAULBOX_UPLOAD_DIALOG, kWindowSetup),
      job_(jobState_, *this),
      userButton_([this] { OpenSettingsDialog(); }) {}

// A worker that does not end in time keeps the job state it shares alive.
CPellmark_uploadDlg::~CPellmark_uploadDlg() { StopWorker(2000); }

bool CPellmark_uploadDlg::StopWorker(DWORD timeoutMs) {
  workers_.RemoveEnded();
  if (workers_.IsEmpty()) return true;
  jobState_.RequestStop();
  workers_.WaitAll(timeoutMs);
  workers_.RemoveEnded();
  return workers_.IsEmpty();
}

const MessageTable& CPellmark_uploadDlg::Table() {
  using D = CPellmark_uploadDlg;
  static const MessageEntry entries[] = {
      messages::CopyData(&D::ReceiveHandoff),
      messages::Timer(kProgressTimer, &D::ProgressTimer),
      messages::Timer(kRetryTimer, &D::RetryTimer),
      messages::Command(IDC_UP_START_STOP, &D::StartStopClicked, BN_CLICKED),
      messages::Command(IDC_UP_DELETE_SELECTED, &D::DeleteSelectedClicked, BN_CLICKED),
      messages::Command(IDC_UP_DELETE_COMPLETED, &D::RemoveCompletedClicked, BN_CLICKED),
      messages::Command(IDC_UP_MOVE_UP, &D::MoveUpClicked, BN_CLICKED),
      messages::Command(IDC_UP_MOVE_DOWN, &D::MoveDownClicked, BN_CLICKED),
      messages::Command(IDC_UP_MOVE_TOP, &D::MoveTopClicked, BN_CLICKED),
      messages::Command(IDC_UP_MOVE_BOTTOM, &D::MoveBottomClicked, BN_CLICKED),
      messages::Command(IDC_UP_SETTINGS, &D::SettingsClicked, BN_CLICKED),
      messages::Command(IDC_UP_HOMEPAGE, &D::HomePageClicked, BN_CLICKED),
      messages::Command(IDC_UP_HIDE, &D::HideClicked, BN_CLICKED),
      messages::Command(IDC_UP_MINIMIZE, &D::MinimizeClicked, BN_CLICKED),
      messages::Command(IDC_UP_CLOSE, &D::ExitClicked, BN_CLICKED),
      messages::Command(IDC_UP_CLOSE_AFTER, &D::ExitAfterClicked, BN_CLICKED),
      messages::Command(IDC_UP_SHUTDOWN_AFTER, &D::ShutdownAfterClicked, BN_CLICKED),
      messages::Command(ID_TRAY_HOMEPAGE, &D::HomePageClicked),
      messages::Command(ID_TRAY_SHOW_WINDOW, &D::TrayShowWindow),
      messages::Command(ID_TRAY_SETTINGS, &D::TraySettings),
      messages::Command(ID_TRAY_EXIT, &D::ExitClicked),
  };
  static const MessageTable table(entries, &CTransferWindow::Table());
  return table;
}

BOOL CPellmark_uploadDlg::OnInitDialog() {
  RemoveCaption();
  list_.Attach(Hwnd(), IDC_UP_LIST);
  LoadSkinButtons();
  LoadBackground("images/upload_bg.bmp", /*topmost=*/true);
  SetStaticCellColour(IDC_UP_FILE_TEXT, kStatusCellColour);
  SetStaticCellColour(IDC_UP_SPEED, kStatusCellColour);
  SetStaticCellColour(IDC_UP_TIME_LEFT, kStatusCellColour);
  CreateProgressBars();
  exitAfterBox_.Attach(Hwnd(), IDC_UP_CLOSE_AFTER);
  shutdownAfterBox_.Attach(Hwnd(), IDC_UP_SHUTDOWN_AFTER);
  ReadCompletionBoxes();
  AdmitCopyDataThroughFilter();
  SetWindowIcons();
  jobState_.Reset();
  SetRunning(false);
  if (Application* app = Application::Current()) app->SetMainWindow(Hwnd());
  AnnounceReady(kHandoffTagUploader, kUploaderReadyText);
  AddTrayIcon();
  NavigateBanner();
  return TRUE;
}

void CPellmark_uploadDlg::OnCancel() { ShowWindow(Hwnd(), SW_HIDE); }

void CPellmark_uploadDlg::ReadCompletionBoxes() {
  exitAfterBox_.SetCheck(settings::ReadInt("UP_Program_end") != 0 ? BST_CHECKED : BST_UNCHECKED);
  shutdownAfterBox_.SetCheck(settings::ReadInt("UP_System_end") != 0 ? BST_CHECKED : BST_UNCHECKED);
}

bool CPellmark_uploadDlg::ReceiveHandoff(HWND, const COPYDATASTRUCT& data) {
  if (data.dwData != kHandoffTagUploader) return false;
  // The text ends at its zero byte, but never beyond the bytes actually sent.
  const char* text = static_cast<const char*>(data.lpData);
  const std::string handoff = text ? std::string(text, strnlen(text, data.cbData)) : std::string();
  list_.SetExtendedStyle(CFileList<UploadEntry>::kExtendedStyle);
  if (!columnsCreated_) {
    CreateListColumns();
    columnsCreated_ = 1;
  }
  job_.ProcessUploadJob(handoff);
  return true;
}

void CPellmark_uploadDlg::CreateListColumns() {
  RECT client{};
  GetClientRect(list_.Hwnd(), &client);
  // The state column takes what the name and size columns leave, but stays readable.
  const int stateWidth = std::max<int>(60, client.right - client.left - 528);
  list_.InsertColumn(0, "파일명", 450, LVCFMT_CENTER);
  list_.InsertColumn(1, "파일크기", 60, LVCFMT_RIGHT);
  list_.InsertColumn(2, "진행상태", stateWidth, LVCFMT_CENTER);
}

void CPellmark_uploadDlg::AttachSystemIcons() { list_.AttachSystemImageList(); }

void CPellmark_uploadDlg::AddRow(int entryIndex) {
  const UploadEntry& entry = jobState_.entries[entryIndex];
  list_.InsertFileRow(entryIndex, TextAfterLastBackslash(entry.localPath),
                      FormatSize(SizeOnDisk(entry.folder + entry.name)),
                      entry.state == kUploadComplete ? "완료" : "대기");
}

// ---- Labels, captions and totals -------------------------------------------

void CPellmark_uploadDlg::SetRowState(int row, const char* text) {
  if (row < 0 || row >= list_.GetItemCount()) return;
  // The progress timer sets the running row's state on every tick; an
  // unchanged text would only repaint the row.
  if (list_.GetItemText(row, CFileList<UploadEntry>::kStateColumn) == text) return;
  list_.SetItemText(row, CFileList<UploadEntry>::kStateColumn, text);
}

void CPellmark_uploadDlg::ShowCursorFile() {
  const UploadEntry* entry = jobState_.CursorEntry();
  if (!entry || entry->name.empty()) {
    SetLabel(IDC_UP_FILE_TEXT, "");
    return;
  }
  SetLabel(IDC_UP_FILE_TEXT, "'" + ShortName(entry->name) + "' 업로드중");
}

void CPellmark_uploadDlg::ShowOverallProgress(std::int64_t done, bool reset) {
  ShowBarProgress(TotalBar(), done, TotalBytes(), reset);
}

void CPellmark_uploadDlg::ShowFileProgress(std::int64_t sent, std::int64_t size, bool reset) {
  ShowBarProgress(FileBar(), sent, size, reset);
}

transfer_rules::Facts CPellmark_uploadDlg::Facts() const {
  transfer_rules::Facts facts;
  for (int i = 0; i < kUploadEntryLimit && !jobState_.entries[i].name.empty(); ++i) {
    const UploadEntry& entry = jobState_.entries[i];
    transfer_rules::EntryFacts fact;
    fact.state = entry.state.load();
    fact.requested = entry.transferring.load() != 0;
    fact.transferred = entry.sent.load();
    fact.size = entry.size.load();
    facts.push_back(fact);
  }
  return facts;
}

void CPellmark_uploadDlg::RecomputeTotals() {
  const transfer_rules::Facts facts = Facts();
  jobState_.entryCount = static_cast<int>(facts.size());
  if (jobState_.transferCursor < 0) {
    for (std::size_t i = 0; i < facts.size(); ++i) {
      if (facts[i].state == kUploadComplete) continue;
      jobState_.transferCursor = static_cast<int>(i);
      break;
    }
  }
  FileBar().SetRange(0, 1000);
  TotalBar().SetRange(0, 1000);
  SetLabel(IDC_UP_TIME_LEFT, "00:00:00");
  ShowOverallProgress(transfer_rules::CompletedBytes(facts), true);
  FileBar().m_caption = "0/100%(0/0 Byte)";
  FileBar().SetPos(0);
  FileBar().Invalidate();
  ShowCursorFile();
  SetLabel(IDC_UP_SPEED, "-");
}

// After rows were deleted: the overall figures of what is left. Done bytes
// are the complete files' sizes, as everywhere else, so that a stopped file's
// bytes are not counted once here and again by the next progress tick.
void CPellmark_uploadDlg::RefreshTotalsAfterDelete() {
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
}

void CPellmark_uploadDlg::ApplyRemoval(const transfer_rules::Removal& removal) {
  UserButton().RemoveRows(removal, jobState_.entryCount);
  jobState_.entryCount = removal.entryCount;
  jobState_.transferCursor = removal.cursors.transfer;
}

void CPellmark_uploadDlg::FollowMoves(const CFileList<UploadEntry>::Swaps& swaps) {
  jobState_.transferCursor = transfer_rules::FollowSwaps(jobState_.transferCursor.load(), swaps);
}

// ---- Commands ----------------------------------------------------------------

// A stopped worker may still be ending (a stalled send, its receive-error
// box): until it has, no list command may move the entries under it.
bool CPellmark_uploadDlg::BlockedWhileRunning() {
  if (!IsRunning() && !HasWorker()) return false;
  ShowMessageBox(Hwnd(), "전송중에는 사용할수 없습니다.", kErrorCaption, MB_OK | MB_ICONERROR);
  return true;
}

CUser_button<UploadEntry>& CPellmark_uploadDlg::UserButton() {
  userButton_.Attach(Hwnd(), &list_);
  return userButton_;
}

void CPellmark_uploadDlg::DeleteSelectedClicked() {
  if (BlockedWhileRunning()) return;
  if (list_.GetSelectedCount() <= 0) {
    ShowMessageBox(Hwnd(), "삭제할 파일을 선택하세요.", kNoticeCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (ShowMessageBox(Hwnd(), "삭제하시겠습니까?", "삭제확인", MB_YESNO | MB_ICONINFORMATION) != IDYES) return;
  // The question's message loop may have started an upload (retry timer, a job's auto-start).
  if (BlockedWhileRunning()) return;
  const transfer_rules::Cursors cursors{jobState_.transferCursor.load(), transfer_rules::kNoStoppedEntry};
  ApplyRemoval(transfer_rules::PlanDeleteSelected(UserButton().SelectedRows(jobState_.entryCount), cursors));
  RefreshTotalsAfterDelete();
}

void CPellmark_uploadDlg::RemoveCompletedClicked() {
  if (BlockedWhileRunning()) return;
  const transfer_rules::Cursors cursors{jobState_.transferCursor.load(), transfer_rules::kNoStoppedEntry};
  ApplyRemoval(transfer_rules::PlanRemoveCompleted(UserButton().CompletedRows(jobState_.entryCount), cursors));
  RecomputeTotals();
}

void CPellmark_uploadDlg::MoveTopClicked() {
  if (!BlockedWhileRunning()) FollowMoves(list_.MoveSelectedToTop());
}
void CPellmark_uploadDlg::MoveUpClicked() {
  if (!BlockedWhileRunning()) FollowMoves(list_.MoveSelectedUp());
}
void CPellmark_uploadDlg::MoveDownClicked() {
  if (!BlockedWhileRunning()) FollowMoves(list_.MoveSelectedDown());
}
void CPellmark_uploadDlg::MoveBottomClicked() {
  if (!BlockedWhileRunning()) FollowMoves(list_.MoveSelectedToBottom());
}

void CPellmark_uploadDlg::SettingsClicked() {
  UserButton().OpenSettings();
  ReadCompletionBoxes();
}

void CPellmark_uploadDlg::OpenSettingsDialog() {
  Haulbox_Config dialog(settings::ConfigProgram::Uploader);
  dialog.DoModal();
}

void CPellmark_uploadDlg::ShellOpen(const std::string& program, const std::string& parameter) {
  ShellExecuteW(Hwnd(), L"open", Widen(program).c_str(), Widen(parameter).c_str(), nullptr, SW_SHOWNORMAL);
}

void CPellmark_uploadDlg::HomePageClicked() { ShellOpen("iexplore", WebHostUrl("/")); }
void CPellmark_uploadDlg::HideClicked() { ShowWindow(Hwnd(), SW_HIDE); }
void CPellmark_uploadDlg::MinimizeClicked() { ShowWindow(Hwnd(), SW_MINIMIZE); }

void CPellmark_uploadDlg::ExitAfterClicked() {
  settings::WriteInt("UP_Program_end", exitAfterBox_.IsChecked() ? 1 : 0);
}

void CPellmark_uploadDlg::ShutdownAfterClicked() {
  settings::WriteInt("UP_System_end", shutdownAfterBox_.IsChecked() ? 1 : 0);
}

void CPellmark_uploadDlg::TrayShowWindow() {
  SetFocus(Hwnd());
  trayMenus_.ShowOwner(Hwnd());
}

void CPellmark_uploadDlg::TraySettings() {
  trayMenus_.ShowOwner(Hwnd());
  SettingsClicked();
}

// ---- Completion and exit -----------------------------------------------------

void CPellmark_uploadDlg::RunCompletionActions() {
  SetRunning(false);
  RepaintStartStop();
  SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (settings::ReadInt("UP_System_end") != 0) {
    ShutDownComputer();
    return;
  }
  if (settings::ReadInt("UP_Program_end") != 0) {
    ExitProgram();
    return;
  }
  ShowWindow(Hwnd(), SW_SHOW);
  ShowMessageBox(Hwnd(), "모든 파일이 전송완료되었습니다.", "전송완료", MB_OK | MB_ICONINFORMATION);
}

void CPellmark_uploadDlg::ExitProgram() {
  int unfinished = 0;
  for (int i = 0; i < kUploadEntryLimit && !jobState_.entries[i].name.empty(); ++i) {
    if (jobState_.entries[i].state != kUploadComplete) ++unfinished;
  }
  if (unfinished > 0 &&
      ShowMessageBox(Hwnd(), "전송이 완료되지 않은 파일이 있습니다.\n그래도 종료 하시겠습니까?", "종료확인",
                     MB_YESNO | MB_ICONINFORMATION) != IDYES) {
    return;
  }
  DeleteTrayIcon();
  StopTimer(kProgressTimer);
  StopTimer(kRetryTimer);
  PostQuitMessage(0);
  EndDialog(IDCANCEL);
}
