#pragma once
// The skinned dialog: no title bar, a background picture read from a file
// that also sets the window's size, a white erase, dragging by any point not
// covered by a control, and static texts drawn straight onto the picture
// (transparent) or on a fixed cell colour.
//
// A derived dialog calls, in OnInitDialog:
//   RemoveCaption();
//   LoadBackground("images/download_bg.bmp", /*topmost=*/true);
//   SetStaticCellColour(IDC_DOWN_FILE_TEXT, RGB(250, 252, 228));   // optional, per label
// and chains its message table to CSkinDialog::Table().
#include <Dialog.h>

#include <windows.h>

#include <map>
#include <string>

class CSkinDialog : public Dialog {
public:
  explicit CSkinDialog(UINT templateId, HWND parent = nullptr);
  ~CSkinDialog() override;

  static const MessageTable& Table();
  const MessageTable& Messages() const override { return Table(); }

  // Drops the title bar and dialog frame bits.
  void RemoveCaption();
  // Loads a .bmp file (relative to the current directory), sizes the window
  // to it and centres it on the primary screen, top-most or not. False (and
  // the template's size and place kept) when the file cannot be used.
  bool LoadBackground(const std::string& fileName, bool topmost);
  // Static control `id` gets black text on `colour` instead of transparent text.
  void SetStaticCellColour(int id, COLORREF colour);

  HBITMAP Background() const { return background_; }
  SIZE BackgroundSize() const { return backgroundSize_; }

protected:
  bool EraseBackground(WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool PaintBackground(WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool HitTest(WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool StaticColour(WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
  HBITMAP background_ = nullptr;
  SIZE backgroundSize_ = {0, 0};
  std::map<int, COLORREF> cellColours_;
};
