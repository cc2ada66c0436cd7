#include "TransferServer.h"

#include "Application.h"
#include "MessageBoxes.h"
#include "ServiceEndpoints.h"

namespace {

// The application's plain box: no owner, no icon, the application title.
void ShowConnectFailure() {
  Application* app = Application::Current();
  ShowMessageBox(nullptr, "파일전송 서버에 접속할수 없습니다.", app ? app->Title() : std::string("Velmintor"), MB_OK);
}

}  // namespace

bool ConnectToTransferServer(ControlConnection& connection) {
  if (connection.Connect(ResolveServerAddress(TransferServerHost()), kControlPort)) return true;
  ShowConnectFailure();
  return false;
}
