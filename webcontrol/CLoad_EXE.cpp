#include "CLoad_EXE.h"

#include <shellapi.h>

#include "Application.h"
#include "Handoff.h"
#include "MessageBoxes.h"
#include "ProgramVersion.h"
#include "UploadSelection.h"
#include "WebControlRes.h"

namespace {

const char kInstallCancelledText[] = "업/다운로더 프로그램설치가 취소되었습니다.";
const char kInstallErrorCaption[] = "설치오류(오류)";
const char kControllerNotStartedText[] = "컨트롤러가 실행되지 않았습니다";
const char kErrorCaption[] = "(오류)";
const char kProgramDidNotStartText[] =
    "프로그램이 시작되지 않았습니다.\n잠시 후 다시 시도해 주십시오.";

const char kProgramNotAnsweringText[] =
    "프로그램이 응답하지 않습니다.\n잠시 후 다시 시도해 주십시오.";

const UINT_PTR kReadyWaitTimer = 1;
const COLORREF kTransparentColour = RGB(255, 0, 255);

template <class Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)))
                : nullptr;
}

}  // namespace

CLoad_EXE::Environment CLoad_EXE::DefaultEnvironment() {
  // The control's own profile section "Config".
  Application* app = Application::Current();
  return Environment{InstallFolder(), RunProgramUpdate, 60000, 120000,
                     app ? app->ProfileKeyPath("Config") : std::wstring()};
}

CLoad_EXE::CLoad_EXE(Environment environment) : Dialog(IDD_LOAD_EXE), environment_(std::move(environment)) {}

const MessageTable& CLoad_EXE::Table() {
  static const MessageEntry entries[] = {
      messages::CopyData(&CLoad_EXE::ReceiveReady),
      messages::Timer(kReadyWaitTimer, &CLoad_EXE::ReadyWaitExpired),
  };
  static const MessageTable table(entries, &Dialog::Table());
  return table;
}

std::wstring CLoad_EXE::ProgramPath(const TransferProgram& program) const {
  return environment_.installFolder + L"\\" + program.fileName;
}

bool CLoad_EXE::IsOutOfDate(const TransferProgram& program, const std::string& requiredVersion) const {
  return ::IsOutOfDate(InstalledVersion(ProgramPath(program)), requiredVersion);
}

BOOL CLoad_EXE::OnInitDialog() {
  FitToPicture();
  AdmitCopyData();
  MakeCornersTransparent();
  RunJob();
  return TRUE;
}

