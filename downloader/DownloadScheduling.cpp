// The main window's scheduling: starting and stopping the worker, the
// progress timer that follows it and acts on its outcome, and the retry timer.
#include "CHaulbox_downloadDlg.h"

#include "CFileOverCheck.h"
#include "DownloaderRes.h"
#include "Formatting.h"
#include "JobText.h"
#include "SettingsStore.h"

namespace {

constexpr UINT kFirstTickMs = 500;
constexpr UINT kTickMs = 250;
constexpr UINT kRetryDelayMs = 1000;

std::int64_t Percent(std::int64_t done, std::int64_t total) {
  const std::int64_t hundredth = total / 100;
  return done / (hundredth > 0 ? hundredth : 1);
}

}  // namespace

void CHaulbox_downloadDlg::ToggleDownload() {
  // The existing-file prompt or the folder picker decides what starts next.
  if (askingUser_) return;
  StopTimer(kRetryTimer);  // a start or a stop supersedes a pending retry
  if (IsRunning()) {
    jobState_.stoppedIndex = jobState_.transferCursor.load();
    jobState_.RequestStop();
    SetRunning(false);
    startQueued_ = false;
  } else {
    StartNextDownload();
  }
  RepaintStartStop();
}

void CHaulbox_downloadDlg::StartNextDownload() {
  // Two workers must never write one file: while a stopped worker is still
  // ending, the start waits for it on the progress timer.
  workers_.RemoveEnded();
  if (!workers_.IsEmpty()) {
    startQueued_ = true;
    SetRunning(true);
    StartTimer(kProgressTimer, kTickMs);
    return;
  }
  const transfer_rules::NextStart next = transfer_rules::ChooseNextEntry(Facts());
  jobState_.transferCursor = next.cursor;
  DownloadEntry* entry = jobState_.CursorEntry();
  if (next.allDone || !entry) {
    RunCompletionActions();
    return;
  }
  if (entry->requested == 0) entry->received = 0;
  entry->state = kEntryDownloading;
  SetRunning(true);
  if (!workers_.Start(sharedJobState_)) {
    entry->state = kEntryWaiting;
    SetRunning(false);
    return;
  }
  ShowCursorFile();
  ShowFileProgress(entry->received.load(), entry->size.load(), true);
  StartTimer(kProgressTimer, kFirstTickMs);
}

void CHaulbox_downloadDlg::RetryTimer() {
  StopTimer(kRetryTimer);
  if (!IsRunning()) ToggleDownload();  // the user may have started it meanwhile
}

void CHaulbox_downloadDlg::ProgressTimer() {
  StopTimer(kProgressTimer);
  if (!workers_.IsEmpty()) {
    FollowRunningWorker();
    return;
  }
  const bool startQueued = startQueued_;
  startQueued_ = false;
  ActOnEndedWorker();
  // The outcome did not start anything itself (a stopped file): start now.
  if (startQueued && IsRunning() && workers_.IsEmpty()) StartNextDownload();
}

// Branch A: a worker is registered (it may have ended since the last tick).
void CHaulbox_downloadDlg::FollowRunningWorker() {
  workers_.RemoveEnded();
  if (jobState_.downloadStatus == kStatusAskExistingFile && workers_.IsEmpty()) {
    AskAboutExistingFile();
    return;
  }
  // One reading of the entries: the worker sets received before it marks the
  // file complete, so a file is counted either by its bytes or as complete.
  const transfer_rules::Facts facts = Facts();
  const int cursor = jobState_.transferCursor.load();
  if (cursor >= 0 && cursor < static_cast<int>(facts.size())) {
    const std::int64_t received = facts[cursor].transferred;
    const std::int64_t size = facts[cursor].size;
    if (received == size) {
      SetRowState(cursor, "완료");
      ShowFileProgress(size, size, false);
    } else {
      const std::int64_t done = transfer_rules::CompletedBytes(facts) + received;
      ShowOverallProgress(done, false);
      ShowFileProgress(received, size, false);
      SetRowState(cursor, "전송중");
      UpdateSpeedAndTimeLeft(received, transfer_rules::TotalBytes(facts) - done);
    }
  }
  StartTimer(kProgressTimer, kTickMs);
}

