#include "WindowFinder.h"

#include <vector>

namespace harness {

namespace {

constexpr DWORD kPollMs = 20;

struct ProcessWindowSearch {
  DWORD processId;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<ProcessWindowSearch*>(parameter);
  if (WindowProcessId(window) != search->processId) return TRUE;
  if (WindowClassName(window) != search->className) return TRUE;
  search->found = window;
  return FALSE;
}

template <class Find>
HWND PollFor(DWORD timeoutMs, Find find) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = find()) return window;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    PumpMessages(kPollMs);
  }
}

}  // namespace

HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs, const wchar_t* title) {
  return PollFor(timeoutMs, [&] { return FindWindowW(className, title); });
}

HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs) {
  return PollFor(timeoutMs, [&]() -> HWND {
    ProcessWindowSearch search = {processId, className, nullptr};
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
  });
}

bool WaitForWindowGone(const wchar_t* className, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (!FindWindowW(className, nullptr)) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    PumpMessages(kPollMs);
  }
}

void PumpMessages(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::vector<wchar_t> text(static_cast<size_t>(length) + 2, L'\0');
  int copied = GetWindowTextW(window, text.data(), length + 1);
  return std::wstring(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::wstring WindowClassName(HWND window) {
  wchar_t name[256] = {};
  int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

DWORD WindowProcessId(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

}  // namespace harness
