// The control as the service's pages use it: registered with regsvr32,
// created and called by a JScript file run by cscript, with the transfer
// programs installed in the install folder, against the reference service
// on 127.0.0.1 (the transfer server of the test build).
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "ByteAssertions.h"
#include "DownloaderTestSupport.h"
#include "Handoff.h"
#include "MainWindowRunner.h"
#include "MessageBoxProbe.h"
#include "ProcessUnderTest.h"
#include "ProgramVersion.h"
#include "WebControlTestSupport.h"

using namespace test_support;

namespace {

const char kServer[] = "127.0.0.1";
const char kLocalFolder[] = "C:\\haulbox-webcontrol-script\\";
// The tray menus' exit command, the same id in both programs.
const UINT kTrayExit = 32774;

std::wstring Bin() { return harness::OwnFolder() + L"..\\"; }

// Copies the two programs and their skin pictures into the install folder.
void InstallPrograms() {
  const std::wstring folder = InstallFolder();
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW((folder + L"\\images").c_str(), nullptr);
  for (const wchar_t* program : {L"Haulbox_DOWN.exe", L"Haulbox_UPLOAD.exe"}) {
    ASSERT_TRUE(CopyFileW((Bin() + program).c_str(), (folder + L"\\" + program).c_str(), FALSE)) << GetLastError();
  }
  for (const wchar_t* picture : {L"download_bg.bmp", L"upload_bg.bmp", L"config_bg.bmp"}) {
    ASSERT_TRUE(CopyFileW((Bin() + L"images\\" + picture).c_str(), (folder + L"\\images\\" + picture).c_str(),
                          FALSE));
  }
}

void RemovePrograms() {
  const std::wstring folder = InstallFolder();
  for (const wchar_t* file : {L"Haulbox_DOWN.exe", L"Haulbox_UPLOAD.exe", L"images\\download_bg.bmp",
                              L"images\\upload_bg.bmp", L"images\\config_bg.bmp"}) {
    DeleteFileW((folder + L"\\" + file).c_str());
  }
  RemoveDirectoryW((folder + L"\\images").c_str());
  RemoveDirectoryW(folder.c_str());
}

std::string Version(const TransferProgram& program) {
  return InstalledVersion(InstallFolder() + L"\\" + program.fileName).value_or("none");
}

// What one run of the page's script printed, whether the launcher window
// was seen on screen while it ran, and the message boxes it showed (each
// answered with OK).
struct PageRun {
  bool ended = false;
  std::string output;
  bool launcherShown = false;
  std::vector<harness::MessageBoxContent> boxes;
};

PageRun RunPage(const std::string& method, const std::string& code, const std::string& version) {
  PageRun run;
  const std::wstring outputPath = W(Workdir()) + L"page-output.txt";
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) return run;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring command = L"cscript.exe //nologo \"" + harness::OwnFolder() + L"TransferPage.js\" " + W(method) +
                         L" " + W(code) + L" tester 1 \"" + W(version) + L"\"";
  if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    for (int waited = 0; waited < 90000; waited += 20) {
      HWND launcher = FindWindowW(kLauncherWindowClass, nullptr);
      if (launcher && IsWindowVisible(launcher)) run.launcherShown = true;
      harness::MessageBoxContent box = harness::WaitForMessageBox(process.dwProcessId, 0);
      if (box.box && (run.boxes.empty() || run.boxes.back().box != box.box)) {
        run.boxes.push_back(box);
        harness::PressButton(box.box, IDOK);
      }
      if (WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0) {
        run.ended = true;
        break;
      }
    }
    if (!run.ended) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(output);
  std::ifstream text(outputPath.c_str(), std::ios::binary);
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    run.output += line + "\n";
  }
  return run;
}

std::string ExpectedOutput(const std::string& method, const std::string& result) {
  return "ActiveXCheck=1\nActiveXSetupCheck(null)=1\n" + method + "=" + result + "\n";
}

DWORD ProcessOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

// Waits for the completion message of the program owning `window`, checks it and closes it.
void ExpectCompletionMessage(HWND window) {
  harness::MessageBoxContent box = harness::WaitForMessageBox(ProcessOf(window), 60000);
  ASSERT_NE(nullptr, box.box) << "no message within 60 s";
  EXPECT_EQ(W("모든 파일이 전송완료되었습니다."), box.text);
  harness::PressButton(box.box, IDOK);
  WaitFor([&] { return !IsWindow(box.box); }, 5000);
}

// The tray menu's exit ends a program at once when every file is complete.
void ExitThroughTheTray(const wchar_t* windowClass) {
  HWND window = FindWindowW(windowClass, nullptr);
  if (!window) return;
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(kTrayExit, 0), 0);
  EXPECT_TRUE(WaitFor([&] { return FindWindowW(windowClass, nullptr) == nullptr; }, 20000));
}

