// The window-test harness against a child program in the same Wine session,
// and its helpers for the tests' own process.
#include "ByteAssertions.h"
#include "CopyDataSender.h"
#include "DebugOutputRecorder.h"
#include "MessageBoxProbe.h"
#include "PostedMessageMarker.h"
#include "ProcessUnderTest.h"
#include "RegistryProbe.h"
#include "WindowFinder.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

constexpr DWORD kWaitMs = 15000;
const wchar_t kTargetClass[] = L"Haulbox_harness_target";
const wchar_t kRecordPath[] = L"Software\\HaulboxTests\\HarnessTarget";

std::wstring TargetProgram() { return harness::OwnFolder() + L"HarnessTarget.exe"; }

void ExpectWindowAppears(const wchar_t* className, DWORD timeoutMs) {
  EXPECT_NE(nullptr, harness::WaitForWindow(className, timeoutMs))
      << "no window of the class within " << timeoutMs << " ms";
}

TEST(Harness, WaitForAWindowThatNeverComesEndsAtTheBound) {
  DWORD start = GetTickCount();
  EXPECT_EQ(nullptr, harness::WaitForWindow(L"Haulbox_never_created", 300));
  EXPECT_GE(GetTickCount() - start, 300u) << "gave up before the bound";
  EXPECT_EQ(nullptr, harness::WaitForProcessWindow(GetCurrentProcessId(), L"Haulbox_never_created", 100));
  EXPECT_EQ(nullptr, harness::WaitForMessageBox(GetCurrentProcessId(), 100).box);
}

TEST(Harness, CheckOfAMissingWindowFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(ExpectWindowAppears(L"Haulbox_never_created", 200), "no window of the class");
}

TEST(Harness, DrivesAWindowOfAChildProgram) {
  ASSERT_TRUE(harness::DeleteRegistryTree(kRecordPath));
  harness::ProcessUnderTest target;
  ASSERT_TRUE(target.Start(TargetProgram(), L"window Haulbox_harness_target 5")) << "error " << target.LastError();
  HWND window = harness::WaitForProcessWindow(target.ProcessId(), kTargetClass, kWaitMs);
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(window, harness::WaitForWindow(kTargetClass, kWaitMs));
  EXPECT_EQ(L"하니스 대상", harness::WindowText(window));

  harness::CopyDataResult sent =
      harness::SendCopyDataText(window, 41160500, "Haulbox_downloader_Manager|A1?B2|회원|3");
  ASSERT_TRUE(sent.delivered);
  EXPECT_EQ(TRUE, sent.reply);
  DWORD tag = 0;
  ASSERT_TRUE(harness::ReadRegistryDword(kRecordPath, L"Tag", tag));
  EXPECT_EQ(41160500u, tag);
  std::wstring text;
  ASSERT_TRUE(harness::ReadRegistryString(kRecordPath, L"Text", text));
  EXPECT_EQ(L"Haulbox_downloader_Manager|A1?B2|회원|3", text);

  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(target.WaitForExit(kWaitMs));
  EXPECT_EQ(5u, target.ExitCode());
  EXPECT_TRUE(harness::WaitForWindowGone(kTargetClass, kWaitMs));
  harness::DeleteRegistryTree(kRecordPath);
}

TEST(Harness, ReadsAndAnswersAChildsMessageBox) {
  harness::ProcessUnderTest target;
  ASSERT_TRUE(target.Start(TargetProgram(), L"messagebox"));
  harness::MessageBoxContent box = harness::WaitForMessageBox(target.ProcessId(), kWaitMs);
  ASSERT_NE(nullptr, box.box);
  EXPECT_EQ(L"업로드를 완료했습니다", box.text);
  EXPECT_EQ(L"업로더", box.caption);
  ASSERT_TRUE(harness::PressButton(box.box, IDCANCEL));
  ASSERT_TRUE(target.WaitForExit(kWaitMs));
  EXPECT_EQ(static_cast<DWORD>(IDCANCEL), target.ExitCode());
}

TEST(Harness, EndsAProgramThatDoesNotEndItself) {
  harness::ProcessUnderTest target;
  ASSERT_TRUE(target.Start(TargetProgram(), L"hang"));
  EXPECT_FALSE(target.WaitForExit(200));
  EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), target.ExitCode());
  ASSERT_TRUE(target.Terminate(9));
  EXPECT_EQ(9u, target.ExitCode());
}

