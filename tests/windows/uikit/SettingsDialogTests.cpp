// The settings dialog and the first-run step on the registry of the test's
// Wine prefix. Built twice: with the downloader's resources and, with
// HAULBOX_TEST_UPLOADER, with the uploader's (each with its own IDD_CONFIG).
#include <gtest/gtest.h>

#include <Application.h>
#include <CButtontoImage.h>
#include <Haulbox_Config.h>
#include <ProcessUnderTest.h>
#include <RegistryProbe.h>
#include <SettingsStore.h>
#include <TextConversion.h>
#include <WindowFinder.h>

#include <map>
#include <string>

#include "UiTestSupport.h"

namespace {

using namespace settings;

#ifdef HAULBOX_TEST_UPLOADER
constexpr ConfigProgram kProgram = ConfigProgram::Uploader;
const wchar_t kTestKey[] = L"Software\\HaulboxUiTestsUp";
const char kTestKeyName[] = "HaulboxUiTestsUp";
#else
constexpr ConfigProgram kProgram = ConfigProgram::Downloader;
const wchar_t kTestKey[] = L"Software\\HaulboxUiTestsDown";
const char kTestKeyName[] = "HaulboxUiTestsDown";
#endif
const wchar_t kConfigKey[] = L"\\Velmintor\\Config";

// The profile under a key of this test program only, so that other tests
// of the same Wine prefix never see it.
class SettingsTest : public testing::Test {
protected:
  void SetUp() override {
    harness::DeleteRegistryTree(kTestKey);
    app.SetRegistryKey(kTestKeyName);
    app.SetTitle(kProfileName);
    // The skin picture lies in images/ beside the programs, one folder up.
    SetCurrentDirectoryW((harness::OwnFolder() + L"..").c_str());
  }
  void TearDown() override { harness::DeleteRegistryTree(kTestKey); }

  std::wstring ConfigPath() const { return std::wstring(kTestKey) + kConfigKey; }
  bool Exists(const char* name) const { return harness::RegistryValueExists(ConfigPath(), Widen(name)); }
  int Int(const char* name) const {
    DWORD value = 0xdeadbeef;
    EXPECT_TRUE(harness::ReadRegistryDword(ConfigPath(), Widen(name), value)) << name << " missing";
    return static_cast<int>(value);
  }
  std::string Text(const char* name) const {
    std::wstring value;
    EXPECT_TRUE(harness::ReadRegistryString(ConfigPath(), Widen(name), value)) << name << " missing";
    return Narrow(value);
  }

  INT_PTR RunDialog(const std::vector<uitest::Step>& steps, uitest::ScriptResult* script = nullptr) {
    Haulbox_Config dialog(kProgram);
    INT_PTR result = -1;
    uitest::ScriptResult played =
        uitest::RunModal([&] { result = dialog.DoModal(); }, steps, ids.cancelButton);
    if (script) *script = played;
    return result;
  }

  static bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
  static void SetChecked(HWND dialog, int id, bool on) {
    if (Checked(dialog, id) != on) uitest::ClickItem(dialog, id);
  }

