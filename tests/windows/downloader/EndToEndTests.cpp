// Haulbox_DOWN.exe as the web control starts it, with the test playing the
// launcher window, against the reference service on 127.0.0.1 (the transfer
// server of the test build): a job downloads, the completion message
// appears, and the tray menu's exit logs out without asking.
#include <gtest/gtest.h>

#include <thread>

#include "ByteAssertions.h"
#include "CopyDataSender.h"
#include "DownloaderRes.h"
#include "DownloaderTestSupport.h"
#include "MessageBoxProbe.h"
#include "ProcessUnderTest.h"
#include "TextConversion.h"
#include "WindowFinder.h"

using namespace test_support;

namespace {

const char kServer[] = "127.0.0.1";
constexpr ULONG_PTR kTag = 0x02740F34;

TEST(DownloaderEndToEnd, AJobDownloadsAndTheTrayExitLogsOutWithoutAsking) {
  const std::string folder = FreshFolder("end-to-end");
  WriteDownloadSettings(folder);

  LauncherWindow launcher;
  harness::ProcessUnderTest program;
  const std::wstring bin = harness::OwnFolder() + L"..\\";
  ASSERT_TRUE(program.Start(bin + L"Haulbox_DOWN.exe", L"", bin)) << program.LastError();
  ASSERT_TRUE(WaitForReady(30000)) << "no ready message";
  HWND downloader = LauncherWindow::Seen().sender;

  // The job runs inside the message: send it from a helper thread.
  std::thread handoff([&] {
    harness::SendCopyDataText(downloader, kTag, "Haulbox_downloader_Manager|A1?A2?A3?|tester|1", launcher.Hwnd(),
                              60000);
  });
  harness::MessageBoxContent box = harness::WaitForMessageBox(program.ProcessId(), 60000);
  handoff.join();
  ASSERT_NE(nullptr, box.box);
  EXPECT_EQ(W("모든 파일이 전송완료되었습니다."), box.text);
  EXPECT_EQ(W("전송완료"), box.caption);
  harness::PressButton(box.box, IDOK);

  const std::string root = ServiceRoot(kServer);
  EXPECT_TRUE(harness::SameBytes(ReadBytes(root + "a.bin"), ReadBytes(folder + "\\a.bin")));
  EXPECT_TRUE(harness::SameBytes(ReadBytes(root + "b.bin"), ReadBytes(folder + "\\docs\\b.bin")));
  EXPECT_TRUE(harness::SameBytes(ReadBytes(root + "c.txt"), ReadBytes(folder + "\\c.txt")));

  for (int i = 0; i < 50 && IsWindow(box.box); ++i) Sleep(50);
  PostMessageW(downloader, WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
  EXPECT_TRUE(program.WaitForExit(20000));
  EXPECT_EQ(nullptr, harness::WaitForMessageBox(program.ProcessId(), 0).box);
  EXPECT_EQ(1, CountLogLines(kServer, {"\"exchange\"", "\"request\":\"@Connect_end\""}));
  EXPECT_EQ(1, CountLogLines(kServer, {"\"logout\"", "tester"}));
}

}  // namespace
