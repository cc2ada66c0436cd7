#include "NinePartLayout.h"

namespace {
// Where the margins take the whole frame (or more) there is no middle to
// stretch; a face larger than the frame then stretches one line of the frame instead of
// reaching outside it (which painted a black bar across the button).
struct SourceSpan {
  int start;
  int length;
};
SourceSpan MiddleSpan(int start, int length, int destLength, int frameStart, int frameLength) {
  if (length > 0 || destLength <= 0 || frameLength <= 0) return {start, length};
  int line = start - 1;
  if (line < frameStart) line = frameStart;
  if (line > frameStart + frameLength - 1) line = frameStart + frameLength - 1;
  return {line, 1};
}
}  // namespace

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
  const SourceSpan midX = MiddleSpan(x0 + L, fw - R - L, midW, x0, fw);
  const SourceSpan midY = MiddleSpan(T, H - B - T, midH, 0, H);
  return {{
      {{0, 0, L, T}, {x0, 0, L, T}, false},                                  // top-left
      {{0, h - B, L, B}, {x0, H - B, L, B}, false},                          // bottom-left
      {{w - R, 0, R, T}, {x0 + fw - R, 0, R, T}, false},                     // top-right
      {{w - R, h - B, R, B}, {x0 + fw - R, H - B, R, B}, false},             // bottom-right
      {{L, T, midW, midH}, {midX.start, midY.start, midX.length, midY.length}, true},  // centre
      {{L, 0, midW, T}, {midX.start, 0, midX.length, T}, true},              // top edge
      {{L, h - B, midW, B}, {midX.start, H - B, midX.length, B}, true},      // bottom edge
      {{0, T, L, midH}, {x0, midY.start, L, midY.length}, true},             // left edge
      {{w - R, T, R, midH}, {x0 + fw - R, midY.start, R, midY.length}, true},  // right edge
  }};
}
