#include "UiTestSupport.h"

#include <cstdio>

#include "Control.h"
#include "Dib32.h"

namespace uitest {
namespace {

const wchar_t kParentClass[] = L"HaulboxUiTestParent";

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWITEM && lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (Control* control = Control::FromHandle(item->hwndItem)) {
      if (control->DrawItem(*item)) return TRUE;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterParentClass() {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kParentClass, &existing)) return;
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ParentProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kParentClass;
  RegisterClassExW(&windowClass);
}

struct Script {
  const std::vector<Step>* steps;
  int fallbackCommand;
  DWORD graceTicks;
  int next = 0;
  DWORD idleTicks = 0;
  bool leftOpen = false;
};
Script* g_script = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (IsWindowVisible(window) && std::wstring(name) == L"#32770") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

HWND ThreadDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
  Script* script = g_script;
  if (!script) return;
  HWND dialog = ThreadDialog();
  if (!dialog) return;
  if (script->next < static_cast<int>(script->steps->size())) {
    (*script->steps)[script->next++](dialog);
    return;
  }
  if (++script->idleTicks >= script->graceTicks) {
    script->leftOpen = true;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(script->fallbackCommand, BN_CLICKED), 0);
  }
}

}  // namespace

// One top-level window serves every test of the process: destroying a
// mapped top-level window costs Wine about two seconds without a window
// manager, so each test only removes its children.
ParentWindow::ParentWindow(int width, int height) {
  static HWND shared = nullptr;
  if (!shared || !IsWindow(shared)) {
    RegisterParentClass();
    shared = CreateWindowExW(0, kParentClass, L"ui test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                             width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  hwnd_ = shared;
  SetWindowPos(hwnd_, nullptr, 20, 20, width, height, SWP_NOZORDER);
}

ParentWindow::~ParentWindow() {
  while (HWND child = GetWindow(hwnd_, GW_CHILD)) DestroyWindow(child);
}

HWND ParentWindow::AddChild(const wchar_t* className, DWORD style, int id, int x, int y, int width,
                            int height) {
  return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, x, y, width, height, hwnd_,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                         nullptr);
}

Surface::Surface(int width, int height, COLORREF fill) {
  BITMAPINFO info = harness::TopDownDib32(width, height);
  void* bits = nullptr;
  dc_ = CreateCompatibleDC(nullptr);
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  previous_ = SelectObject(dc_, bitmap_);
  RECT all = {0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(fill);
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
}

Surface::~Surface() {
  if (previous_) SelectObject(dc_, previous_);
  if (bitmap_) DeleteObject(bitmap_);
  DeleteDC(dc_);
}

HBITMAP Surface::Release() {
  SelectObject(dc_, previous_);
  previous_ = nullptr;
  HBITMAP bitmap = bitmap_;
  bitmap_ = nullptr;
  return bitmap;
}

std::string Hex(COLORREF colour) {
  char text[32];
  std::snprintf(text, sizeof text, "RGB(%d,%d,%d)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
  return text;
}

ScriptResult RunModal(const std::function<void()>& run, const std::vector<Step>& steps,
                      int fallbackCommand, DWORD intervalMs, DWORD graceMs) {
  Script script{&steps, fallbackCommand, graceMs / intervalMs + 1};
  g_script = &script;
  UINT_PTR timer = SetTimer(nullptr, 0, intervalMs, ScriptTick);
  run();
  KillTimer(nullptr, timer);
  g_script = nullptr;
  return {script.next, script.leftOpen};
}

void PressKey(HWND dialog, UINT virtualKey) {
  HWND target = GetFocus();
  if (!target || (target != dialog && !IsChild(dialog, target))) target = dialog;
  PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
  PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
}

void ClickItem(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

}  // namespace uitest
