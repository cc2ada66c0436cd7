// A program that carries one transfer program's resources and nothing else.
// Without arguments it ends at once (the resource checks only read its file).
//   resource_probe_down.exe <dialog id> <seconds>
// opens that template with a rough skin preview (background picture, frame 0
// of each button strip, sample texts) for the given time, so the artwork can
// be looked at in place.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

#ifdef PROBE_DOWN
#include "DownloaderRes.h"
static const wchar_t kMainClass[] = L"Haulbox_downloader";
static const wchar_t kMainPicture[] = L"download_bg.bmp";
#else
#include "UploaderRes.h"
static const wchar_t kMainClass[] = L"haulbox_uploader";
static const wchar_t kMainPicture[] = L"upload_bg.bmp";
#endif

namespace {

struct ButtonSkin {
  int dialog;
  int control;
  int bitmap;
};

#ifdef PROBE_DOWN
const ButtonSkin kSkins[] = {
    {102, 1001, 143}, {102, 1002, 142}, {102, 1003, 140}, {102, 1007, 138}, {102, 1008, 139},
    {102, 1009, 134}, {102, 1010, 131}, {102, 1011, 136}, {102, 1013, 133}, {102, 1014, 132},
    {102, 1016, 137}, {102, 1035, 179}, {102, 1036, 178}, {102, 1037, 180}, {102, 1046, 183},
    {191, 1003, 192}, {191, 1058, 194}, {191, 1070, 135},
};
const int kConfigDialog = 191;
#else
const ButtonSkin kSkins[] = {
    {102, 1007, 132}, {102, 1008, 134}, {102, 1009, 133}, {102, 1018, 150}, {102, 1019, 153},
    {102, 1020, 151}, {102, 1021, 145}, {102, 1022, 146}, {102, 1023, 155}, {102, 1027, 1027},
    {102, 1028, 154}, {102, 1048, 156}, {193, 1009, 194}, {193, 1054, 152}, {193, 1055, 196},
};
const int kConfigDialog = 193;
#endif

int g_dialog = 0;
HBITMAP g_background = nullptr;
SIZE g_backgroundSize = {0, 0};

std::wstring ImagesFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder.resize(folder.find_last_of(L'\\') + 1);
  // Probes live in bin/tests, the pictures in bin/images.
  return folder + L"..\\images\\";
}

void LoadBackground(HWND dialog) {
  std::wstring file = ImagesFolder() + (g_dialog == kConfigDialog ? L"config_bg.bmp" : kMainPicture);
  g_background = static_cast<HBITMAP>(LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!g_background) return;
  BITMAP info;
  GetObjectW(g_background, sizeof info, &info);
  g_backgroundSize = {info.bmWidth, info.bmHeight};
  SetWindowPos(dialog, nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOZORDER);
}

// Frame 0 of the control's strip, placed at the bottom-right corner as the
// skin buttons show a strip whose right band covers the frame.
void DrawButton(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  for (const ButtonSkin& skin : kSkins) {
    if (skin.dialog != g_dialog || skin.control != static_cast<int>(item.CtlID)) continue;
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(skin.bitmap), IMAGE_BITMAP, 0, 0, 0));
    if (!strip) return;
    BITMAP info;
    GetObjectW(strip, sizeof info, &info);
    int frameWidth = info.bmWidth / 4;
    int frame = (item.itemState & ODS_SELECTED) ? 1 : 0;
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(source, strip);
    int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
    TransparentBlt(item.hDC, w - frameWidth, h - info.bmHeight, frameWidth, info.bmHeight, source,
                   frame * frameWidth, 0, frameWidth, info.bmHeight, RGB(255, 0, 255));
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(strip);
  }
}

void FillSamples(HWND dialog) {
  if (g_dialog == kConfigDialog) {
    SetDlgItemTextW(dialog, IDC_CFG_FOLDER, L"C:\\Users\\Public\\Downloads");
    CheckDlgButton(dialog, IDC_CFG_OVERWRITE, BST_CHECKED);
    CheckDlgButton(dialog, IDC_CFG_AUTO_START, BST_CHECKED);
    CheckDlgButton(dialog, IDC_CFG_TRAY, BST_CHECKED);
    CheckDlgButton(dialog, IDC_CFG_END_SHOW_WINDOW, BST_CHECKED);
    return;
  }
  if (g_dialog != 102) return;
#ifdef PROBE_DOWN
  SetDlgItemTextW(dialog, IDC_DOWN_FILE_TEXT, L"'여름휴가_영상_1080p.mp4' 다운로드중");
  SetDlgItemTextW(dialog, IDC_DOWN_SPEED, L"2.4MB/s");
  SetDlgItemTextW(dialog, IDC_DOWN_TIME_LEFT, L"00:03:12");
  SetDlgItemTextW(dialog, IDC_DOWN_FOLDER_TEXT, L"C:\\Users\\Public\\Downloads");
  HWND list = GetDlgItem(dialog, IDC_DOWN_LIST);
#else
  SetDlgItemTextW(dialog, IDC_UP_FILE_TEXT, L"'프로젝트_발표자료.pptx' 업로드중");
  SetDlgItemTextW(dialog, IDC_UP_SPEED, L"1.1MB/s");
  SetDlgItemTextW(dialog, IDC_UP_TIME_LEFT, L"00:00:48");
  HWND list = GetDlgItem(dialog, IDC_UP_LIST);
#endif
  const wchar_t* headers[] = {L"파일명", L"크기", L"상태"};
  const int widths[] = {420, 100, 80};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(headers[i]);
    column.cx = widths[i];
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

INT_PTR CALLBACK ProbeDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
      SetWindowLongPtrW(dialog, GWL_STYLE, style & ~(WS_CAPTION | DS_MODALFRAME));
      LoadBackground(dialog);
      FillSamples(dialog);
      SetTimer(dialog, 1, static_cast<UINT>(lParam) * 1000, nullptr);
      return TRUE;
    }
    case WM_TIMER:
      EndDialog(dialog, 0);
      return TRUE;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(dialog, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      if (g_background) {
        HDC source = CreateCompatibleDC(reinterpret_cast<HDC>(wParam));
        HGDIOBJ old = SelectObject(source, g_background);
        BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, g_backgroundSize.cx, g_backgroundSize.cy, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
      }
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    case WM_DRAWITEM:
      DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    default:
      return FALSE;
  }
}

void RegisterTemplateClasses(HINSTANCE instance) {
  WNDCLASSEXW dialogClass = {};
  dialogClass.cbSize = sizeof dialogClass;
  GetClassInfoExW(nullptr, L"#32770", &dialogClass);
  dialogClass.hInstance = instance;
  dialogClass.lpszClassName = kMainClass;
  RegisterClassExW(&dialogClass);

  WNDCLASSEXW placeholder = {};
  placeholder.cbSize = sizeof placeholder;
  placeholder.lpfnWndProc = DefWindowProcW;
  placeholder.hInstance = instance;
  placeholder.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  placeholder.lpszClassName = WEB_BROWSER_CONTROL_CLASS_W;
  RegisterClassExW(&placeholder);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  int seconds = 0;
  if (swscanf(commandLine, L"%d %d", &g_dialog, &seconds) != 2) return 0;
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_LISTVIEW_CLASSES;
  InitCommonControlsEx(&controls);
  RegisterTemplateClasses(instance);
  INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(g_dialog), nullptr, ProbeDialog, seconds);
  return result == -1 ? 1 : 0;
}
