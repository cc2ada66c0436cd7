#include "Formatting.h"

#include <cstdint>

#include <cstdio>
#include <string>

#include "Cp949Text.h"

namespace {
const char* const kSizeUnits[] = {"Byte", "KB", "MB", "GB", "TB", "PB"};
const int kSizeUnitCount = 6;
const std::size_t kShortNameBytes = 30;

std::string Decimal(std::int64_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
  return text;
}
}  // namespace

std::string FormatSize(std::int64_t bytes) {
  int unit = static_cast<int>(Decimal(bytes).size() / 3) - 1;
  std::int64_t reduced = bytes;
  for (int i = 0; i < unit; ++i) reduced /= 1024;
  double shown = static_cast<double>(reduced);
  if (Decimal(reduced).size() > 3) {
    shown = static_cast<double>(reduced) / 1024.0;
    ++unit;
  }
  if (unit < 0) unit = 0;
  if (unit >= kSizeUnitCount) unit = kSizeUnitCount - 1;  // no unit beyond PB
  char text[64];
  std::snprintf(text, sizeof text, "%3.1f%s", shown, kSizeUnits[unit]);
  return text;
}

std::string FormatDuration(std::int64_t seconds) {
  std::int64_t minutes = seconds / 60;
  std::int64_t secondsField = seconds - minutes * 60;
  std::int64_t hours = minutes / 60;
  std::int64_t minutesField = minutes - hours * 60;
  char text[64];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(hours),
                static_cast<long long>(minutesField), static_cast<long long>(secondsField));
  return text;
}

std::string GroupDigits(std::int64_t value) {
  std::string digits = Decimal(value);
  std::size_t firstDigit = (digits[0] == '-') ? 1 : 0;
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    std::size_t remaining = digits.size() - i;
    if (i > firstDigit && remaining % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::string ShortName(const std::string& name) {
  if (name.size() <= kShortNameBytes) return name;
  return cp949::CutAtCharBoundary(name, kShortNameBytes) + "...";
}

std::string ProgressCaption(std::int64_t done, std::int64_t total) {
  std::int64_t hundredth = total / 100;
  std::int64_t percent = done / (hundredth > 1 ? hundredth : 1);
  char text[128];
  std::snprintf(text, sizeof text, "%lld%%/100%%(%s/%s Byte)", static_cast<long long>(percent),
                GroupDigits(done).c_str(), GroupDigits(total).c_str());
  return text;
}

int ProgressPosition(std::int64_t done, std::int64_t total) {
  if (total <= 0) return 0;
  // Sizes come from the server: done * 1000 must not overflow.
  if (done > INT64_MAX / 1000 || done < INT64_MIN / 1000) {
    return static_cast<int>(static_cast<long double>(done) * 1000 / static_cast<long double>(total));
  }
  return static_cast<int>(done * 1000 / total);
}
