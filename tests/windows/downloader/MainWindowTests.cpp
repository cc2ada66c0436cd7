// The main window in this process, on a thread of its own, against the
// reference service on 127.0.6.1: hand-offs, scheduling, retries, the
// existing-file question, folder recovery, completion actions, exit and tray.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>

#include "Application.h"
#include "ByteAssertions.h"
#include "CCustomOccManager.h"
#include "CHaulbox_downloadDlg.h"
#include "CopyDataSender.h"
#include "DownloaderRes.h"
#include "DownloaderTestSupport.h"
#include "Formatting.h"
#include "MainWindowRunner.h"
#include "MessageBoxProbe.h"
#include "PostedMessageMarker.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "TextConversion.h"
#include "WindowClasses.h"
#include "WindowFinder.h"

using namespace test_support;

namespace {

const char kServer[] = "127.0.6.1";

class RecordingShutdown : public SystemShutdown {
public:
  bool EnablePrivilege(const wchar_t* name) override {
    privilege = name;
    return true;
  }
  bool InitiateShutdown(const wchar_t* message, DWORD timeout, BOOL force, BOOL reboot) override {
    ++requests;
    messageGiven = message != nullptr;
    timeoutSeconds = timeout;
    forceAppsClosed = force;
    rebootAfter = reboot;
    return true;
  }
  std::wstring privilege;
  std::atomic<int> requests{0};
  bool messageGiven = true;
  DWORD timeoutSeconds = 99;
  BOOL forceAppsClosed = TRUE, rebootAfter = TRUE;
};

// The window with the folder picker and the shell answered by the test.
class TestWindow : public CHaulbox_downloadDlg {
public:
  std::string recoveryFolder;
  std::string pickerTitle;
  int folderPicks = 0;
  std::string jobFolder;  // the job's folder picker answers this; empty: cancelled
  int jobFolderPicks = 0;

protected:
  bool PickFolder(const std::string&, std::string& folder) override {
    ++jobFolderPicks;
    folder = jobFolder;
    return !jobFolder.empty();
  }
  bool BrowseDownloadFolder(std::string& folder, const std::string& title) override {
    ++folderPicks;
    pickerTitle = title;
    folder = recoveryFolder;
    return true;
  }
  void ShellOpen(const std::string&, const std::string&) override {}
};

class WindowRunner : public MainWindowRunner<TestWindow> {
public:
  explicit WindowRunner(SystemShutdown* shutdown = nullptr)
      : MainWindowRunner([shutdown](Driven& window) {
          if (shutdown) window.SetSystemShutdown(*shutdown);
        }) {}

  std::string RowState(int row) {
    return Read<std::string>([&] { return Window().List().GetItemText(row, 2); });
  }
  int Rows() { return Read<int>([&] { return Window().List().GetItemCount(); }); }
  std::string Label(int id) {
    return Read<std::string>([&] { return Window().ItemText(id); });
  }
  bool Running() { return Read<bool>([&] { return Window().IsRunning(); }); }

  // Sends a hand-off; the job runs inside the message.
  void Handoff(const std::string& codes, const std::string& member = "tester") {
    std::string text = "Haulbox_downloader_Manager|" + codes + "|" + member + "|1";
    harness::CopyDataResult sent = harness::SendCopyDataText(Hwnd(), kHandoffTagDownloader, text, nullptr, 60000);
    EXPECT_TRUE(sent.delivered && sent.reply == TRUE) << "hand-off not taken: " << GetLastError();
  }
};

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

class TestApp : public Application {};

class MainWindowTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    RegisterDialogClassCopy(kDownloaderWindowClass);
    RegisterPlaceholderControlClass(WEB_BROWSER_CONTROL_CLASS_W);
    app_ = new TestApp;
    app_->SetRegistryKey("QuorvanesTest");
    app_->SetOccManager(std::make_unique<CCustomOccManager>());
    // The banner asks this service's web host for its page.
    OverrideWebHost("127.0.6.1:8061");
    app_->SetTitle("MainWindowTests");
  }

  void SetUp() override {
    OverrideTransferServerHost(kServer);
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    saveFolder_ = FreshFolder(name);
    settings::WriteText("Default_folder", saveFolder_);
    settings::WriteInt("Default_folder_use", 1);
    settings::WriteInt("DOWN_Autostart", 1);
    settings::WriteInt("DOWN_File_over", 3);
    settings::WriteInt("DOWN_List_del", 0);
    settings::WriteInt("DOWN_Program_end", 0);
    settings::WriteInt("DOWN_System_end", 0);
  }

  static std::string Source(const std::string& path) { return ReadBytes(ServiceRoot(kServer) + path); }
  std::string Local(const std::string& relative) const { return ReadBytes(saveFolder_ + "\\" + relative); }
  static int Requests(const std::string& key, const std::string& offset = "") {
    std::vector<std::string> parts = {"\"request\"", "\"key\":\"" + key + "\""};
    if (!offset.empty()) parts.push_back("\"offset\":" + offset);
    return CountLogLines(kServer, parts);
  }

  static TestApp* app_;
  std::string saveFolder_;
};
TestApp* MainWindowTest::app_ = nullptr;

