#include "CMemDC.h"

CMemDC::CMemDC(HDC target, const RECT& rect) : target_(target), rect_(rect) {
  dc_ = CreateCompatibleDC(target_);
  bitmap_ = CreateCompatibleBitmap(target_, rect_.right - rect_.left, rect_.bottom - rect_.top);
  if (!dc_ || !bitmap_) return;
  previousBitmap_ = SelectObject(dc_, bitmap_);
  SetWindowOrgEx(dc_, rect_.left, rect_.top, nullptr);
  FillRect(dc_, &rect_, GetSysColorBrush(COLOR_BTNFACE));
}

CMemDC::~CMemDC() {
  if (dc_ && bitmap_) {
    BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, dc_,
           rect_.left, rect_.top, SRCCOPY);
    SelectObject(dc_, previousBitmap_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}
