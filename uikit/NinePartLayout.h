#pragma once
// The nine copies that scale one frame of a button strip to a button's size:
// four corners copied 1:1, then centre and edges stretched. Later copies
// overwrite earlier ones where they overlap. Sizes may come out zero or
// negative; they are passed to the blits unchanged. No OS code here.
#include <array>

#include "SkinTable.h"

struct BlitBox {
  int x;
  int y;
  int width;
  int height;
};

struct FaceCopy {
  BlitBox dest;
  BlitBox source;  // in strip coordinates
  bool stretch;    // false: plain 1:1 copy of dest's size
};

constexpr int kFaceCopyCount = 9;

// frameIndex of frameCount frames in a strip of stripWidth x stripHeight,
// scaled to a face of faceWidth x faceHeight.
std::array<FaceCopy, kFaceCopyCount> NinePartCopies(int frameIndex, int frameCount, int stripWidth,
                                                     int stripHeight, int faceWidth, int faceHeight,
                                                     const SkinMargins& margins);
