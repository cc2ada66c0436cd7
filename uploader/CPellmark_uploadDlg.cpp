#include "CPellmark_uploadDlg.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

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
const char kTrayTip[] = "업로더";
const COLORREF kStatusCellColour = RGB(239, 201, 222);
// Labels are painted over the skin: a run of spaces clears the old text first.
const int kLabelBlankLength = 80;

// Every skin button but start/stop, in the order of skinButtons_.
const int kSkinButtonIds[] = {
    IDC_UP_HIDE,      IDC_UP_MINIMIZE,        IDC_UP_CLOSE,            IDC_UP_MOVE_TOP,
    IDC_UP_MOVE_UP,   IDC_UP_MOVE_DOWN,       IDC_UP_MOVE_BOTTOM,      IDC_UP_SETTINGS,
    IDC_UP_HOMEPAGE,  IDC_UP_DELETE_SELECTED, IDC_UP_DELETE_COMPLETED, 0};

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
    : CSkinDialog(IDD_HAULBOX_UPLOAD_DIALOG),
      job_(jobState_, *this),
      userButton_([this] { OpenSettingsDialog(); }),
      shutdown_(&SystemShutdown::Platform()) {}

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
      messages::Registered(L"Pell_tray_icons", &D::TrayCallback),
      messages::Registered(L"TaskbarCreated", &D::TaskbarCreated),
  };
  static const MessageTable table(entries, &CSkinDialog::Table());
  return table;
}

BOOL CPellmark_uploadDlg::OnInitDialog() {
  RemoveCaption();
  list_.Attach(Hwnd(), IDC_UP_LIST);
  ApplySkin();
  LoadBackground("images/upload_bg.bmp", /*topmost=*/true);
  SetStaticCellColour(IDC_UP_FILE_TEXT, kStatusCellColour);
  SetStaticCellColour(IDC_UP_SPEED, kStatusCellColour);
  SetStaticCellColour(IDC_UP_TIME_LEFT, kStatusCellColour);
  CreateProgressBars();
  exitAfterBox_.Attach(Hwnd(), IDC_UP_CLOSE_AFTER);
  shutdownAfterBox_.Attach(Hwnd(), IDC_UP_SHUTDOWN_AFTER);
  ReadCompletionBoxes();
  AdmitCopyDataThroughFilter();
  SetIcons();
  jobState_.Reset();
  SetRunning(false);
  if (Application* app = Application::Current()) app->SetMainWindow(Hwnd());
  AnnounceReady();
  AddTrayIcon();
  return TRUE;
}

void CPellmark_uploadDlg::ApplySkin() {
  startStopButton_.Attach(Hwnd(), IDC_UP_START_STOP);
  if (const SkinRow* row = FindSkin(SkinWindow::UploaderMain, IDC_UP_START_STOP)) startStopButton_.LoadSkin(*row);
  for (int i = 0; kSkinButtonIds[i] != 0; ++i) {
    CButtontoImage& button = skinButtons_[i];
    if (!button.Attach(Hwnd(), kSkinButtonIds[i])) continue;
    if (const SkinRow* row = FindSkin(SkinWindow::UploaderMain, kSkinButtonIds[i])) button.LoadSkin(*row);
  }
}

void CPellmark_uploadDlg::CreateProgressBars() {
  fileBar_.CreateOver(Hwnd(), 0, IDC_UP_FILE_PROGRESS);
  totalBar_.CreateOver(Hwnd(), 0, IDC_UP_TOTAL_PROGRESS);
  fileBar_.SetRange(0, 1000);
  totalBar_.SetRange(0, 1000);
}

void CPellmark_uploadDlg::AddTrayIcon() {
  tray_ = std::make_unique<CTrayicon>(Hwnd(), CTrayicon::kIconId, IDI_TRAY);
  tray_->AddIcon(kTrayTip);
}

void CPellmark_uploadDlg::DeleteTrayIcon() { tray_.reset(); }

void CPellmark_uploadDlg::OnCancel() { ShowWindow(Hwnd(), SW_HIDE); }

void CPellmark_uploadDlg::ReadCompletionBoxes() {
  exitAfterBox_.SetCheck(settings::ReadInt("UP_Program_end") != 0 ? BST_CHECKED : BST_UNCHECKED);
  shutdownAfterBox_.SetCheck(settings::ReadInt("UP_System_end") != 0 ? BST_CHECKED : BST_UNCHECKED);
}

