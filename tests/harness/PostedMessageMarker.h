#pragma once
// A bounded wait until every message already posted to a window of this
// process has been taken from its queue: a marker message is posted behind
// them, and a message hook on the window's thread reports when that thread
// takes the marker. Posted messages are taken in order, so by then the
// earlier ones have been handled (or are being handled, when a handler runs
// a modal loop of its own, e.g. a menu or a message box).
// This replaces a fixed Sleep before checking that nothing happened:
//   PostMessageW(window, trayMessage, 5, WM_RBUTTONDOWN);
//   ASSERT_TRUE(harness::WaitForPostedMessages(window, 5000));
//   EXPECT_EQ(nullptr, VisibleMenu());
// The window may belong to any thread of this process; when it belongs to
// the calling thread, the wait pumps that thread's messages.
#include <windows.h>

namespace harness {

// False when the marker was not taken within timeoutMs (or the window is gone).
bool WaitForPostedMessages(HWND window, DWORD timeoutMs);

}  // namespace harness
