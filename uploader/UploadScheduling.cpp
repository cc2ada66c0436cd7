// The main window's scheduling: starting and stopping the worker, the
// progress timer that follows it and acts on its outcome, and the retry timer.
#include "CPellmark_uploadDlg.h"

#include "Formatting.h"
#include "MessageBoxes.h"
#include "SettingsStore.h"
#include "UploaderRes.h"

namespace {

constexpr UINT kFirstTickMs = 500;
constexpr UINT kTickMs = 250;
constexpr UINT kRetryDelayMs = 1000;
const char kErrorCaption[] = "업로더 (오류)";

}  // namespace

void CPellmark_uploadDlg::ToggleUpload() {
  StopTimer(kRetryTimer);  // a start or a stop supersedes a pending retry
  if (IsRunning()) {
    jobState_.RequestStop();
    SetRunning(false);
    startQueued_ = false;
  } else {
    StartNextUpload();
  }
  RepaintStartStop();
}

void CPellmark_uploadDlg::StartNextUpload() {
  // Only one worker runs: while a stopped worker is still ending, the start
  // waits for it on the progress timer.
  workers_.RemoveEnded();
  if (!workers_.IsEmpty()) {
    startQueued_ = true;
    SetRunning(true);
    StartTimer(kProgressTimer, kTickMs);
    return;
  }
  const transfer_rules::NextStart next = transfer_rules::ChooseNextEntry(Facts());
  jobState_.transferCursor = next.cursor;
  UploadEntry* entry = jobState_.CursorEntry();
  if (next.allDone || !entry) {
    RunCompletionActions();
    return;
  }
  if (settings::ReadInt("UP_Tray") != 0) ShowWindow(Hwnd(), SW_HIDE);
  jobState_.currentPath = entry->folder + entry->name;
  // The entry is set before the worker runs: a worker that saw the old stop
  // request would end after its first chunk.
  if (entry->transferring == 0) entry->sent = 0;  // a stopped entry keeps its count
  const std::int32_t previousState = entry->state.load();
  entry->state = kUploadSending;
  jobState_.uploadStatus = kUploadStatusNone;
  if (!workers_.Start(sharedJobState_)) {
    entry->state = previousState;
    SetRunning(false);
    RepaintStartStop();
    return;
  }
  SetRunning(true);
  ShowCursorFile();
  ShowFileProgress(entry->sent.load(), entry->size.load(), true);
  StartTimer(kProgressTimer, kFirstTickMs);
}

void CPellmark_uploadDlg::RetryTimer() {
  StopTimer(kRetryTimer);
  if (!IsRunning()) ToggleUpload();  // the user may have started it meanwhile
}

void CPellmark_uploadDlg::ProgressTimer() {
  StopTimer(kProgressTimer);
  if (!workers_.IsEmpty()) {
    FollowRunningWorker();
    return;
  }
  const bool startQueued = startQueued_;
  startQueued_ = false;
  ActOnEndedWorker();
  // The outcome did not start anything itself (a stopped file): start now.
  if (startQueued && IsRunning() && workers_.IsEmpty()) StartNextUpload();
}

// A worker is registered (it may have ended since the last tick).
void CPellmark_uploadDlg::FollowRunningWorker() {
  workers_.RemoveEnded();
  // One reading of the entries: the worker stores sent before it marks the
  // file complete, so a file is counted either by its bytes or as complete.
  const transfer_rules::Facts facts = Facts();
  const int cursor = jobState_.transferCursor.load();
  if (cursor >= 0 && cursor < static_cast<int>(facts.size())) {
    const transfer_rules::EntryFacts& entry = facts[cursor];
    if (entry.state == kUploadComplete) {
      SetRowState(cursor, "완료");
      ShowFileProgress(entry.size, entry.size, false);
    } else {
      const std::int64_t done = transfer_rules::CompletedBytes(facts) + entry.transferred;
      ShowOverallProgress(done, false);
      ShowFileProgress(entry.transferred, entry.size, false);
      SetRowState(cursor, "전송중");
      UpdateSpeedAndTimeLeft(entry.transferred, transfer_rules::TotalBytes(facts) - done);
    }
  }
  StartTimer(kProgressTimer, kTickMs);
}

void CPellmark_uploadDlg::UpdateSpeedAndTimeLeft(std::int64_t sent, std::int64_t bytesLeft) {
  SpeedTickResult tick = speed_.Tick(jobState_.currentSpeed.load(), sent, bytesLeft);
  if (tick.shownSpeed) SetLabel(IDC_UP_SPEED, FormatSize(*tick.shownSpeed));
  if (tick.remainingSeconds) SetLabel(IDC_UP_TIME_LEFT, FormatDuration(*tick.remainingSeconds));
}

// The worker has ended and was removed on an earlier tick.
void CPellmark_uploadDlg::ActOnEndedWorker() {
  const UploadEntry* entry = jobState_.CursorEntry();
  // A worker whose thread failed ends without an outcome and leaves its
  // entry in progress: that is a failed upload too, or uploading would stay
  // switched on with nothing running.
  if (jobState_.uploadStatus == kUploadStatusNone && entry && entry->state == kUploadSending) {
    jobState_.uploadStatus = kUploadNetworkFailure;
  }
  if (jobState_.uploadStatus == kUploadNetworkFailure) {
    RetryAfterNetworkFailure();
  } else if (jobState_.uploadStatus == kUploadFileUnreadable) {
    ReportUnreadableFile();
  }
  FinishCompletedFile();
}

// Retries are counted over the program's life; a completed file does not
// give them back. A file the user stopped after its worker had already
// failed stays stopped: the retry would start it again.
void CPellmark_uploadDlg::RetryAfterNetworkFailure() {
  SetRunning(false);
  RepaintStartStop();
  jobState_.uploadStatus = kUploadStatusNone;
  const UploadEntry* entry = jobState_.CursorEntry();
  if (entry && entry->state == kUploadStopped) return;
  if (retryCount_ < kRetryLimit) {
    ++retryCount_;
    StartTimer(kRetryTimer, kRetryDelayMs);
    return;
  }
  retryCount_ = 0;
  ShowMessageBox(Hwnd(), "서버와 연결되지 않아 접속이 종료되었습니다.", kErrorCaption, MB_OK | MB_ICONERROR);
}

void CPellmark_uploadDlg::ReportUnreadableFile() {
  SetRunning(false);
  RepaintStartStop();
  jobState_.uploadStatus = kUploadStatusNone;
  ShowMessageBox(Hwnd(), "업로드할 파일을 열수 없습니다.", kErrorCaption, MB_OK | MB_ICONERROR);
}

// The worker's own completion decides that a file is done, also when the
// listed size differs from the bytes the file had on disk.
void CPellmark_uploadDlg::FinishCompletedFile() {
  const int cursor = jobState_.transferCursor.load();
  if (cursor < 0 || cursor >= jobState_.entryCount) return;
  const UploadEntry& entry = jobState_.entries[cursor];
  if (entry.state != kUploadComplete || entry.transferring != 0) return;
  const std::int64_t size = entry.size.load();
  const std::int64_t done = DoneBytes();
  ShowOverallProgress(done, false);
  if (done == TotalBytes()) SetLabel(IDC_UP_TIME_LEFT, "전송완료");
  SetRowState(cursor, "완료");
  ShowFileProgress(size, size, false);
  jobState_.transferCursor = cursor + 1;
  if (IsRunning()) StartNextUpload();
}