void CHaulbox_downloadDlg::AskAboutExistingFile() {
  DownloadEntry* entry = jobState_.CursorEntry();
  {
    AskingUser asking(*this);
    jobState_.overwriteAnswer = AskExistingFile(entry ? entry->name : std::string());
  }
  if (entry) entry->state = kEntryWaiting;
  jobState_.downloadStatus = kStatusNone;
  StartNextDownload();
}

int CHaulbox_downloadDlg::AskExistingFile(const std::string& name) {
  CFileOverCheck prompt;
  prompt.m_fileText = name;
  return static_cast<int>(prompt.DoModal());
}

void CHaulbox_downloadDlg::UpdateSpeedAndTimeLeft(std::int64_t received, std::int64_t bytesLeft) {
  SpeedTickResult tick = speed_.Tick(jobState_.currentSpeed.load(), received, bytesLeft);
  if (tick.shownSpeed) SetLabel(IDC_DOWN_SPEED, FormatSize(*tick.shownSpeed));
  if (tick.remainingSeconds) SetLabel(IDC_DOWN_TIME_LEFT, FormatDuration(*tick.remainingSeconds));
}

// Branch B: the worker has ended and was removed on an earlier tick.
void CHaulbox_downloadDlg::ActOnEndedWorker() {
  if (jobState_.downloadStatus == kStatusNetworkFailure) {
    RetryAfterNetworkFailure();
  } else if (jobState_.downloadStatus == kStatusLocalFileFailure) {
    RecoverLocalFolder();  // restarts: the new worker is followed by its own ticks
    return;
  }
  FinishCompletedFile();
}

void CHaulbox_downloadDlg::RetryAfterNetworkFailure() {
  SetRunning(false);
  RepaintStartStop();
  const int cursor = jobState_.transferCursor.load();
  const transfer_rules::FailureOutcome outcome =
      transfer_rules::AfterNetworkFailure(retryCount_, kRetryLimit, cursor, jobState_.entryCount);
  retryCount_ = outcome.retryCount;
  if (outcome.showError) SetRowState(cursor, "오류");
  if (outcome.markFailed) jobState_.entries[cursor].state = kEntryFailed;
  jobState_.transferCursor = outcome.cursor;
  if (outcome.retry) StartTimer(kRetryTimer, kRetryDelayMs);
  jobState_.downloadStatus = kStatusNone;
}

// The file cannot be created where it was to go: the user picks another
// folder, and every unfinished file goes directly into it. Their subfolders
// are dropped: a subfolder that cannot be made would fail in every folder.
void CHaulbox_downloadDlg::RecoverLocalFolder() {
  SetRunning(false);
  RepaintStartStop();
  std::string folder;
  {
    AskingUser asking(*this);
    while (!BrowseDownloadFolder(folder, "다운로드할 폴더를 지정하세요.") || !job_text::IsUsableSaveFolder(folder)) {
    }
  }
  for (int i = 0; i < kEntryLimit && !jobState_.entries[i].name.empty(); ++i) {
    DownloadEntry& entry = jobState_.entries[i];
    if (entry.state == kEntryComplete) continue;  // its file is where it was written
    entry.baseFolder = folder;
    entry.subfolder.clear();
    entry.localFolder = folder;
    // A file of its name in the new folder is not the one the user stopped.
    if (jobState_.stoppedIndex == i) jobState_.stoppedIndex = transfer_rules::kNoStoppedEntry;
  }
  settings::WriteText("Default_folder", folder);
  jobState_.downloadStatus = kStatusNone;
  ToggleDownload();
}

bool CHaulbox_downloadDlg::BrowseDownloadFolder(std::string& folder, const std::string& title) {
  return UserButton().BrowseFolder(folder, title);
}

void CHaulbox_downloadDlg::FinishCompletedFile() {
  const int cursor = jobState_.transferCursor.load();
  if (!transfer_rules::HasCompleted(Facts(), cursor)) return;
  const std::int64_t size = jobState_.entries[cursor].size.load();
  const std::int64_t done = DoneBytes();
  ShowOverallProgress(done, false);
  if (Percent(done, TotalBytes()) == 100) {
    SetLabel(IDC_DOWN_TIME_LEFT, "전송완료");
    ShowFileProgress(size, size, false);
  }
  SetRowState(cursor, "완료");
  if (settings::ReadInt("DOWN_List_del") != 0) RemoveCompletedRows();
  jobState_.transferCursor = jobState_.transferCursor.load() + 1;
  if (IsRunning()) StartNextDownload();
}
