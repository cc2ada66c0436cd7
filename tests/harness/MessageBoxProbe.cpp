#include "MessageBoxProbe.h"

#include "WindowFinder.h"

namespace harness {

namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr DWORD kPollMs = 20;

struct BoxSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<BoxSearch*>(parameter);
  if (WindowProcessId(window) != search->processId) return TRUE;
  if (WindowClassName(window) != L"#32770") return TRUE;
  if (!GetDlgItem(window, kMessageTextId)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

MessageBoxContent WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    BoxSearch search = {processId, nullptr};
    EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&search));
    if (search.found) return ReadMessageBox(search.found);
    if (GetTickCount() - start >= timeoutMs) return MessageBoxContent();
    PumpMessages(kPollMs);
  }
}

MessageBoxContent ReadMessageBox(HWND box) {
  MessageBoxContent content;
  content.box = box;
  content.caption = WindowText(box);
  if (HWND text = GetDlgItem(box, kMessageTextId)) content.text = WindowText(text);
  return content;
}

bool PressButton(HWND dialog, int buttonId) {
  HWND button = GetDlgItem(dialog, buttonId);
  return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button)) != FALSE;
}

}  // namespace harness
