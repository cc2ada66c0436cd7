#include "TextConversion.h"

#include <windows.h>

namespace {
constexpr UINT kKoreanCodePage = 949;
}

std::wstring Widen(const std::string& cp949) {
  if (cp949.empty()) return std::wstring();
  int size = static_cast<int>(cp949.size());
  int length = MultiByteToWideChar(kKoreanCodePage, 0, cp949.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(kKoreanCodePage, 0, cp949.data(), size, &wide[0], length);
  return wide;
}

std::string Narrow(const std::wstring& utf16) {
  if (utf16.empty()) return std::string();
  int size = static_cast<int>(utf16.size());
  int length = WideCharToMultiByte(kKoreanCodePage, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(kKoreanCodePage, 0, utf16.data(), size, &narrow[0], length, nullptr, nullptr);
  return narrow;
}