  Application app;
  const ConfigDialogIds& ids = ConfigDialogLayout(kProgram);
};

TEST_F(SettingsTest, FirstRunWritesItsValuesOnceAndNothingElse) {
  Application programs;
  SelectProfile(programs);
  EXPECT_EQ("Quorvanes", programs.RegistryKeyName());
  EXPECT_EQ("Velmintor", programs.Title());

  ASSERT_TRUE(WriteFirstRunSettings(app));
  EXPECT_EQ(1, Int(kUserConfig));
  EXPECT_EQ(3, Int(kDownFileOver));
  EXPECT_EQ(1, Int(kDownAutostart));
  EXPECT_EQ(0, Int(kDownListDel));
  EXPECT_EQ(1, Int(kUpAutostart));
  EXPECT_EQ(1, Int(kUpCompluteShow));
  EXPECT_EQ(PersonalFolder(), Text(kDefaultFolder));
  EXPECT_FALSE(PersonalFolder().empty());
  for (const char* absent : {kDefaultFolderUse, kDownProgramEnd, kDownSystemEnd, kUpTray, kUpProgramEnd,
                             kUpSystemEnd}) {
    EXPECT_FALSE(Exists(absent)) << absent;
  }

  app.WriteProfileInt(kSection, kDownFileOver, 1);
  EXPECT_FALSE(WriteFirstRunSettings(app));
  EXPECT_EQ(1, Int(kDownFileOver)) << "a user's value was reset";
}

TEST_F(SettingsTest, DialogIsSkinnedWithoutCaption) {
  LONG_PTR style = 0;
  RECT rect = {};
  LRESULT backgroundHit = 0;
  int staticMode = 0, editMode = 0;
  LRESULT staticBrush = 0, editBrush = 0;
  bool okSkinned = false, cancelSkinned = false, browseSkinned = false;
  INT_PTR result = RunDialog({[&](HWND d) {
    style = GetWindowLongPtrW(d, GWL_STYLE);
    GetWindowRect(d, &rect);
    auto skinned = [&](int id) {
      auto* button = dynamic_cast<CButtontoImage*>(Control::FromHandle(GetDlgItem(d, id)));
      return button && button->FacesBuilt();
    };
    backgroundHit = SendMessageW(d, WM_NCHITTEST, 0, MAKELPARAM(rect.left + 5, rect.top + 5));
    HDC dc = CreateCompatibleDC(nullptr);
    SetBkMode(dc, OPAQUE);
    staticBrush = SendMessageW(d, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(GetDlgItem(d, ids.checks[0].controlId)));
    staticMode = GetBkMode(dc);
    SetBkMode(dc, OPAQUE);
    editBrush = SendMessageW(d, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(GetDlgItem(d, ids.folderEdit)));
    editMode = GetBkMode(dc);
    DeleteDC(dc);
    okSkinned = skinned(ids.okButton);
    cancelSkinned = skinned(ids.cancelButton);
    browseSkinned = skinned(ids.browseButton);
    uitest::ClickItem(d, ids.cancelButton);
  }});
  EXPECT_EQ(0, result);
  EXPECT_EQ(0, style & WS_CAPTION);
  EXPECT_EQ(HTCAPTION, backgroundHit) << "the background drags the window";
  EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), staticBrush);
  EXPECT_EQ(TRANSPARENT, staticMode);
  EXPECT_NE(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), editBrush);
  EXPECT_EQ(OPAQUE, editMode) << "the folder edit keeps its own background";
  EXPECT_TRUE(okSkinned);
  EXPECT_TRUE(cancelSkinned);
  EXPECT_TRUE(browseSkinned);
  HBITMAP picture = static_cast<HBITMAP>(
      LoadImageW(nullptr, L"images\\config_bg.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(nullptr, picture) << "images/config_bg.bmp beside the programs";
  BITMAP info = {};
  GetObjectW(picture, sizeof info, &info);
  DeleteObject(picture);
  EXPECT_EQ(info.bmWidth, rect.right - rect.left);
  EXPECT_EQ(info.bmHeight, rect.bottom - rect.top);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2 - info.bmWidth / 2, rect.left);
}

TEST_F(SettingsTest, LoadShowsEveryValue) {
  app.WriteProfileString(kSection, kDefaultFolder, "D:\\받은 파일");
  for (const CheckBinding& check : ids.checks) app.WriteProfileInt(kSection, check.name, 1);
  app.WriteProfileInt(kSection, kDownFileOver, 2);
  std::map<int, bool> shown;
  std::wstring folder;
  RunDialog({[&](HWND d) {
    folder = harness::WindowText(GetDlgItem(d, ids.folderEdit));
    for (int id : {ids.radioOverwrite, ids.radioAsk, ids.radioResume}) shown[id] = Checked(d, id);
    for (const CheckBinding& check : ids.checks) shown[check.controlId] = Checked(d, check.controlId);
    uitest::ClickItem(d, ids.cancelButton);
  }});
  EXPECT_EQ(Widen("D:\\받은 파일"), folder);
  EXPECT_FALSE(shown[ids.radioOverwrite]);
  EXPECT_TRUE(shown[ids.radioAsk]);
  EXPECT_FALSE(shown[ids.radioResume]);
  for (const CheckBinding& check : ids.checks)
    EXPECT_EQ(!check.inverted, shown[check.controlId]) << check.name << " stored 1";

  for (const CheckBinding& check : ids.checks) app.WriteProfileInt(kSection, check.name, 0);
  app.WriteProfileInt(kSection, kDownFileOver, 3);
  RunDialog({[&](HWND d) {
    for (int id : {ids.radioOverwrite, ids.radioAsk, ids.radioResume}) shown[id] = Checked(d, id);
    for (const CheckBinding& check : ids.checks) shown[check.controlId] = Checked(d, check.controlId);
    uitest::ClickItem(d, ids.cancelButton);
  }});
  EXPECT_TRUE(shown[ids.radioResume]);
  EXPECT_FALSE(shown[ids.radioAsk]);
  for (const CheckBinding& check : ids.checks)
    EXPECT_EQ(check.inverted, shown[check.controlId]) << check.name << " stored 0";
}

