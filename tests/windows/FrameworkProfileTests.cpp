// Profile operations of the application object against the prefix registry,
// read back independently through the harness.
#include "Application.h"
#include "RegistryKey.h"
#include "RegistryProbe.h"
#include "TextConversion.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kProfileRoot[] = L"Software\\HaulboxTests";
const wchar_t kConfigPath[] = L"Software\\HaulboxTests\\프로필\\Config";

class FrameworkProfile : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(harness::DeleteRegistryTree(kProfileRoot));
    app.SetRegistryKey("HaulboxTests");
    app.SetTitle("프로필");
  }
  void TearDown() override { harness::DeleteRegistryTree(kProfileRoot); }

  Application app;
};

TEST_F(FrameworkProfile, ReadsGiveTheDefaultWhenAbsent) {
  EXPECT_EQ(0, app.GetProfileInt("Config", "User_Config", 0));
  EXPECT_EQ(3, app.GetProfileInt("Config", "DOWN_File_over", 3));
  EXPECT_EQ("없음", app.GetProfileString("Config", "Default_folder", "없음"));
  EXPECT_EQ("", app.GetProfileString("Config", "Default_folder"));
}

TEST_F(FrameworkProfile, IntegersAreDwordsUnderKeyTitleAndSection) {
  ASSERT_TRUE(app.WriteProfileInt("Config", "DOWN_File_over", 2));
  ASSERT_TRUE(app.WriteProfileInt("Config", "Negative", -5));
  EXPECT_EQ(2, app.GetProfileInt("Config", "DOWN_File_over", 3));
  EXPECT_EQ(-5, app.GetProfileInt("Config", "Negative", 0));
  DWORD stored = 0;
  ASSERT_TRUE(harness::ReadRegistryDword(kConfigPath, L"DOWN_File_over", stored));
  EXPECT_EQ(2u, stored);
  std::wstring asText;
  EXPECT_FALSE(harness::ReadRegistryString(kConfigPath, L"DOWN_File_over", asText)) << "not REG_SZ";
}

TEST_F(FrameworkProfile, TextsAreUtf16StringsConvertedFrom949) {
  const std::string folder = "C:\\사용자\\내 문서";
  ASSERT_TRUE(app.WriteProfileString("Config", "Default_folder", folder));
  EXPECT_EQ(folder, app.GetProfileString("Config", "Default_folder", ""));
  std::wstring stored;
  ASSERT_TRUE(harness::ReadRegistryString(kConfigPath, L"Default_folder", stored));
  EXPECT_EQ(L"C:\\사용자\\내 문서", stored);
  ASSERT_TRUE(app.WriteProfileString("Config", "Default_folder", ""));
  EXPECT_EQ("", app.GetProfileString("Config", "Default_folder", "기본"))
      << "an empty text is a value, not an absent one";
}

TEST_F(FrameworkProfile, ValueOfTheOtherTypeReadsAsDefault) {
  ASSERT_TRUE(app.WriteProfileString("Config", "User_Config", "1"));
  EXPECT_EQ(7, app.GetProfileInt("Config", "User_Config", 7));
  ASSERT_TRUE(app.WriteProfileInt("Config", "Default_folder", 1));
  EXPECT_EQ("기본", app.GetProfileString("Config", "Default_folder", "기본"));
}

TEST_F(FrameworkProfile, UnterminatedStoredTextIsReadWhole) {
  RegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kConfigPath));
  const wchar_t raw[] = {L'a', L'b', L'c'};
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Handle(), L"Raw", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(raw), sizeof raw));
  EXPECT_EQ("abc", app.GetProfileString("Config", "Raw", "x"));
}

TEST_F(FrameworkProfile, WithoutKeyOrTitleNothingIsWritten) {
  Application unnamed;
  EXPECT_FALSE(unnamed.WriteProfileInt("Config", "User_Config", 1));
  EXPECT_EQ(4, unnamed.GetProfileInt("Config", "User_Config", 4));
  EXPECT_EQ(L"Software\\HaulboxTests\\프로필\\Config", app.ProfileKeyPath("Config"));
}

TEST(FrameworkRegistryKey, ReportsStatusInsteadOfFailingLoudly) {
  RegistryKey key;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_CURRENT_USER, L"Software\\HaulboxTests\\Absent\\Key"));
  EXPECT_FALSE(key.IsOpen());
  DWORD value = 0;
  EXPECT_EQ(ERROR_INVALID_HANDLE, key.ReadDword(L"x", value));
}

TEST(FrameworkTextConversion, UsesCodePage949WhateverTheAnsiCodePage) {
  EXPECT_EQ(L"다운로더 (오류)", Widen("다운로더 (오류)"));
  EXPECT_EQ("업로더", Narrow(L"업로더"));
  EXPECT_EQ("\xb4\xd9\xbf\xee", Narrow(L"다운"));
  EXPECT_EQ(L"", Widen(""));
  EXPECT_EQ("", Narrow(L""));
}

}  // namespace
