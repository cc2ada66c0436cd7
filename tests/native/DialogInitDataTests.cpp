// Finding a control's record in a dialog's initialisation data, also when the
// data is cut short or lies about its lengths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogInitData.h"

namespace {

void Append(std::vector<std::uint8_t>& data, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void AppendRecord(std::vector<std::uint8_t>& data, std::uint16_t id, std::uint16_t message, const std::string& bytes,
                  std::uint32_t claimedLength) {
  Append(data, id, 2);
  Append(data, message, 2);
  Append(data, claimedLength, 4);
  data.insert(data.end(), bytes.begin(), bytes.end());
}

std::string Find(const std::vector<std::uint8_t>& data, std::uint16_t id, std::uint16_t message = kLoadFromStreamRecord) {
  std::vector<std::uint8_t> found = FindDialogInitRecord(data.data(), data.size(), id, message);
  return std::string(found.begin(), found.end());
}

TEST(DialogInitData, FindsTheRecordOfTheItemAndMessageAfterOthers) {
  std::vector<std::uint8_t> data;
  AppendRecord(data, 1026, 0x0401, "combo", 5);
  AppendRecord(data, 1041, kLoadFromStreamRecord, "other", 5);
  AppendRecord(data, 1026, kLoadFromStreamRecord, "state", 5);
  Append(data, 0, 2);
  EXPECT_EQ("state", Find(data, 1026));
  EXPECT_EQ("other", Find(data, 1041));
  EXPECT_EQ("combo", Find(data, 1026, 0x0401));
  EXPECT_EQ("", Find(data, 1050));
}

TEST(DialogInitData, EndsAtTheTerminatorAndAcceptsAnEmptyRecord) {
  std::vector<std::uint8_t> data;
  AppendRecord(data, 7, kLoadFromStreamRecord, "", 0);
  Append(data, 0, 2);
  AppendRecord(data, 8, kLoadFromStreamRecord, "after", 5);
  EXPECT_EQ("", Find(data, 7));
  EXPECT_EQ("", Find(data, 8)) << "nothing after the end counts";
}

TEST(DialogInitData, BrokenDataYieldsNothingAndIsNeverReadPastItsEnd) {
  std::vector<std::uint8_t> lying;
  AppendRecord(lying, 5, kLoadFromStreamRecord, "abc", 0xFFFFFFF0u);
  EXPECT_EQ("", Find(lying, 5)) << "a length past the end";

  std::vector<std::uint8_t> cut;
  AppendRecord(cut, 3, kLoadFromStreamRecord, "x", 1);
  AppendRecord(cut, 5, kLoadFromStreamRecord, "abcdef", 6);
  cut.resize(cut.size() - 2);
  EXPECT_EQ("x", Find(cut, 3)) << "records before the break still count";
  EXPECT_EQ("", Find(cut, 5));

  std::vector<std::uint8_t> headerCut = {5, 0, 0x76, 3, 1};
  EXPECT_EQ("", Find(headerCut, 5));
  std::vector<std::uint8_t> oneByte = {5};
  EXPECT_EQ("", Find(oneByte, 5));
  EXPECT_TRUE(FindDialogInitRecord(nullptr, 0, 5, kLoadFromStreamRecord).empty());

  std::vector<std::uint8_t> noTerminator;
  AppendRecord(noTerminator, 9, kLoadFromStreamRecord, "last", 4);
  EXPECT_EQ("last", Find(noTerminator, 9));
  EXPECT_EQ("", Find(noTerminator, 10));
}

}  // namespace