TEST_F(SettingsTest, AbsentOrUnknownFileRuleShowsOverwriteAndAbsentFolderUseIsChecked) {
  for (int stored : {-1, 0, 7}) {
    if (stored >= 0) app.WriteProfileInt(kSection, kDownFileOver, stored);
    std::map<int, bool> shown;
    RunDialog({[&](HWND d) {
      for (int id : {ids.radioOverwrite, ids.radioAsk, ids.radioResume}) shown[id] = Checked(d, id);
      shown[0] = Checked(d, ids.checks[1].controlId);
      uitest::ClickItem(d, ids.cancelButton);
    }});
    EXPECT_TRUE(shown[ids.radioOverwrite]) << "stored " << stored;
    EXPECT_FALSE(shown[ids.radioAsk]) << "stored " << stored;
    EXPECT_FALSE(shown[ids.radioResume]) << "stored " << stored;
    EXPECT_TRUE(shown[0]) << "저장폴더 설정 사용 with Default_folder_use absent or 0";
  }
}

TEST_F(SettingsTest, OkSavesEveryControl) {
  INT_PTR result = RunDialog({
      [&](HWND d) {
        SetDlgItemTextW(d, ids.folderEdit, Widen("C:\\새 폴더").c_str());
        uitest::ClickItem(d, ids.radioResume);
        // Every box ticked but "저장폴더 설정 사용" (the inverted one).
        for (const CheckBinding& check : ids.checks) SetChecked(d, check.controlId, !check.inverted);
      },
      [&](HWND d) { uitest::ClickItem(d, ids.okButton); },
  });
  EXPECT_EQ(0, result);
  EXPECT_EQ("C:\\새 폴더", Text(kDefaultFolder));
  EXPECT_EQ(3, Int(kDownFileOver));
  for (const CheckBinding& check : ids.checks) EXPECT_EQ(1, Int(check.name)) << check.name;

  RunDialog({
      [&](HWND d) {
        SetDlgItemTextW(d, ids.folderEdit, L"");
        uitest::ClickItem(d, ids.radioAsk);
        for (const CheckBinding& check : ids.checks) SetChecked(d, check.controlId, check.inverted);
      },
      [&](HWND d) { uitest::ClickItem(d, ids.okButton); },
  });
  EXPECT_EQ("", Text(kDefaultFolder));
  EXPECT_EQ(2, Int(kDownFileOver));
  for (const CheckBinding& check : ids.checks) EXPECT_EQ(0, Int(check.name)) << check.name;

  RunDialog({
      [&](HWND d) { uitest::ClickItem(d, ids.radioOverwrite); },
      [&](HWND d) { uitest::ClickItem(d, ids.okButton); },
  });
  EXPECT_EQ(1, Int(kDownFileOver));
}

TEST_F(SettingsTest, CancelAndEscapeWriteNothing) {
  auto edit = [&](HWND d) {
    SetDlgItemTextW(d, ids.folderEdit, L"C:\\x");
    uitest::ClickItem(d, ids.radioAsk);
    for (const CheckBinding& check : ids.checks) uitest::ClickItem(d, check.controlId);
  };
  uitest::ScriptResult script;
  EXPECT_EQ(0, RunDialog({edit, [&](HWND d) { uitest::ClickItem(d, ids.cancelButton); }}, &script));
  EXPECT_FALSE(script.leftOpen);
  EXPECT_EQ(0, RunDialog({edit, [](HWND d) { uitest::PressKey(d, VK_ESCAPE); }}, &script));
  EXPECT_FALSE(script.leftOpen) << "Escape did not close the dialog";
  EXPECT_FALSE(Exists(kDefaultFolder));
  EXPECT_FALSE(Exists(kDownFileOver));
  for (const CheckBinding& check : ids.checks) EXPECT_FALSE(Exists(check.name)) << check.name;
}

TEST_F(SettingsTest, EnterAndAltF4AreSwallowed) {
  bool openAfterKeys = false;
  uitest::ScriptResult script;
  RunDialog({
      [](HWND d) { uitest::ClickItem(d, ConfigDialogLayout(kProgram).checks[0].controlId); },
      [](HWND d) { uitest::PressKey(d, VK_RETURN); },
      [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); },
      [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); },
      [&](HWND d) {
        openAfterKeys = IsWindowVisible(d) != FALSE;
        uitest::ClickItem(d, ConfigDialogLayout(kProgram).cancelButton);
      },
  }, &script);
  EXPECT_TRUE(openAfterKeys);
  EXPECT_EQ(5, script.stepsPlayed);
  EXPECT_FALSE(Exists(ids.checks[0].name)) << "Enter saved";
}

}  // namespace