BOOL CALLBACK FindOwnBoxWithText(HWND window, LPARAM search) {
  auto& wanted = *reinterpret_cast<std::pair<std::wstring, HWND>*>(search);
  if (harness::WindowClassName(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  if (harness::WindowProcessId(window) != GetCurrentProcessId()) return TRUE;
  if (harness::ReadMessageBox(window).text != wanted.first) return TRUE;
  wanted.second = window;
  return FALSE;
}

// A message box of this process saying `text`, waited for (bounded); other
// boxes may be open meanwhile.
HWND WaitForBoxSaying(const char* text, DWORD timeoutMs) {
  std::pair<std::wstring, HWND> search{W(text), nullptr};
  WaitFor([&] {
    EnumWindows(&FindOwnBoxWithText, reinterpret_cast<LPARAM>(&search));
    return search.second != nullptr;
  }, timeoutMs);
  return search.second;
}

bool HasBox(BoxWatcher& watcher, const char* text, const char* caption) {
  for (const SeenBox& box : watcher.Boxes()) {
    if (box.text == W(text) && box.caption == W(caption)) return true;
  }
  return false;
}

TEST_F(MainWindowTest, AJobDownloadsCompletelyAndTellsSo) {
  BoxWatcher boxes;
  WindowRunner runner;
  ASSERT_NE(nullptr, runner.Hwnd());
  runner.Handoff("A1?A2?A3?");
  ASSERT_EQ(3, runner.Rows());
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 60000));
  for (int row = 0; row < 3; ++row) EXPECT_EQ("완료", runner.RowState(row)) << row;
  const std::int64_t total = 300000 + 120000 + 5000;
  EXPECT_EQ("100%/100%(" + GroupDigits(total) + "/" + GroupDigits(total) + " Byte)",
            runner.Read<std::string>([&] { return runner.Window().TotalBar().m_caption; }));
  EXPECT_EQ(1000u, runner.Read<std::uint32_t>([&] { return runner.Window().TotalBar().Pos(); }));
  EXPECT_EQ("전송완료", runner.Label(IDC_DOWN_TIME_LEFT));
  EXPECT_FALSE(runner.Running());
  EXPECT_TRUE(harness::SameBytes(Source("a.bin"), Local("a.bin")));
  EXPECT_TRUE(harness::SameBytes(Source("b.bin"), Local("docs\\b.bin")));
  EXPECT_TRUE(harness::SameBytes(Source("c.txt"), Local("c.txt")));
}

TEST_F(MainWindowTest, BannerHostsTheBrowserAndAsksTheWebHostForItsPageOnce) {
  const std::vector<std::string> page = {"\"request\"", "\"path\":\"/app/download.html\""};
  const int before = CountLogLines(kServer, page);
  BoxWatcher boxes;
  WindowRunner runner;
  ASSERT_NE(nullptr, runner.Hwnd());
  EXPECT_TRUE(runner.Read<bool>([&] { return runner.Window().Banner().HasBrowser(); }));
  EXPECT_EQ(IDC_DOWN_BANNER, runner.Read<int>([&] { return runner.Window().Banner().Id(); }));
  ASSERT_TRUE(WaitFor([&] { return CountLogLines(kServer, page) > before; }, 20000)) << "no request for the page";
  runner.Handoff("A3?");
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 30000));
  EXPECT_EQ(before + 1, CountLogLines(kServer, page)) << "the banner is navigated once, not per job";
}

