#include "CPellmark_uploadApp.h"

#include <winsock2.h>

#include "CPellmark_uploadDlg.h"
#include "Handoff.h"
#include "MessageBoxes.h"
#include "SettingsStore.h"
#include "TextConversion.h"
#include "UploaderRes.h"
#include "WindowClasses.h"

namespace {

std::string ApplicationTitle() {
  wchar_t title[128] = L"";
  if (LoadStringW(GetModuleHandleW(nullptr), IDS_APP_TITLE, title, 128) > 0) return Narrow(title);
  return "Velmintor";
}

}  // namespace

CPellmark_uploadApp::~CPellmark_uploadApp() {
  if (startupMutex_) CloseHandle(startupMutex_);
  if (socketsStarted_) WSACleanup();
}

bool CPellmark_uploadApp::InitInstance() {
  // The server names the files to read: a path on a drive without its disk
  // fails quietly instead of stopping the program on the system's box.
  SetErrorMode(SEM_FAILCRITICALERRORS);
  RegisterDialogClassCopy(kUploaderWindowClass);
  WSADATA sockets;
  if (WSAStartup(MAKEWORD(1, 1), &sockets) != 0) {
    ShowMessageBox(nullptr, "Windows 소켓을 초기화할 수 없습니다.", "업로더 (오류)", MB_OK | MB_ICONERROR);
    return false;
  }
  socketsStarted_ = true;
  // The banner's browser control cannot be hosted yet: its class gets an
  // inert placeholder so that the window's template still opens.
  RegisterPlaceholderControlClass(Widen(WEB_BROWSER_CONTROL_CLASS));

  // A marker only: a second uploader is not stopped by it.
  startupMutex_ = CreateMutexW(nullptr, TRUE, L"ZENTAvolt Upload Control");
  if (startupMutex_) ReleaseMutex(startupMutex_);

  SetRegistryKey("Quorvanes");
  SetTitle(ApplicationTitle());
  settings::WriteFirstRunSettings(*this);

  if (!FindWindowW(kLauncherWindowClass, nullptr)) {
    ShowMessageBox(nullptr, "홈페이지에서 실행해주세요.", "업로더", MB_OK | MB_ICONINFORMATION);
    PostQuitMessage(0);
    return false;
  }
  CPellmark_uploadDlg window;
  window.DoModal();
  return false;
}
