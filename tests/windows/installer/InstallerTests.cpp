// Quorvanes.exe as the web control runs it: started without arguments, it
// installs both programs and their pictures into the install folder, enters
// itself in the list of installed programs and ends by itself; its
// uninstaller takes all of it away again.
#include <gtest/gtest.h>

#include <string>

#include "ProcessUnderTest.h"
#include "ProgramVersion.h"
#include "RegistryProbe.h"

namespace {

const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvanes";
const wchar_t* const kInstalledFiles[] = {L"Haulbox_DOWN.exe", L"Haulbox_UPLOAD.exe", L"images\\download_bg.bmp",
                                          L"images\\upload_bg.bmp", L"images\\config_bg.bmp", L"uninstall.exe"};

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Installed(const wchar_t* file) { return InstallFolder() + L"\\" + file; }

std::wstring UninstallValue(const wchar_t* name) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<no key>";
  wchar_t value[512] = L"";
  DWORD size = sizeof value - sizeof(wchar_t);
  DWORD type = 0;
  LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_SZ ? value : L"<missing>";
}

bool UninstallKeyExists() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

DWORD RunToItsEnd(const std::wstring& program, const std::wstring& arguments = std::wstring()) {
  harness::ProcessUnderTest process;
  if (!process.Start(program, arguments)) return 9999;
  if (!process.WaitForExit(120000)) return 9998;
  return process.ExitCode();
}

TEST(Installer, InstallsBothProgramsInTheirVersionAndUninstallsThem) {
  ASSERT_EQ(0u, RunToItsEnd(harness::OwnFolder() + L"..\\Quorvanes.exe"));
  for (const wchar_t* file : kInstalledFiles) EXPECT_TRUE(Exists(Installed(file))) << testing::PrintToString(file);
  EXPECT_EQ(std::string(HAULBOX_PROGRAM_VERSION), InstalledVersion(Installed(L"Haulbox_DOWN.exe")).value_or("none"));
  EXPECT_EQ(std::string(HAULBOX_PROGRAM_VERSION), InstalledVersion(Installed(L"Haulbox_UPLOAD.exe")).value_or("none"));
  EXPECT_EQ(L"Quorvanes", UninstallValue(L"DisplayName"));
  EXPECT_EQ(L"\"" + Installed(L"uninstall.exe") + L"\"", UninstallValue(L"UninstallString"));
  EXPECT_EQ(InstallFolder(), UninstallValue(L"InstallLocation"));

  // Installed again over itself (an update): still in place.
  ASSERT_EQ(0u, RunToItsEnd(harness::OwnFolder() + L"..\\Quorvanes.exe"));
  EXPECT_TRUE(Exists(Installed(L"Haulbox_DOWN.exe")));

  // In place ("_?="), so that the test can wait for it; it leaves only itself.
  EXPECT_EQ(0u, RunToItsEnd(Installed(L"uninstall.exe"), L"/S _?=" + InstallFolder()));
  for (const wchar_t* file : kInstalledFiles) {
    if (std::wstring(file) == L"uninstall.exe") continue;
    EXPECT_FALSE(Exists(Installed(file))) << testing::PrintToString(file);
  }
  EXPECT_FALSE(UninstallKeyExists());
  DeleteFileW(Installed(L"uninstall.exe").c_str());
  RemoveDirectoryW(InstallFolder().c_str());
}

}  // namespace
