// regsvr32 registers and unregisters Quorvane_Active.dll in the test prefix.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WebControlTestSupport.h"

namespace {

const std::wstring kClsid = L"CLSID\\{8CBB1F74-DB0E-44e4-B138-0962FA50F4BD}";
const std::wstring kAppId = L"{ABA29F8B-9658-4689-98CC-5C5BD7F18233}";
const std::wstring kLibId = L"{8CBB1F72-DB0E-44e4-B138-0962FA50F4BD}";
const std::wstring kSafeForScripting = L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const std::wstring kSafeForInitializing = L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}";

bool KeyExists(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

// A REG_SZ value under HKEY_CLASSES_ROOT; "<missing>" when it is not there.
std::wstring Text(const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t data[1024];
  DWORD size = sizeof(data);
  LONG status = RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size);
  return status == ERROR_SUCCESS ? std::wstring(data) : L"<missing>";
}

struct Expected {
  std::wstring key;
  const wchar_t* name;  // null: the key's default value
  std::wstring value;
};

class RegistrationTest : public testing::Test {
protected:
  void TearDown() override { RunRegsvr32(L"/u /s"); }
};

TEST_F(RegistrationTest, Regsvr32WritesEveryKeyAndValue) {
  ASSERT_EQ(0, RunRegsvr32(L"/s"));
  const std::wstring module = ControlDllPath();
  const std::vector<Expected> expected = {
      {L"AppID\\" + kAppId, nullptr, L"Haulbox_Active"},
      {L"AppID\\" + kAppId, L"DllSurrogate", L""},
      {L"AppID\\Haulbox_Active.DLL", L"AppID", kAppId},
      {L"Haulbox_Active.Web_CTL.1", nullptr, L"QUor_CTL Class"},
      {L"Haulbox_Active.Web_CTL.1\\CLSID", nullptr, L"{8CBB1F74-DB0E-44e4-B138-0962FA50F4BD}"},
      {L"Haulbox_Active.Web_CTL", nullptr, L"QUor_CTL Class"},
      {L"Haulbox_Active.Web_CTL\\CLSID", nullptr, L"{8CBB1F74-DB0E-44e4-B138-0962FA50F4BD}"},
      {L"Haulbox_Active.Web_CTL\\CurVer", nullptr, L"Haulbox_Active.Web_CTL.1"},
      {kClsid, nullptr, L"QUor_CTL Class"},
      {kClsid, L"AppID", kAppId},
      {kClsid, L"LocalizedString", L"@" + module + L",-101"},
      {kClsid + L"\\ProgID", nullptr, L"Haulbox_Active.Web_CTL.1"},
      {kClsid + L"\\VersionIndependentProgID", nullptr, L"Haulbox_Active.Web_CTL"},
      {kClsid + L"\\Programmable", nullptr, L""},
      {kClsid + L"\\InprocServer32", nullptr, module},
      {kClsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {kClsid + L"\\Control", nullptr, L""},
      {kClsid + L"\\ToolboxBitmap32", nullptr, module + L", 103"},
      {kClsid + L"\\MiscStatus", nullptr, L"0"},
      {kClsid + L"\\MiscStatus\\1", nullptr, L"131473"},
      {kClsid + L"\\TypeLib", nullptr, kLibId},
      {kClsid + L"\\Version", nullptr, L"1.0"},
      {L"TypeLib\\" + kLibId + L"\\1.0", nullptr, L"Haulbox_Active 1.0 형식 라이브러리"},
      {L"Interface\\{8CBB1F71-DB0E-44e4-B138-0962FA50F4BD}", nullptr, L"IWeb_CTL"},
  };
  for (const Expected& row : expected) {
    if (row.value.empty() && !row.name) {
      EXPECT_TRUE(KeyExists(row.key)) << "missing key " << testing::PrintToString(row.key);
      continue;
    }
    EXPECT_EQ(row.value, Text(row.key, row.name))
        << "key " << testing::PrintToString(row.key) << " value " << testing::PrintToString(row.name ? row.name : L"");
  }

  DWORD enabled = 0;
  DWORD size = sizeof(enabled);
  EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CLASSES_ROOT, (kClsid + L"\\Elevation").c_str(), L"Enabled",
                                        RRF_RT_REG_DWORD, nullptr, &enabled, &size));
  EXPECT_EQ(1u, enabled);

  // The registered type library is the DLL's own.
  ITypeLib* library = nullptr;
  EXPECT_EQ(S_OK, LoadRegTypeLib(kLibIdHaulbox_Active, 1, 0, 0x409, &library));
  if (library) library->Release();

  for (const std::wstring& category : {kSafeForScripting, kSafeForInitializing})
    EXPECT_TRUE(KeyExists(kClsid + L"\\Implemented Categories\\" + category)) << testing::PrintToString(category);
  EXPECT_EQ(L"Controls that are safely scriptable",
            Text(L"Component Categories\\" + kSafeForScripting, L"409"));
  EXPECT_EQ(L"Controls safely initializable from persistent data",
            Text(L"Component Categories\\" + kSafeForInitializing, L"409"));
}

