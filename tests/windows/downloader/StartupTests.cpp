// Start-up of Haulbox_DOWN.exe as a separate program, with the test itself
// playing the web control's launcher window.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "DownloaderTestSupport.h"
#include "CopyDataSender.h"
#include "MessageBoxProbe.h"
#include "ProcessUnderTest.h"
#include "RegistryProbe.h"
#include "WindowFinder.h"

using namespace test_support;

namespace {

const wchar_t kConfigKey[] = L"Software\\Quorvanes\\Velmintor\\Config";
constexpr ULONG_PTR kTag = 0x02740F34;

std::wstring Program() { return harness::OwnFolder() + L"..\\Haulbox_DOWN.exe"; }

TEST(DownloaderStartup, WithoutLauncherWindowItAsksToStartFromTheHomePage) {
  ASSERT_EQ(nullptr, FindWindowW(L"HAULbox_AX_EXE", nullptr));
  harness::ProcessUnderTest program;
  ASSERT_TRUE(program.Start(Program())) << program.LastError();
  harness::MessageBoxContent box = harness::WaitForMessageBox(program.ProcessId(), 30000);
  ASSERT_NE(nullptr, box.box);
  EXPECT_EQ(W("홈페이지에서 실행해주세요"), box.text);
  EXPECT_EQ(W("다운로더"), box.caption);
  EXPECT_EQ(nullptr, harness::WaitForProcessWindow(program.ProcessId(), L"Haulbox_downloader", 0));
  harness::PressButton(box.box, IDOK);
  EXPECT_TRUE(program.WaitForExit(15000));
}

TEST(DownloaderStartup, FirstStartWritesTheFirstRunValuesAndAnnouncesItself) {
  ASSERT_TRUE(harness::DeleteRegistryTree(L"Software\\Quorvanes\\Velmintor"));
  LauncherWindow launcher;
  harness::ProcessUnderTest program;
  ASSERT_TRUE(program.Start(Program())) << program.LastError();
  ASSERT_TRUE(WaitForReady(30000)) << "no ready message";
  EXPECT_EQ(kTag, LauncherWindow::Seen().tag);
  EXPECT_EQ(std::string("Haulbox_Downloader", 19), LauncherWindow::Seen().text);  // with its zero byte
  EXPECT_EQ(L"Haulbox_downloader", harness::WindowClassName(LauncherWindow::Seen().sender));

  struct Value { const wchar_t* name; DWORD value; };
  for (Value v : {Value{L"User_Config", 1}, Value{L"DOWN_File_over", 3}, Value{L"DOWN_Autostart", 1},
                  Value{L"DOWN_List_del", 0}, Value{L"UP_Autostart", 1}, Value{L"UP_Complute_show", 1}}) {
    DWORD read = 99;
    EXPECT_TRUE(harness::ReadRegistryDword(kConfigKey, v.name, read)) << v.name;
    EXPECT_EQ(v.value, read) << v.name;
  }
  std::wstring folder;
  EXPECT_TRUE(harness::ReadRegistryString(kConfigKey, L"Default_folder", folder));
  EXPECT_FALSE(folder.empty());
  EXPECT_FALSE(harness::RegistryValueExists(kConfigKey, L"Default_folder_use"));
  program.Terminate();
}

TEST(DownloaderStartup, SecondStartWritesNothing) {
  ASSERT_TRUE(harness::ReadRegistryDword(kConfigKey, L"User_Config", *new DWORD));
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kConfigKey, 0, KEY_SET_VALUE, &key));
  RegDeleteValueW(key, L"DOWN_Autostart");
  DWORD rule = 1;
  RegSetValueExW(key, L"DOWN_File_over", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&rule), sizeof rule);
  RegCloseKey(key);

  LauncherWindow launcher;
  harness::ProcessUnderTest program;
  ASSERT_TRUE(program.Start(Program()));
  ASSERT_TRUE(WaitForReady(30000));
  EXPECT_FALSE(harness::RegistryValueExists(kConfigKey, L"DOWN_Autostart"));
  DWORD read = 0;
  EXPECT_TRUE(harness::ReadRegistryDword(kConfigKey, L"DOWN_File_over", read));
  EXPECT_EQ(1u, read);
  program.Terminate();
}

// Disabled: under Wine the member box of a hand-off sent from another process
// has not been seen yet; to be looked into.
TEST(DownloaderStartup, HandoffWithoutMemberAsksForTheLogin) {
  LauncherWindow launcher;
  harness::ProcessUnderTest program;
  ASSERT_TRUE(program.Start(Program()));
  ASSERT_TRUE(WaitForReady(30000));
  HWND downloader = LauncherWindow::Seen().sender;
  // A wrong tag is ignored: no box, the program stays.
  harness::SendCopyDataText(downloader, kTag, "Haulbox_uploader_Manager|F1?||1", launcher.Hwnd(), 200);
  EXPECT_EQ(nullptr, harness::WaitForMessageBox(program.ProcessId(), 1500).box);
  // The job runs inside the message, so it is posted from a helper thread.
  std::thread sender([downloader, &launcher] {
    harness::SendCopyDataText(downloader, kTag, "Haulbox_downloader_Manager|F1?||1", launcher.Hwnd(), 60000);
  });
  harness::MessageBoxContent box = harness::WaitForMessageBox(program.ProcessId(), 30000);
  ASSERT_NE(nullptr, box.box);
  EXPECT_EQ(W("회원 로그인후 이용해주세요."), box.text);
  EXPECT_EQ(W("회원정보 (오류)"), box.caption);
  harness::PressButton(box.box, IDOK);
  // The exit logs out; whatever the loopback server says, answer its boxes.
  for (int i = 0; i < 5 && !program.WaitForExit(3000); ++i) {
    harness::MessageBoxContent next = harness::WaitForMessageBox(program.ProcessId(), 2000);
    if (next.box) harness::PressButton(next.box, IDOK);
  }
  EXPECT_TRUE(program.HasExited());
  sender.join();
}

}  // namespace
