#pragma once
// A download job as the main window runs it: the hand-off is split, the
// member logged in on the control connection, the flat-rate plan checked and
// the file list requested into the job table. Everything runs on the window's
// thread; what the job needs of the window goes through DownloadJobHost.
#include <windows.h>

#include <cstdint>
#include <string>

#include "ControlConnection.h"
#include "DownloadJobState.h"
#include "PlanWindow.h"

class DownloadJobHost {
public:
  virtual ~DownloadJobHost() = default;
  virtual HWND JobOwner() = 0;  // owner of the job's message boxes
  virtual void MoveToTopLeft() = 0;
  virtual void AttachSystemIcons() = 0;
  virtual void ExitProgram() = 0;
  // The folder picker titled `title`; false when nothing was picked.
  virtual bool PickFolder(const std::string& title, std::string& folder) = 0;
  virtual int RowCount() = 0;
  virtual void AddRow(int entryIndex) = 0;
  virtual void RecomputeTotals() = 0;
  virtual bool IsRunning() = 0;
  virtual void ClearRunning() = 0;
  virtual void ToggleDownload() = 0;
  virtual void OpenWebHost() = 0;
  virtual plan_window::LocalHour LocalNow();
};

struct MemberFields {
  std::string memberId;
  std::int32_t megabytes = 0;
  std::string planName;
  std::int32_t expiryStamp = 0;
  std::int32_t planCode = 0;
  std::string serverNumber;
};

class DownloadJob {
public:
  static constexpr int kRowLimit = 180;

  DownloadJob(DownloadJobState& state, DownloadJobHost& host);

  // Runs a job from its hand-off text.
  void ProcessJob(const std::string& handoffText);
  // False when the member is refused (the program is asked to exit).
  bool Login();
  // False when the plan may not be used now; the refusal has been shown.
  bool CheckPlanWindow();
  // Requests the codes of `fileCodes` ("?"-terminated) into the job table.
  void RequestDownloadList(std::string fileCodes, int codeCount, const std::string& saveFolder);
  void Logout();

  MemberFields& Member() { return member_; }
  ControlConnection& LoginConnection() { return loginConnection_; }

private:
  enum class AddResult { kAdded, kNotAFile, kUnsafeName, kTableFull };
  AddResult AddEntry(const std::string& fileCode, const std::string& reply, const std::string& saveFolder);
  std::string ChooseSaveFolder();

  DownloadJobState& state_;
  DownloadJobHost& host_;
  MemberFields member_;
  ControlConnection loginConnection_;
};
