#include "CSkinDialog.h"

#include <TextConversion.h>

CSkinDialog::CSkinDialog(UINT templateId, HWND parent) : Dialog(templateId, parent) {}

CSkinDialog::~CSkinDialog() {
  if (background_) DeleteObject(background_);
}

const MessageTable& CSkinDialog::Table() {
  static const MessageEntry entries[] = {
      messages::Message(WM_ERASEBKGND, &CSkinDialog::EraseBackground),
      messages::Message(WM_PAINT, &CSkinDialog::PaintBackground),
      messages::Message(WM_NCHITTEST, &CSkinDialog::HitTest),
      messages::Message(WM_CTLCOLORSTATIC, &CSkinDialog::StaticColour),
  };
  static const MessageTable table(entries, &Dialog::Table());
  return table;
}

void CSkinDialog::RemoveCaption() {
  LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
  SetWindowLongPtrW(Hwnd(), GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
  SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool CSkinDialog::LoadBackground(const std::string& fileName, bool topmost) {
  auto bitmap = static_cast<HBITMAP>(
      LoadImageW(nullptr, Widen(fileName).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!bitmap) return false;
  BITMAP info;
  if (!GetObjectW(bitmap, sizeof info, &info)) {
    DeleteObject(bitmap);
    return false;
  }
  if (background_) DeleteObject(background_);
  background_ = bitmap;
  backgroundSize_ = {info.bmWidth, info.bmHeight};
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - info.bmWidth / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - info.bmHeight / 2;
  SetWindowPos(Hwnd(), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, x, y, info.bmWidth, info.bmHeight,
               SWP_NOACTIVATE);
  return true;
}

void CSkinDialog::SetStaticCellColour(int id, COLORREF colour) { cellColours_[id] = colour; }

bool CSkinDialog::EraseBackground(WPARAM wParam, LPARAM, LRESULT& result) {
  RECT rect;
  GetWindowRect(Hwnd(), &rect);
  MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
  FillRect(reinterpret_cast<HDC>(wParam), &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  result = TRUE;
  return true;
}

bool CSkinDialog::PaintBackground(WPARAM, LPARAM, LRESULT& result) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Hwnd(), &paint);
  if (dc && background_) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, background_);
    BitBlt(dc, 0, 0, backgroundSize_.cx, backgroundSize_.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
  }
  EndPaint(Hwnd(), &paint);
  result = 0;
  return true;
}

bool CSkinDialog::HitTest(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  LRESULT hit = DefWindowProcW(Hwnd(), WM_NCHITTEST, wParam, lParam);
  if (hit != HTCLIENT) return false;
  result = HTCAPTION;
  return true;
}

bool CSkinDialog::StaticColour(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  HWND control = reinterpret_cast<HWND>(lParam);
  // Read-only edits ask here too; without a brush of their own, text they
  // replace would stay on the screen.
  wchar_t className[16] = {};
  GetClassNameW(control, className, 16);
  if (lstrcmpiW(className, L"Edit") == 0) return false;
  const int id = GetDlgCtrlID(control);
  auto cell = cellColours_.find(id);
  if (cell != cellColours_.end()) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, cell->second);
    SetBkMode(dc, OPAQUE);
  } else {
    SetBkMode(dc, TRANSPARENT);
  }
  result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  return true;
}
