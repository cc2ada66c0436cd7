#include "Cp949Text.h"

#include <climits>

namespace cp949 {

namespace {
std::size_t NextCharIndex(const std::string& text, std::size_t i) {
  if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) return i + 2;
  return i + 1;
}
}  // namespace

std::size_t FindChar(const std::string& text, char sep, std::size_t from) {
  for (std::size_t i = 0; i < text.size(); i = NextCharIndex(text, i)) {
    if (i >= from && text[i] == sep) return i;
  }
  return std::string::npos;
}

std::size_t FindLastChar(const std::string& text, char sep) {
  std::size_t found = std::string::npos;
  for (std::size_t i = 0; i < text.size(); i = NextCharIndex(text, i)) {
    if (text[i] == sep) found = i;
  }
  return found;
}

std::string TakeField(std::string& rest, char sep) {
  std::size_t at = FindChar(rest, sep);
  if (at == std::string::npos) {
    std::string head;
    head.swap(rest);
    return head;
  }
  std::string head = rest.substr(0, at);
  rest.erase(0, at + 1);
  return head;
}

std::string TakeSeparatedField(std::string& rest, char sep) {
  std::size_t at = FindChar(rest, sep);
  if (at == std::string::npos) return std::string();
  std::string head = rest.substr(0, at);
  rest.erase(0, at + 1);
  return head;
}

std::string AfterLast(const std::string& text, char sep) {
  std::size_t at = FindLastChar(text, sep);
  return at == std::string::npos ? text : text.substr(at + 1);
}

long long LeadingInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  unsigned long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    unsigned digit = static_cast<unsigned>(text[i] - '0');
    if (value > (static_cast<unsigned long long>(LLONG_MAX) - digit) / 10) {
      return negative ? LLONG_MIN : LLONG_MAX;  // saturate instead of overflowing
    }
    value = value * 10 + digit;
  }
  long long signedValue = static_cast<long long>(value);
  return negative ? -signedValue : signedValue;
}

std::string CutAtCharBoundary(const std::string& text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = 0;
  for (std::size_t i = 0; i < text.size(); i = NextCharIndex(text, i)) {
    if (NextCharIndex(text, i) > maxBytes) break;
    end = NextCharIndex(text, i);
  }
  return text.substr(0, end);
}

}  // namespace cp949
