#include <gtest/gtest.h>

#include <cstdint>

#include "Formatting.h"

TEST(FormatSize, UnitFollowsDecimalDigitCount) {
  const struct { long long bytes; const char* text; } rows[] = {
      {0, "0.0Byte"},         {999, "999.0Byte"},     {1000, "1.0KB"},
      {1023, "1.0KB"},        {1024, "1.0KB"},        {1500, "1.5KB"},
      {9999, "9.8KB"},        {123456, "120.0KB"},    {999999, "976.0KB"},
      {1048576, "1.0MB"},     {5000000, "4.8MB"},     {1073741824, "1.0GB"},
      {-5, "-5.0Byte"},       {-1000, "-1.0KB"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.text, FormatSize(row.bytes)) << "bytes " << row.bytes;
}

TEST(FormatSize, LargestValuesStayInPetabytes) {
  EXPECT_EQ("8.0PB", FormatSize(9223372036854775807LL));
}

TEST(FormatDuration, HoursMinutesSeconds) {
  EXPECT_EQ("00:00:00", FormatDuration(0));
  EXPECT_EQ("00:00:59", FormatDuration(59));
  EXPECT_EQ("01:01:01", FormatDuration(3661));
  EXPECT_EQ("59:59:59", FormatDuration(59 * 3600 + 59 * 60 + 59));
  EXPECT_EQ("123:00:00", FormatDuration(123 * 3600));
}

TEST(GroupDigits, ThousandsSeparators) {
  EXPECT_EQ("1,234,567", GroupDigits(1234567));
  EXPECT_EQ("999", GroupDigits(999));
  EXPECT_EQ("1,000", GroupDigits(1000));
  EXPECT_EQ("0", GroupDigits(0));
  EXPECT_EQ("-123,456", GroupDigits(-123456));
  EXPECT_EQ("-999", GroupDigits(-999));
}

TEST(ShortName, CutsAfterThirtyBytesOnCharacterBoundary) {
  EXPECT_EQ("short.txt", ShortName("short.txt"));
  std::string thirty(30, 'a');
  EXPECT_EQ(thirty, ShortName(thirty));
  EXPECT_EQ(thirty + "...", ShortName(thirty + "b"));
  // 29 ASCII bytes then a double-byte character that would straddle byte 30.
  std::string straddling = std::string(29, 'a') + "가나";
  EXPECT_EQ(std::string(29, 'a') + "...", ShortName(straddling));
}

TEST(ProgressCaption, PercentUsesHundredthOfTotal) {
  EXPECT_EQ("50%/100%(500/1,000 Byte)", ProgressCaption(500, 1000));
  EXPECT_EQ("0%/100%(0/0 Byte)", ProgressCaption(0, 0));
  // A total below 100 divides by 1, so the figure passes 100.
  EXPECT_EQ("50%/100%(50/50 Byte)", ProgressCaption(50, 50));
  EXPECT_EQ("100%/100%(1,048,576/1,048,576 Byte)", ProgressCaption(1048576, 1048576));
}

TEST(ProgressPosition, ScalesToThousand) {
  EXPECT_EQ(0, ProgressPosition(10, 0));
  EXPECT_EQ(500, ProgressPosition(500, 1000));
  EXPECT_EQ(1000, ProgressPosition(4LL << 30, 4LL << 30));
  // Sizes from the server may be as large as a 64-bit number holds.
  EXPECT_EQ(1000, ProgressPosition(INT64_MAX, INT64_MAX));
  EXPECT_EQ(500, ProgressPosition(INT64_MAX / 2 + 1, INT64_MAX));
}
