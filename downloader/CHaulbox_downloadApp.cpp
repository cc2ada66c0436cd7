#include "CHaulbox_downloadApp.h"

#include <winsock2.h>

#include "CHaulbox_downloadDlg.h"
#include "DownloaderRes.h"
#include "SettingsStore.h"
#include "MessageBoxes.h"
#include "TextConversion.h"
#include "WindowClasses.h"

namespace {

std::string ApplicationTitle() {
  wchar_t title[128] = L"";
  if (LoadStringW(GetModuleHandleW(nullptr), IDS_APP_TITLE, title, 128) > 0) return Narrow(title);
  return "Velmintor";
}

}  // namespace

CHaulbox_downloadApp::~CHaulbox_downloadApp() {
  if (startupMutex_) CloseHandle(startupMutex_);
  if (socketsStarted_) WSACleanup();
}

bool CHaulbox_downloadApp::InitInstance() {
  RegisterDialogClassCopy(kDownloaderWindowClass);
  WSADATA sockets;
  if (WSAStartup(MAKEWORD(1, 1), &sockets) != 0) {
    ShowMessageBox(nullptr, "Windows 소켓을 초기화할 수 없습니다.", "다운로더 (오류)", MB_OK | MB_ICONERROR);
    return false;
  }
  socketsStarted_ = true;
  // The banner's browser control cannot be hosted yet: its class gets an
  // inert placeholder so that the window's template still opens.
  RegisterPlaceholderControlClass(Widen(WEB_BROWSER_CONTROL_CLASS));

  // A marker only: a second downloader is not stopped by it.
  startupMutex_ = CreateMutexW(nullptr, TRUE, L"ZENTAvolt Download Control");
  if (startupMutex_) ReleaseMutex(startupMutex_);

  SetRegistryKey("Quorvanes");
  SetTitle(ApplicationTitle());
  settings::WriteFirstRunSettings(*this);

  if (!FindWindowW(kLauncherWindowClass, nullptr)) {
    ShowMessageBox(nullptr, "홈페이지에서 실행해주세요", "다운로더", MB_OK | MB_ICONINFORMATION);
    PostQuitMessage(0);
    return false;
  }
  CHaulbox_downloadDlg window;
  window.DoModal();
  return false;
}
