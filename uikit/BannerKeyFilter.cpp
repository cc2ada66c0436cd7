#include "BannerKeyFilter.h"

namespace {
constexpr unsigned kKeyDownMessage = 0x0100;
constexpr std::uintptr_t kBackspaceKey = 8;
}  // namespace

bool BannerSwallowsKey(const BannerKey& key) {
  const bool keyDown = key.message == kKeyDownMessage;
  if (keyDown && key.f5Down) return true;
  if (key.controlDown && keyDown && (key.oDown || key.pDown || key.nDown)) return true;
  return key.keyParam == kBackspaceKey;
}
