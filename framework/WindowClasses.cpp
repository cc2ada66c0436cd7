#include "WindowClasses.h"

#include "ModuleInstance.h"

namespace {

bool ClassExists(const std::wstring& name, HINSTANCE instance) {
  WNDCLASSW info;
  return GetClassInfoW(instance, name.c_str(), &info) != FALSE;
}

LRESULT CALLBACK PlaceholderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) {
    RECT rect;
    GetClientRect(hwnd, &rect);
    FillRect(reinterpret_cast<HDC>(wParam), &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 1;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

bool RegisterDialogClassCopy(const std::wstring& name) {
  HINSTANCE instance = ModuleInstance();
  if (ClassExists(name, instance)) return true;
  WNDCLASSW dialogClass;
  if (!GetClassInfoW(nullptr, L"#32770", &dialogClass)) return false;
  dialogClass.hInstance = instance;
  dialogClass.lpszClassName = name.c_str();
  return RegisterClassW(&dialogClass) != 0;
}

bool RegisterPlaceholderControlClass(const std::wstring& name) {
  HINSTANCE instance = ModuleInstance();
  if (ClassExists(name, instance) || ClassExists(name, nullptr)) return true;
  WNDCLASSW placeholder = {};
  placeholder.lpfnWndProc = PlaceholderProc;
  placeholder.hInstance = instance;
  placeholder.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  placeholder.lpszClassName = name.c_str();
  // Global, so that dialog creation finds it whichever instance it searches with.
  placeholder.style = CS_GLOBALCLASS;
  return RegisterClassW(&placeholder) != 0;
}
