#include "SwallowedException.h"

#include <cwchar>

namespace {

// The line holds the place, the message and the what() text with room to spare.
constexpr int kWhatLimit = 256;
constexpr int kLineLimit = 512;

// `what` as UTF-16 in `buffer`, cut to fit; "unknown exception type" without one.
const wchar_t* WhatText(const char* what, wchar_t* buffer, int limit) {
  if (!what) return L"unknown exception type";
  int length = MultiByteToWideChar(949, 0, what, -1, buffer, limit);
  if (length == 0) {
    // Too long for the buffer (or not CP949): keep what fits.
    buffer[0] = L'\0';
    MultiByteToWideChar(949, 0, what, limit - 1, buffer, limit - 1);
    buffer[limit - 1] = L'\0';
  }
  return buffer;
}

}  // namespace

void TraceSwallowedException(const wchar_t* place, const char* what) {
  wchar_t whatText[kWhatLimit];
  wchar_t line[kLineLimit];
  std::swprintf(line, kLineLimit, L"Haulbox: exception swallowed in %ls: %ls\n", place,
                WhatText(what, whatText, kWhatLimit));
  OutputDebugStringW(line);
}

void TraceSwallowedException(const wchar_t* place, UINT message, const char* what) {
  wchar_t whatText[kWhatLimit];
  wchar_t line[kLineLimit];
  std::swprintf(line, kLineLimit, L"Haulbox: exception swallowed in %ls, message 0x%04x: %ls\n", place, message,
                WhatText(what, whatText, kWhatLimit));
  OutputDebugStringW(line);
}
