#pragma once
// Finding a message box of a process and reading and answering it, as a
// person would: caption, text (the static control 0xFFFF) and a button press.
#include <windows.h>

#include <string>

namespace harness {

struct MessageBoxContent {
  HWND box = nullptr;
  std::wstring caption;
  std::wstring text;
};

// Waits at most timeoutMs for a message box ("#32770" window with a 0xFFFF
// static) of `processId`; box is null on timeout.
MessageBoxContent WaitForMessageBox(DWORD processId, DWORD timeoutMs);
MessageBoxContent ReadMessageBox(HWND box);
// Presses button `buttonId` (IDOK, IDYES, ...) of a dialog or message box by
// posting the WM_COMMAND its click would send.
bool PressButton(HWND dialog, int buttonId);

}  // namespace harness
