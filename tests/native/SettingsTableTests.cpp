// Names, first-run values and the dialog's value mapping of the settings.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "SettingsTable.h"

namespace {

using namespace settings;

TEST(SettingsTable, FirstRunWritesExactlyTheseIntegers) {
  std::size_t count = 0;
  const IntSetting* values = FirstRunInts(&count);
  std::map<std::string, int> written;
  for (std::size_t i = 0; i < count; ++i) written[values[i].name] = values[i].value;
  const std::map<std::string, int> expected = {{"User_Config", 1},  {"DOWN_File_over", 3},
                                               {"DOWN_Autostart", 1}, {"DOWN_List_del", 0},
                                               {"UP_Autostart", 1},   {"UP_Complute_show", 1}};
  EXPECT_EQ(expected, written);
  EXPECT_STREQ("User_Config", values[0].name);
}

TEST(SettingsTable, FileOverRadioMapping) {
  EXPECT_EQ(kFileOverOverwrite, FileOverShown(1));  // also the default of an absent value
  EXPECT_EQ(kFileOverAsk, FileOverShown(2));
  EXPECT_EQ(kFileOverResume, FileOverShown(3));
  EXPECT_EQ(kFileOverOverwrite, FileOverShown(0));
  EXPECT_EQ(kFileOverOverwrite, FileOverShown(7));
  EXPECT_EQ(kFileOverResume, FileOverFromRadios(true, true));
  EXPECT_EQ(kFileOverAsk, FileOverFromRadios(false, true));
  EXPECT_EQ(kFileOverOverwrite, FileOverFromRadios(false, false));
}

TEST(SettingsTable, OnlyTheSaveFolderBoxIsInverted) {
  for (ConfigProgram program : {ConfigProgram::Downloader, ConfigProgram::Uploader}) {
    for (const CheckBinding& check : ConfigDialogLayout(program).checks) {
      const bool inverted = std::string(check.name) == kDefaultFolderUse;
      EXPECT_EQ(inverted, check.inverted) << check.name;
      EXPECT_EQ(!inverted, CheckedFromValue(check, 1)) << check.name;
      EXPECT_EQ(inverted, CheckedFromValue(check, 0)) << check.name;
      EXPECT_EQ(inverted ? 1 : 0, ValueFromChecked(check, false)) << check.name;
      EXPECT_EQ(inverted ? 0 : 1, ValueFromChecked(check, true)) << check.name;
    }
  }
}

TEST(SettingsTable, BothProgramsBindTheSameSettingsInTheSameOrder) {
  const ConfigDialogIds& down = ConfigDialogLayout(ConfigProgram::Downloader);
  const ConfigDialogIds& up = ConfigDialogLayout(ConfigProgram::Uploader);
  EXPECT_EQ(191, down.templateId);
  EXPECT_EQ(193, up.templateId);
  EXPECT_EQ(1058, down.okButton);
  EXPECT_EQ(1055, up.okButton);
  EXPECT_EQ(1058, up.radioAsk);  // same number, different control: ids are per program
  for (std::size_t i = 0; i < kConfigCheckCount; ++i) {
    EXPECT_STREQ(down.checks[i].name, up.checks[i].name);
    EXPECT_EQ(1076 + static_cast<int>(i), down.checks[i].controlId);
    EXPECT_EQ(1060 + static_cast<int>(i), up.checks[i].controlId);
  }
}

}  // namespace
