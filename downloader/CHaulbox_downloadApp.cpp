#include "CHaulbox_downloadApp.h"

#include "CHaulbox_downloadDlg.h"
#include "Handoff.h"
#include "SettingsStore.h"

namespace {

const CTransferApp::Names kNames = {kDownloaderWindowClass, L"ZENTAvolt Download Control", "다운로더",
                                    "다운로더 (오류)", "홈페이지에서 실행해주세요"};

}  // namespace

CHaulbox_downloadApp::CHaulbox_downloadApp() : CTransferApp(kNames) {}

void CHaulbox_downloadApp::WriteFirstRunSettings() { settings::WriteFirstRunSettings(*this); }

void CHaulbox_downloadApp::RunMainWindow() {
  CHaulbox_downloadDlg window;
  window.DoModal();
}