TEST_F(MainWindowTest, AnUnreachableWebHostLeavesTheBannerBlankAndTheWindowWorking) {
  struct WebHostBack {
    ~WebHostBack() { OverrideWebHost("127.0.6.1:8061"); }
  } back;
  OverrideWebHost("127.0.6.1:1");  // nothing listens there
  BoxWatcher boxes;
  WindowRunner runner;
  ASSERT_NE(nullptr, runner.Hwnd());
  EXPECT_TRUE(runner.Read<bool>([&] { return runner.Window().Banner().HasBrowser(); }));
  runner.Handoff("A3?");
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 30000));
  EXPECT_EQ(1u, boxes.Boxes().size()) << "the completion box only";
  EXPECT_TRUE(harness::SameBytes(Source("c.txt"), Local("c.txt")));
}

TEST_F(MainWindowTest, NetworkFailuresAreRetriedThreeTimesThenTheFileIsSkippedUntilTheNextPass) {
  BoxWatcher boxes;
  WindowRunner runner;
  // drop3 fails three times and completes at its fourth try.
  runner.Handoff("D3?");
  ASSERT_TRUE(WaitFor([&] { return boxes.Boxes().size() >= 1; }, 30000));
  EXPECT_EQ("완료", runner.RowState(0));
  EXPECT_EQ(4, Requests("KD3"));
  EXPECT_TRUE(harness::SameBytes(Source("a.bin"), Local("drop3.bin")));
  EXPECT_EQ(3, runner.Read<int>([&] { return runner.Window().RetryCount(); }));

  // The count is shared: drop4's first failure uses up the last retry, so
  // it is marked failed and the next file goes on.
  runner.Handoff("D4?D4N?");
  ASSERT_TRUE(WaitFor([&] { return boxes.Boxes().size() >= 2; }, 30000));
  EXPECT_EQ("오류", runner.RowState(1));
  EXPECT_EQ("완료", runner.RowState(2));
  EXPECT_EQ(1, Requests("KD4"));
  EXPECT_EQ(0, runner.Read<int>([&] { return runner.Window().RetryCount(); }));
  EXPECT_EQ(kEntryWaiting, runner.Read<int>([&] { return runner.Window().JobState().entries[1].state.load(); }));

  // The next pass tries it again: three more failures, then it completes.
  runner.Click(IDC_DOWN_START_STOP);
  ASSERT_TRUE(WaitFor([&] { return boxes.Boxes().size() >= 3; }, 30000));
  EXPECT_EQ("완료", runner.RowState(1));
  EXPECT_EQ(5, Requests("KD4"));
  EXPECT_TRUE(harness::SameBytes(Source("b.bin"), Local("drop4.bin")));
}

TEST_F(MainWindowTest, RetriesOfOneFileCountForTheNext) {
  BoxWatcher boxes;
  WindowRunner runner;
  // x fails twice (retries 1 and 2), y fails once (retry 3) and then its
  // second failure finds the retries used up.
  runner.Handoff("X2?Y2?YN?");
  ASSERT_TRUE(WaitFor([&] { return boxes.Boxes().size() >= 1; }, 30000));
  EXPECT_EQ("완료", runner.RowState(0));
  EXPECT_EQ("오류", runner.RowState(1));
  EXPECT_EQ("완료", runner.RowState(2));
  EXPECT_EQ(2, Requests("KY2"));
}

TEST_F(MainWindowTest, StopAndStartResumesWithoutTheQuestionAndListCommandsAreBlocked) {
  WriteBytes(saveFolder_ + "\\resume.bin", Source("big.bin").substr(0, 50000));
  BoxWatcher boxes;
  WindowRunner runner;
  runner.Handoff("R1?");  // resumes at 50000; the service waits before its data
  ASSERT_TRUE(WaitFor([&] { return Requests("KR1", "50000") >= 1; }, 20000));
  EXPECT_TRUE(runner.Running());

  for (int id : {IDC_DOWN_DELETE_SELECTED, IDC_DOWN_REMOVE_COMPLETED, IDC_DOWN_MOVE_TOP, IDC_DOWN_MOVE_UP,
                 IDC_DOWN_MOVE_DOWN, IDC_DOWN_MOVE_BOTTOM}) {
    const std::size_t seen = boxes.Boxes().size();
    runner.Click(id);
    ASSERT_TRUE(boxes.WaitForBoxes(seen + 1, 10000)) << id;
    EXPECT_EQ(W("전송중에는 사용할수 없습니다."), boxes.Boxes().back().text);
    EXPECT_EQ(W("다운로더 (오류)"), boxes.Boxes().back().caption);
  }
  EXPECT_EQ(1, runner.Rows());

  runner.Click(IDC_DOWN_START_STOP);  // stop
  ASSERT_TRUE(WaitFor([&] { return !runner.Running(); }, 5000));
  EXPECT_EQ(kEntryStopped, runner.Read<int>([&] { return runner.Window().JobState().entries[0].state.load(); }));
  // Now the rule says "ask", but a stopped file resumes without the question.
  runner.Ui([&] { runner.Window().JobState().existingFileRule = 2; });
  runner.Click(IDC_DOWN_START_STOP);
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 30000));
  EXPECT_EQ(2, Requests("KR1", "50000"));
  EXPECT_EQ(0, Requests("KR1", "0"));
  EXPECT_TRUE(harness::SameBytes(Source("big.bin"), Local("resume.bin")));
}

