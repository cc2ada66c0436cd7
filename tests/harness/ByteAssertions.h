#pragma once
// Comparison of byte strings (file contents, wire texts) for tests. A
// mismatch shows both sizes and the first differing offset with the bytes
// from there in hex, where EXPECT_TRUE(a == b) would print only "false":
//   EXPECT_TRUE(harness::SameBytes(source, ReadBytes(path)));
#include <gtest/gtest.h>

#include <string>

namespace harness {

::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual);

}  // namespace harness
