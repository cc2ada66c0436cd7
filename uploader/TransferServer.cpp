#include "TransferServer.h"

#include "Application.h"
#include "MessageBoxes.h"
#include "ServiceEndpoints.h"

namespace {

// The application's plain box: no owner, no icon, the application title.
// Top-most, or the top-most main window would hide it (the worker's
// completion notice shows it too).
void ShowConnectFailure() {
  Application* app = Application::Current();
  ShowMessageBox(nullptr, "파일전송 서버에 접속할수 없습니다.", app ? app->Title() : std::string("Velmintor"),
                 MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
}

}  // namespace

bool ConnectToTransferServer(ControlConnection& connection) {
  if (connection.Connect(ResolveServerAddress(TransferServerHost()), kControlPort)) return true;
  ShowConnectFailure();
  return false;
}
