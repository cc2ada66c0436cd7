#pragma once
// An upload job as the main window runs it: the hand-off is split, the member
// logged in and out at once on the control connection, and the list of files
// to send is fetched into the job table with a signature for each. Everything
// runs on the window's thread (the web control's send waits for it); what the
// job needs of the window goes through UploadJobHost.
#include <windows.h>

#include <string>

#include "ControlConnection.h"
#include "UploadJobState.h"

class UploadJobHost {
public:
  virtual ~UploadJobHost() = default;
  virtual HWND JobOwner() = 0;  // owner of the job's message boxes
  virtual void AttachSystemIcons() = 0;
  virtual void ExitProgram() = 0;
  // A row for the entry just added at `entryIndex`.
  virtual void AddRow(int entryIndex) = 0;
  virtual void RecomputeTotals() = 0;
  virtual bool IsRunning() = 0;
  virtual void ToggleUpload() = 0;
};

class UploadJob {
public:
  UploadJob(UploadJobState& state, UploadJobHost& host);

  // Runs a job from its hand-off text "Haulbox_uploader_Manager|list code|
  // member id|server number"; a text with another first field is ignored.
  void ProcessUploadJob(const std::string& handoffText);
  // Login then logout at once. False when the member is refused (the login
  // message has been shown and the program asked to exit).
  bool LoginAndLogout();
  // Appends the listed files to the job table (up to its 200 slots) and adds
  // their rows; the server's refusal shows the 180-file message. A listed
  // file that is not on a local drive is never opened: it is signed as an
  // unread file, left out, and the user is told once.
  void RequestUploadList(const std::string& listCode, const std::string& serverNumber);

  const std::string& MemberId() const { return memberId_; }

private:
  void Logout();
  void RefuseMember();

  UploadJobState& state_;
  UploadJobHost& host_;
  std::string memberId_;
};