TEST_F(MainWindowTest, AnExistingFileIsAskedAboutAndTheAnswerApplies) {
  settings::WriteInt("DOWN_File_over", 2);
  const std::string source = Source("a.bin");
  WriteBytes(saveFolder_ + "\\prompt.bin", source.substr(0, 1234));
  WindowRunner runner;
  runner.Handoff("P1?");
  HWND prompt = harness::WaitForWindow(L"#32770", 20000, L"중복파일");
  ASSERT_NE(nullptr, prompt);
  // The prompt is found as soon as it exists; its texts follow in its initialisation.
  EXPECT_TRUE(WaitFor([&] { return harness::WindowText(GetDlgItem(prompt, IDC_OVER_FILE_TEXT)) == L"prompt.bin"; },
                      5000));
  // While it asks, the window is disabled and a stop changes nothing: the answer decides.
  EXPECT_FALSE(IsWindowEnabled(runner.Hwnd()));
  runner.Click(IDC_DOWN_START_STOP);
  ASSERT_TRUE(runner.WaitForPostedMessages());
  EXPECT_TRUE(runner.Running());
  SendMessageW(GetDlgItem(prompt, IDC_OVER_RESUME), BM_CLICK, 0, 0);  // 이어받기 (resume)
  SendMessageW(GetDlgItem(prompt, IDC_OVER_OK), BM_CLICK, 0, 0);
  BoxWatcher boxes;
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 30000));
  EXPECT_EQ(1, Requests("KP1", "1234"));
  EXPECT_TRUE(harness::SameBytes(source, Local("prompt.bin")));
}

TEST_F(MainWindowTest, AnUnwritableFolderBringsThePickerAndEveryEntryMoves) {
  const std::string blocked = saveFolder_ + "\\a-file-not-a-folder";
  WriteBytes(blocked, "x");
  settings::WriteText("Default_folder", blocked);
  BoxWatcher boxes;
  WindowRunner runner;
  const std::string picked = FreshFolder("picked");
  runner.Window().recoveryFolder = picked;
  runner.Handoff("W1?W2?");
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 30000));
  EXPECT_EQ(1, runner.Read<int>([&] { return runner.Window().folderPicks; }));
  EXPECT_EQ("다운로드할 폴더를 지정하세요.", runner.Read<std::string>([&] { return runner.Window().pickerTitle; }));
  EXPECT_EQ(picked, settings::ReadText("Default_folder"));
  EXPECT_TRUE(harness::SameBytes(Source("c.txt"), ReadBytes(picked + "\\w1.txt")));
  // Directly in the picked folder: a subfolder may be what cannot be made.
  EXPECT_TRUE(harness::SameBytes(Source("b.bin"), ReadBytes(picked + "\\w2.bin")));
}

TEST_F(MainWindowTest, ASubfolderThatCannotBeMadeIsLeftForThePickedFolderOnce) {
  BoxWatcher boxes;
  WindowRunner runner;
  const std::string picked = FreshFolder("picked-once");
  runner.Window().recoveryFolder = picked;
  runner.Handoff("W3?");  // its subfolder's last level has no closing "\\": it is never created
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 30000));
  EXPECT_EQ(1, runner.Read<int>([&] { return runner.Window().folderPicks; }));
  EXPECT_TRUE(harness::SameBytes(Source("c.txt"), ReadBytes(picked + "\\w3.txt")));
}

