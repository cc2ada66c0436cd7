#include "NinePartLayout.h"

std::array<FaceCopy, kFaceCopyCount> NinePartCopies(int frameIndex, int frameCount, int stripWidth,
                                                     int stripHeight, int faceWidth, int faceHeight,
                                                     const SkinMargins& m) {
  const int fw = frameCount > 0 ? stripWidth / frameCount : 0;
  const int H = stripHeight;
  const int x0 = frameIndex * fw;
  const int w = faceWidth;
  const int h = faceHeight;
  const int T = m.top, B = m.bottom, L = m.left, R = m.right;
  const int midW = w - R - L, midH = h - B - T;
  const int srcMidW = fw - R - L, srcMidH = H - B - T;
  return {{
      {{0, 0, L, T}, {x0, 0, L, T}, false},                                  // top-left
      {{0, h - B, L, B}, {x0, H - B, L, B}, false},                          // bottom-left
      {{w - R, 0, R, T}, {x0 + fw - R, 0, R, T}, false},                     // top-right
      {{w - R, h - B, R, B}, {x0 + fw - R, H - B, R, B}, false},             // bottom-right
      {{L, T, midW, midH}, {x0 + L, T, srcMidW, srcMidH}, true},             // centre
      {{L, 0, midW, T}, {x0 + L, 0, srcMidW, T}, true},                      // top edge
      {{L, h - B, midW, B}, {x0 + L, H - B, srcMidW, B}, true},              // bottom edge
      {{0, T, L, midH}, {x0, T, L, srcMidH}, true},                          // left edge
      {{w - R, T, R, midH}, {x0 + fw - R, T, R, srcMidH}, true},             // right edge
  }};
}
