// A small program for the harness's own tests, started as a child process:
//   HarnessTarget window <class> <exit code>  a window of <class>; WM_COPYDATA
//                                             is recorded in the registry, WM_CLOSE
//                                             ends the program with <exit code>
//   HarnessTarget messagebox                  a message box; exits with its answer
//   HarnessTarget hang                        does nothing for a minute
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

const wchar_t kRecordPath[] = L"Software\\HaulboxTests\\HarnessTarget";
int g_exitCode = 0;

void RecordCopyData(HWND sender, const COPYDATASTRUCT& data) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRecordPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  DWORD tag = static_cast<DWORD>(data.dwData);
  RegSetValueExW(key, L"Tag", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&tag), sizeof tag);
  DWORD hasSender = sender != nullptr;
  RegSetValueExW(key, L"HasSender", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hasSender), sizeof hasSender);
  std::string bytes(static_cast<const char*>(data.lpData), data.cbData);
  std::wstring text(bytes.size() + 1, L'\0');
  int length = MultiByteToWideChar(949, 0, bytes.c_str(), -1, &text[0], static_cast<int>(text.size()));
  text.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
  RegSetValueExW(key, L"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

LRESULT CALLBACK TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA:
      RecordCopyData(reinterpret_cast<HWND>(wParam), *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(g_exitCode);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

int RunWindow(HINSTANCE instance, const wchar_t* className, int exitCode) {
  g_exitCode = exitCode;
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = TargetProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = className;
  if (!RegisterClassW(&windowClass)) return 100;
  HWND window = CreateWindowW(className, L"하니스 대상", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                              nullptr, nullptr, instance, nullptr);
  if (!window) return 101;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count < 2) return 99;
  std::wstring mode = arguments[1];
  if (mode == L"window" && count >= 4) return RunWindow(instance, arguments[2], _wtoi(arguments[3]));
  if (mode == L"messagebox") return MessageBoxW(nullptr, L"업로드를 완료했습니다", L"업로더", MB_OKCANCEL);
  if (mode == L"hang") {
    Sleep(60000);
    return 0;
  }
  return 98;
}
