#pragma once
// The downloader's main window: it announces itself to the web control's
// launcher window, receives hand-offs and runs their jobs, and starts the
// download workers. Its skinned face (buttons, progress bars, banner, tray
// icon) is added on top of this.
#include <string>

#include "Dialog.h"
#include "DownloadJob.h"
#include "DownloadJobState.h"
#include "DownloadWorker.h"
#include "ListView.h"

constexpr ULONG_PTR kHandoffTagDownloader = 0x02740F34;  // 41160500
extern const char kDownloaderReadyText[];                // "Haulbox_Downloader"
extern const wchar_t kLauncherWindowClass[];             // "HAULbox_AX_EXE"
extern const wchar_t kDownloaderWindowClass[];           // "Haulbox_downloader"

class CHaulbox_downloadDlg : public Dialog, private DownloadJobHost {
public:
  CHaulbox_downloadDlg();

  static const MessageTable& Table();
  const MessageTable& Messages() const override { return Table(); }

  bool IsReady() const { return readyFlag_ != 0; }
  DownloadJobState& JobState() { return jobState_; }
  DownloadJob& Job() { return job_; }

  // Re-reads the settings the window keeps: the existing-file rule.
  void ReadSettings();
  // The exit routine: confirmation when files are unfinished, logout, quit.
  void ExitProgram() override;

protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}             // Enter does nothing
  void OnCancel() override;           // closing only hides the window

private:
  bool ReceiveHandoff(HWND sender, const COPYDATASTRUCT& data);
  void ProcessJob(const std::string& handoffText);
  void AdmitCopyDataThroughFilter();
  void SetIcons();
  void AnnounceReady();
  void CreateListColumns();
  void StartNextDownload();

  // DownloadJobHost
  HWND JobOwner() override { return Hwnd(); }
  void MoveToTopLeft() override;
  void AttachSystemIcons() override;
  bool PickFolder(const std::string& title, std::string& folder) override;
  int RowCount() override;
  void AddRow(int entryIndex) override;
  void RecomputeTotals() override;
  bool IsRunning() override { return running_ != 0; }
  void ClearRunning() override { running_ = 0; }
  void ToggleDownload() override;
  void OpenWebHost() override;

  int readyFlag_ = 0;
  std::string pendingHandoff_;
  int columnsCreated_ = 0;
  int running_ = 0;
  DownloadJobState jobState_;
  DownloadJob job_;
  DownloadWorkers workers_;
  ListView list_;
};