TEST_F(MainWindowTest, CompletedRowsLeaveTheListWhenListDeleteIsOn) {
  settings::WriteInt("DOWN_List_del", 1);
  BoxWatcher boxes;
  WindowRunner runner;
  runner.Handoff("L1?L2?L3?");
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 30000));
  EXPECT_EQ(0, runner.Rows());
  EXPECT_EQ(0, runner.Read<int>([&] { return runner.Window().JobState().entryCount; }));
  EXPECT_TRUE(harness::SameBytes(Source("a.bin"), Local("l1.bin")));
  EXPECT_TRUE(harness::SameBytes(Source("b.bin"), Local("l2.bin")));
  EXPECT_TRUE(harness::SameBytes(Source("c.txt"), Local("l3.txt")));
}

TEST_F(MainWindowTest, TwoHandoffsAddToOneListWithItsColumnsCreatedOnce) {
  settings::WriteInt("DOWN_Autostart", 0);
  WindowRunner runner;
  runner.Handoff("H1?");
  runner.Handoff("H2?H3?");
  EXPECT_EQ(3, runner.Rows());
  int columns = runner.Read<int>([&] {
    HWND header = reinterpret_cast<HWND>(SendMessageW(runner.Window().List().Hwnd(), LVM_GETHEADER, 0, 0));
    return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  });
  EXPECT_EQ(3, columns);
  EXPECT_EQ("대기", runner.RowState(2));
  EXPECT_EQ("'h1.txt' 다운로드중", runner.Label(IDC_DOWN_FILE_TEXT));
  EXPECT_EQ("0%/100%(0/15,000 Byte)", runner.Read<std::string>([&] { return runner.Window().TotalBar().m_caption; }));
}

TEST_F(MainWindowTest, ShutdownActionAsksForThePrivilegeAndDoesNotLogOut) {
  settings::WriteInt("DOWN_System_end", 1);
  settings::WriteInt("DOWN_Program_end", 1);
  RecordingShutdown shutdown;
  BoxWatcher boxes;
  WindowRunner runner(&shutdown);
  EXPECT_TRUE(runner.Read<bool>([&] { return runner.Window().HasTrayIcon(); }));
  runner.Handoff("S1?");
  ASSERT_TRUE(WaitFor([&] { return shutdown.requests.load() > 0; }, 30000));
  EXPECT_EQ(L"SeShutdownPrivilege", shutdown.privilege);
  EXPECT_EQ(1, shutdown.requests.load());
  EXPECT_FALSE(shutdown.messageGiven);
  EXPECT_EQ(0u, shutdown.timeoutSeconds);
  EXPECT_EQ(FALSE, shutdown.forceAppsClosed);
  EXPECT_EQ(FALSE, shutdown.rebootAfter);
  EXPECT_FALSE(runner.Read<bool>([&] { return runner.Window().HasTrayIcon(); }));
  EXPECT_FALSE(runner.Ended());
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(0, CountLogLines(kServer, {"\"logout\""}));
}

TEST_F(MainWindowTest, ExitAsksOnlyWhileFilesAreUnfinishedAndLogsOut) {
  WindowRunner runner;
  runner.Handoff("E1?E2?");  // e2 stalls for a minute
  ASSERT_TRUE(WaitFor([&] { return Requests("KE2") >= 1; }, 20000));
  {
    BoxWatcher no(IDNO);
    runner.Click(IDC_DOWN_EXIT);
    ASSERT_TRUE(no.WaitForBoxes(1, 10000));
    EXPECT_EQ(W("전송이 완료되지 않은 파일이 있습니다.\n그래도 종료 하시겠습니까?"), no.Boxes()[0].text);
    EXPECT_EQ(W("종료확인"), no.Boxes()[0].caption);
  }
  ASSERT_TRUE(runner.WaitForPostedMessages());
  EXPECT_FALSE(runner.Ended());
  EXPECT_EQ(0, CountLogLines(kServer, {"\"logout\""}));

  // With only complete files left it asks nothing.
  runner.Click(IDC_DOWN_START_STOP);  // stop e2
  ASSERT_TRUE(WaitFor([&] { return !runner.Running() && !runner.Read<bool>([&] { return runner.Window().HasWorker(); }); }, 5000));
  runner.Ui([&] {
    runner.Window().List().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  });
  BoxWatcher yes(IDYES);
  runner.Click(IDC_DOWN_DELETE_SELECTED);
  ASSERT_TRUE(WaitFor([&] { return runner.Rows() == 1; }, 10000));
  runner.Click(IDC_DOWN_EXIT);
  ASSERT_TRUE(runner.WaitEnded(20000));
  EXPECT_EQ(1u, yes.Boxes().size());  // the delete question only
  EXPECT_EQ(1, CountLogLines(kServer, {"\"exchange\"", "\"request\":\"@Connect_end\""}));
  EXPECT_EQ(1, CountLogLines(kServer, {"\"logout\"", "tester"}));
}

