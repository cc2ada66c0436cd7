#pragma once
// Shared by the fuzz targets: a failed property check, and small reference
// models the targets compare the parsers with. The models are written
// independently of common/Cp949Text so that a fault there shows as a
// difference instead of being repeated.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A property that does not hold is a crash for libFuzzer and a failed run for
// the seed driver.
#define FUZZ_CHECK(condition)                                                              \
  do {                                                                                     \
    if (!(condition)) {                                                                    \
      std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                        \
    }                                                                                      \
  } while (0)

namespace fuzz_model {

inline std::string Text(const std::uint8_t* data, std::size_t size) {
  return size ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

// True at every index where a character starts, and at the end of the text:
// a byte 0x81-0xFE and the byte after it are one character; a lead byte as the
// last byte is a character of its own.
inline std::vector<bool> Boundaries(const std::string& text) {
  std::vector<bool> starts(text.size() + 1, false);
  std::size_t i = 0;
  while (i < text.size()) {
    starts[i] = true;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    i += (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) ? 2 : 1;
  }
  starts[text.size()] = true;
  return starts;
}

// Indexes of the characters equal to the one-byte separator `sep`.
inline std::vector<std::size_t> Separators(const std::string& text, char sep) {
  std::vector<std::size_t> found;
  const std::vector<bool> starts = Boundaries(text);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (starts[i] && text[i] == sep) found.push_back(i);
  }
  return found;
}

// True when `part` holds no character equal to `sep` (a byte equal to `sep`
// inside a double-byte character does not count).
inline bool HasNoSeparator(const std::string& part, char sep) { return Separators(part, sep).empty(); }

// Leading blanks (space, tab), an optional sign, then decimal digits; 0 when
// there are none; saturated at the 64-bit limits.
inline long long LeadingInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  unsigned __int128 value = 0;
  const unsigned __int128 cap = static_cast<unsigned __int128>(1) << 64;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (value > cap) value = cap;
  }
  if (negative) {
    return value > static_cast<unsigned __int128>(LLONG_MAX) ? LLONG_MIN : -static_cast<long long>(value);
  }
  return value > static_cast<unsigned __int128>(LLONG_MAX) ? LLONG_MAX : static_cast<long long>(value);
}

inline std::int32_t Clamp32(long long value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

inline bool OnlyDotsAndSpaces(const std::string& level) {
  for (char c : level) {
    if (c != '.' && c != ' ') return false;
  }
  return true;
}

// The levels of a relative path as the file system may see them once the text
// is converted: every "\" or "/" byte separates, even one that follows a lead
// byte (such a pair is no CP949 character, and the byte may survive the
// conversion as a separator).
inline std::vector<std::string> ByteLevels(const std::string& path) {
  std::vector<std::string> levels(1);
  for (char c : path) {
    if (c == '\\' || c == '/') {
      levels.emplace_back();
    } else {
      levels.back() += c;
    }
  }
  return levels;
}

// A relative path stays inside the folder it is relative to: not rooted, no
// drive or stream (":"), and walking its levels never goes above the start.
// Counted cautiously: an empty level stays, any level made only of dots and
// spaces ("..", ". .", "...") goes up one, every other level goes down one.
inline bool StaysInside(const std::string& relative) {
  if (!relative.empty() && (relative[0] == '\\' || relative[0] == '/')) return false;
  if (relative.find(':') != std::string::npos) return false;
  int depth = 0;
  for (const std::string& level : ByteLevels(relative)) {
    if (level.empty()) continue;
    depth += OnlyDotsAndSpaces(level) ? -1 : 1;
    if (depth < 0) return false;
  }
  return true;
}

// True when no level of the path, split at every "\" or "/" byte, is made
// only of dots and spaces.
inline bool HasNoDotLevel(const std::string& path) {
  for (const std::string& level : ByteLevels(path)) {
    if (!level.empty() && OnlyDotsAndSpaces(level)) return false;
  }
  return true;
}

// The fields of a "|"-separated reply read as the parsers document it: up to
// `fieldCount` fields each end at the next "|" character; a field without a
// "|" left is empty and leaves the text to the next; what remains after the
// taken separators is the tail.
struct BarSplit {
  std::vector<std::string> fields;
  std::string tail;
  std::size_t separatorsTaken = 0;
};

inline BarSplit SplitAtBars(const std::string& text, std::size_t fieldCount) {
  BarSplit split;
  const std::vector<std::size_t> bars = Separators(text, '|');
  std::size_t start = 0;
  for (std::size_t field = 0; field < fieldCount; ++field) {
    if (field < bars.size()) {
      split.fields.push_back(text.substr(start, bars[field] - start));
      start = bars[field] + 1;
      ++split.separatorsTaken;
    } else {
      split.fields.emplace_back();
    }
  }
  split.tail = text.substr(start);
  return split;
}

// Checks that `fields`, taken in order from `text` with one "|" after each of
// the first `taken` fields, rejoin to the text with `tail`, and that every
// field starts on a character boundary of the text and holds no "|" character.
inline void CheckRejoin(const std::string& text, const std::vector<std::string>& fields, std::size_t taken,
                        const std::string& tail) {
  const std::vector<bool> starts = Boundaries(text);
  std::string joined;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i >= taken) {
      FUZZ_CHECK(fields[i].empty());
      continue;
    }
    FUZZ_CHECK(HasNoSeparator(fields[i], '|'));
    joined += fields[i];
    FUZZ_CHECK(joined.size() < text.size() && starts[joined.size()] && text[joined.size()] == '|');
    joined += '|';
  }
  FUZZ_CHECK(joined + tail == text);
  FUZZ_CHECK(starts[joined.size()]);
}

}  // namespace fuzz_model
