#include <gtest/gtest.h>

#include "FileNames.h"

using namespace file_names;

TEST(DeviceNames, DeviceIsNamedByTheTextBeforeTheFirstDotInAnyCase) {
  for (const char* name : {"NUL", "nul", "con.txt", "Aux.tar.gz", "PRN", "COM1", "lpt9.log", "NUL  .x", "CONIN$",
                           "conout$", "CLOCK$", "COM\xA9\xF6", "lpt\xA9\xF8.txt"}) {
    EXPECT_TRUE(IsDeviceName(name)) << name;
  }
  for (const char* name :
       {"", "NULL", "COM", "COM10", "LPTx", "con_x", ".nul", "xAUX", "\xB3\xAA", "COM\xA9\xF9", "COM\xA9"}) {
    EXPECT_FALSE(IsDeviceName(name)) << name;
  }
}

TEST(DotLevels, OnlyDotsAndSpacesMeanThisFolderOrItsParent) {
  for (const char* name : {"", ".", "..", "...", " ", ". ."}) {
    EXPECT_TRUE(IsOnlyDotsAndSpaces(name)) << "[" << name << "]";
  }
  for (const char* name : {"..a", "a..", ". x", "\xB0\xA1"}) {
    EXPECT_FALSE(IsOnlyDotsAndSpaces(name)) << name;
  }
}

TEST(RefusedCharacters, WildcardsPipesQuotesAndControlCharactersAreRefused) {
  for (const char* name : {"a?", "*", "<", ">", "\"", "a|b", "\t", "\x1F"}) {
    EXPECT_TRUE(HoldsRefusedCharacter(name)) << name;
  }
  EXPECT_FALSE(HoldsRefusedCharacter("보고서 (최종) #2 [v1] {a} 50% ~ & ^.txt"));
  EXPECT_FALSE(HoldsRefusedCharacter("\x7F\x80\xFF"));
}
