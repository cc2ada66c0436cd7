// The launcher window run as a scripting call runs it, with stand-in
// transfer programs installed in a folder of the test's own and an
// installation step the test decides.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "CLoad_EXE.h"
#include "DownloaderTestSupport.h"
#include "Handoff.h"
#include "MainWindowRunner.h"
#include "WindowClasses.h"

namespace {

using test_support::BoxWatcher;
using test_support::W;
using test_support::WaitFor;

const char kFakeVersion[] = "7.0.3.12";
const wchar_t kDidNotStart[] = L"프로그램이 시작되지 않았습니다.\n잠시 후 다시 시도해 주십시오.";

std::wstring TestProgramsFolder() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring self(path, length);
  return self.substr(0, self.find_last_of(L'\\'));
}

std::wstring FakeProgram() { return TestProgramsFolder() + L"\\fake_transfer_program.exe"; }

// How a stand-in program behaves (see FakeTransferProgram.cpp).
struct FakeBehaviour {
  FakeBehaviour(std::string windowClass, std::uintptr_t tag, std::string readyText, std::string options = "")
      : windowClass(std::move(windowClass)), tag(tag), readyText(std::move(readyText)), options(std::move(options)) {}
  std::string windowClass;
  std::uintptr_t tag;
  std::string readyText;  // empty: never announces itself
  std::string options;    // further "key=value" lines (stay, reannounce, hang_ms)
};

FakeBehaviour Announcing(const TransferProgram& program) {
  std::string windowClass(program.windowClass, program.windowClass + wcslen(program.windowClass));
  return {windowClass, program.tag, program.readyText};
}

// A launcher that remembers whether it was ever shown.
class ObservedLauncher : public CLoad_EXE {
public:
  using CLoad_EXE::CLoad_EXE;
  bool shown = false;

protected:
  bool OnUnhandledMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == WM_SHOWWINDOW && wParam) shown = true;
    return CLoad_EXE::OnUnhandledMessage(message, wParam, lParam, result);
  }
};

class LauncherTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterDialogClassCopy(L"HAULbox_AX_EXE"));
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + L"haulbox-launcher-tests";
    CreateDirectoryW(root.c_str(), nullptr);
    folder_ = root + L"\\" + W(test->name());
    CreateDirectoryW(folder_.c_str(), nullptr);
    for (const wchar_t* name : {L"Haulbox_DOWN.exe", L"Haulbox_UPLOAD.exe", L"running.exe", L"handoffs.txt"}) {
      DeleteFileW((folder_ + L"\\" + name).c_str());
    }
    record_ = folder_ + L"\\handoffs.txt";
  }

  void TearDown() override {
    for (const wchar_t* windowClass : {kDownloaderWindowClass, kUploaderWindowClass, L"NotTheDownloader"}) {
      WaitFor([&] {
        HWND window = FindWindowW(windowClass, nullptr);
        if (window) PostMessageW(window, WM_CLOSE, 0, 0);
        return window == nullptr;
      }, 5000);
    }
  }

  // Puts a stand-in program in the install folder under `fileName`.
  void Install(const wchar_t* fileName, const FakeBehaviour& behaviour) {
    std::wstring path = folder_ + L"\\" + fileName;
    ASSERT_TRUE(CopyFileW(FakeProgram().c_str(), path.c_str(), FALSE)) << GetLastError();
    WriteBehaviour(path, behaviour);
  }

  // Starts a stand-in program from outside the install folder and waits for its window.
  void StartRunning(const FakeBehaviour& behaviour) {
    std::wstring path = folder_ + L"\\running.exe";
    ASSERT_TRUE(CopyFileW(FakeProgram().c_str(), path.c_str(), FALSE)) << GetLastError();
    WriteBehaviour(path, behaviour);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + path + L"\"";
    ASSERT_TRUE(CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::wstring windowClass = W(behaviour.windowClass);
    ASSERT_TRUE(WaitFor([&] { return FindWindowW(windowClass.c_str(), nullptr) != nullptr; }, 10000));
  }

  CLoad_EXE::Environment Environment(DWORD readyWaitMs = 15000) {
    return {folder_, [this](HWND, const std::string& uploaderVersion, const std::string& downloaderVersion) {
              updates_.push_back({uploaderVersion, downloaderVersion});
              return updateResult_;
            },
            readyWaitMs};
  }

  // Handles this thread's messages for `ms`, as a modal loop would.
  static void PumpMessages(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  }

  // The hand-offs the stand-in programs received, one line each.
  std::vector<std::string> Handoffs() {
    std::ifstream file(record_.c_str(), std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) lines.push_back(line);
    return lines;
  }

  bool WaitForHandoffs(std::size_t count) {
    return WaitFor([&] { return Handoffs().size() >= count; }, 10000);
  }

  std::wstring folder_;
  std::wstring record_;
  int updateResult_ = 0;
  std::vector<std::pair<std::string, std::string>> updates_;

private:
  void WriteBehaviour(const std::wstring& program, const FakeBehaviour& behaviour) {
    std::ofstream config((program + L".txt").c_str(), std::ios::binary);
    config << "class=" << behaviour.windowClass << "\n";
    config << "tag=" << behaviour.tag << "\n";
    if (!behaviour.readyText.empty()) config << "ready=" << behaviour.readyText << "\n";
    std::string record(record_.begin(), record_.end());
    config << "record=" << record << "\n";
    config << behaviour.options;
  }
};