// The launcher window runs in the browser, possibly at a lower integrity
// level: WM_COPYDATA from it must be let through the message filter.
void CPellmark_uploadDlg::AdmitCopyDataThroughFilter() {
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

void CPellmark_uploadDlg::SetIcons() {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  if (!icon) return;
  SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void CPellmark_uploadDlg::AnnounceReady() {
  HWND launcher = FindWindowW(kLauncherWindowClass, nullptr);
  if (!launcher) return;
  COPYDATASTRUCT data{};
  data.dwData = kHandoffTagUploader;
  data.cbData = static_cast<DWORD>(std::strlen(kUploaderReadyText) + 1);
  data.lpData = const_cast<char*>(kUploaderReadyText);
  SendMessageW(launcher, WM_COPYDATA, reinterpret_cast<WPARAM>(Hwnd()), reinterpret_cast<LPARAM>(&data));
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

void CPellmark_uploadDlg::SetLabel(int id, const std::string& text) {
  SetItemText(id, std::string(kLabelBlankLength, ' '));
  SetItemText(id, text);
}

void CPellmark_uploadDlg::SetRowState(int row, const char* text) {
  if (row < 0 || row >= list_.GetItemCount()) return;
  // The progress timer sets the running row's state on every tick; an
  // unchanged text would only repaint the row.
  if (list_.GetItemText(row, CFileList<UploadEntry>::kStateColumn) == text) return;
  list_.SetItemText(row, CFileList<UploadEntry>::kStateColumn, text);
}

void CPellmark_uploadDlg::RepaintStartStop() {
  if (startStopButton_.Hwnd()) InvalidateRect(startStopButton_.Hwnd(), nullptr, FALSE);
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
  const std::int64_t total = TotalBytes();
  totalBar_.m_caption = ProgressCaption(done, total);
  const auto position = static_cast<std::uint32_t>(ProgressPosition(done, total));
  if (reset) {
    totalBar_.SetPos(1);
    totalBar_.SetPos(0);
  }
  totalBar_.SetPos(position);
  if (!reset) totalBar_.Invalidate();  // the caption may change while the position does not
}

void CPellmark_uploadDlg::ShowFileProgress(std::int64_t sent, std::int64_t size, bool reset) {
  fileBar_.m_caption = ProgressCaption(sent, size);
  const auto position = static_cast<std::uint32_t>(ProgressPosition(sent, size));
  if (reset) {
    fileBar_.SetRange(0, 1000);
    fileBar_.SetPos(1);
    fileBar_.SetPos(0);
  }
  fileBar_.SetPos(position);
  if (!reset) fileBar_.Invalidate();
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
  fileBar_.SetRange(0, 1000);
  totalBar_.SetRange(0, 1000);
  SetLabel(IDC_UP_TIME_LEFT, "00:00:00");
  ShowOverallProgress(transfer_rules::CompletedBytes(facts), true);
  fileBar_.m_caption = "0/100%(0/0 Byte)";
  fileBar_.SetPos(0);
  fileBar_.Invalidate();
  ShowCursorFile();
  SetLabel(IDC_UP_SPEED, "-");
}

// After rows were deleted: the overall figures of what is left. Done bytes
// are the complete files' sizes, as everywhere else, so that a stopped file's
// bytes are not counted once here and again by the next progress tick.
void CPellmark_uploadDlg::RefreshTotalsAfterDelete() {
  const transfer_rules::Facts facts = Facts();
  jobState_.entryCount = static_cast<int>(facts.size());
  totalBar_.SetRange(0, 1000);
  if (!facts.empty()) {
    ShowOverallProgress(transfer_rules::CompletedBytes(facts), true);
    return;
  }
  totalBar_.m_caption = "0%/100%(0/0 Byte)";
  totalBar_.SetPos(0);
  totalBar_.Invalidate();
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

bool CPellmark_uploadDlg::TrayCallback(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = tray_ ? tray_->HandleCallback(wParam, lParam, IDR_TRAY_MENU) : 0;
  return true;
}

// Explorer was restarted: its notification area has forgotten the icon.
bool CPellmark_uploadDlg::TaskbarCreated(WPARAM, LPARAM, LRESULT& result) {
  if (tray_) tray_->AddIcon(kTrayTip);
  result = 0;
  return true;
}

// ---- Completion and exit -----------------------------------------------------

void CPellmark_uploadDlg::RunCompletionActions() {
  SetRunning(false);
  RepaintStartStop();
  SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (settings::ReadInt("UP_System_end") != 0) {
    DeleteTrayIcon();
    shutdown_->EnablePrivilege(L"SeShutdownPrivilege");
    shutdown_->InitiateShutdown(nullptr, 0, FALSE, FALSE);
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
