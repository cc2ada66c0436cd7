#pragma once
// Sending WM_COPYDATA to a window of another (or the same) process.
#include <windows.h>

#include <string>

namespace harness {

struct CopyDataResult {
  bool delivered = false;  // false on timeout or a vanished window
  LRESULT reply = 0;
};

// Sends `size` bytes with the data tag `tag` (COPYDATASTRUCT dwData); `from`
// goes in wParam. Waits at most timeoutMs for the receiver.
CopyDataResult SendCopyData(HWND target, ULONG_PTR tag, const void* bytes, DWORD size,
                            HWND from = nullptr, DWORD timeoutMs = 10000);
// A text with its terminating zero byte, as the programs send texts.
CopyDataResult SendCopyDataText(HWND target, ULONG_PTR tag, const std::string& text,
                                HWND from = nullptr, DWORD timeoutMs = 10000);

}  // namespace harness
