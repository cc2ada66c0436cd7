#include <gtest/gtest.h>

#include "Handoff.h"
#include "HandoffRules.h"

TEST(HandoffText, JoinsTheFieldsUnchangedAfterThePrefix) {
  EXPECT_EQ("Haulbox_downloader_Manager|N1?N2?|member|3",
            HandoffText(kDownloaderProgram.handoffPrefix, {"N1?N2?", "member", "3"}));
  // Fields holding "|" or nothing at all go as they are: the receiver sees more or fewer parts.
  EXPECT_EQ("Haulbox_uploader_Manager|a|b|c||", HandoffText(kUploaderProgram.handoffPrefix, {"a|b", "c", "|"}));
  EXPECT_EQ("Haulbox_uploader_Manager|||", HandoffText(kUploaderProgram.handoffPrefix, {}));
  EXPECT_EQ("P|\xC7\xD1|x|y", HandoffText("P", {"\xC7\xD1", "x", "y"}));
}

TEST(FileVersionText, FormatsTheFourHalvesInDecimal) {
  EXPECT_EQ("1.0.0.8", FileVersionText(0x00010000, 0x00000008));
  EXPECT_EQ("65535.65535.65535.65535", FileVersionText(0xFFFFFFFF, 0xFFFFFFFF));
  EXPECT_EQ("0.0.0.0", FileVersionText(0, 0));
}

TEST(IsOutOfDate, OnlyAnIdenticalVersionTextIsCurrent) {
  EXPECT_FALSE(IsOutOfDate(std::string("1.0.0.8"), "1.0.0.8"));
  EXPECT_TRUE(IsOutOfDate(std::string("1.0.0.8"), "1.0.0.9"));
  EXPECT_TRUE(IsOutOfDate(std::string("1.0.0.8"), ""));
  EXPECT_TRUE(IsOutOfDate(std::string("1.0.0.8"), "1.0.0.08"));
  EXPECT_TRUE(IsOutOfDate(std::string("1.0.0.8"), "1.0.0.8 "));
  EXPECT_TRUE(IsOutOfDate(std::nullopt, "1.0.0.8"));
  EXPECT_TRUE(IsOutOfDate(std::nullopt, ""));
}

TEST(ReadyTextOf, StopsAtTheZeroByteAndNeverReadsPastTheSentSize) {
  const char withZero[] = "haulbox_uploader\0tail";
  EXPECT_EQ("haulbox_uploader", ReadyTextOf(withZero, sizeof withZero));
  // No zero byte within the size: the text is cut at the size, not read on.
  const char unterminated[] = {'a', 'b', 'c'};
  EXPECT_EQ("abc", ReadyTextOf(unterminated, sizeof unterminated));
  EXPECT_EQ("", ReadyTextOf(unterminated, 0));
  EXPECT_EQ("", ReadyTextOf(nullptr, 10));
}

TEST(AnnouncedProgram, NeedsTheProgramsTagAndItsExactText) {
  EXPECT_EQ(&kDownloaderProgram, AnnouncedProgram(kHandoffTagDownloader, "Haulbox_Downloader"));
  EXPECT_EQ(&kUploaderProgram, AnnouncedProgram(kHandoffTagUploader, "haulbox_uploader"));
  // The downloader's window class differs from its ready text only in case.
  EXPECT_EQ(nullptr, AnnouncedProgram(kHandoffTagDownloader, "Haulbox_downloader"));
  EXPECT_EQ(nullptr, AnnouncedProgram(kHandoffTagUploader, "Haulbox_uploader"));
  EXPECT_EQ(nullptr, AnnouncedProgram(kHandoffTagUploader, "Haulbox_Downloader"));
  EXPECT_EQ(nullptr, AnnouncedProgram(kHandoffTagDownloader, "haulbox_uploader"));
  EXPECT_EQ(nullptr, AnnouncedProgram(0, "Haulbox_Downloader"));
  EXPECT_EQ(nullptr, AnnouncedProgram(kHandoffTagDownloader, "Haulbox_Downloader "));
}
