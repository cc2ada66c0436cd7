#include "ByteAssertions.h"

#include <algorithm>
#include <cstdio>

namespace harness {
namespace {

constexpr std::size_t kShownBytes = 16;

// Up to kShownBytes bytes from `offset` in hex, "(end)" when there are none.
std::string HexFrom(const std::string& bytes, std::size_t offset) {
  if (offset >= bytes.size()) return "(end)";
  const std::size_t end = std::min(bytes.size(), offset + kShownBytes);
  std::string text;
  for (std::size_t i = offset; i < end; ++i) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(bytes[i]));
    if (!text.empty()) text += ' ';
    text += digits;
  }
  if (end < bytes.size()) text += " ...";
  return text;
}

}  // namespace

::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  const std::size_t common = std::min(expected.size(), actual.size());
  const std::size_t offset =
      static_cast<std::size_t>(std::mismatch(expected.begin(), expected.begin() + common, actual.begin()).first -
                               expected.begin());
  return ::testing::AssertionFailure() << "expected " << expected.size() << " bytes, actual " << actual.size()
                                       << " bytes; first difference at offset " << offset
                                       << "\n  expected from there: " << HexFrom(expected, offset)
                                       << "\n  actual from there:   " << HexFrom(actual, offset);
}

}  // namespace harness