TEST_F(RegistrationTest, UnregistrationRemovesTheServerAndKeepsCategoryMarks) {
  ASSERT_EQ(0, RunRegsvr32(L"/s"));
  ASSERT_EQ(0, RunRegsvr32(L"/u /s"));
  for (const std::wstring& gone :
       {L"AppID\\" + kAppId, std::wstring(L"AppID\\Haulbox_Active.DLL"), std::wstring(L"Haulbox_Active.Web_CTL"),
        std::wstring(L"Haulbox_Active.Web_CTL.1"), kClsid + L"\\InprocServer32", kClsid + L"\\ProgID",
        kClsid + L"\\MiscStatus", kClsid + L"\\TypeLib", L"TypeLib\\" + kLibId,
        std::wstring(L"Interface\\{8CBB1F71-DB0E-44e4-B138-0962FA50F4BD}")})
    EXPECT_FALSE(KeyExists(gone)) << "left behind: " << testing::PrintToString(gone);
  for (const std::wstring& kept :
       {std::wstring(L"AppID"), std::wstring(L"CLSID"), kClsid + L"\\Implemented Categories\\" + kSafeForScripting,
        kClsid + L"\\Implemented Categories\\" + kSafeForInitializing,
        L"Component Categories\\" + kSafeForScripting, L"Component Categories\\" + kSafeForInitializing})
    EXPECT_TRUE(KeyExists(kept)) << "removed: " << testing::PrintToString(kept);
}

TEST_F(RegistrationTest, UnregisteringTwiceSucceeds) {
  ASSERT_EQ(0, RunRegsvr32(L"/u /s"));
  EXPECT_EQ(0, RunRegsvr32(L"/u /s"));
}

}  // namespace

namespace {

// Loading the library registers the launcher window's class, a copy of the
// dialog class that the transfer programs find the launcher by; unloading
// it takes the class away again.
TEST(ModuleStart, LoadingRegistersTheLauncherClassAndCarriesTheRegisteredPictureAndName) {
  HMODULE module = LoadLibraryW(ControlDllPath().c_str());
  ASSERT_NE(nullptr, module) << GetLastError();
  WNDCLASSEXW launcher{};
  WNDCLASSEXW dialog{};
  launcher.cbSize = dialog.cbSize = sizeof(WNDCLASSEXW);
  ASSERT_TRUE(GetClassInfoExW(module, L"HAULbox_AX_EXE", &launcher));
  ASSERT_TRUE(GetClassInfoExW(nullptr, L"#32770", &dialog));
  EXPECT_EQ(dialog.lpfnWndProc, launcher.lpfnWndProc);
  EXPECT_EQ(dialog.cbWndExtra, launcher.cbWndExtra);
  EXPECT_EQ(dialog.style, launcher.style);

  // What the registration points at: the toolbox picture and the control's name.
  BITMAP toolbox{};
  HBITMAP picture = static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(103), IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(nullptr, picture);
  GetObjectW(picture, sizeof toolbox, &toolbox);
  EXPECT_EQ(16, toolbox.bmWidth);
  EXPECT_EQ(16, toolbox.bmHeight);
  DeleteObject(picture);
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(103), reinterpret_cast<LPCWSTR>(RT_BITMAP));
  ASSERT_NE(nullptr, info);
  auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, info)));
  EXPECT_EQ(4, header->biBitCount) << "a 16-colour picture";
  wchar_t name[64] = L"";
  LoadStringW(module, 101, name, 64);
  EXPECT_STREQ(L"Haulbox Control", name);

  ASSERT_TRUE(FreeLibrary(module));
  if (!GetModuleHandleW(L"Quorvane_Active.dll")) {
    EXPECT_FALSE(GetClassInfoExW(module, L"HAULbox_AX_EXE", &launcher));
  }
}

}  // namespace
