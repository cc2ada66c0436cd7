// A stand-in for the web control's launcher window, for tests and the demo.
//
//   launcher_standin [--upload] [--program <exe>] [--send] [--wait-ms N]
//                    <codes> <member id> <server number>
//
// Without --send it opens a window of class "HAULbox_AX_EXE", starts the
// downloader (with --upload the uploader; default: the program beside this
// one) and answers its ready message with the hand-off
// "Haulbox_downloader_Manager|codes|member|server" (uploader:
// "Haulbox_uploader_Manager|list code|member|server"). With --send it hands
// the job at once to the program that is already running. Exit status 0 when
// the hand-off was delivered, 1 when not (bad arguments, no ready message
// within the wait).
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "Handoff.h"
#include "TextConversion.h"

namespace {

// The program this run hands its job to, and the three hand-off fields
// joined by "|".
const TransferProgram* g_target = &kDownloaderProgram;
std::string g_fields;
bool g_delivered = false;

bool SendHandoff(const TransferProgram& program, HWND from) {
  HWND target = FindWindowW(program.windowClass, nullptr);
  if (!target) return false;
  const std::string text = std::string(program.handoffPrefix) + "|" + g_fields;
  COPYDATASTRUCT data{};
  data.dwData = program.tag;
  data.cbData = static_cast<DWORD>(text.size() + 1);
  data.lpData = const_cast<char*>(text.c_str());
  DWORD_PTR reply = 0;
  // The program handles the whole job inside this message (login, list).
  return SendMessageTimeoutW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(from),
                             reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 120000, &reply) != 0;
}

// The ready text with its zero byte, read only within the cbData bytes sent.
bool IsReadyMessage(const COPYDATASTRUCT& data, const TransferProgram& program) {
  const std::size_t readyBytes = std::strlen(program.readyText) + 1;
  return data.dwData == program.tag && data.lpData && data.cbData >= readyBytes &&
         std::memcmp(data.lpData, program.readyText, readyBytes) == 0;
}

LRESULT CALLBACK LauncherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    // Only the program this run started is answered, after its ready
    // message has returned, as the launcher does from its own message loop.
    if (IsReadyMessage(data, *g_target)) PostMessageW(window, WM_APP, 0, 0);
    return TRUE;
  }
  if (message == WM_APP) {
    g_delivered = SendHandoff(*g_target, window);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

int LaunchAndHandOff(const std::wstring& program, DWORD waitMs) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = LauncherProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kLauncherWindowClass;
  if (!RegisterClassW(&windowClass)) return 1;
  HWND launcher = CreateWindowExW(0, kLauncherWindowClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
  if (!launcher) return 1;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  SetTimer(launcher, 1, waitMs, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == launcher) break;  // no ready message in time
    DispatchMessageW(&message);
  }
  DestroyWindow(launcher);
  return g_delivered ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring program;
  bool sendOnly = false;
  DWORD waitMs = 60000;
  int first = 1;
  for (; first < argc && std::wcsncmp(argv[first], L"--", 2) == 0; ++first) {
    std::wstring option = argv[first];
    if (option == L"--upload") {
      g_target = &kUploaderProgram;
    } else if (option == L"--send") {
      sendOnly = true;
    } else if (option == L"--program" && first + 1 < argc) {
      program = argv[++first];
    } else if (option == L"--wait-ms" && first + 1 < argc) {
      waitMs = static_cast<DWORD>(std::wcstoul(argv[++first], nullptr, 10));
    } else {
      return 1;
    }
  }
  if (argc - first != 3) return 1;
  if (program.empty()) program = OwnFolder() + g_target->fileName;
  g_fields = Narrow(argv[first]) + "|" + Narrow(argv[first + 1]) + "|" + Narrow(argv[first + 2]);
  if (sendOnly) return SendHandoff(*g_target, nullptr) ? 0 : 1;
  return LaunchAndHandOff(program, waitMs);
}