TEST_F(MainWindowTest, TrayIconOfAnotherIdDoesNothingAndTheMenuExits) {
  WindowRunner runner;
  const UINT trayMessage = RegisterWindowMessageW(L"Pell_tray_icons");
  ShowWindow(runner.Hwnd(), SW_HIDE);
  SendMessageW(runner.Hwnd(), trayMessage, 5, WM_LBUTTONDBLCLK);
  EXPECT_FALSE(IsWindowVisible(runner.Hwnd()));
  PostMessageW(runner.Hwnd(), trayMessage, 5, WM_RBUTTONDOWN);
  ASSERT_TRUE(runner.WaitForPostedMessages());
  EXPECT_EQ(nullptr, VisibleMenu());
  SendMessageW(runner.Hwnd(), trayMessage, CTrayicon::kIconId, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(runner.Hwnd()));

  PostMessageW(runner.Hwnd(), trayMessage, CTrayicon::kIconId, WM_RBUTTONDOWN);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (menu = VisibleMenu()) != nullptr; }, 10000));
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitFor([&] { return VisibleMenu() == nullptr; }, 5000));

  PostMessageW(runner.Hwnd(), WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
  EXPECT_TRUE(runner.WaitEnded(20000));
}

// A stopped worker can still be alive for a while (a pending connect, its
// receive error box; here the test holds its thread): no list command moves
// the entries under it, and a start waits for it to end without blocking the
// window.
TEST_F(MainWindowTest, ListCommandsWaitForAStoppedWorkerAndAStartIsQueuedUntilItEnds) {
  WindowRunner runner;
  runner.Handoff("SA?H1?");  // sa stalls once
  ASSERT_TRUE(WaitFor([&] { return Requests("KSA") >= 1; }, 20000));
  Sleep(300);  // the worker now waits in its receive
  const DWORD workerId = runner.Read<DWORD>([&] { return runner.Window().WorkerThreadId(); });
  HANDLE worker = OpenThread(THREAD_SUSPEND_RESUME, FALSE, workerId);
  ASSERT_NE(nullptr, worker);
  ASSERT_NE(static_cast<DWORD>(-1), SuspendThread(worker));
  runner.Click(IDC_DOWN_START_STOP);  // stop
  ASSERT_TRUE(WaitFor([&] { return !runner.Running(); }, 5000));

  runner.Ui([&] { runner.Window().List().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED); });
  for (int id : {IDC_DOWN_MOVE_TOP, IDC_DOWN_DELETE_SELECTED, IDC_DOWN_REMOVE_COMPLETED}) {
    runner.Click(id);
    HWND blocked = WaitForBoxSaying("전송중에는 사용할수 없습니다.", 10000);
    EXPECT_NE(nullptr, blocked) << "command " << id << " was not blocked";
    if (!blocked) break;
    harness::PressButton(blocked, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(blocked); }, 5000));
  }
  EXPECT_EQ("sa.bin", runner.Read<std::string>([&] { return runner.Window().JobState().entries[0].name; }));
  EXPECT_EQ(2, runner.Rows());

  runner.Click(IDC_DOWN_START_STOP);  // start: answered at once, started later
  ASSERT_TRUE(runner.WaitForPostedMessages());
  EXPECT_TRUE(runner.Read<bool>([&] { return runner.Window().IsStartQueued(); }));
  EXPECT_TRUE(runner.Running());

  BoxWatcher boxes;
  ResumeThread(worker);
  CloseHandle(worker);
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 30000));
  EXPECT_EQ(2, Requests("KSA"));
  EXPECT_TRUE(harness::SameBytes(Source("big.bin"), Local("sa.bin")));
  EXPECT_TRUE(harness::SameBytes(Source("c.txt"), Local("h1.txt")));
}

