// The window-test harness against a child program in the same Wine session.
#include "CopyDataSender.h"
#include "MessageBoxProbe.h"
#include "ProcessUnderTest.h"
#include "RegistryProbe.h"
#include "WindowFinder.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

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

}  // namespace
