#pragma once
// The uploader's main window: a captionless skinned dialog that announces
// itself to the web control's launcher window, receives upload jobs, uploads
// their files one after another (one worker thread per file, followed by the
// progress timer), shows the progress, and keeps an icon in the notification
// area.
#include <cstdint>
#include <memory>
#include <string>

#include "CFileList.h"
#include "CTransferWindow.h"
#include "CUser_button.h"
#include "CheckBox.h"
#include "SpeedSmoother.h"
#include "TransferListRules.h"
#include "UploadJob.h"
#include "UploadJobState.h"
#include "UploadWorker.h"

class CPellmark_uploadDlg : public CTransferWindow, private UploadJobHost {
public:
  static constexpr UINT_PTR kProgressTimer = 1;
  static constexpr UINT_PTR kRetryTimer = 104;
  static constexpr int kRetryLimit = 3;

  CPellmark_uploadDlg();
  ~CPellmark_uploadDlg() override;

  static const MessageTable& Table();
  const MessageTable& Messages() const override { return Table(); }

  bool IsRunning() override { return CTransferWindow::IsRunning(); }
  UploadJobState& JobState() { return jobState_; }
  CFileList<UploadEntry>& List() { return list_; }
  // Derived from the entries whenever asked, so no order of completions,
  // removals and jobs can count a file twice.
  std::int64_t TotalBytes() const { return transfer_rules::TotalBytes(Facts()); }
  std::int64_t DoneBytes() const { return transfer_rules::CompletedBytes(Facts()); }
  int RetryCount() const { return retryCount_; }

  // The exit routine: confirmation when files are unfinished, then quit.
  // Nothing is sent to the servers.
  void ExitProgram() override;
  // Start / stop (IDC_UP_START_STOP, the retry timer, auto-start of a job).
  void ToggleUpload() override;
  void StartNextUpload();
  void RecomputeTotals() override;
  void RunCompletionActions();
  // Asks a running worker to stop and waits for it (bounded); true when no
  // worker is left.
  bool StopWorker(DWORD timeoutMs);
  // True while a worker is registered (a stopped one may still be ending).
  bool HasWorker() {
    workers_.RemoveEnded();
    return !workers_.IsEmpty();
  }
  DWORD WorkerThreadId() const { return workers_.ThreadId(); }
  // True while a start waits for a stopped worker to end.
  bool IsStartQueued() const { return startQueued_; }

protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}    // Enter does nothing
  void OnCancel() override;  // Esc and Alt+F4 only hide the window

  // Opens the home page through the shell.
  virtual void ShellOpen(const std::string& program, const std::string& parameter);

private:
  bool ReceiveHandoff(HWND sender, const COPYDATASTRUCT& data);
  void ReadCompletionBoxes();
  void CreateListColumns();

  // Labels and captions.
  void ShowCursorFile();
  void ShowOverallProgress(std::int64_t done, bool reset);
  void ShowFileProgress(std::int64_t sent, std::int64_t size, bool reset);
  void SetRowState(int row, const char* text);

  // The used entries as the transfer list rules see them.
  transfer_rules::Facts Facts() const;
  void ApplyRemoval(const transfer_rules::Removal& removal);
  void FollowMoves(const CFileList<UploadEntry>::Swaps& swaps);
  void RefreshTotalsAfterDelete();

  // Commands.
  bool BlockedWhileRunning();
  void StartStopClicked() { ToggleUpload(); }
  void DeleteSelectedClicked();
  void RemoveCompletedClicked();
  void MoveTopClicked();
  void MoveUpClicked();
  void MoveDownClicked();
  void MoveBottomClicked();
  void SettingsClicked();
  void HomePageClicked();
  void HideClicked();
  void MinimizeClicked();
  void ExitClicked() { ExitProgram(); }
  void ExitAfterClicked();
  void ShutdownAfterClicked();
  void TrayShowWindow();
  void TraySettings();
  void OpenSettingsDialog();
  CUser_button<UploadEntry>& UserButton();

  // Scheduling.
  void ProgressTimer();
  void RetryTimer();
  void FollowRunningWorker();
  void ActOnEndedWorker();
  void RetryAfterNetworkFailure();
  void ReportUnreadableFile();
  void FinishCompletedFile();
  void UpdateSpeedAndTimeLeft(std::int64_t sent, std::int64_t bytesLeft);

  // UploadJobHost
  HWND JobOwner() override { return Hwnd(); }
  void AttachSystemIcons() override;
  void AddRow(int entryIndex) override;

  int columnsCreated_ = 0;
  // A start given while a stopped worker is still ending; the progress timer
  // starts it once the worker has ended.
  bool startQueued_ = false;
  // Kept for the life of the program, not per file or job.
  int retryCount_ = 0;
  SpeedSmoother speed_;

  // The worker shares the job state; the list's entries are the state's.
  std::shared_ptr<UploadJobState> sharedJobState_ = std::make_shared<UploadJobState>();
  UploadJobState& jobState_ = *sharedJobState_;
  CFileList<UploadEntry> list_{jobState_.entries};
  UploadJob job_;
  UploadWorkers workers_;
  CUser_button<UploadEntry> userButton_;
  CheckBox exitAfterBox_;
  CheckBox shutdownAfterBox_;
};
