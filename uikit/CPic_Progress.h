#pragma once
// The painted progress bar of the transfer windows: a flat background, a
// horizontal gradient bar and a caption centred on top, drawn off-screen and
// copied in one blit.
//
// Owner protocol: CreateOver(dialog, 0, placeholderId) in OnInitDialog; per
// update SetRange(0, 1000), write m_caption, then SetPos(1), SetPos(0),
// SetPos(value) so the bar repaints even when the value did not change.
#include <Control.h>

#include <windows.h>

#include <cstdint>
#include <string>

class CPic_Progress : public Control {
public:
  CPic_Progress() = default;
  ~CPic_Progress() override;

  // Creates the bar over the placeholder control of `parent` (which stays
  // underneath), with control id `id`. False when it cannot be created.
  bool CreateOver(HWND parent, int id, int placeholderId);
  // Creates the bar at `rect` in the parent's client coordinates.
  bool Create(HWND parent, int id, const RECT& rect);
  void Destroy();

  void SetRange(std::uint32_t minimum, std::uint32_t maximum);
  // Ignored outside the range or when equal to the current position;
  // otherwise stored and, with `redraw`, the whole bar is invalidated.
  void SetPos(std::uint32_t position, bool redraw = true);

  std::uint32_t Pos() const { return position_; }
  std::uint32_t Minimum() const { return minimum_; }
  std::uint32_t Maximum() const { return maximum_; }
  SIZE SurfaceSize() const { return surfaceSize_; }

  // Caption drawn centred over the bar (CP949), written by the owner.
  std::string m_caption;

  // Draws the whole bar into `target` at (0, 0), as WM_PAINT does.
  void PaintTo(HDC target);

protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  static bool RegisterWindowClass();
  void CreateSurface();
  void DeleteSurface();
  void Paint();

  std::uint32_t position_ = 0;
  std::uint32_t maximum_ = 100;
  std::uint32_t minimum_ = 0;
  COLORREF textColour_ = RGB(0, 0, 0);
  COLORREF backgroundColour_ = RGB(232, 232, 232);
  COLORREF barStartColour_ = RGB(87, 180, 221);
  COLORREF barEndColour_ = RGB(87, 180, 221);
  HFONT font_ = nullptr;
  HDC memoryDC_ = nullptr;
  HBITMAP surface_ = nullptr;
  SIZE surfaceSize_ = {0, 0};
  RECT client_ = {0, 0, 0, 0};
};
