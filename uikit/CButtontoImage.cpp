#include "CButtontoImage.h"

#include <ModuleInstance.h>

#include "CMemDC.h"
#include "NinePartLayout.h"

namespace {

// A memory context with one object selected, restored on destruction.
class SelectedDC {
public:
  SelectedDC(HDC compatibleWith, HGDIOBJ object) : dc_(CreateCompatibleDC(compatibleWith)) {
    if (dc_ && object) previous_ = SelectObject(dc_, object);
  }
  ~SelectedDC() {
    if (!dc_) return;
    if (previous_) SelectObject(dc_, previous_);
    DeleteDC(dc_);
  }
  SelectedDC(const SelectedDC&) = delete;
  SelectedDC& operator=(const SelectedDC&) = delete;
  HDC Get() const { return dc_; }
  bool Ok() const { return dc_ && previous_; }

private:
  HDC dc_;
  HGDIOBJ previous_ = nullptr;
};

bool CopyPart(HDC dest, HDC source, const FaceCopy& copy) {
  if (copy.stretch) {
    return StretchBlt(dest, copy.dest.x, copy.dest.y, copy.dest.width, copy.dest.height, source,
                      copy.source.x, copy.source.y, copy.source.width, copy.source.height,
                      SRCCOPY) != FALSE;
  }
  return BitBlt(dest, copy.dest.x, copy.dest.y, copy.dest.width, copy.dest.height, source,
                copy.source.x, copy.source.y, SRCCOPY) != FALSE;
}

// A 24-bit copy of a strip. 32-bit strips carry an alpha byte that makes
// their key-coloured pixels differ from the key when Wine builds the
// transparency mask; the copy has none.
HBITMAP OpaqueCopy(HBITMAP strip) {
  BITMAP info;
  if (!GetObjectW(strip, sizeof info, &info) || info.bmBitsPixel != 32) return nullptr;
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = info.bmWidth;
  format.bmiHeader.biHeight = info.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 24;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!copy) return nullptr;
  SelectedDC source(nullptr, strip);
  SelectedDC dest(nullptr, copy);
  if (!source.Ok() || !dest.Ok() ||
      !BitBlt(dest.Get(), 0, 0, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY)) {
    DeleteObject(copy);
    return nullptr;
  }
  return copy;
}

}  // namespace

CButtontoImage::~CButtontoImage() { DeleteFaces(); }

void CButtontoImage::DeleteFaces() {
  for (HBITMAP& face : faces_) {
    if (face) DeleteObject(face);
    face = nullptr;
  }
}

bool CButtontoImage::LoadSkin(int bitmapId, int frameCount, int top, int bottom, int left, int right) {
  margins_ = {top, bottom, left, right};
  bitmapId_ = bitmapId;
  frameCount_ = frameCount;
  auto strip = static_cast<HBITMAP>(LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(bitmapId),
                                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!strip) return false;
  bool built = LoadSkinFromStrip(strip, frameCount, margins_);
  DeleteObject(strip);
  return built;
}

bool CButtontoImage::LoadSkin(const SkinRow& row) {
  return LoadSkin(row.bitmapId, kSkinFrameCount, row.margins.top, row.margins.bottom,
                  row.margins.left, row.margins.right);
}

bool CButtontoImage::LoadSkinFromStrip(HBITMAP strip, int frameCount, const SkinMargins& margins) {
  margins_ = margins;
  frameCount_ = frameCount;
  HBITMAP opaque = OpaqueCopy(strip);
  if (opaque) strip = opaque;
  // Faces in strip order: frame 2 is the alternate pressed face, frame 3 the alternate normal one.
  const bool built = BuildFace(strip, kFaceNormal, kFrameNormal, frameCount) &&
                     BuildFace(strip, kFacePressed, kFramePressed, frameCount) &&
                     BuildFace(strip, kFaceAltPressed, kFrameAltPressed, frameCount) &&
                     BuildFace(strip, kFaceAltNormal, kFrameAltNormal, frameCount);
  if (opaque) DeleteObject(opaque);
  return built;
}

bool CButtontoImage::BuildFace(HBITMAP strip, int face, int frameIndex, int frameCount) {
  if (!Hwnd() || !strip || face < 0 || face >= kFaceCount) return false;
  BITMAP info;
  if (!GetObjectW(strip, sizeof info, &info)) return false;
  RECT client;
  GetClientRect(Hwnd(), &client);

  HDC windowDC = GetDC(Hwnd());
  if (!windowDC) return false;
  if (faces_[face]) DeleteObject(faces_[face]);
  faces_[face] = CreateCompatibleBitmap(windowDC, client.right - client.left, client.bottom - client.top);
  bool ok = faces_[face] != nullptr;
  if (ok) {
    SelectedDC source(windowDC, strip);
    SelectedDC dest(windowDC, faces_[face]);
    ok = source.Ok() && dest.Ok();
    const auto copies = NinePartCopies(frameIndex, frameCount, info.bmWidth, info.bmHeight,
                                       client.right - client.left, client.bottom - client.top, margins_);
    for (const FaceCopy& copy : copies) {
      if (!ok) break;
      // Only the corner copies decide success; the stretched parts may have
      // empty or negative sizes and then draw nothing visible.
      if (!CopyPart(dest.Get(), source.Get(), copy) && !copy.stretch) ok = false;
    }
  }
  ReleaseDC(Hwnd(), windowDC);
  if (ok) facesBuilt_ = 1;
  return ok;
}

void CButtontoImage::DrawFace(HDC memDC, int face) {
  if (facesBuilt_ <= 0 || face < 0 || face >= kFaceCount || !faces_[face]) return;
  RECT client;
  GetClientRect(Hwnd(), &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;

  COLORREF oldText = SetTextColor(memDC, RGB(0, 0, 0));
  COLORREF oldBack = SetBkColor(memDC, RGB(255, 255, 255));
  HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
  {
    SelectedDC faceDC(memDC, faces_[face]);
    SelectedDC maskDC(memDC, mask);
    if (faceDC.Ok() && maskDC.Ok()) {
      // Key-coloured pixels become 1 (white) in the mask, all others 0.
      SetBkColor(faceDC.Get(), transparentKey_);
      BitBlt(maskDC.Get(), 0, 0, width, height, faceDC.Get(), 0, 0, SRCCOPY);
      BitBlt(memDC, 0, 0, width, height, faceDC.Get(), 0, 0, SRCINVERT);
      BitBlt(memDC, 0, 0, width, height, maskDC.Get(), 0, 0, SRCAND);
      BitBlt(memDC, 0, 0, width, height, faceDC.Get(), 0, 0, SRCINVERT);
    }
  }
  if (mask) DeleteObject(mask);
  SetBkColor(memDC, oldBack);
  SetTextColor(memDC, oldText);
}

bool CButtontoImage::DrawItem(const DRAWITEMSTRUCT& item) {
  RECT client;
  GetClientRect(Hwnd(), &client);
  CMemDC memDC(item.hDC, client);
  const bool pressed = (item.itemState & ODS_FOCUS) && (item.itemState & ODS_SELECTED);
  if (!m_alternate) {
    DrawFace(memDC, kFaceNormal);
    if (pressed) DrawFace(memDC, kFacePressed);
  } else {
    DrawFace(memDC, kFaceAltNormal);
    if (pressed) DrawFace(memDC, kFaceAltPressed);
  }
  return true;
}
