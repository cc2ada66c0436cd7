#pragma once
// Which keys the web banner swallows before its browser sees them: no
// refresh (F5), no open, print or new window (Ctrl with O, P or N), no
// back navigation (backspace, in any message). Every other key reaches the
// page.
#include <cstdint>

struct BannerKey {
  unsigned message = 0;       // the window message, e.g. 0x0100 (key down)
  std::uintptr_t keyParam = 0;  // its wParam
  // Whether each key is down at the time (the top bit of its key state).
  bool f5Down = false;
  bool controlDown = false;
  bool oDown = false;
  bool pDown = false;
  bool nDown = false;
};

// True when the banner swallows the key (the browser must not handle it).
bool BannerSwallowsKey(const BannerKey& key);
