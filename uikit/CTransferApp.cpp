#include "CTransferApp.h"

#include <winsock2.h>

#include <string>

#include "CCustomOccManager.h"
#include "Handoff.h"
#include "MessageBoxes.h"
#include "TextConversion.h"
#include "WindowClasses.h"

namespace {

// Both programs' string table holds their title under this id.
constexpr UINT kAppTitleString = 57344;
// The class the main templates name for the banner's browser control.
const wchar_t kBrowserControlClass[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

std::string ApplicationTitle() {
  wchar_t title[128] = L"";
  if (LoadStringW(GetModuleHandleW(nullptr), kAppTitleString, title, 128) > 0) return Narrow(title);
  return "Velmintor";
}

}  // namespace

CTransferApp::~CTransferApp() {
  if (markerMutex_) CloseHandle(markerMutex_);
  if (socketsStarted_) WSACleanup();
}

bool CTransferApp::InitInstance() {
  RegisterDialogClassCopy(names_.windowClass);
  WSADATA sockets;
  if (WSAStartup(MAKEWORD(1, 1), &sockets) != 0) {
    ShowMessageBox(nullptr, "Windows 소켓을 초기화할 수 없습니다.", names_.errorCaption, MB_OK | MB_ICONERROR);
    return false;
  }
  socketsStarted_ = true;
  if (!InitializeOle()) {
    // The framework's own message: captioned with the application title.
    ShowMessageBox(nullptr, kOleInitFailedMessage, ApplicationTitle(), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  // The banner's item window, in which its browser control is created; it
  // stays a blank strip when the control cannot be.
  RegisterPlaceholderControlClass(kBrowserControlClass);
  SetOccManager(std::make_unique<CCustomOccManager>());

  // A marker only: a second copy of the program is not stopped by it.
  markerMutex_ = CreateMutexW(nullptr, TRUE, names_.markerMutex);
  if (markerMutex_) ReleaseMutex(markerMutex_);

  SetRegistryKey("Quorvanes");
  SetTitle(ApplicationTitle());
  WriteFirstRunSettings();

  if (!FindWindowW(kLauncherWindowClass, nullptr)) {
    ShowMessageBox(nullptr, names_.notFromHomePage, names_.caption, MB_OK | MB_ICONINFORMATION);
    PostQuitMessage(0);
    return false;
  }
  RunMainWindow();
  return false;
}
