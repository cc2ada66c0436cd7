#pragma once
// An off-screen surface for one drawing pass: a memory context with a bitmap
// the size of the target rectangle, filled with the button-face colour, using
// the target's coordinates. Its destruction copies the rectangle to the target.
#include <windows.h>

class CMemDC {
public:
  CMemDC(HDC target, const RECT& rect);
  ~CMemDC();
  CMemDC(const CMemDC&) = delete;
  CMemDC& operator=(const CMemDC&) = delete;

  HDC Hdc() const { return dc_; }
  operator HDC() const { return dc_; }

private:
  HDC target_;
  RECT rect_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
};
