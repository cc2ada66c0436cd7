#pragma once
// Every skin button of both programs: the strip each one is cut from and the
// border bands passed to CButtontoImage::LoadSkin. No OS code here.
#include <cstddef>

enum class SkinWindow { DownloaderMain, DownloaderSettings, UploaderMain, UploaderSettings };

struct SkinMargins {
  int top;
  int bottom;
  int left;
  int right;
};

struct SkinRow {
  SkinWindow window;
  int controlId;
  int bitmapId;
  int stripWidth;   // pixels of the resource bitmap, four frames side by side
  int stripHeight;
  int bitsPerPixel;
  SkinMargins margins;
};

constexpr int kSkinFrameCount = 4;

// Frames of a strip, left to right.
enum SkinFrame { kFrameNormal = 0, kFramePressed = 1, kFrameAltPressed = 2, kFrameAltNormal = 3 };

const SkinRow* SkinRows(std::size_t* count);

// The row of a window's control, or nullptr when that control has no skin.
const SkinRow* FindSkin(SkinWindow window, int controlId);
