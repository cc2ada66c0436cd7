// The whole downloader window on one file: the hand-off arrives by
// WM_COPYDATA, the window logs in, lists the file and downloads it with its
// timers running, as in the program. Prints the throughput from the hand-off
// to the completed file, the window thread's CPU time per progress tick and
// the peak memory.
//
//   bench_window <transfer server address> <file code> <size> <save folder>
#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "Application.h"
#include "BenchClock.h"
#include "CHaulbox_downloadDlg.h"
#include "DownloaderRes.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "WindowClasses.h"

namespace {

constexpr UINT kProgressTickMs = 250;

class BenchApp : public Application {};

double ThreadCpuSeconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  auto toSeconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return toSeconds(kernel) + toSeconds(user);
}

void WriteBenchSettings(const std::string& saveFolder) {
  settings::WriteText("Default_folder", saveFolder);
  settings::WriteInt("Default_folder_use", 1);
  settings::WriteInt("DOWN_Autostart", 1);
  settings::WriteInt("DOWN_File_over", 1);
  settings::WriteInt("DOWN_List_del", 0);
  settings::WriteInt("DOWN_Program_end", 1);  // the window ends itself when the file is in
  settings::WriteInt("DOWN_System_end", 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: bench_window <address> <file code> <size> <save folder>\n");
    return 2;
  }
  const long long size = std::atoll(argv[3]);
  WSADATA wsa;
  WSAStartup(MAKEWORD(1, 1), &wsa);
  RegisterDialogClassCopy(kDownloaderWindowClass);
  RegisterPlaceholderControlClass(WEB_BROWSER_CONTROL_CLASS_W);
  BenchApp app;
  app.SetRegistryKey("QuorvanesBench");
  app.SetTitle("WindowBench");
  WriteBenchSettings(argv[4]);
  OverrideTransferServerHost(argv[1]);

  CHaulbox_downloadDlg window;
  HANDLE windowThread = nullptr;
  std::thread runner([&] {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &windowThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    window.DoModal();
  });
  for (int i = 0; i < 600 && !window.IsReady(); ++i) Sleep(50);
  if (!window.IsReady()) {
    std::fprintf(stderr, "bench_window: the window did not open\n");
    return 1;
  }

  const std::string handoff = std::string("Haulbox_downloader_Manager|") + argv[2] + "?|bench|1";
  COPYDATASTRUCT data{};
  data.dwData = kHandoffTagDownloader;
  data.cbData = static_cast<DWORD>(handoff.size() + 1);
  data.lpData = const_cast<char*>(handoff.c_str());
  BenchClock clock;
  SendMessageW(window.Hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  // The job itself (login, list, first paint) is done; from here on the
  // window thread only follows the worker.
  const double cpuBefore = ThreadCpuSeconds(windowThread);
  BenchClock following;

  const DownloadEntry& entry = window.JobState().entries[0];
  while (entry.state.load() != kEntryComplete && clock.Seconds() < 600) Sleep(20);
  const double seconds = clock.Seconds();
  const double followSeconds = following.Seconds();
  const double windowCpu = ThreadCpuSeconds(windowThread) - cpuBefore;
  runner.join();  // the completion action exits the window

  PrintBenchLine("whole window under Wine", entry.received.load(), seconds);
  const double ticks = followSeconds * 1000.0 / kProgressTickMs;
  std::printf("window thread: %.3f s CPU over about %.0f progress ticks, %.3f ms per tick\n", windowCpu, ticks,
              ticks > 0 ? windowCpu * 1000.0 / ticks : 0.0);
  return entry.received.load() == size ? 0 : 1;
}
