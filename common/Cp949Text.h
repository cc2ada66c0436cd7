#pragma once
// Texts of this system are CP949 byte strings. A CP949 character is one byte
// (below 0x81) or a lead byte 0x81-0xFE followed by a trail byte; separator
// searches step over whole characters so that a separator byte is never taken
// from inside a double-byte character.
#include <cstddef>
#include <string>

namespace cp949 {

inline bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Index of the first character equal to `sep` (an ASCII byte) at or after
// `from`, or std::string::npos.
std::size_t FindChar(const std::string& text, char sep, std::size_t from = 0);

// Index of the last character equal to `sep`, or std::string::npos.
std::size_t FindLastChar(const std::string& text, char sep);

// Cuts the text before the first `sep`: returns that head and leaves the rest
// after the separator in `rest`. Without a separator the whole text is the
// head and `rest` becomes empty.
std::string TakeField(std::string& rest, char sep);

// The fields of the service's replies: cuts the text before the first `sep`
// and removes it with its separator from `rest`. Without a separator the
// field is empty and `rest` stays whole for the next field ("a|b" read as
// three fields gives "a", "", then "b" as the rest).
std::string TakeSeparatedField(std::string& rest, char sep);

// Text after the last `sep`; the whole text when there is none.
std::string AfterLast(const std::string& text, char sep);

// Leading decimal digits (an optional sign first) as a number; 0 when none.
long long LeadingInteger(const std::string& text);

// At most `maxBytes` bytes, never ending inside a double-byte character.
std::string CutAtCharBoundary(const std::string& text, std::size_t maxBytes);

}  // namespace cp949
