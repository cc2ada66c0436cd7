// The uploader's main window in this process, on a thread of its own,
// against the reference service on 127.0.8.1: jobs, scheduling, retries,
// stop and start, list commands, completion actions, exit and tray. The
// files to upload lie in C:\haulbox-upload-window (see data/window).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Application.h"
#include "ByteAssertions.h"
#include "CCustomOccManager.h"
#include "CPellmark_uploadDlg.h"
#include "CopyDataSender.h"
#include "DownloaderTestSupport.h"
#include "Formatting.h"
#include "Handoff.h"
#include "MainWindowRunner.h"
#include "MessageBoxProbe.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "UploaderRes.h"
#include "WindowClasses.h"
#include "WindowFinder.h"

using namespace test_support;

namespace {

const char kServer[] = "127.0.8.1";
const char kLocalFolder[] = "C:\\haulbox-upload-window\\";

class RecordingShutdown : public SystemShutdown {
public:
  bool EnablePrivilege(const wchar_t* name) override {
    privilege = name;
    return true;
  }
  bool InitiateShutdown(const wchar_t*, DWORD, BOOL, BOOL) override {
    ++requests;
    return true;
  }
  std::wstring privilege;
  std::atomic<int> requests{0};
};

// The window with the shell answered by the test.
class TestWindow : public CPellmark_uploadDlg {
protected:
  void ShellOpen(const std::string&, const std::string&) override {}
};

class Runner : public MainWindowRunner<TestWindow> {
public:
  using MainWindowRunner::MainWindowRunner;

  std::string RowState(int row) {
    return Read<std::string>([&] { return Window().List().GetItemText(row, 2); });
  }
  std::string RowName(int row) {
    return Read<std::string>([&] { return Window().List().GetItemText(row, 0); });
  }
  int Rows() { return Read<int>([&] { return Window().List().GetItemCount(); }); }
  std::string Label(int id) {
    return Read<std::string>([&] { return Window().ItemText(id); });
  }
  bool Running() { return Read<bool>([&] { return Window().IsRunning(); }); }
  int EntryState(int index) {
    return Read<int>([&] { return Window().JobState().entries[index].state.load(); });
  }
  std::int64_t EntrySent(int index) {
    return Read<std::int64_t>([&] { return Window().JobState().entries[index].sent.load(); });
  }

