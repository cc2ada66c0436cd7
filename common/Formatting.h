#pragma once
// Texts the transfer windows show: sizes, durations, byte counts, captions.
#include <cstdint>
#include <string>

// "%3.1f%s" with Byte, KB, MB, GB, TB, PB; the unit follows the count of
// decimal digits, each step dividing by 1024 (999 -> 999.0Byte, 1000 -> 1.0KB).
std::string FormatSize(std::int64_t bytes);

// "%02d:%02d:%02d" of hours, minutes and seconds. Hours of 60 and more are
// shown in full ("123:00:00") rather than wrapped.
std::string FormatDuration(std::int64_t seconds);

// The number with "," between groups of three digits: 1234567 -> 1,234,567.
std::string GroupDigits(std::int64_t value);

// Names longer than 30 bytes are cut to 30 bytes (never inside a double-byte
// character) and "..." is appended.
std::string ShortName(const std::string& name);

// "%I64d%%/100%%(%s/%s Byte)": percent = done / max(1, total / 100), both
// byte counts grouped.
std::string ProgressCaption(std::int64_t done, std::int64_t total);

// A bar position in 0..1000 for done of total (0 when the total is 0).
int ProgressPosition(std::int64_t done, std::int64_t total);
