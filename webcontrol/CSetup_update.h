#pragma once
// CSetup_update: the update dialog. It downloads the installer "Quorvanes.exe"
// from the web host with a progress bar, starts it once it arrived whole,
// waits for its end and checks that the installed programs now have the
// required versions. DoModal returns 0 when they do, 1 otherwise.
//
//   CSetup_update update;
//   update.SetParent(launcher);
//   update.requiredUploaderVersion = uploaderVersion;
//   update.requiredDownloaderVersion = downloaderVersion;
//   int failed = update.DoModal();
//
// The download runs on a worker thread that drives the dialog only through
// posted messages; the dialog's thread owns the poll timer and the final check.
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <functional>
#include <string>

#include "Dialog.h"
#include "ThreadHandle.h"
#include "UpdateRules.h"

class CSetup_update : public Dialog {
public:
  // What the dialog works with besides the request; tests replace them.
  struct Environment {
    // The web host, "host" or "host:port" (port 80 when absent).
    std::string webHost;
    // Created unless the low-rights folder is used; the installer is saved there.
    std::wstring installFolder;
    // True when the installer must be saved to the low-rights folder
    // (Vista or later without administrator rights).
    std::function<bool()> needsLowRightsFolder;
    // The low-rights download folder.
    std::function<std::wstring()> lowRightsFolder;
    // Where the installed programs are checked once the installer ended.
    std::wstring programFolder;
    std::function<ThreadHandle(std::function<unsigned()>)> startWorker;
    // Called on the worker thread after each piece written (received, expected).
    std::function<void(int, int)> pieceWritten;
  };
  static Environment DefaultEnvironment();

  explicit CSetup_update(Environment environment = DefaultEnvironment());
  ~CSetup_update() override;

  // DoModal, except that a dialog destroyed from outside (its owner closed)
  // before it ended itself counts as failed: 0 only when the programs are
  // in place.
  int Run();

  std::string requiredUploaderVersion;
  std::string requiredDownloaderVersion;

  static const MessageTable& Table();
  const MessageTable& Messages() const override { return Table(); }

protected:
  BOOL OnInitDialog() override;
  // The dialog has no buttons and no way out while it works: it ends itself.
  void OnOK() override {}
  void OnCancel() override {}

private:
  enum Status { Starting, GettingDetails, Downloading, Installing };
  enum Outcome { DownloadFailed, InstallerStarted, InstallerNotStarted };

  unsigned Work();
  std::wstring DownloadFolder() const;
  int QueryExpectedSize() const;
  bool Download(const std::wstring& target);
  bool StartInstaller(const std::wstring& path);
  void PostStatus(Status status);
  void PostOutcome(Outcome outcome);

  bool ShowStatus(WPARAM status, LPARAM, LRESULT&);
  bool Destroying(WPARAM, LPARAM, LRESULT&);
  bool FinishWork(WPARAM outcome, LPARAM, LRESULT&);
  void PollInstaller();
  void EndItself(int result);
  void CloseInstallerHandle();

  Environment environment_;
  bool lowRights_ = false;
  // Set before the worker starts; the worker posts to these only.
  HWND window_ = nullptr;
  HWND progressBar_ = nullptr;
  // Set when the dialog goes away: the worker stops reading and starts nothing.
  std::atomic<bool> abandoned_{false};
  bool endedItself_ = false;
  // Written by the worker before it posts its outcome; read on the dialog's
  // thread afterwards.
  int expectedSize_ = 0;
  int receivedSize_ = 0;
  SHELLEXECUTEINFOW launch_{};
  DWORD exitCode_ = 0;
  ThreadHandle worker_;
};
