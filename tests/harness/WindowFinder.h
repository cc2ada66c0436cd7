#pragma once
// Bounded waits for top-level windows: by class (any process, like
// FindWindowW) or by class within one process. They pump the calling
// thread's messages while waiting, so windows of the test's own threads keep
// working. A timeout returns null; nothing waits forever.
#include <windows.h>

#include <string>

namespace harness {

// The first top-level window of `className` (and `title` when given).
HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs, const wchar_t* title = nullptr);
// The first top-level window of `className` that belongs to `processId`.
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs);
// True when no top-level window of `className` remains within timeoutMs.
bool WaitForWindowGone(const wchar_t* className, DWORD timeoutMs);

// Dispatches the calling thread's pending messages for about `milliseconds`.
void PumpMessages(DWORD milliseconds);

std::wstring WindowText(HWND window);
std::wstring WindowClassName(HWND window);
DWORD WindowProcessId(HWND window);

}  // namespace harness
