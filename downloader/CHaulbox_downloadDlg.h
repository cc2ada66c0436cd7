#pragma once
// The downloader's main window: a captionless skinned dialog that announces
// itself to the web control's launcher window, receives hand-offs and runs
// their jobs, downloads the files one after another (one worker thread per
// file, followed by the progress timer), shows the progress, and keeps an
// icon in the notification area.
#include <cstdint>
#include <memory>
#include <string>

#include "CFileList.h"
#include "CTransferWindow.h"
#include "CUser_button.h"
#include "CheckBox.h"
#include "DownloadJob.h"
#include "DownloadJobState.h"
#include "DownloadWorker.h"
#include "Handoff.h"
#include "SpeedSmoother.h"
#include "TransferListRules.h"

class CHaulbox_downloadDlg : public CTransferWindow, private DownloadJobHost {
public:
  static constexpr UINT_PTR kProgressTimer = 1;
  static constexpr UINT_PTR kRetryTimer = 104;
  static constexpr int kRetryLimit = 3;

  CHaulbox_downloadDlg();
  ~CHaulbox_downloadDlg() override;

  static const MessageTable& Table();
  const MessageTable& Messages() const override { return Table(); }

  bool IsReady() const { return readyFlag_ != 0; }
  bool IsRunning() override { return CTransferWindow::IsRunning(); }
  DownloadJobState& JobState() { return jobState_; }
  DownloadJob& Job() { return job_; }
  CFileList<DownloadEntry>& List() { return list_; }
  // Derived from the entries whenever asked, so no order of completions,
  // removals and hand-offs can count a file twice.
  std::int64_t TotalBytes() const { return transfer_rules::TotalBytes(Facts()); }
  std::int64_t DoneBytes() const { return transfer_rules::CompletedBytes(Facts()); }
  int RetryCount() const { return retryCount_; }

  // Re-reads the settings the window keeps: the existing-file rule and the
  // two completion check boxes.
  void ReadSettings();
  // The exit routine: confirmation when files are unfinished, logout, quit.
  void ExitProgram() override;
  // Start / stop (IDC_DOWN_START_STOP, the retry timer, auto-start of a job).
  void ToggleDownload() override;
  void StartNextDownload();
  void ShowFileProgress(std::int64_t received, std::int64_t size, bool reset);
  void RecomputeTotals() override;
  void RefreshTotals();
  void RunCompletionActions();
  // The entry IDC_DOWN_OPEN_FOLDER and IDC_DOWN_OPEN_FILE act on, -1 when the list is empty.
  int ChosenEntry() const;
  // Asks a running worker to stop and waits for it (bounded); true when no
  // worker is left. A worker that outlives the window still has the job
  // state: it shares it.
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
  void OnOK() override {}      // Enter does nothing
  void OnCancel() override;    // closing only hides the window

  // The folder picker of the local-file recovery; false when nothing was
  // picked (tests answer it themselves).
  virtual bool BrowseDownloadFolder(std::string& folder, const std::string& title);
  // The existing-file question (CFileOverCheck): 1 overwrite, 2 resume.
  virtual int AskExistingFile(const std::string& name);
  // Opens a file, a folder or the home page through the shell.
  virtual void ShellOpen(const std::string& program, const std::string& parameter);

private:
  bool ReceiveHandoff(HWND sender, const COPYDATASTRUCT& data);
  void ProcessJob(const std::string& handoffText);
  void CreateListColumns();

  // Labels and captions.
  void ShowCursorFile();
  void ShowOverallProgress(std::int64_t done, bool reset);
  void SetRowState(int row, const char* text);

  // The used entries as the transfer list rules see them.
  transfer_rules::Facts Facts() const;
  void ApplyRemoval(const transfer_rules::Removal& removal);
  void FollowMoves(const CFileList<DownloadEntry>::Swaps& swaps);

  // Commands.
  bool BlockedWhileRunning();
  void StartStopClicked() { ToggleDownload(); }
  void DeleteSelectedClicked();
  void RemoveCompletedClicked();
  void RemoveCompletedRows();
  void MoveTopClicked();
  void MoveUpClicked();
  void MoveDownClicked();
  void MoveBottomClicked();
  void SettingsClicked();
  void OpenFolderClicked();
  void OpenFileClicked();
  void HomePageClicked();
  void HideClicked();
  void MinimizeClicked();
  void ExitClicked() { ExitProgram(); }
  void ExitAfterClicked();
  void ShutdownAfterClicked();
  void TrayShowWindow();
  void TraySettings();
  bool ListDoubleClicked(const NMHDR& header, LRESULT& result);
  void OpenEntryFile(int index);
  void OpenSettingsDialog();
  CUser_button<DownloadEntry>& UserButton();

  // Scheduling.
  void ProgressTimer();
  void RetryTimer();
  void FollowRunningWorker();
  void ActOnEndedWorker();
  void AskAboutExistingFile();
  void RetryAfterNetworkFailure();
  void RecoverLocalFolder();
  void FinishCompletedFile();
  void UpdateSpeedAndTimeLeft(std::int64_t received, std::int64_t bytesLeft);

  // While the window asks the user what happens next (the existing-file
  // prompt, the folder picker; both without an owner), the window is
  // disabled and nothing starts or stops a download: not a command, not the
  // retry timer, not a hand-off's auto-start.
  class AskingUser {
  public:
    explicit AskingUser(CHaulbox_downloadDlg& window) : window_(window) {
      window_.askingUser_ = true;
      EnableWindow(window_.Hwnd(), FALSE);
    }
    ~AskingUser() {
      EnableWindow(window_.Hwnd(), TRUE);
      window_.askingUser_ = false;
    }
    AskingUser(const AskingUser&) = delete;
    AskingUser& operator=(const AskingUser&) = delete;

  private:
    CHaulbox_downloadDlg& window_;
  };

  // DownloadJobHost
  HWND JobOwner() override { return Hwnd(); }
  void MoveToTopLeft() override;
  void AttachSystemIcons() override;
  bool PickFolder(const std::string& title, std::string& folder) override;
  int RowCount() override;
  void AddRow(int entryIndex) override;
  void ClearRunning() override;
  void OpenWebHost() override;

  int readyFlag_ = 0;
  std::string pendingHandoff_;
  int columnsCreated_ = 0;
  // A start given while a stopped worker is still ending; the progress timer
  // starts it once the worker has ended.
  bool startQueued_ = false;
  bool askingUser_ = false;
  // Kept for the life of the program, not per file or job.
  int retryCount_ = 0;
  SpeedSmoother speed_;

  // The worker shares the job state; the list's entries are the state's.
  std::shared_ptr<DownloadJobState> sharedJobState_ = std::make_shared<DownloadJobState>();
  DownloadJobState& jobState_ = *sharedJobState_;
  CFileList<DownloadEntry> list_{jobState_.entries};
  DownloadJob job_;
  DownloadWorkers workers_;
  CUser_button<DownloadEntry> userButton_;
  CheckBox exitAfterBox_;
  CheckBox shutdownAfterBox_;
};