TEST_F(MainWindowTest, ADeleteConfirmedAfterADownloadStartedMeanwhileIsRefused) {
  settings::WriteInt("DOWN_Autostart", 0);
  WindowRunner runner;
  runner.Handoff("DC?H1?");
  runner.Ui([&] { runner.Window().List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED); });
  runner.Click(IDC_DOWN_DELETE_SELECTED);
  HWND question = WaitForBoxSaying("삭제하시겠습니까?", 10000);
  ASSERT_NE(nullptr, question);
  runner.Click(IDC_DOWN_START_STOP);  // handled inside the question's message loop
  ASSERT_TRUE(WaitFor([&] { return Requests("KDC") >= 1; }, 20000));
  harness::PressButton(question, IDYES);
  HWND blocked = WaitForBoxSaying("전송중에는 사용할수 없습니다.", 10000);
  ASSERT_NE(nullptr, blocked) << "the delete went ahead under the running download";
  harness::PressButton(blocked, IDOK);
  EXPECT_EQ(2, runner.Rows());
  EXPECT_EQ("dc.bin", runner.Read<std::string>([&] { return runner.Window().JobState().entries[0].name; }));
}

TEST_F(MainWindowTest, AReplyWithoutANameIsNotAFileAndTheRestOfTheJobGoesOn) {
  BoxWatcher boxes;
  WindowRunner runner;
  runner.Handoff("N0?N1?N2?");  // N1 is answered with an error text
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 30000));
  EXPECT_EQ(2, runner.Rows());
  EXPECT_EQ(2, runner.Read<int>([&] { return runner.Window().JobState().entryCount; }));
  EXPECT_EQ("완료", runner.RowState(1));
  EXPECT_TRUE(harness::SameBytes(Source("c.txt"), Local("n2.txt")));
}

// Only the entry the user stopped resumes unasked; another file that takes its
// place keeps the existing-file rule (here: always overwrite).
TEST_F(MainWindowTest, AnotherFileMovedAboveTheStoppedOneDoesNotResumeOntoAnOldFile) {
  settings::WriteInt("DOWN_File_over", 1);
  WriteBytes(saveFolder_ + "\\stale.bin", std::string(5000, 'x'));
  BoxWatcher boxes;
  WindowRunner runner;
  runner.Handoff("SA?SB?");  // sa stalls once
  ASSERT_TRUE(WaitFor([&] { return Requests("KSA") >= 1; }, 20000));
  runner.Click(IDC_DOWN_START_STOP);  // stop sa
  ASSERT_TRUE(WaitFor([&] { return !runner.Running(); }, 5000));
  runner.Ui([&] { runner.Window().List().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED); });
  runner.Click(IDC_DOWN_MOVE_TOP);
  ASSERT_TRUE(WaitFor([&] { return runner.Read<std::string>([&] { return runner.Window().JobState().entries[0].name; }) == "stale.bin"; }, 5000));
  EXPECT_EQ(1, runner.Read<int>([&] { return runner.Window().JobState().stoppedIndex.load(); }));
  runner.Click(IDC_DOWN_START_STOP);
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 30000));
  EXPECT_EQ(1, Requests("KSB", "0"));
  EXPECT_TRUE(harness::SameBytes(Source("b.bin"), Local("stale.bin")));
  EXPECT_TRUE(harness::SameBytes(Source("big.bin"), Local("sa.bin")));
}

TEST_F(MainWindowTest, AnEmptyOrRelativeSaveFolderIsNeverUsed) {
  const int listRequests = CountLogLines(kServer, {"\"request\":\"@Download\""});
  for (const char* chosen : {"", "relative\\folder"}) {
    settings::WriteText("Default_folder", "");
    BoxWatcher boxes;
    WindowRunner runner;
    runner.Window().jobFolder = chosen;
    runner.Handoff("H1?");
    ASSERT_TRUE(WaitFor([&] { return boxes.Boxes().size() >= 1; }, 10000)) << chosen;
    EXPECT_EQ(W("저장할 폴더가 지정되지 않아 다운로드를 시작하지 않았습니다."), boxes.Boxes()[0].text);
    EXPECT_EQ(W("다운로더"), boxes.Boxes()[0].caption);
    EXPECT_EQ(1, runner.Read<int>([&] { return runner.Window().jobFolderPicks; }));
    EXPECT_EQ(0, runner.Rows()) << chosen;
    EXPECT_FALSE(runner.Running());
  }
  EXPECT_EQ(listRequests, CountLogLines(kServer, {"\"request\":\"@Download\""}));
}

