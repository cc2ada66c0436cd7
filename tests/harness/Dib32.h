#pragma once
// The description of a 32-bit top-down DIB, for reading back what was drawn
// pixel by pixel (CreateDIBSection, row 0 at the top).
#include <windows.h>

namespace harness {

inline BITMAPINFO TopDownDib32(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace harness
