#include "DownloadRequest.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace download_request;

TEST(RequestBlock, TextZeroAndPadding) {
  char block[kBlockSize];
  std::memset(block, 'x', sizeof block);
  ASSERT_TRUE(FormatBlock("txt/", block));
  EXPECT_EQ(0, std::memcmp(block, "txt/", 4));
  for (int i = 4; i < kBlockSize; ++i) ASSERT_EQ(0, block[i]) << i;
}

TEST(RequestBlock, TextThatDoesNotFitIsRefused) {
  char block[kBlockSize];
  EXPECT_TRUE(FormatBlock(std::string(kBlockSize - 1, 'a'), block));
  EXPECT_FALSE(FormatBlock(std::string(kBlockSize, 'a'), block));
}

TEST(RequestBlock, DecimalText) {
  EXPECT_EQ("0", DecimalText(0));
  EXPECT_EQ("5000000000", DecimalText(5000000000LL));
}

TEST(Resume, ExistingFileRules) {
  // local size, resumes the entry the user stopped, overwrite answer, rule -> offset, ask
  struct Row { std::int64_t local; bool stoppedEntry; int answer; int rule; std::int64_t offset; bool ask; };
  const Row rows[] = {
      {500, false, 0, kOverwrite, 0, false},
      {500, false, 0, kAsk, 500, true},
      {0, false, 0, kAsk, 0, false},
      {500, false, 0, kResume, 500, false},
      {500, false, 0, 7, 500, false},
      {500, false, 1, kAsk, 0, false},
      {500, false, 2, kOverwrite, 500, false},
      {500, true, 0, kAsk, 500, false},       // restarted after a stop: no question
      {500, true, 1, kOverwrite, 500, false},
  };
  for (const Row& row : rows) {
    ResumeDecision d = DecideResume(row.local, row.stoppedEntry, row.answer, row.rule);
    EXPECT_EQ(row.offset, d.offset) << "rule " << row.rule << " answer " << row.answer << " stopped " << row.stoppedEntry;
    EXPECT_EQ(row.ask, d.askUser) << "rule " << row.rule << " answer " << row.answer << " stopped " << row.stoppedEntry;
  }
}

TEST(Subfolders, EveryClosedLevelIsCreated) {
  EXPECT_EQ((std::vector<std::string>{"C:\\s\\a", "C:\\s\\a\\b"}), FoldersToCreate("C:\\s", "a\\b\\"));
  EXPECT_EQ((std::vector<std::string>{"C:\\s\\a"}), FoldersToCreate("C:\\s", "a\\b"));
  EXPECT_EQ((std::vector<std::string>{}), FoldersToCreate("C:\\s", "a"));
  EXPECT_EQ((std::vector<std::string>{}), FoldersToCreate("C:\\s", ""));
  EXPECT_EQ((std::vector<std::string>{"C:\\s\\a"}), FoldersToCreate("C:\\s", "a\\\\b\\"));
}

TEST(Subfolders, AtMostOneHundredLevels) {
  std::string deep;
  for (int i = 0; i < 150; ++i) deep += "d\\";
  EXPECT_EQ(100u, FoldersToCreate("C:\\s", deep).size());
}

TEST(Speed, IntegerStepsInOrder) {
  EXPECT_EQ(9998, SampleSpeed(200001, 2000));  // 4999 * 2000 / 1000
  EXPECT_EQ(1000000, SampleSpeed(250000, 250000));
  EXPECT_EQ(0, SampleSpeed(0, 100));
}
