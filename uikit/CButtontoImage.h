#pragma once
// An owner-drawn push button whose faces are cut from a bitmap strip of four
// frames (normal, pressed, alternate pressed, alternate normal), scaled to the
// button's client size once at LoadSkin and drawn with magenta as the
// transparent key colour. No caption, no hover face.
//
// In a dialog: Attach(dialogHwnd, id) the BS_OWNERDRAW item, then LoadSkin;
// the dialog reflects WM_DRAWITEM to DrawItem.
#include <Button.h>

#include <windows.h>

#include "SkinTable.h"

class CButtontoImage : public Button {
public:
  static constexpr int kFaceCount = 4;
  // Face numbers for DrawFace.
  enum Face { kFaceNormal = 0, kFacePressed = 1, kFaceAltNormal = 2, kFaceAltPressed = 3 };

  CButtontoImage() = default;
  ~CButtontoImage() override;

  // Loads strip `bitmapId` from this module's resources and builds the four
  // faces; false when the resource is missing or a face cannot be built.
  bool LoadSkin(int bitmapId, int frameCount, int top, int bottom, int left, int right);
  bool LoadSkin(const SkinRow& row);
  // The same from a strip the caller owns (the strip is not kept).
  bool LoadSkinFromStrip(HBITMAP strip, int frameCount, const SkinMargins& margins);

  // Scales frame `frameIndex` of `strip` to the client size into face `face`.
  bool BuildFace(HBITMAP strip, int face, int frameIndex, int frameCount);
  // Draws face 0-3 onto `memDC`, leaving key-coloured pixels untouched.
  void DrawFace(HDC memDC, int face);
  bool DrawItem(const DRAWITEMSTRUCT& item) override;

  // Non-zero: the alternate faces are drawn. The owner repaints after a change.
  int m_alternate = 0;

  bool FacesBuilt() const { return facesBuilt_ > 0; }
  int BitmapId() const { return bitmapId_; }
  HBITMAP FaceBitmap(int face) const { return face >= 0 && face < kFaceCount ? faces_[face] : nullptr; }

private:
  void DeleteFaces();

  int facesBuilt_ = 0;
  int bitmapId_ = 0;
  int frameCount_ = 0;
  HBITMAP faces_[kFaceCount] = {};
  SkinMargins margins_ = {8, 8, 8, 17};
  COLORREF transparentKey_ = RGB(255, 0, 255);
};