// Completed bytes are the sizes of the complete files: a file skipped after
// its retries does not count the complete file after it a second time.
TEST_F(MainWindowTest, SkippingAFailedFileDoesNotCountTheNextCompleteFileTwice) {
  BoxWatcher boxes;
  WindowRunner runner;
  runner.Handoff("Y7?");
  ASSERT_TRUE(WaitFor([&] { return boxes.Boxes().size() >= 1; }, 30000));
  settings::WriteInt("DOWN_Autostart", 0);
  runner.Handoff("F7?");  // fails four times: the retries run out
  runner.Ui([&] { runner.Window().List().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED); });
  runner.Click(IDC_DOWN_MOVE_TOP);
  runner.Click(IDC_DOWN_START_STOP);
  ASSERT_TRUE(WaitFor([&] { return boxes.Boxes().size() >= 2; }, 30000));
  EXPECT_EQ("오류", runner.RowState(0));
  const std::int64_t y7 = 5000, f7 = 120000;
  EXPECT_EQ(y7, runner.Read<std::int64_t>([&] { return runner.Window().DoneBytes(); }));
  EXPECT_EQ(ProgressCaption(y7, y7 + f7), runner.Read<std::string>([&] { return runner.Window().TotalBar().m_caption; }));
}

TEST_F(MainWindowTest, AStopCancelsTheRetryThatAFailureSet) {
  WindowRunner runner;
  runner.Handoff("G1?");  // its first connection closes after 1000 bytes
  ASSERT_TRUE(WaitFor([&] { return !runner.Running(); }, 20000));  // the failure set the retry timer
  runner.Click(IDC_DOWN_START_STOP);  // start at once
  runner.Click(IDC_DOWN_START_STOP);  // and stop again
  ASSERT_TRUE(runner.WaitForPostedMessages());
  EXPECT_FALSE(runner.Running());
  // No retry is pending any more: it would restart the file the user stopped.
  EXPECT_FALSE(runner.Read<bool>([&] { return KillTimer(runner.Hwnd(), CHaulbox_downloadDlg::kRetryTimer) != FALSE; }));
}

TEST_F(MainWindowTest, ACancelledPickerFallsBackToAUsableDefaultFolder) {
  settings::WriteInt("DOWN_Autostart", 0);
  settings::WriteInt("Default_folder_use", 0);
  WindowRunner runner;
  runner.Handoff("H1?");
  EXPECT_EQ(1, runner.Read<int>([&] { return runner.Window().jobFolderPicks; }));
  ASSERT_EQ(1, runner.Rows());
  EXPECT_EQ(saveFolder_, runner.Read<std::string>([&] { return runner.Window().JobState().entries[0].localFolder; }));
}

// Folder recovery moves the stopped file too: a file of its name in the picked
// folder is not the one the user stopped, so the existing-file rule applies.
TEST_F(MainWindowTest, FolderRecoveryForgetsTheStoppedFile) {
  settings::WriteInt("DOWN_File_over", 1);
  const std::string picked = FreshFolder("picked-stopped");
  WriteBytes(picked + "\\ra.bin", std::string(5000, 'x'));
  BoxWatcher boxes;
  WindowRunner runner;
  runner.Window().recoveryFolder = picked;
  runner.Handoff("RA?");  // stalls once
  ASSERT_TRUE(WaitFor([&] { return Requests("KRA") >= 1; }, 20000));
  runner.Click(IDC_DOWN_START_STOP);  // stop
  ASSERT_TRUE(WaitFor([&] { return !runner.Running() && !runner.Read<bool>([&] { return runner.Window().HasWorker(); }); }, 5000));
  // Its file can no longer be written where it was: a folder took its name.
  DeleteFileW(W(saveFolder_ + "\\ra.bin").c_str());
  ASSERT_TRUE(CreateDirectoryW(W(saveFolder_ + "\\ra.bin").c_str(), nullptr));
  runner.Click(IDC_DOWN_START_STOP);  // fails, the picker, then the picked folder
  ASSERT_TRUE(WaitFor([&] { return HasBox(boxes, "모든 파일이 전송완료되었습니다.", "전송완료"); }, 30000));
  EXPECT_EQ(1, runner.Read<int>([&] { return runner.Window().folderPicks; }));
  EXPECT_TRUE(harness::SameBytes(Source("big.bin"), ReadBytes(picked + "\\ra.bin")));
}

}  // namespace
