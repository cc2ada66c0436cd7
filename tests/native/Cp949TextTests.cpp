#include <gtest/gtest.h>

#include <climits>

#include "Cp949Text.h"

using namespace cp949;

// "표" is 0xC7 0xA5 and "|" is 0x7C; "珍" = 0xE4 0x7C ends in a "|" byte.
const std::string kTrailIsBar = "\xE4\x7C";
const std::string kTrailIsBackslash = "\x95\x5C";  // a character whose trail byte is "\"

TEST(Cp949Search, SeparatorInsideDoubleByteCharacterIsNotFound) {
  EXPECT_EQ(std::string::npos, FindChar(kTrailIsBar, '|'));
  EXPECT_EQ(2u, FindChar(kTrailIsBar + "|x", '|'));
  EXPECT_EQ(std::string::npos, FindLastChar("a" + kTrailIsBackslash, '\\'));
  EXPECT_EQ(1u, FindLastChar("a\\" + kTrailIsBackslash, '\\'));
}

TEST(Cp949Search, FindCharFromOffsetKeepsCharacterAlignment) {
  std::string text = kTrailIsBar + "?" + kTrailIsBar + "?";
  EXPECT_EQ(2u, FindChar(text, '?', 0));
  EXPECT_EQ(5u, FindChar(text, '?', 3));
  EXPECT_EQ(std::string::npos, FindChar(text, '|', 1));
}

TEST(Cp949Split, TakeFieldCutsAtEachSeparatorAndLastFieldKeepsTheRest) {
  std::string rest = "a|b||c|d|e";
  EXPECT_EQ("a", TakeField(rest, '|'));
  EXPECT_EQ("b", TakeField(rest, '|'));
  EXPECT_EQ("", TakeField(rest, '|'));
  EXPECT_EQ("c|d|e", rest);
}

TEST(Cp949Split, MissingSeparatorGivesWholeTextThenEmptyFields) {
  std::string rest = "123";
  EXPECT_EQ("123", TakeField(rest, '|'));
  EXPECT_EQ("", rest);
  EXPECT_EQ("", TakeField(rest, '|'));
}

TEST(Cp949Split, DoubleByteTrailEqualToSeparatorStaysInField) {
  std::string rest = kTrailIsBar + "|tail";
  EXPECT_EQ(kTrailIsBar, TakeField(rest, '|'));
  EXPECT_EQ("tail", rest);
}

TEST(Cp949Split, SeparatedFieldWithoutSeparatorIsEmptyAndLeavesTheText) {
  std::string rest = "a|" + kTrailIsBar + "x";
  EXPECT_EQ("a", TakeSeparatedField(rest, '|'));
  EXPECT_EQ("", TakeSeparatedField(rest, '|'));  // the trail byte is no separator
  EXPECT_EQ(kTrailIsBar + "x", rest);
  std::string last = "||";
  EXPECT_EQ("", TakeSeparatedField(last, '|'));
  EXPECT_EQ("|", last);
}

TEST(Cp949Split, AfterLastGivesExtensionOrWholeName) {
  EXPECT_EQ("txt", AfterLast("a.b.txt", '.'));
  EXPECT_EQ("noext", AfterLast("noext", '.'));
  EXPECT_EQ("", AfterLast("trailing.", '.'));
}

TEST(Cp949Numbers, LeadingIntegerReadsDigitsAndSaturates) {
  EXPECT_EQ(123, LeadingInteger("123abc"));
  EXPECT_EQ(0, LeadingInteger("abc"));
  EXPECT_EQ(-45, LeadingInteger("-45"));
  EXPECT_EQ(0, LeadingInteger(""));
  EXPECT_EQ(LLONG_MAX, LeadingInteger("99999999999999999999999"));
  EXPECT_EQ(LLONG_MIN, LeadingInteger("-99999999999999999999999"));
}

TEST(Cp949Cut, NeverEndsInsideDoubleByteCharacter) {
  std::string korean = "가나다";  // three double-byte characters
  EXPECT_EQ("가", CutAtCharBoundary(korean, 3));
  EXPECT_EQ("가나", CutAtCharBoundary(korean, 4));
  EXPECT_EQ(korean, CutAtCharBoundary(korean, 6));
  EXPECT_EQ("a가", CutAtCharBoundary("a가나", 4));
}
