#include "JobText.h"

#include <gtest/gtest.h>

using namespace job_text;

// A lead byte followed by "\" is no CP949 character, and the "\" byte still
// separates two levels once the text is converted for the file system: the
// level check must see a ".." after it as a level of its own.
TEST(HostileNames, EveryBackslashByteEndsASubfolderLevel) {
  EXPECT_FALSE(IsSafeSubfolder("\x81\\..\\b\\"));
  EXPECT_FALSE(IsSafeSubfolder("a\xB0\\ . \\"));
  EXPECT_FALSE(IsSafeSubfolder("\xFE\\.."));
  EXPECT_TRUE(IsSafeSubfolder("\xC7\xD1\xB1\xDB\\b\\"));
  EXPECT_TRUE(IsSafeSubfolder("\x81\\..a\\"));
}
