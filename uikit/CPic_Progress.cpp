#include "CPic_Progress.h"

#include <ModuleInstance.h>
#include <TextConversion.h>

#include "ProgressGeometry.h"

namespace {
const wchar_t kWindowClass[] = L"Haulbox_Pic_Progress";

COLORREF EffectiveBackground(COLORREF colour) { return colour == 0 ? RGB(200, 200, 200) : colour; }

TRIVERTEX Vertex(int x, int y, COLORREF colour) {
  TRIVERTEX vertex = {};
  vertex.x = x;
  vertex.y = y;
  vertex.Red = static_cast<COLOR16>(GetRValue(colour) << 8);
  vertex.Green = static_cast<COLOR16>(GetGValue(colour) << 8);
  vertex.Blue = static_cast<COLOR16>(GetBValue(colour) << 8);
  vertex.Alpha = 0;
  return vertex;
}
}  // namespace

CPic_Progress::~CPic_Progress() { Destroy(); }

bool CPic_Progress::RegisterWindowClass() {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(ModuleInstance(), kWindowClass, &existing)) return true;
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0;
}

bool CPic_Progress::CreateOver(HWND parent, int id, int placeholderId) {
  HWND placeholder = GetDlgItem(parent, placeholderId);
  if (!placeholder) return false;
  RECT rect;
  GetWindowRect(placeholder, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return Create(parent, id, rect);
}

bool CPic_Progress::Create(HWND parent, int id, const RECT& rect) {
  if (Hwnd() || !RegisterWindowClass()) return false;
  HWND window = CreateWindowExW(WS_EX_STATICEDGE, kWindowClass, L"", WS_CHILD | WS_VISIBLE, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
  if (!window) return false;
  // The bar sits over its placeholder, above it in paint order.
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!Attach(window) || !Subclass()) {
    DestroyWindow(window);
    return false;
  }
  CreateSurface();
  if (memoryDC_ && surface_) {
    HGDIOBJ previous = SelectObject(memoryDC_, surface_);
    Rectangle(memoryDC_, 0, 0, surfaceSize_.cx, surfaceSize_.cy);
    SelectObject(memoryDC_, previous);
  }
  font_ = CreateFontW(12, 0, 0, 0, FW_THIN, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                      Widen("굴림").c_str());
  return true;
}

void CPic_Progress::Destroy() {
  HWND window = Hwnd();
  DeleteSurface();
  if (font_) DeleteObject(font_);
  font_ = nullptr;
  if (window) {
    Detach();
    DestroyWindow(window);
  }
}

void CPic_Progress::CreateSurface() {
  GetClientRect(Hwnd(), &client_);
  HDC windowDC = GetDC(Hwnd());
  memoryDC_ = CreateCompatibleDC(windowDC);
  surfaceSize_ = {client_.right - client_.left, client_.bottom - client_.top};
  surface_ = CreateCompatibleBitmap(windowDC, surfaceSize_.cx, surfaceSize_.cy);
  ReleaseDC(Hwnd(), windowDC);
}

void CPic_Progress::DeleteSurface() {
  if (surface_) DeleteObject(surface_);
  if (memoryDC_) DeleteDC(memoryDC_);
  surface_ = nullptr;
  memoryDC_ = nullptr;
  surfaceSize_ = {0, 0};
}

void CPic_Progress::SetRange(std::uint32_t minimum, std::uint32_t maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

void CPic_Progress::SetPos(std::uint32_t position, bool redraw) {
  if (!ProgressAcceptsPos(position, minimum_, maximum_, position_)) return;
  position_ = position;
  if (redraw && Hwnd()) InvalidateRect(Hwnd(), nullptr, TRUE);
}

bool CPic_Progress::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_PAINT:
      Paint();
      result = 0;
      return true;
    case WM_SIZE:
      result = CallOriginal(message, wParam, lParam);
      if (memoryDC_ && surface_) {
        DeleteSurface();
        CreateSurface();
      }
      return true;
    case WM_DESTROY:
      DeleteSurface();
      if (font_) DeleteObject(font_);
      font_ = nullptr;
      return false;
    default:
      return false;
  }
}

void CPic_Progress::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Hwnd(), &paint);
  if (dc) PaintTo(dc);
  EndPaint(Hwnd(), &paint);
}

void CPic_Progress::PaintTo(HDC target) {
  if (!memoryDC_ || !surface_) return;
  HGDIOBJ previousBitmap = SelectObject(memoryDC_, surface_);

  HBRUSH background = CreateSolidBrush(EffectiveBackground(backgroundColour_));
  FillRect(memoryDC_, &client_, background);
  DeleteObject(background);

  const int width = ProgressFillWidth(position_, minimum_, maximum_, client_.right - client_.left);
  if (width > 0) {
    TRIVERTEX vertices[2] = {Vertex(client_.left, client_.top, barStartColour_),
                             Vertex(client_.left + width, client_.bottom, barEndColour_)};
    GRADIENT_RECT gradient = {0, 1};
    GradientFill(memoryDC_, vertices, 2, &gradient, 1, GRADIENT_FILL_RECT_H);
  }

  SetTextColor(memoryDC_, textColour_);
  HGDIOBJ previousFont = SelectObject(memoryDC_, font_);
  int previousMode = SetBkMode(memoryDC_, TRANSPARENT);
  RECT textRect = client_;
  std::wstring caption = Widen(m_caption);
  DrawTextW(memoryDC_, caption.c_str(), static_cast<int>(caption.size()), &textRect,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SetBkMode(memoryDC_, previousMode);
  SelectObject(memoryDC_, previousFont);

  BitBlt(target, 0, 0, client_.right - client_.left, client_.bottom - client_.top, memoryDC_, 0, 0, SRCCOPY);
  SelectObject(memoryDC_, previousBitmap);
}