  // Sends a hand-off; the job runs inside the message.
  void Handoff(const std::string& listCode, const std::string& tag = kUploaderHandoffTag) {
    const std::string text = tag + "|" + listCode + "|tester|1";
    harness::CopyDataResult sent = harness::SendCopyDataText(Hwnd(), kHandoffTagUploader, text, nullptr, 60000);
    EXPECT_TRUE(sent.delivered && sent.reply == TRUE) << "hand-off not taken: " << GetLastError();
  }
};

bool HasBox(BoxWatcher& watcher, const char* text, const char* caption) {
  for (const SeenBox& box : watcher.Boxes()) {
    if (box.text == W(text) && box.caption == W(caption)) return true;
  }
  return false;
}

bool WaitForBox(BoxWatcher& watcher, const char* text, const char* caption, DWORD timeoutMs) {
  return WaitFor([&] { return HasBox(watcher, text, caption); }, timeoutMs);
}

// The visible pop-up menu of this process, or null.
BOOL CALLBACK FindOwnVisibleMenu(HWND window, LPARAM found) {
  if (harness::WindowClassName(window) != L"#32768" || !IsWindowVisible(window)) return TRUE;
  if (harness::WindowProcessId(window) != GetCurrentProcessId()) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND VisibleMenu() {
  HWND found = nullptr;
  EnumWindows(&FindOwnVisibleMenu, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  return bytes;
}

// Each row still shows the file of the entry at its index.
void ExpectEntriesFollowTheirRows(Runner& runner) {
  const int rows = runner.Rows();
  for (int row = 0; row < rows; ++row) {
    EXPECT_EQ(runner.RowName(row), runner.Read<std::string>([&] { return runner.Window().JobState().entries[row].name; }))
        << row;
  }
}

class TestApp : public Application {};

class UploadWindowTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    RegisterDialogClassCopy(kUploaderWindowClass);
    RegisterPlaceholderControlClass(WEB_BROWSER_CONTROL_CLASS_W);
    app_ = new TestApp;
    app_->SetRegistryKey("QuorvanesTest");
    app_->SetOccManager(std::make_unique<CCustomOccManager>());
    // The banner asks this service's web host for its page.
    OverrideWebHost("127.0.8.1:8081");
    app_->SetTitle("UploadWindowTests");
    CreateDirectoryW(W(kLocalFolder).c_str(), nullptr);
    WriteLocal("a.bin", RandomBytes(300000, 1));
    WriteLocal("한글파일.txt", RandomBytes(5000, 2));
    WriteLocal("empty.bin", "");
    WriteLocal("c.bin", RandomBytes(3145728, 3));
    // More than the connection's buffers hold: a send waits while the service does not read.
    WriteLocal("big.bin", RandomBytes(25165824, 4));
    DeleteFileW(W(std::string(kLocalFolder) + "missing.bin").c_str());
  }

  void SetUp() override {
    OverrideTransferServerHost(kServer);
    settings::WriteInt("UP_Autostart", 1);
    settings::WriteInt("UP_Tray", 0);
    settings::WriteInt("UP_Program_end", 0);
    settings::WriteInt("UP_System_end", 0);
  }

  static void WriteLocal(const std::string& name, const std::string& bytes) {
    WriteBytes(kLocalFolder + name, bytes);
  }
  static std::string Local(const std::string& name) { return ReadBytes(kLocalFolder + name); }
  static std::string Stored(const std::string& key, const std::string& name) {
    return ReadBytes(ServiceRoot(kServer) + "uploads\\" + key + "\\" + name);
  }
  static int UploadRequests(const std::string& key) {
    return CountLogLines(kServer, {"\"upload\"", "\"request\"", "\"key\":\"" + key + "\""});
  }
  static int Exchanges(const std::string& request) {
    return CountLogLines(kServer, {"\"exchange\"", "\"request\":\"" + request + "\""});
  }

  static TestApp* app_;
};
TestApp* UploadWindowTest::app_ = nullptr;

TEST_F(UploadWindowTest, AJobUploadsCompletelyAndTellsSo) {
  BoxWatcher boxes;
  Runner runner;
  ASSERT_NE(nullptr, runner.Hwnd());
  const int completions = Exchanges("@Upload_complute");
  runner.Handoff("LA");
  ASSERT_EQ(4, runner.Rows());
  EXPECT_EQ("한글파일.txt", runner.RowName(1));
  ASSERT_TRUE(WaitForBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료", 60000));
  for (int row = 0; row < 4; ++row) EXPECT_EQ("완료", runner.RowState(row)) << row;
  const std::int64_t total = 300000 + 5000 + 0 + 3145728;
  EXPECT_EQ("100%/100%(" + GroupDigits(total) + "/" + GroupDigits(total) + " Byte)",
            runner.Read<std::string>([&] { return runner.Window().TotalBar().m_caption; }));
  EXPECT_EQ("전송완료", runner.Label(IDC_UP_TIME_LEFT));
  EXPECT_FALSE(runner.Running());
  EXPECT_TRUE(harness::SameBytes(Local("a.bin"), Stored("KA1", "a.bin")));
  EXPECT_TRUE(harness::SameBytes(Local("한글파일.txt"), Stored("KA2", "korean.txt")));
  EXPECT_TRUE(harness::SameBytes(Local("empty.bin"), Stored("KA3", "empty.bin")));
  EXPECT_TRUE(harness::SameBytes(Local("c.bin"), Stored("KA4", "c.bin")));
  EXPECT_EQ(completions + 4, Exchanges("@Upload_complute"));
}

TEST_F(UploadWindowTest, BannerHostsTheBrowserAndAsksTheWebHostForItsPageOnce) {
  const std::vector<std::string> page = {"\"request\"", "\"path\":\"/app/upload.html\""};
  const int before = CountLogLines(kServer, page);
  BoxWatcher boxes;
  Runner runner;
  ASSERT_NE(nullptr, runner.Hwnd());
  EXPECT_TRUE(runner.Read<bool>([&] { return runner.Window().Banner().HasBrowser(); }));
  EXPECT_EQ(IDC_UP_BANNER, runner.Read<int>([&] { return runner.Window().Banner().Id(); }));
  ASSERT_TRUE(WaitFor([&] { return CountLogLines(kServer, page) > before; }, 20000)) << "no request for the page";
  runner.Handoff("LA");
  ASSERT_TRUE(WaitForBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료", 60000));
  EXPECT_EQ(before + 1, CountLogLines(kServer, page)) << "the banner is navigated once, not per job";
}

// A container whose sites never get their control, as when the browser
// cannot be created.
class NoControlOccManager : public OccManager {
public:
  OleControlSite* CreateSite() override { return nullptr; }
};

TEST_F(UploadWindowTest, ABrowserThatCannotBeCreatedLeavesTheStripBlankAndTheWindowWorking) {
  app_->SetOccManager(std::make_unique<NoControlOccManager>());
  struct ManagerBack {
    Application* app;
    ~ManagerBack() { app->SetOccManager(std::make_unique<CCustomOccManager>()); }
  } back{app_};
  const std::vector<std::string> page = {"\"request\"", "\"path\":\"/app/upload.html\""};
  const int before = CountLogLines(kServer, page);
  BoxWatcher boxes;
  Runner runner;
  ASSERT_NE(nullptr, runner.Hwnd());
  EXPECT_FALSE(runner.Read<bool>([&] { return runner.Window().Banner().HasBrowser(); }));
  EXPECT_NE(nullptr, GetDlgItem(runner.Hwnd(), IDC_UP_BANNER)) << "the blank strip is still there";
  runner.Handoff("LA");
  ASSERT_TRUE(WaitForBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료", 60000));
  EXPECT_EQ(1u, boxes.Boxes().size()) << "the completion box only";
  EXPECT_EQ(before, CountLogLines(kServer, page));
}

// Retries are counted over the program's life: the fourth failure since the
// start shows the message even though a file completed in between.
TEST_F(UploadWindowTest, TheFourthNetworkFailureStopsWithTheMessageAndTheNextStartResumes) {
  BoxWatcher boxes;
  Runner runner;
  runner.Handoff("LD");
  ASSERT_TRUE(WaitForBox(boxes, "서버와 연결되지 않아 접속이 종료되었습니다.", "업로더 (오류)", 60000));
  EXPECT_EQ("완료", runner.RowState(0));
  EXPECT_TRUE(harness::SameBytes(Local("a.bin"), Stored("KD1", "d1.bin")));
  EXPECT_EQ(3, UploadRequests("KD1"));
  EXPECT_EQ(2, UploadRequests("KD2"));
  EXPECT_FALSE(runner.Running());
  EXPECT_EQ(0, runner.Read<int>([&] { return runner.Window().RetryCount(); }));
  EXPECT_EQ(1, boxes.Boxes().size());

  // The next start resumes at the offset the service holds.
  runner.Click(IDC_UP_START_STOP);
  ASSERT_TRUE(WaitForBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료", 60000));
  EXPECT_TRUE(harness::SameBytes(Local("c.bin"), Stored("KD2", "d2.bin")));
  EXPECT_EQ(1, CountLogLines(kServer, {"\"upload\"", "\"request\"", "\"key\":\"KD2\"", "\"offset\":200000"}));
}

// The user stops after the worker has failed but before the window has acted
// on it: the file stays stopped, no retry starts it again behind the user's back.
TEST_F(UploadWindowTest, AStopAfterTheWorkerFailedIsNotUndoneByTheRetry) {
  BoxWatcher boxes;
  Runner runner;
  runner.Handoff("LF");  // the service refuses the data connection
  ASSERT_TRUE(runner.Running());
  const int retries = runner.Read<int>([&] { return runner.Window().RetryCount(); });
  runner.Ui([&] {
    // On the window's thread no progress tick comes in between.
    for (int i = 0; i < 400 && runner.Window().HasWorker(); ++i) Sleep(25);
    runner.Window().ToggleUpload();  // stop
  });
  Sleep(2500);
  EXPECT_FALSE(runner.Running());
  EXPECT_EQ(retries, runner.Read<int>([&] { return runner.Window().RetryCount(); }));
  EXPECT_EQ(kUploadStopped, runner.EntryState(0));
  EXPECT_EQ(1, CountLogLines(kServer, {"\"upload\"", "\"fault\":\"refuse\""}));
}

TEST_F(UploadWindowTest, ListCommandsAreBlockedWhileUploadingAndStopAndStartResumeTheSameEntry) {
  BoxWatcher boxes;
  Runner runner;
  const int completions = Exchanges("@Upload_complute");
  runner.Handoff("LS");  // the service stops reading for a minute after 64 KiB
  ASSERT_TRUE(WaitFor([&] { return UploadRequests("KS1") >= 1; }, 20000));
  EXPECT_TRUE(runner.Running());
  for (int id : {IDC_UP_DELETE_SELECTED, IDC_UP_DELETE_COMPLETED, IDC_UP_MOVE_TOP, IDC_UP_MOVE_UP,
                 IDC_UP_MOVE_DOWN, IDC_UP_MOVE_BOTTOM}) {
    const std::size_t seen = boxes.Boxes().size();
    runner.Click(id);
    ASSERT_TRUE(boxes.WaitForBoxes(seen + 1, 10000)) << id;
    EXPECT_EQ(W("전송중에는 사용할수 없습니다."), boxes.Boxes().back().text);
    EXPECT_EQ(W("업로더 (오류)"), boxes.Boxes().back().caption);
  }
  EXPECT_EQ(1, runner.Rows());

  // The stop ends the worker whose send waits for room; the entry keeps its
  // count for the next start.
  const std::size_t boxesBeforeStop = boxes.Boxes().size();
  runner.Click(IDC_UP_START_STOP);
  ASSERT_TRUE(WaitFor([&] { return !runner.Running() && !runner.Read<bool>([&] { return runner.Window().HasWorker(); }); },
                      10000));
  EXPECT_EQ(kUploadStopped, runner.EntryState(0));
  EXPECT_GE(runner.EntrySent(0), 65536);
  EXPECT_EQ(boxesBeforeStop, boxes.Boxes().size());
  EXPECT_EQ(completions, Exchanges("@Upload_complute"));

  runner.Click(IDC_UP_START_STOP);
  ASSERT_TRUE(WaitForBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료", 60000));
  EXPECT_EQ(2, UploadRequests("KS1"));
  EXPECT_TRUE(harness::SameBytes(Local("big.bin"), Stored("KS1", "s1.bin")));
}

// A start given while the stopped worker is still ending waits for it: never
// two workers on one entry.
TEST_F(UploadWindowTest, AStartWhileTheStoppedWorkerEndsIsQueuedUntilItHasEnded) {
  BoxWatcher boxes;
  Runner runner;
  runner.Handoff("LQ");  // the service stops reading after 64 KiB
  ASSERT_TRUE(WaitFor([&] { return UploadRequests("KQ1") >= 1; }, 20000));
  const DWORD workerId = runner.Read<DWORD>([&] { return runner.Window().WorkerThreadId(); });
  HANDLE worker = OpenThread(THREAD_SUSPEND_RESUME, FALSE, workerId);
  ASSERT_NE(nullptr, worker);
  ASSERT_NE(static_cast<DWORD>(-1), SuspendThread(worker));  // it cannot end until resumed
  runner.Ui([&] {
    runner.Window().ToggleUpload();  // stop
    runner.Window().ToggleUpload();  // start at once
  });
  EXPECT_TRUE(runner.Read<bool>([&] { return runner.Window().IsStartQueued(); }));
  EXPECT_TRUE(runner.Running());
  Sleep(1000);
  EXPECT_EQ(1, UploadRequests("KQ1"));  // no second worker meanwhile
  ResumeThread(worker);
  CloseHandle(worker);
  ASSERT_TRUE(WaitForBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료", 60000));
  EXPECT_EQ(2, UploadRequests("KQ1"));
  EXPECT_TRUE(harness::SameBytes(Local("c.bin"), Stored("KQ1", "q1.bin")));
  EXPECT_TRUE(harness::SameBytes(Local("a.bin"), Stored("KQ2", "q2.bin")));
}

TEST_F(UploadWindowTest, MovesKeepEntriesWithTheirRowsAndDeletesRecomputeTheTotals) {
  settings::WriteInt("UP_Autostart", 0);
  BoxWatcher boxes(IDYES);
  Runner runner;
  runner.Handoff("LM");
  ASSERT_EQ(3, runner.Rows());
  EXPECT_FALSE(runner.Running());

  runner.Ui([&] { runner.Window().List().SetItemState(2, LVIS_SELECTED, LVIS_SELECTED); });
  runner.Click(IDC_UP_MOVE_TOP);
  runner.WaitForPostedMessages();
  EXPECT_EQ("empty.bin", runner.RowName(0));
  ExpectEntriesFollowTheirRows(runner);
  runner.Click(IDC_UP_MOVE_DOWN);
  runner.WaitForPostedMessages();
  EXPECT_EQ("empty.bin", runner.RowName(1));
  ExpectEntriesFollowTheirRows(runner);

  // With nothing complete, delete completed removes nothing.
  runner.Click(IDC_UP_DELETE_COMPLETED);
  runner.WaitForPostedMessages();
  EXPECT_EQ(3, runner.Rows());

  runner.Click(IDC_UP_DELETE_SELECTED);  // the moved row is still selected; the question is answered yes
  ASSERT_TRUE(WaitFor([&] { return runner.Rows() == 2; }, 10000));
  EXPECT_TRUE(HasBox(boxes, "삭제하시겠습니까?", "삭제확인"));
  EXPECT_EQ(305000, runner.Read<std::int64_t>([&] { return runner.Window().TotalBytes(); }));

  runner.Click(IDC_UP_START_STOP);
  ASSERT_TRUE(WaitForBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료", 60000));
  runner.Click(IDC_UP_DELETE_COMPLETED);
  ASSERT_TRUE(WaitFor([&] { return runner.Rows() == 0; }, 10000));
  EXPECT_EQ(0, runner.Read<std::int64_t>([&] { return runner.Window().TotalBytes(); }));

  runner.Click(IDC_UP_DELETE_SELECTED);
  ASSERT_TRUE(WaitForBox(boxes, "삭제할 파일을 선택하세요.", "업로더", 10000));
}

// A listed size that differs from the file on disk: the worker's completion
// decides, the row says so and the next file goes on.
TEST_F(UploadWindowTest, AListedSizeOtherThanTheFileOnDiskStillCompletes) {
  BoxWatcher boxes;
  Runner runner;
  const int completions = Exchanges("@Upload_complute");
  runner.Handoff("LZ");
  ASSERT_TRUE(WaitForBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료", 60000));
  for (int row = 0; row < 3; ++row) EXPECT_EQ("완료", runner.RowState(row)) << row;
  EXPECT_EQ(completions + 3, Exchanges("@Upload_complute"));
  EXPECT_FALSE(runner.Running());
}

TEST_F(UploadWindowTest, AFileThatCannotBeOpenedStopsUploadingWithTheMessage) {
  BoxWatcher boxes;
  Runner runner;
  runner.Handoff("LX");
  ASSERT_TRUE(WaitForBox(boxes, "업로드할 파일을 열수 없습니다.", "업로더 (오류)", 20000));
  EXPECT_TRUE(WaitFor([&] { return !runner.Running(); }, 5000));
  EXPECT_EQ(0, UploadRequests("KX1"));
}

TEST_F(UploadWindowTest, AHandoffOfAnotherKindIsIgnored) {
  Runner runner;
  const int logins = Exchanges("@Connect_start");
  runner.Handoff("LE", "Haulbox_downloader_Manager");
  EXPECT_EQ(0, runner.Rows());
  EXPECT_EQ(logins, Exchanges("@Connect_start"));
}

TEST_F(UploadWindowTest, TheTraySettingHidesTheWindowWhileUploading) {
  settings::WriteInt("UP_Tray", 1);
  BoxWatcher boxes;
  Runner runner;
  ASSERT_TRUE(IsWindowVisible(runner.Hwnd()));
  runner.Handoff("LT");  // the service stops reading after 64 KiB
  EXPECT_TRUE(runner.Running());
  EXPECT_FALSE(IsWindowVisible(runner.Hwnd()));
  runner.Click(IDC_UP_START_STOP);
  ASSERT_TRUE(WaitFor([&] { return !runner.Read<bool>([&] { return runner.Window().HasWorker(); }); }, 10000));
}

TEST_F(UploadWindowTest, ShutdownActionTakesPrecedenceAndRemovesTheTrayIcon) {
  settings::WriteInt("UP_System_end", 1);
  settings::WriteInt("UP_Program_end", 1);
  RecordingShutdown shutdown;
  BoxWatcher boxes;
  Runner runner([&](Runner::Driven& window) { window.SetSystemShutdown(shutdown); });
  EXPECT_TRUE(runner.Read<bool>([&] { return runner.Window().HasTrayIcon(); }));
  runner.Handoff("LE");
  ASSERT_TRUE(WaitFor([&] { return shutdown.requests.load() == 1; }, 30000));
  EXPECT_EQ(L"SeShutdownPrivilege", shutdown.privilege);
  EXPECT_FALSE(runner.Read<bool>([&] { return runner.Window().HasTrayIcon(); }));
  EXPECT_FALSE(runner.Ended());  // only the shutdown, not the exit
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(UploadWindowTest, ExitAsksOnlyWhileFilesAreUnfinishedAndSendsNothing) {
  settings::WriteInt("UP_Autostart", 0);
  BoxWatcher boxes(IDNO);
  Runner runner;
  runner.Handoff("LE");
  const int logouts = Exchanges("@Connect_end");
  runner.Click(IDC_UP_CLOSE);
  ASSERT_TRUE(WaitForBox(boxes, "전송이 완료되지 않은 파일이 있습니다.\n그래도 종료 하시겠습니까?", "종료확인", 10000));
  runner.WaitForPostedMessages();
  EXPECT_FALSE(runner.Ended());

  // With the program-end setting the completion exits without a question.
  settings::WriteInt("UP_Program_end", 1);
  runner.Click(IDC_UP_START_STOP);
  ASSERT_TRUE(runner.WaitEnded(30000));
  EXPECT_EQ(1, boxes.Boxes().size());
  EXPECT_EQ(logouts, Exchanges("@Connect_end"));
}

TEST_F(UploadWindowTest, TrayIconOfAnotherIdDoesNothingAndTheMenuOpensOnRightClick) {
  Runner runner;
  const UINT trayMessage = RegisterWindowMessageW(L"Pell_tray_icons");
  ShowWindow(runner.Hwnd(), SW_HIDE);
  SendMessageW(runner.Hwnd(), trayMessage, CTrayicon::kIconId + 1, WM_LBUTTONDBLCLK);
  EXPECT_FALSE(IsWindowVisible(runner.Hwnd()));
  SendMessageW(runner.Hwnd(), trayMessage, CTrayicon::kIconId, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(runner.Hwnd()));

  PostMessageW(runner.Hwnd(), trayMessage, CTrayicon::kIconId, WM_RBUTTONDOWN);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (menu = VisibleMenu()) != nullptr; }, 10000));
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitFor([&] { return VisibleMenu() == nullptr; }, 5000));

  // "프로그램종료" with nothing listed exits without a question.
  PostMessageW(runner.Hwnd(), WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
  EXPECT_TRUE(runner.WaitEnded(20000));
}

}  // namespace
