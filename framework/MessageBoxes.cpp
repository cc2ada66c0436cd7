#include "MessageBoxes.h"

#include "TextConversion.h"

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), type);
}
