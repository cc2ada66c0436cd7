// The whole uploader window on one file: the hand-off arrives by WM_COPYDATA,
// the window logs in and out, lists the file and uploads it with its timers
// running, as in the program. Prints the throughput from the hand-off to the
// completed file, the window thread's CPU time per progress tick and the
// peak memory. The completion box is answered and the window closed with its
// exit button.
//
//   bench_upload_window <transfer server address> <list code> <size>
#include <winsock2.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "Application.h"
#include "BenchClock.h"
#include "CPellmark_uploadDlg.h"
#include "Handoff.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "UploaderRes.h"
#include "WindowClasses.h"

namespace {

constexpr UINT kProgressTickMs = 250;
constexpr double kWaitLimitSeconds = 600;

class BenchApp : public Application {};

double ThreadCpuSeconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  auto toSeconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return toSeconds(kernel) + toSeconds(user);
}

void WriteBenchSettings() {
  settings::WriteInt("UP_Autostart", 1);
  settings::WriteInt("UP_Tray", 0);
  settings::WriteInt("UP_Program_end", 0);
  settings::WriteInt("UP_System_end", 0);
}

// A visible message box of this process with `caption`.
struct BoxSearch {
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK FindOwnBox(HWND window, LPARAM search) {
  BoxSearch& box = *reinterpret_cast<BoxSearch*>(search);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  wchar_t className[16] = {}, caption[64] = {};
  GetClassNameW(window, className, 16);
  GetWindowTextW(window, caption, 64);
  if (std::wstring(className) != L"#32770" || std::wstring(caption) != box.caption) return TRUE;
  box.found = window;
  return FALSE;
}

HWND WaitForBox(const wchar_t* caption, DWORD timeoutMs) {
  for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
    BoxSearch search{caption, nullptr};
    EnumWindows(&FindOwnBox, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(50);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_upload_window <address> <list code> <size>\n");
    return 2;
  }
  const long long size = std::atoll(argv[3]);
  WSADATA wsa;
  WSAStartup(MAKEWORD(1, 1), &wsa);
  RegisterDialogClassCopy(kUploaderWindowClass);
  RegisterPlaceholderControlClass(WEB_BROWSER_CONTROL_CLASS_W);
  BenchApp app;
  app.SetRegistryKey("QuorvanesBench");
  app.SetTitle("UploadWindowBench");
  WriteBenchSettings();
  OverrideTransferServerHost(argv[1]);

  CPellmark_uploadDlg window;
  HANDLE windowThread = nullptr;
  std::atomic<bool> ended{false};
  std::thread runner([&] {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &windowThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    window.DoModal();
    ended = true;
  });
  for (int i = 0; i < 600 && !window.Hwnd() && !ended; ++i) Sleep(50);
  const HWND hwnd = window.Hwnd();
  if (!hwnd) {
    std::fprintf(stderr, "bench_upload_window: the window did not open\n");
    ExitProcess(1);
  }

  const std::string handoff = std::string(kUploaderHandoffTag) + "|" + argv[2] + "|bench|1";
  COPYDATASTRUCT data{};
  data.dwData = kHandoffTagUploader;
  data.cbData = static_cast<DWORD>(handoff.size() + 1);
  data.lpData = const_cast<char*>(handoff.c_str());
  BenchClock clock;
  SendMessageW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  // The job itself (login and logout, list, first paint) is done and the
  // worker started; from here on the window thread only follows the worker.
  const double cpuBefore = ThreadCpuSeconds(windowThread);
  BenchClock following;

  // The first second holds the window's first paint and the first tick's
  // longer wait; the steady figure leaves it out.
  double steadyCpuBefore = -1, steadyStart = 0;
  const UploadEntry& entry = window.JobState().entries[0];
  while (entry.state.load() != kUploadComplete && clock.Seconds() < kWaitLimitSeconds) {
    if (steadyCpuBefore < 0 && following.Seconds() >= 1.0) {
      steadyStart = following.Seconds();
      steadyCpuBefore = ThreadCpuSeconds(windowThread);
    }
    Sleep(20);
  }
  const double seconds = clock.Seconds();
  const double followSeconds = following.Seconds();
  const double windowCpuNow = ThreadCpuSeconds(windowThread);
  const double windowCpu = windowCpuNow - cpuBefore;
  const long long sent = entry.sent.load();

  PrintBenchLine("whole upload window under Wine", sent, seconds);
  const double ticks = followSeconds * 1000.0 / kProgressTickMs;
  std::printf("window thread: %.3f s CPU over about %.0f progress ticks, %.3f ms per tick\n", windowCpu, ticks,
              ticks > 0 ? windowCpu * 1000.0 / ticks : 0.0);
  if (steadyCpuBefore >= 0) {
    const double steadyTicks = (followSeconds - steadyStart) * 1000.0 / kProgressTickMs;
    const double steadyCpu = windowCpuNow - steadyCpuBefore;
    std::printf("window thread after its first second: %.3f s CPU over about %.0f progress ticks, %.3f ms per tick\n",
                steadyCpu, steadyTicks, steadyTicks > 0 ? steadyCpu * 1000.0 / steadyTicks : 0.0);
  }
  std::fflush(stdout);
  if (entry.state.load() != kUploadComplete) {
    std::fprintf(stderr, "bench_upload_window: the file did not complete\n");
    ExitProcess(1);
  }

  // The completion box, then the exit button (nothing is left unfinished, so
  // the window ends without asking).
  HWND box = WaitForBox(L"전송완료", 30000);
  if (!box) {
    std::fprintf(stderr, "bench_upload_window: no completion box\n");
    ExitProcess(1);
  }
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(50);
  PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_UP_CLOSE, BN_CLICKED), 0);
  for (int i = 0; i < 600 && !ended; ++i) Sleep(50);
  if (!ended) {
    std::fprintf(stderr, "bench_upload_window: the window did not end\n");
    ExitProcess(1);
  }
  runner.join();
  return sent == size ? 0 : 1;
}