std::string HandoffLine(const TransferProgram& program, const std::string& text) {
  return "tag=" + std::to_string(program.tag) + " from=HAULbox_AX_EXE text=" + text;
}

TEST_F(LauncherTest, OutOfDateUnlessTheVersionResourceMatchesByteForByte) {
  CLoad_EXE launcher(Environment());
  EXPECT_TRUE(launcher.IsOutOfDate(kDownloaderProgram, kFakeVersion)) << "not installed";
  Install(L"Haulbox_DOWN.exe", Announcing(kDownloaderProgram));
  EXPECT_FALSE(launcher.IsOutOfDate(kDownloaderProgram, kFakeVersion));
  EXPECT_TRUE(launcher.IsOutOfDate(kDownloaderProgram, "7.0.3.13"));
  EXPECT_TRUE(launcher.IsOutOfDate(kDownloaderProgram, ""));
  EXPECT_TRUE(launcher.IsOutOfDate(kDownloaderProgram, "7.0.03.12"));
  // A file without a version resource.
  std::ofstream((folder_ + L"\\Haulbox_UPLOAD.exe").c_str()) << "not a program";
  EXPECT_TRUE(launcher.IsOutOfDate(kUploaderProgram, ""));
  EXPECT_TRUE(launcher.IsOutOfDate(kUploaderProgram, "0.0.0.0"));
}

