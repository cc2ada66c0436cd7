// Start-up of Haulbox_UPLOAD.exe as a separate program, with the test itself
// playing the web control's launcher window.
#include <gtest/gtest.h>

#include <string>

#include "DownloaderTestSupport.h"
#include "Handoff.h"
#include "MessageBoxIcon.h"
#include "MessageBoxProbe.h"
#include "ProcessUnderTest.h"
#include "RegistryProbe.h"
#include "WindowFinder.h"

using namespace test_support;

namespace {

const wchar_t kConfigKey[] = L"Software\\Quorvanes\\Velmintor\\Config";
const wchar_t kMutexName[] = L"ZENTAvolt Upload Control";

std::wstring Bin() { return harness::OwnFolder() + L"..\\"; }

bool MutexExists() {
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, kMutexName);
  if (!mutex) return false;
  CloseHandle(mutex);
  return true;
}

TEST(UploaderStartup, WithoutLauncherWindowItAsksToStartFromTheHomePageAndEnds) {
  ASSERT_EQ(nullptr, FindWindowW(kLauncherWindowClass, nullptr));
  harness::ProcessUnderTest program;
  ASSERT_TRUE(program.Start(Bin() + L"Haulbox_UPLOAD.exe", L"", Bin())) << program.LastError();
  harness::MessageBoxContent box = harness::WaitForMessageBox(program.ProcessId(), 30000);
  ASSERT_NE(nullptr, box.box) << "no message box within 30 s";
  EXPECT_EQ(W("홈페이지에서 실행해주세요."), box.text);
  EXPECT_EQ(W("업로더"), box.caption);
  const wchar_t* icon = MessageBoxIcon(box.box);
  EXPECT_EQ(IDI_INFORMATION, icon) << "icon seen: " << IconName(icon);
  // The mutex is made before the launcher window is looked for.
  EXPECT_TRUE(MutexExists());
  EXPECT_EQ(nullptr, harness::WaitForProcessWindow(program.ProcessId(), kUploaderWindowClass, 0));
  harness::PressButton(box.box, IDOK);
  EXPECT_TRUE(program.WaitForExit(15000));
  EXPECT_EQ(nullptr, harness::WaitForMessageBox(program.ProcessId(), 0).box);
}

TEST(UploaderStartup, FirstStartWritesTheFirstRunValuesMakesTheMutexAndAnnouncesItself) {
  ASSERT_TRUE(harness::DeleteRegistryTree(L"Software\\Quorvanes\\Velmintor"));
  LauncherWindow launcher;
  harness::ProcessUnderTest program;
  ASSERT_TRUE(program.Start(Bin() + L"Haulbox_UPLOAD.exe", L"", Bin())) << program.LastError();
  ASSERT_TRUE(WaitForReady(30000)) << "no ready message";
  EXPECT_EQ(kHandoffTagUploader, LauncherWindow::Seen().tag);
  EXPECT_EQ(std::string(kUploaderReadyText, sizeof kUploaderReadyText), LauncherWindow::Seen().text);
  EXPECT_EQ(kUploaderWindowClass, harness::WindowClassName(LauncherWindow::Seen().sender));
  EXPECT_EQ(program.ProcessId(), harness::WindowProcessId(LauncherWindow::Seen().sender));
  EXPECT_TRUE(MutexExists());

  struct Value {
    const wchar_t* name;
    DWORD value;
  };
  for (Value v : {Value{L"User_Config", 1}, Value{L"DOWN_File_over", 3}, Value{L"DOWN_Autostart", 1},
                  Value{L"DOWN_List_del", 0}, Value{L"UP_Autostart", 1}, Value{L"UP_Complute_show", 1}}) {
    DWORD read = 99;
    EXPECT_TRUE(harness::ReadRegistryDword(kConfigKey, v.name, read)) << v.name;
    EXPECT_EQ(v.value, read) << v.name;
  }
  std::wstring folder;
  EXPECT_TRUE(harness::ReadRegistryString(kConfigKey, L"Default_folder", folder));
  EXPECT_FALSE(folder.empty());
  for (const wchar_t* name : {L"Default_folder_use", L"UP_Tray", L"UP_Program_end", L"UP_System_end",
                              L"DOWN_Program_end", L"DOWN_System_end"}) {
    EXPECT_FALSE(harness::RegistryValueExists(kConfigKey, name)) << name;
  }
  program.Terminate();
}

TEST(UploaderStartup, LaterStartsWriteNothing) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kConfigKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                           nullptr));
  const DWORD one = 1;
  RegSetValueExW(key, L"User_Config", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  RegSetValueExW(key, L"DOWN_File_over", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  RegDeleteValueW(key, L"UP_Autostart");
  RegCloseKey(key);

  LauncherWindow launcher;
  harness::ProcessUnderTest program;
  ASSERT_TRUE(program.Start(Bin() + L"Haulbox_UPLOAD.exe", L"", Bin())) << program.LastError();
  ASSERT_TRUE(WaitForReady(30000)) << "no ready message";
  EXPECT_FALSE(harness::RegistryValueExists(kConfigKey, L"UP_Autostart"));
  DWORD read = 0;
  EXPECT_TRUE(harness::ReadRegistryDword(kConfigKey, L"DOWN_File_over", read));
  EXPECT_EQ(1u, read);
  program.Terminate();
}

}  // namespace
