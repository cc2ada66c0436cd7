#pragma once
// What the two transfer programs' main windows share: the skinned dialog with
// its start/stop button (whose alternate face is the running flag), the two
// progress bars and the labels over the skin, the hand-shake with the web
// control's launcher window, the tray icon with its menu, and the shutdown
// after the last transfer. Each program's window derives from it, sets its
// own values in Setup and chains its message table to Table().
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "CButtontoImage.h"
#include "CPic_Progress.h"
#include "CSkinDialog.h"
#include "CTray_menus.h"
#include "CTrayicon.h"
#include "CWebBrowser_banner.h"
#include "SkinTable.h"
#include "SystemShutdown.h"

class CTransferWindow : public CSkinDialog {
public:
  // The program's own values.
  struct Setup {
    SkinWindow skins;
    int startStopId;
    const int* skinButtonIds;  // every other skin button, ended by 0 (at most kMaxSkinButtons)
    int fileBarId;             // the static the current file's bar replaces
    int totalBarId;            // the static the whole list's bar replaces
    UINT windowIcon;           // icon resource of the window
    UINT trayIcon;             // icon resource of the tray icon
    UINT trayMenu;             // menu resource of the tray icon
    const char* trayTip;
    int bannerId;              // the dialog item of the banner's browser control
    const char* bannerPage;    // the path of its page on the web host
  };
  static constexpr int kMaxSkinButtons = 16;

  CTransferWindow(UINT templateId, const Setup& setup);
  ~CTransferWindow() override;

  static const MessageTable& Table();
  const MessageTable& Messages() const override { return Table(); }

  bool IsRunning() const { return startStopButton_.m_alternate != 0; }
  CPic_Progress& FileBar() { return fileBar_; }
  CPic_Progress& TotalBar() { return totalBar_; }
  bool HasTrayIcon() const { return tray_ != nullptr; }
  CWebBrowser_banner& Banner() { return banner_; }
  // Replaces the platform's shutdown (tests).
  void SetSystemShutdown(SystemShutdown& shutdown) { shutdown_ = &shutdown; }

protected:
  // Window initialisation, in the order the windows use them.
  void LoadSkinButtons();
  void CreateProgressBars();
  // The launcher window runs in the browser, possibly at a lower integrity
  // level: WM_COPYDATA from it must be let through the message filter.
  void AdmitCopyDataThroughFilter();
  void SetWindowIcons();
  // Tells the launcher window (if there is one) that this window is ready:
  // WM_COPYDATA with `tag` and `readyText` with its zero byte.
  void AnnounceReady(std::uintptr_t tag, const char* readyText);
  void AddTrayIcon();
  void DeleteTrayIcon();
  // Points the banner at its page on the web host, once, at the end of the
  // window's initialisation. A banner without its browser stays blank.
  void NavigateBanner();

  void SetRunning(bool running) { startStopButton_.m_alternate = running ? 1 : 0; }
  void RepaintStartStop();
  // Labels are painted over the skin: a run of spaces clears the old text first.
  void SetLabel(int id, const std::string& text);
  // Caption and position of a bar for `done` of `total` bytes. `reset` moves
  // the bar to 0 first so that it repaints from the start.
  void ShowBarProgress(CPic_Progress& bar, std::int64_t done, std::int64_t total, bool reset);
  // Remove the tray icon, take the shutdown privilege and shut the computer
  // down: no message, no time-out, no forced close, no restart.
  void ShutDownComputer();

  CTray_menus trayMenus_;

private:
  bool TrayCallback(WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool TaskbarCreated(WPARAM wParam, LPARAM lParam, LRESULT& result);

  Setup setup_;
  std::unique_ptr<CTrayicon> tray_;
  SystemShutdown* shutdown_;
  CPic_Progress fileBar_;
  CPic_Progress totalBar_;
  CButtontoImage startStopButton_;  // its alternate face flag is the running flag
  CButtontoImage skinButtons_[kMaxSkinButtons];
  CWebBrowser_banner banner_;
};