TEST(Harness, StartOfAMissingProgramFails) {
  harness::ProcessUnderTest target;
  EXPECT_FALSE(target.Start(harness::OwnFolder() + L"NoSuchProgram.exe"));
  EXPECT_NE(0u, target.LastError());
  EXPECT_FALSE(target.IsStarted());
}

TEST(Harness, SameBytesShowsBothSizesAndTheFirstDifferenceInHex) {
  EXPECT_TRUE(harness::SameBytes(std::string("a\0b", 3), std::string("a\0b", 3)));

  ::testing::AssertionResult differ = harness::SameBytes(std::string("ab\x01\x64", 4), std::string("ab\xff", 3));
  EXPECT_FALSE(differ);
  const std::string message = differ.message();
  EXPECT_NE(std::string::npos, message.find("expected 4 bytes, actual 3 bytes")) << message;
  EXPECT_NE(std::string::npos, message.find("first difference at offset 2")) << message;
  EXPECT_NE(std::string::npos, message.find("expected from there: 01 64")) << message;
  EXPECT_NE(std::string::npos, message.find("actual from there:   ff")) << message;

  const std::string shorter = harness::SameBytes("abc", "ab").message();
  EXPECT_NE(std::string::npos, shorter.find("offset 2")) << shorter;
  EXPECT_NE(std::string::npos, shorter.find("actual from there:   (end)")) << shorter;

  const std::string longRun = harness::SameBytes(std::string(40, 'x'), std::string(40, 'y')).message();
  EXPECT_NE(std::string::npos, longRun.find("78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 ...")) << longRun;
}

TEST(Harness, DebugOutputRecorderSeesWideAndAnsiLines) {
  harness::DebugOutputRecorder debugOutput;
  OutputDebugStringW(L"Haulbox harness: 넓은 줄\n");
  OutputDebugStringA("Haulbox harness: narrow line\n");
  EXPECT_TRUE(debugOutput.Saw(L"Haulbox harness: 넓은 줄")) << debugOutput.Transcript();
  EXPECT_TRUE(debugOutput.Saw(L"Haulbox harness: narrow line")) << debugOutput.Transcript();
  EXPECT_FALSE(debugOutput.Saw(L"never written"));
}

// A window whose procedure counts WM_APP messages.
class CountingWindow {
public:
  CountingWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"Haulbox_harness_counting";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  }
  ~CountingWindow() { DestroyWindow(window_); }
  HWND Hwnd() const { return window_; }
  static std::atomic<int> handled;

private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
      Sleep(20);  // a handler that takes its time
      ++handled;
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window_ = nullptr;
};
std::atomic<int> CountingWindow::handled{0};

TEST(Harness, WaitForPostedMessagesOnTheTestsOwnThread) {
  CountingWindow window;
  CountingWindow::handled = 0;
  for (int i = 0; i < 3; ++i) PostMessageW(window.Hwnd(), WM_APP, 0, 0);
  ASSERT_TRUE(harness::WaitForPostedMessages(window.Hwnd(), 5000));
  EXPECT_EQ(3, CountingWindow::handled.load());
}

TEST(Harness, WaitForPostedMessagesOfAWindowOnAnotherThread) {
  CountingWindow::handled = 0;
  std::atomic<HWND> window{nullptr};
  std::atomic<DWORD> ownerThread{0};
  std::thread owner([&] {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
    CountingWindow own;
    window = own.Hwnd();
    ownerThread = GetCurrentThreadId();
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  });
  for (int i = 0; i < 500 && !ownerThread.load(); ++i) Sleep(10);
  EXPECT_NE(nullptr, window.load());
  if (window.load()) {
    for (int i = 0; i < 3; ++i) PostMessageW(window.load(), WM_APP, 0, 0);
    EXPECT_TRUE(harness::WaitForPostedMessages(window.load(), 5000));
    EXPECT_EQ(3, CountingWindow::handled.load());
  }
  PostThreadMessageW(ownerThread.load(), WM_QUIT, 0, 0);
  owner.join();
}

TEST(Harness, WaitForPostedMessagesOfAGoneWindowFails) {
  HWND gone;
  {
    CountingWindow window;
    gone = window.Hwnd();
  }
  EXPECT_FALSE(harness::WaitForPostedMessages(gone, 200));
}

}  // namespace
