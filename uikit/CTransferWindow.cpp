#include "CTransferWindow.h"

#include <cstring>

#include "Formatting.h"
#include "Handoff.h"
#include "ServiceEndpoints.h"

namespace {

constexpr int kLabelBlankLength = 80;

}  // namespace

CTransferWindow::CTransferWindow(UINT templateId, const Setup& setup)
    : CSkinDialog(templateId), setup_(setup), shutdown_(&SystemShutdown::Platform()) {}

CTransferWindow::~CTransferWindow() = default;

const MessageTable& CTransferWindow::Table() {
  using W = CTransferWindow;
  static const MessageEntry entries[] = {
      messages::Registered(L"Pell_tray_icons", &W::TrayCallback),
      messages::Registered(L"TaskbarCreated", &W::TaskbarCreated),
  };
  static const MessageTable table(entries, &CSkinDialog::Table());
  return table;
}

void CTransferWindow::LoadSkinButtons() {
  startStopButton_.Attach(Hwnd(), setup_.startStopId);
  if (const SkinRow* row = FindSkin(setup_.skins, setup_.startStopId)) startStopButton_.LoadSkin(*row);
  for (int i = 0; i < kMaxSkinButtons && setup_.skinButtonIds[i] != 0; ++i) {
    CButtontoImage& button = skinButtons_[i];
    if (!button.Attach(Hwnd(), setup_.skinButtonIds[i])) continue;
    if (const SkinRow* row = FindSkin(setup_.skins, setup_.skinButtonIds[i])) button.LoadSkin(*row);
  }
}

void CTransferWindow::CreateProgressBars() {
  fileBar_.CreateOver(Hwnd(), 0, setup_.fileBarId);
  totalBar_.CreateOver(Hwnd(), 0, setup_.totalBarId);
  fileBar_.SetRange(0, 1000);
  totalBar_.SetRange(0, 1000);
}

void CTransferWindow::AdmitCopyDataThroughFilter() {
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

void CTransferWindow::NavigateBanner() {
  if (banner_.Attach(Hwnd(), setup_.bannerId)) banner_.Navigate2(WebHostUrl(setup_.bannerPage));
}

void CTransferWindow::SetWindowIcons() {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(setup_.windowIcon));
  if (!icon) return;
  SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void CTransferWindow::AnnounceReady(std::uintptr_t tag, const char* readyText) {
  HWND launcher = FindWindowW(kLauncherWindowClass, nullptr);
  if (!launcher) return;
  COPYDATASTRUCT data{};
  data.dwData = tag;
  data.cbData = static_cast<DWORD>(std::strlen(readyText) + 1);
  data.lpData = const_cast<char*>(readyText);
  SendMessageW(launcher, WM_COPYDATA, reinterpret_cast<WPARAM>(Hwnd()), reinterpret_cast<LPARAM>(&data));
}

void CTransferWindow::AddTrayIcon() {
  tray_ = std::make_unique<CTrayicon>(Hwnd(), CTrayicon::kIconId, setup_.trayIcon);
  tray_->AddIcon(setup_.trayTip);
}

void CTransferWindow::DeleteTrayIcon() { tray_.reset(); }

bool CTransferWindow::TrayCallback(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = tray_ ? tray_->HandleCallback(wParam, lParam, setup_.trayMenu) : 0;
  return true;
}

// Explorer was restarted: its notification area has forgotten the icon.
bool CTransferWindow::TaskbarCreated(WPARAM, LPARAM, LRESULT& result) {
  if (tray_) tray_->AddIcon(setup_.trayTip);
  result = 0;
  return true;
}

void CTransferWindow::RepaintStartStop() {
  if (startStopButton_.Hwnd()) InvalidateRect(startStopButton_.Hwnd(), nullptr, FALSE);
}

void CTransferWindow::SetLabel(int id, const std::string& text) {
  SetItemText(id, std::string(kLabelBlankLength, ' '));
  SetItemText(id, text);
}

void CTransferWindow::ShowBarProgress(CPic_Progress& bar, std::int64_t done, std::int64_t total, bool reset) {
  bar.m_caption = ProgressCaption(done, total);
  const auto position = static_cast<std::uint32_t>(ProgressPosition(done, total));
  if (reset) {
    bar.SetRange(0, 1000);
    bar.SetPos(1);
    bar.SetPos(0);
  }
  bar.SetPos(position);
  if (!reset) bar.Invalidate();  // the caption may change while the position does not
}

void CTransferWindow::ShutDownComputer() {
  DeleteTrayIcon();
  shutdown_->EnablePrivilege(L"SeShutdownPrivilege");
  shutdown_->InitiateShutdown(nullptr, 0, FALSE, FALSE);
}