// The template is laid out for the panel at one font's dialog units; the
// window takes the panel's own size whatever the system font is, so that no
// strip of dialog background shows beside it.
void CLoad_EXE::FitToPicture() {
  HWND picture = GetWindow(Hwnd(), GW_CHILD);
  RECT panel;
  if (!picture || !GetWindowRect(picture, &panel)) return;
  SetWindowPos(picture, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(Hwnd(), nullptr, 0, 0, panel.right - panel.left, panel.bottom - panel.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CenterOnScreen();
}

// Programs of a lower integrity level may send the ready message.
void CLoad_EXE::AdmitCopyData() {
  using Filter = BOOL(WINAPI*)(UINT, DWORD);
  if (auto filter = User32Function<Filter>("ChangeWindowMessageFilter")) filter(WM_COPYDATA, MSGFLT_ADD);
}

void CLoad_EXE::MakeCornersTransparent() {
  using SetAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  auto setAttributes = User32Function<SetAttributes>("SetLayeredWindowAttributes");
  if (!setAttributes) return;
  SetWindowLongPtrW(Hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
  setAttributes(Hwnd(), kTransparentColour, 255, LWA_COLORKEY | LWA_ALPHA);
}

void CLoad_EXE::RunJob() {
  switch (jobKind) {
    case LaunchDownloader:
      downloaderResult = 1;
      Launch(kDownloaderProgram, requiredDownloaderVersion);
      break;
    case LaunchUploader:
      uploaderResult = 1;
      Launch(kUploaderProgram, requiredUploaderVersion);
      break;
    case InstallPrograms:
      downloaderResult = 1;
      InstallBoth();
      break;
    case SelectFiles:
      selectionResult = SelectUploadFiles(Hwnd(), environment_.selectionSettingsKey);
      EndDialog(0);
      break;
    case SelectFolder:
      selectionResult = SelectUploadFolder(Hwnd(), environment_.selectionSettingsKey);
      EndDialog(0);
      break;
    default:
      EndDialog(0);
      break;
  }
}

void CLoad_EXE::Launch(const TransferProgram& program, const std::string& requiredVersion) {
  if (IsOutOfDate(program, requiredVersion) && !RunUpdate()) return;
  if (FindWindowW(program.windowClass, nullptr)) {
    SendHandoff(program);
  } else {
    StartAndWait(program);
  }
}

void CLoad_EXE::InstallBoth() {
  bool uploaderOutOfDate = IsOutOfDate(kUploaderProgram, requiredUploaderVersion);
  bool downloaderOutOfDate = IsOutOfDate(kDownloaderProgram, requiredDownloaderVersion);
  if (uploaderOutOfDate || downloaderOutOfDate) RunUpdate();
  EndDialog(0);
}

// False (and the launcher closed) when the programs could not be put in place.
bool CLoad_EXE::RunUpdate() {
  int result = environment_.update ? environment_.update(Hwnd(), requiredUploaderVersion, requiredDownloaderVersion)
                                   : 1;
  if (result == 0) return true;
  ShowMessageBox(Hwnd(), kInstallCancelledText, kInstallErrorCaption, MB_OK | MB_ICONERROR);
  EndDialog(0);
  return false;
}

// The launcher stays open (and shows) until the program announces itself,
// at most the ready wait; a program that cannot be started at all is
// reported at once.
void CLoad_EXE::StartAndWait(const TransferProgram& program) {
  std::wstring path = ProgramPath(program);
  // Waiting already: the program may announce itself before ShellExecute
  // returns, and then has the job already.
  waitingFor_ = &program;
  auto started = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr,
                                                         SW_SHOWNORMAL));
  if (waitingFor_ != &program) return;
  if (started <= 32) {
    GiveUpWaiting();
    return;
  }
  StartTimer(kReadyWaitTimer, environment_.readyWaitMs);
}

void CLoad_EXE::SendHandoff(const TransferProgram& program) {
  std::string text = HandoffText(program.handoffPrefix, handoffFields);
  COPYDATASTRUCT data{};
  data.dwData = program.tag;
  data.cbData = static_cast<DWORD>(text.size() + 1);
  data.lpData = &text[0];
  HWND target = FindWindowW(program.windowClass, nullptr);
  if (!target) {
    ShowMessageBox(Hwnd(), kControllerNotStartedText, kErrorCaption, MB_OK | MB_ICONERROR);
    return;
  }
  // From here on a ready message (even one sent while the program handles
  // the hand-off) is not answered again.
  waitingFor_ = nullptr;
  StopTimer(kReadyWaitTimer);
  // The program takes the job in hand while it handles the message. One that
  // hangs must not hold the browser for good; a message it had not yet taken
  // when the wait ends is withdrawn, so the member is told. (No abort on a
  // "hung" program: one busy with an earlier page's hand-off for a few
  // seconds looks hung and still takes this one when it is done.)
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(Hwnd()), reinterpret_cast<LPARAM>(&data),
                           SMTO_NORMAL, environment_.handoffWaitMs, &ignored)) {
    ShowMessageBox(Hwnd(), kProgramNotAnsweringText, kErrorCaption, MB_OK | MB_ICONERROR);
  }
  EndDialog(0);
}

// Only the program the launcher started and waits for is answered: a ready
// message during the installation step, one repeated while the hand-off is
// delivered, one after the wait ended, or the other program's would hand a
// job twice or hand this job to the wrong program. The message then gets the
// default handling.
bool CLoad_EXE::ReceiveReady(HWND, const COPYDATASTRUCT& data) {
  std::string text = ReadyTextOf(data.lpData, data.cbData);
  const TransferProgram* program = AnnouncedProgram(data.dwData, text);
  if (program && program == waitingFor_) SendHandoff(*program);
  return false;
}

void CLoad_EXE::ReadyWaitExpired() {
  if (waitingFor_) GiveUpWaiting();
}

// Enter, Esc, or the launcher closed, while it waits.
void CLoad_EXE::OnOK() { OnCancel(); }

void CLoad_EXE::OnCancel() {
  if (waitingFor_) {
    GiveUpWaiting();
  } else {
    EndDialog(IDCANCEL);
  }
}

void CLoad_EXE::GiveUpWaiting() {
  waitingFor_ = nullptr;
  StopTimer(kReadyWaitTimer);
  ShowMessageBox(Hwnd(), kProgramDidNotStartText, kErrorCaption, MB_OK | MB_ICONERROR);
  EndDialog(0);
}