class ScriptEndToEnd : public testing::Test {
protected:
  static void SetUpTestSuite() {
    InstallPrograms();
    ASSERT_EQ(0, RunRegsvr32(L"/s"));
  }
  static void TearDownTestSuite() {
    RunRegsvr32(L"/u /s");
    RemovePrograms();
  }

  void SetUp() override {
    folder_ = FreshFolder("script");
    WriteDownloadSettings(folder_);
    WriteConfig(L"UP_Autostart", 1);
    WriteConfig(L"UP_Tray", 0);
    WriteConfig(L"UP_Program_end", 0);
    WriteConfig(L"UP_System_end", 0);
  }

  std::string folder_;
};

TEST_F(ScriptEndToEnd, PageStartsTheDownloaderAndASecondCallHandsOverAtOnce) {
  const std::string version = Version(kDownloaderProgram);
  PageRun first = RunPage("CtlDOWNLOADnow", "A1?A2?", version);
  ASSERT_TRUE(first.ended) << "the page's call did not return";
  EXPECT_EQ(ExpectedOutput("CtlDOWNLOADnow", "1"), first.output);
  EXPECT_TRUE(first.boxes.empty());
  HWND downloader = FindWindowW(kDownloaderWindowClass, nullptr);
  ASSERT_NE(nullptr, downloader) << "the downloader is not running";
  ExpectCompletionMessage(downloader);
  const std::string root = ServiceRoot(kServer);
  EXPECT_TRUE(harness::SameBytes(ReadBytes(root + "a.bin"), ReadBytes(folder_ + "\\a.bin")));
  EXPECT_TRUE(harness::SameBytes(ReadBytes(root + "b.bin"), ReadBytes(folder_ + "\\docs\\b.bin")));

  PageRun second = RunPage("CtlDOWNLOADnow_vista", "B1?", version);
  ASSERT_TRUE(second.ended);
  EXPECT_EQ(ExpectedOutput("CtlDOWNLOADnow_vista", "undefined"), second.output);
  EXPECT_FALSE(second.launcherShown) << "the running downloader should have had the job at once";
  EXPECT_TRUE(second.boxes.empty());
  EXPECT_EQ(downloader, FindWindowW(kDownloaderWindowClass, nullptr)) << "a second downloader was started";
  ExpectCompletionMessage(downloader);
  EXPECT_TRUE(harness::SameBytes(ReadBytes(root + "c.txt"), ReadBytes(folder_ + "\\c.txt")));
  ExitThroughTheTray(kDownloaderWindowClass);
}

TEST_F(ScriptEndToEnd, PageStartsTheUploaderWithItsSelection) {
  CreateDirectoryW(W(kLocalFolder).c_str(), nullptr);
  CreateDirectoryW(W(std::string(kLocalFolder) + "사진").c_str(), nullptr);
  WriteBytes(kLocalFolder + std::string("사진\\바다.jpg"), std::string(250000, 'u'));
  WriteBytes(kLocalFolder + std::string("notes.txt"), std::string(7000, 'n'));
  PageRun run = RunPage("CtlUPLOADnow", "U1", Version(kUploaderProgram));
  ASSERT_TRUE(run.ended) << "the page's call did not return";
  EXPECT_EQ(ExpectedOutput("CtlUPLOADnow", "1"), run.output);
  HWND uploader = FindWindowW(kUploaderWindowClass, nullptr);
  ASSERT_NE(nullptr, uploader) << "the uploader is not running";
  ExpectCompletionMessage(uploader);
  EXPECT_EQ(1, CountLogLines(kServer, {"\"upload_complete\"", "\"received\":250000"}));
  EXPECT_EQ(1, CountLogLines(kServer, {"\"upload_complete\"", "\"received\":7000"}));
  ExitThroughTheTray(kUploaderWindowClass);
}

TEST_F(ScriptEndToEnd, AnOutOfDateProgramIsNotStartedWhenItsInstallationFails) {
  // An empty required version never matches: the update runs, finds no web
  // host serving the installer (this test's service has none), and the
  // installation is abandoned with its two messages.
  PageRun run = RunPage("CtlDOWNLOADnow", "A1?", "");
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(ExpectedOutput("CtlDOWNLOADnow", "1"), run.output);
  EXPECT_EQ(nullptr, FindWindowW(kDownloaderWindowClass, nullptr));
  ASSERT_EQ(2u, run.boxes.size());
  EXPECT_EQ(W("설치 (오류)"), run.boxes[0].caption);
  EXPECT_EQ(W("설치오류(오류)"), run.boxes[1].caption);
  EXPECT_EQ(W("업/다운로더 프로그램설치가 취소되었습니다."), run.boxes[1].text);
}

}  // namespace
