#include "CPellmark_uploadApp.h"

#include "CPellmark_uploadDlg.h"
#include "Handoff.h"
#include "SettingsStore.h"

namespace {

const CTransferApp::Names kNames = {kUploaderWindowClass, L"ZENTAvolt Upload Control", "업로더", "업로더 (오류)",
                                    "홈페이지에서 실행해주세요."};

}  // namespace

CPellmark_uploadApp::CPellmark_uploadApp() : CTransferApp(kNames) {}

void CPellmark_uploadApp::WriteFirstRunSettings() { settings::WriteFirstRunSettings(*this); }

void CPellmark_uploadApp::RunMainWindow() {
  // The server names the files to read: a path on a drive without its disk
  // fails quietly instead of stopping the program on the system's box.
  SetErrorMode(SEM_FAILCRITICALERRORS);
  CPellmark_uploadDlg window;
  window.DoModal();
}