TEST_F(LauncherTest, RunningCurrentProgramGetsTheJobAtOnceAndTheLauncherNeverShows) {
  Install(L"Haulbox_DOWN.exe", Announcing(kDownloaderProgram));
  StartRunning({"Haulbox_downloader", 0, ""});
  BoxWatcher boxes;
  ObservedLauncher launcher(Environment());
  launcher.jobKind = CLoad_EXE::LaunchDownloader;
  launcher.requiredDownloaderVersion = kFakeVersion;
  launcher.handoffFields = {"N1?N2?", "member", "7"};
  EXPECT_EQ(0, launcher.DoModal());
  EXPECT_EQ(1, launcher.downloaderResult);
  EXPECT_FALSE(launcher.shown);
  ASSERT_TRUE(WaitForHandoffs(1));
  EXPECT_EQ(HandoffLine(kDownloaderProgram, "Haulbox_downloader_Manager|N1?N2?|member|7"), Handoffs()[0]);
  EXPECT_TRUE(updates_.empty());
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(LauncherTest, StartedProgramAnnouncesItselfAndReceivesFieldsUnchanged) {
  for (const TransferProgram* program : {&kDownloaderProgram, &kUploaderProgram}) {
    SCOPED_TRACE(testing::PrintToString(program->readyText));
    DeleteFileW(record_.c_str());
    Install(program->fileName, Announcing(*program));
    BoxWatcher boxes;
    ObservedLauncher launcher(Environment());
    bool upload = program == &kUploaderProgram;
    launcher.jobKind = upload ? CLoad_EXE::LaunchUploader : CLoad_EXE::LaunchDownloader;
    (upload ? launcher.requiredUploaderVersion : launcher.requiredDownloaderVersion) = kFakeVersion;
    launcher.handoffFields = {"a|b", "\xB1\xE8\xC3\xB6\xBC\xF6", "|"};
    EXPECT_EQ(0, launcher.DoModal());
    EXPECT_EQ(1, upload ? launcher.uploaderResult : launcher.downloaderResult);
    ASSERT_TRUE(WaitForHandoffs(1));
    EXPECT_EQ(HandoffLine(*program, std::string(program->handoffPrefix) + "|a|b|\xB1\xE8\xC3\xB6\xBC\xF6||"),
              Handoffs()[0]);
    EXPECT_TRUE(boxes.Boxes().empty());
  }
  EXPECT_TRUE(updates_.empty());
}

TEST_F(LauncherTest, ReadyMessagesWithAnotherCaseOrTagAreIgnoredUntilTheWaitEnds) {
  const FakeBehaviour wrong[] = {{"Haulbox_downloader", kHandoffTagDownloader, "Haulbox_downloader"},
                                 {"Haulbox_downloader", kHandoffTagUploader, "Haulbox_Downloader"},
                                 {"Haulbox_downloader", kHandoffTagDownloader, "HAULBOX_DOWNLOADER"}};
  for (const FakeBehaviour& behaviour : wrong) {
    SCOPED_TRACE(behaviour.readyText);
    Install(L"Haulbox_DOWN.exe", behaviour);
    BoxWatcher boxes;
    ObservedLauncher launcher(Environment(2000));
    launcher.jobKind = CLoad_EXE::LaunchDownloader;
    launcher.requiredDownloaderVersion = kFakeVersion;
    DWORD started = GetTickCount();
    EXPECT_EQ(0, launcher.DoModal());
    EXPECT_GE(GetTickCount() - started, 1900u);
    EXPECT_TRUE(launcher.shown) << "the launcher shows while it waits";
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(kDidNotStart, boxes.Boxes()[0].text);
    EXPECT_EQ(L"(오류)", boxes.Boxes()[0].caption);
    EXPECT_TRUE(Handoffs().empty());
    TearDown();
  }
}

TEST_F(LauncherTest, EscapeEnterOrClosingTheLauncherEndsTheWaitWithOneMessage) {
  struct UserAction {
    const char* name;
    UINT message;
    WPARAM key;
  };
  for (const UserAction& action : {UserAction{"escape", WM_KEYDOWN, VK_ESCAPE},
                                   UserAction{"enter", WM_KEYDOWN, VK_RETURN}, UserAction{"closed", WM_CLOSE, 0}}) {
    SCOPED_TRACE(action.name);
    Install(L"Haulbox_DOWN.exe", {"Haulbox_downloader", 0, ""});
    BoxWatcher boxes;
    ObservedLauncher launcher(Environment(60000));
    launcher.jobKind = CLoad_EXE::LaunchDownloader;
    launcher.requiredDownloaderVersion = kFakeVersion;
    std::thread user([&] {
      HWND window = nullptr;
      WaitFor([&] {
        window = FindWindowW(L"HAULbox_AX_EXE", nullptr);
        return window && IsWindowVisible(window);
      }, 10000);
      PostMessageW(window, action.message, action.key, 0);
    });
    DWORD started = GetTickCount();
    EXPECT_EQ(0, launcher.DoModal());
    user.join();
    EXPECT_LT(GetTickCount() - started, 20000u);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(kDidNotStart, boxes.Boxes()[0].text);
    TearDown();
  }
}

TEST_F(LauncherTest, ProgramThatCannotBeStartedIsReportedAtOnce) {
  // The installation "succeeds" but leaves nothing to start.
  BoxWatcher boxes;
  ObservedLauncher launcher(Environment(60000));
  launcher.jobKind = CLoad_EXE::LaunchUploader;
  launcher.requiredUploaderVersion = kFakeVersion;
  DWORD started = GetTickCount();
  EXPECT_EQ(0, launcher.DoModal());
  EXPECT_LT(GetTickCount() - started, 20000u);
  EXPECT_EQ(1, launcher.uploaderResult);
  ASSERT_EQ(1u, updates_.size());
  EXPECT_EQ(std::make_pair(std::string(kFakeVersion), std::string()), updates_[0]);
  ASSERT_EQ(1u, boxes.Boxes().size());
  EXPECT_EQ(kDidNotStart, boxes.Boxes()[0].text);
}

TEST_F(LauncherTest, FailedInstallationIsToldAndNothingStarts) {
  updateResult_ = 1;
  BoxWatcher boxes;
  ObservedLauncher launcher(Environment());
  launcher.jobKind = CLoad_EXE::LaunchDownloader;
  launcher.requiredDownloaderVersion = "";
  launcher.handoffFields = {"a", "b", "c"};
  EXPECT_EQ(0, launcher.DoModal());
  EXPECT_EQ(1, launcher.downloaderResult);
  EXPECT_FALSE(launcher.shown);
  ASSERT_EQ(1u, updates_.size());
  EXPECT_EQ(std::make_pair(std::string(), std::string()), updates_[0]);
  ASSERT_EQ(1u, boxes.Boxes().size());
  EXPECT_EQ(L"업/다운로더 프로그램설치가 취소되었습니다.", boxes.Boxes()[0].text);
  EXPECT_EQ(L"설치오류(오류)", boxes.Boxes()[0].caption);
  EXPECT_EQ(nullptr, FindWindowW(kDownloaderWindowClass, nullptr));
}

TEST_F(LauncherTest, OutOfDateRunningProgramIsUpdatedThenHandedTheJob) {
  Install(L"Haulbox_DOWN.exe", Announcing(kDownloaderProgram));
  StartRunning({"Haulbox_downloader", 0, ""});
  BoxWatcher boxes;
  ObservedLauncher launcher(Environment());
  launcher.jobKind = CLoad_EXE::LaunchDownloader;
  launcher.requiredDownloaderVersion = "7.0.3.13";
  launcher.handoffFields = {"x", "y", "z"};
  EXPECT_EQ(0, launcher.DoModal());
  EXPECT_EQ(1u, updates_.size());
  ASSERT_TRUE(WaitForHandoffs(1));
  EXPECT_EQ(HandoffLine(kDownloaderProgram, "Haulbox_downloader_Manager|x|y|z"), Handoffs()[0]);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(LauncherTest, ReadyProgramWithoutItsWindowIsToldAndTheLauncherKeepsWaiting) {
  // Announces itself as the downloader from a window of another class.
  Install(L"Haulbox_DOWN.exe", {"NotTheDownloader", kHandoffTagDownloader, "Haulbox_Downloader"});
  BoxWatcher boxes;
  ObservedLauncher launcher(Environment(3000));
  launcher.jobKind = CLoad_EXE::LaunchDownloader;
  launcher.requiredDownloaderVersion = kFakeVersion;
  EXPECT_EQ(0, launcher.DoModal());
  ASSERT_EQ(2u, boxes.Boxes().size());
  EXPECT_EQ(L"컨트롤러가 실행되지 않았습니다", boxes.Boxes()[0].text);
  EXPECT_EQ(L"(오류)", boxes.Boxes()[0].caption);
  EXPECT_EQ(kDidNotStart, boxes.Boxes()[1].text);
  EXPECT_TRUE(Handoffs().empty());
}

TEST_F(LauncherTest, InstallProgramsUpdatesOnceForBothWhenEitherIsOutOfDate) {
  Install(L"Haulbox_DOWN.exe", Announcing(kDownloaderProgram));
  Install(L"Haulbox_UPLOAD.exe", Announcing(kUploaderProgram));
  struct Case {
    const char* uploader;
    const char* downloader;
    std::size_t updates;
  };
  for (const Case& c : {Case{kFakeVersion, kFakeVersion, 0}, Case{kFakeVersion, "1.0.0.8", 1},
                        Case{"", kFakeVersion, 1}, Case{"1.0.0.1", "1.0.0.1", 1}}) {
    SCOPED_TRACE(std::string(c.uploader) + " / " + c.downloader);
    updates_.clear();
    BoxWatcher boxes;
    ObservedLauncher launcher(Environment());
    launcher.jobKind = CLoad_EXE::InstallPrograms;
    launcher.requiredUploaderVersion = c.uploader;
    launcher.requiredDownloaderVersion = c.downloader;
    EXPECT_EQ(0, launcher.DoModal());
    EXPECT_EQ(1, launcher.downloaderResult);
    EXPECT_FALSE(launcher.shown);
    ASSERT_EQ(c.updates, updates_.size());
    if (c.updates) {
      EXPECT_EQ(std::make_pair(std::string(c.uploader), std::string(c.downloader)), updates_[0]);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
  }
  updateResult_ = 2;
  BoxWatcher boxes;
  CLoad_EXE launcher(Environment());
  launcher.jobKind = CLoad_EXE::InstallPrograms;
  EXPECT_EQ(0, launcher.DoModal());
  ASSERT_EQ(1u, boxes.Boxes().size());
  EXPECT_EQ(L"업/다운로더 프로그램설치가 취소되었습니다.", boxes.Boxes()[0].text);
}

TEST_F(LauncherTest, ReadyMessageDuringTheInstallationLeavesOneHandoffAfterIt) {
  // The installer starts the downloader, which announces itself while the
  // installation step is still open.
  CLoad_EXE::Environment environment = Environment();
  environment.update = [this](HWND, const std::string&, const std::string&) {
    StartRunning({"Haulbox_downloader", kHandoffTagDownloader, kDownloaderReadyText, "stay=1\n"});
    PumpMessages(1500);
    return 0;
  };
  BoxWatcher boxes;
  CLoad_EXE launcher(environment);
  launcher.jobKind = CLoad_EXE::LaunchDownloader;
  launcher.handoffFields = {"c", "m", "s"};
  EXPECT_EQ(0, launcher.DoModal());
  ASSERT_TRUE(WaitForHandoffs(1));
  Sleep(500);
  ASSERT_EQ(1u, Handoffs().size());
  EXPECT_EQ(HandoffLine(kDownloaderProgram, "Haulbox_downloader_Manager|c|m|s"), Handoffs()[0]);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(LauncherTest, ReadyMessageRepeatedWhileTheHandoffIsDeliveredIsNotAnsweredAgain) {
  FakeBehaviour announcing = Announcing(kDownloaderProgram);
  announcing.options = "reannounce=1\n";
  Install(L"Haulbox_DOWN.exe", announcing);
  BoxWatcher boxes;
  CLoad_EXE launcher(Environment());
  launcher.jobKind = CLoad_EXE::LaunchDownloader;
  launcher.requiredDownloaderVersion = kFakeVersion;
  launcher.handoffFields = {"c", "m", "s"};
  EXPECT_EQ(0, launcher.DoModal());
  ASSERT_TRUE(WaitForHandoffs(1));
  Sleep(500);
  EXPECT_EQ(1u, Handoffs().size());
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(LauncherTest, TheOtherProgramsReadyMessageDoesNotGetThisJob) {
  // A running uploader, and a started "downloader" that announces itself as
  // the uploader: the download's fields must not reach the uploader.
  StartRunning({"haulbox_uploader", 0, ""});
  Install(L"Haulbox_DOWN.exe", {"Haulbox_downloader", kHandoffTagUploader, kUploaderReadyText});
  BoxWatcher boxes;
  CLoad_EXE launcher(Environment(2000));
  launcher.jobKind = CLoad_EXE::LaunchDownloader;
  launcher.requiredDownloaderVersion = kFakeVersion;
  launcher.handoffFields = {"N1?", "member", "7"};
  EXPECT_EQ(0, launcher.DoModal());
  EXPECT_TRUE(Handoffs().empty());
  ASSERT_EQ(1u, boxes.Boxes().size());
  EXPECT_EQ(kDidNotStart, boxes.Boxes()[0].text);
}

TEST_F(LauncherTest, HungProgramDoesNotHoldTheLauncherAndIsReported) {
  Install(L"Haulbox_DOWN.exe", Announcing(kDownloaderProgram));
  StartRunning({"Haulbox_downloader", 0, "", "hang_ms=6000\n"});
  BoxWatcher boxes;
  CLoad_EXE::Environment environment = Environment();
  environment.handoffWaitMs = 1000;
  CLoad_EXE launcher(environment);
  launcher.jobKind = CLoad_EXE::LaunchDownloader;
  launcher.requiredDownloaderVersion = kFakeVersion;
  launcher.handoffFields = {"x", "y", "z"};
  DWORD started = GetTickCount();
  EXPECT_EQ(0, launcher.DoModal());
  EXPECT_LT(GetTickCount() - started, 4500u);
  EXPECT_EQ(1, launcher.downloaderResult);
  ASSERT_EQ(1u, boxes.Boxes().size());
  EXPECT_EQ(L"프로그램이 응답하지 않습니다.\n잠시 후 다시 시도해 주십시오.", boxes.Boxes()[0].text);
  EXPECT_EQ(L"(오류)", boxes.Boxes()[0].caption);
  // Let the stand-in wake and end before the next test looks for windows.
  Sleep(3000);
}

}  // namespace
