// A stand-in transfer program for the launcher window's tests, started by
// the launcher like the real ones (no arguments). It reads what to do from
// "<its own path>.txt", lines of key=value:
//   class=<main window class>        required
//   tag=<dwData of its ready message>
//   ready=<ready text>               absent: it never announces itself
//   record=<file>                    each hand-off received is appended as
//                                    "tag=<dwData> from=<class of wParam's window> text=<text>"
//   stay=1                           it does not end after a hand-off
//   reannounce=1                     on its first hand-off it announces itself
//                                    again before it records the hand-off
//   hang_ms=<n>                      it handles no message for n ms once its
//                                    window exists
// It announces itself to the first "HAULbox_AX_EXE" window, ends after its
// first hand-off (unless stay=1), on WM_CLOSE, or after 30 s.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

namespace {

std::map<std::string, std::string> g_config;

std::map<std::string, std::string> ReadConfig() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::ifstream file((std::wstring(path) + L".txt").c_str());
  std::map<std::string, std::string> config;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t equals = line.find('=');
    if (equals != std::string::npos) config[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return config;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

void Record(const COPYDATASTRUCT& data, HWND sender) {
  char senderClass[64] = "";
  if (sender) GetClassNameA(sender, senderClass, sizeof senderClass);
  std::string text;
  if (data.lpData && data.cbData > 0) text.assign(static_cast<const char*>(data.lpData), data.cbData - 1);
  std::ofstream record(g_config["record"], std::ios::app | std::ios::binary);
  record << "tag=" << data.dwData << " from=" << senderClass << " text=" << text << "\n";
}

void AnnounceReady(HWND window);

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static bool reannounced = false;
  switch (message) {
    case WM_COPYDATA:
      if (g_config["reannounce"] == "1" && !reannounced) {
        reannounced = true;
        AnnounceReady(window);
      }
      Record(*reinterpret_cast<const COPYDATASTRUCT*>(lParam), reinterpret_cast<HWND>(wParam));
      if (g_config["stay"] != "1") PostMessageW(window, WM_CLOSE, 0, 0);
      return TRUE;
    case WM_TIMER:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void AnnounceReady(HWND window) {
  if (!g_config.count("ready")) return;
  HWND launcher = FindWindowW(L"HAULbox_AX_EXE", nullptr);
  if (!launcher) return;
  const std::string& text = g_config["ready"];
  COPYDATASTRUCT data{};
  data.dwData = static_cast<ULONG_PTR>(std::strtoull(g_config["tag"].c_str(), nullptr, 10));
  data.cbData = static_cast<DWORD>(text.size() + 1);
  data.lpData = const_cast<char*>(text.c_str());
  SendMessageW(launcher, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&data));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  g_config = ReadConfig();
  std::wstring className = Wide(g_config["class"]);
  if (className.empty()) return 2;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = className.c_str();
  if (!RegisterClassW(&windowClass)) return 3;
  HWND window = CreateWindowExW(0, className.c_str(), L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
  if (!window) return 4;
  SetTimer(window, 1, 30000, nullptr);
  if (g_config.count("hang_ms")) Sleep(static_cast<DWORD>(std::strtoul(g_config["hang_ms"].c_str(), nullptr, 10)));
  AnnounceReady(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
