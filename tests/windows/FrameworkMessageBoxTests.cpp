// Message boxes with CP949 texts read back as UTF-16 from the box itself.
// The program runs twice: with ANSI code page 949 and with 1252
// (HAULBOX_EXPECT_ACP names the one the run expects).
#include "MessageBoxProbe.h"
#include "MessageBoxes.h"
#include "WorkerThread.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr DWORD kWaitMs = 10000;

TEST(FrameworkMessageBox, RunsUnderTheExpectedAnsiCodePage) {
  const char* expected = std::getenv("HAULBOX_EXPECT_ACP");
  if (!expected) GTEST_SKIP() << "HAULBOX_EXPECT_ACP not set";
  EXPECT_EQ(static_cast<UINT>(std::atoi(expected)), GetACP());
}

TEST(FrameworkMessageBox, ShowsKoreanTextAndCaption) {
  ThreadHandle shown = WorkerThread::Start([]() -> unsigned {
    return static_cast<unsigned>(
        ShowMessageBox(nullptr, "홈페이지에서 실행해주세요", "다운로더", MB_OK | MB_ICONINFORMATION));
  });
  harness::MessageBoxContent box = harness::WaitForMessageBox(GetCurrentProcessId(), kWaitMs);
  ASSERT_NE(nullptr, box.box) << "no message box appeared within " << kWaitMs << " ms";
  EXPECT_EQ(L"홈페이지에서 실행해주세요", box.text);
  EXPECT_EQ(L"다운로더", box.caption);
  ASSERT_TRUE(harness::PressButton(box.box, IDOK));
  ASSERT_TRUE(shown.WaitEnded(kWaitMs));
  EXPECT_EQ(static_cast<DWORD>(IDOK), shown.ExitCode());
}

TEST(FrameworkMessageBox, ReturnsTheButtonPressed) {
  ThreadHandle shown = WorkerThread::Start([]() -> unsigned {
    return static_cast<unsigned>(
        ShowMessageBox(nullptr, "파일이 이미 있습니다.\n덮어쓸까요?", "다운로더 (오류)", MB_YESNO));
  });
  harness::MessageBoxContent box = harness::WaitForMessageBox(GetCurrentProcessId(), kWaitMs);
  ASSERT_NE(nullptr, box.box);
  EXPECT_EQ(L"파일이 이미 있습니다.\n덮어쓸까요?", box.text);
  EXPECT_EQ(L"다운로더 (오류)", box.caption);
  ASSERT_TRUE(harness::PressButton(box.box, IDNO));
  ASSERT_TRUE(shown.WaitEnded(kWaitMs));
  EXPECT_EQ(static_cast<DWORD>(IDNO), shown.ExitCode());
}

}  // namespace
