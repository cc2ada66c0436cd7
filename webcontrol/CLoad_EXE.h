#pragma once
// CLoad_EXE: the launcher window a scripting call runs modally. It does its
// whole job while it initialises: it makes sure the transfer program is
// installed in the required version, hands a running program the job at
// once, or starts the program and waits (shown as a small loading panel)
// until the program announces itself, then hands it the job and closes.
//
//   CLoad_EXE launcher;
//   launcher.jobKind = CLoad_EXE::LaunchDownloader;
//   launcher.handoffFields = {code, member, password};
//   launcher.requiredDownloaderVersion = version;
//   launcher.DoModal();
#include <string>

#include "Dialog.h"
#include "HandoffRules.h"
#include "ProgramUpdate.h"

struct TransferProgram;

class CLoad_EXE : public Dialog {
public:
  enum JobKind { SelectFiles = 1, LaunchUploader = 2, LaunchDownloader = 3, InstallPrograms = 4, SelectFolder = 11 };

  // What the launcher works with besides the request; tests replace them.
  struct Environment {
    std::wstring installFolder;
    ProgramUpdateStep update;
    // How long a started program may take to announce itself.
    DWORD readyWaitMs = 60000;
    // How long a hand-off waits for the program to handle it (the program
    // runs its login and list exchanges meanwhile).
    DWORD handoffWaitMs = 120000;
    // The key below HKEY_CURRENT_USER that remembers the last upload folder.
    std::wstring selectionSettingsKey{};
  };
  static Environment DefaultEnvironment();

  explicit CLoad_EXE(Environment environment = DefaultEnvironment());

  // The request, filled in before DoModal, and its results.
  int jobKind = 0;
  std::string requiredUploaderVersion;
  std::string requiredDownloaderVersion;
  int uploaderResult = 0;
  std::string selectionResult;
  int downloaderResult = 0;
  HandoffFields handoffFields;

  // The install path of a program: "<install folder>\<file name>".
  std::wstring ProgramPath(const TransferProgram& program) const;
  // True when `program` must be installed or updated first.
  bool IsOutOfDate(const TransferProgram& program, const std::string& requiredVersion) const;

  static const MessageTable& Table();
  const MessageTable& Messages() const override { return Table(); }

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

private:
  void FitToPicture();
  void AdmitCopyData();
  void MakeCornersTransparent();
  void RunJob();
  void Launch(const TransferProgram& program, const std::string& requiredVersion);
  void InstallBoth();
  bool RunUpdate();
  void StartAndWait(const TransferProgram& program);
  void SendHandoff(const TransferProgram& program);
  bool ReceiveReady(HWND sender, const COPYDATASTRUCT& data);
  void ReadyWaitExpired();
  void GiveUpWaiting();

  Environment environment_;
  // The program the launcher waits for, or null.
  const TransferProgram* waitingFor_ = nullptr;
};
