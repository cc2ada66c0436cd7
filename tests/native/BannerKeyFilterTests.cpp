// The banner's key filter, row by row: what it swallows and what reaches the page.
#include <gtest/gtest.h>

#include "BannerKeyFilter.h"

namespace {

constexpr unsigned kKeyDown = 0x0100, kKeyUp = 0x0101, kChar = 0x0102, kSysKeyDown = 0x0104;

struct Row {
  const char* what;
  BannerKey key;
  bool swallowed;
};

BannerKey Key(unsigned message, std::uintptr_t keyParam) {
  BannerKey key;
  key.message = message;
  key.keyParam = keyParam;
  return key;
}

BannerKey With(BannerKey key, bool BannerKey::*down, bool BannerKey::*also = nullptr) {
  key.*down = true;
  if (also) key.*also = true;
  return key;
}

TEST(BannerKeyFilter, SwallowsRefreshOpenPrintNewWindowAndBackspaceOnly) {
  const Row rows[] = {
      {"F5 down", With(Key(kKeyDown, 0x74), &BannerKey::f5Down), true},
      {"F5 held while another key goes down", With(Key(kKeyDown, 'A'), &BannerKey::f5Down), true},
      {"F5 key up", With(Key(kKeyUp, 0x74), &BannerKey::f5Down), false},
      {"Ctrl+O", With(Key(kKeyDown, 'O'), &BannerKey::controlDown, &BannerKey::oDown), true},
      {"Ctrl+P", With(Key(kKeyDown, 'P'), &BannerKey::controlDown, &BannerKey::pDown), true},
      {"Ctrl+N", With(Key(kKeyDown, 'N'), &BannerKey::controlDown, &BannerKey::nDown), true},
      {"Ctrl+O key up", With(Key(kKeyUp, 'O'), &BannerKey::controlDown, &BannerKey::oDown), false},
      {"O without Ctrl", With(Key(kKeyDown, 'O'), &BannerKey::oDown), false},
      {"Ctrl+A", With(Key(kKeyDown, 'A'), &BannerKey::controlDown), false},
      {"Ctrl alone", With(Key(kKeyDown, 0x11), &BannerKey::controlDown), false},
      {"backspace down", Key(kKeyDown, 8), true},
      {"backspace up", Key(kKeyUp, 8), true},
      {"backspace character", Key(kChar, 8), true},
      {"backspace with Alt", Key(kSysKeyDown, 8), true},
      {"left arrow", Key(kKeyDown, 0x25), false},
      {"Tab", Key(kKeyDown, 9), false},
      {"letter a", Key(kChar, 'a'), false},
      {"Enter", Key(kKeyDown, 13), false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.swallowed, BannerSwallowsKey(row.key)) << row.what;
  }
}

}  // namespace
