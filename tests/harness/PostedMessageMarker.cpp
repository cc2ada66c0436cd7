#include "PostedMessageMarker.h"

#include <atomic>
#include <mutex>

namespace harness {
namespace {

std::mutex g_oneWaitAtATime;
std::atomic<UINT> g_marker{0};
std::atomic<WPARAM> g_cookie{0};
std::atomic<bool> g_taken{false};

LRESULT CALLBACK WatchForMarker(int code, WPARAM removal, LPARAM lParam) {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (message->message == g_marker.load() && message->wParam == g_cookie.load()) g_taken = true;
  }
  return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

bool WaitForPostedMessages(HWND window, DWORD timeoutMs) {
  std::lock_guard<std::mutex> hold(g_oneWaitAtATime);
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (!thread) return false;
  g_marker = RegisterWindowMessageW(L"Haulbox_test_posted_marker");
  g_cookie = g_cookie.load() + 1;
  g_taken = false;
  HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, WatchForMarker, nullptr, thread);
  if (!hook) return false;
  bool taken = false;
  if (PostMessageW(window, g_marker.load(), g_cookie.load(), 0)) {
    const bool ownThread = thread == GetCurrentThreadId();
    const DWORD start = GetTickCount();
    while (!(taken = g_taken.load()) && GetTickCount() - start < timeoutMs && IsWindow(window)) {
      if (ownThread) {
        MSG message;
        while (!g_taken.load() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
          TranslateMessage(&message);
          DispatchMessageW(&message);
        }
        if (!g_taken.load()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      } else {
        Sleep(5);
      }
    }
    taken = g_taken.load();
  }
  UnhookWindowsHookEx(hook);
  return taken;
}

}  // namespace harness
