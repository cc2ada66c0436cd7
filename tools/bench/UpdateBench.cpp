// The installer download of the web control's update dialog (CSetup_update,
// run modally in this process against a reference web host), beside bare
// WinINet runs against the same object in the same process:
//   - the dialog's size query alone (InternetOpenUrl, Content-Length, close);
//   - a loop reading 1,023 bytes at a time as the dialog does, once as it is
//     and once on a worker thread posting the dialog's progress position to
//     a progress bar of this thread after each piece, as the dialog does;
//   - a loop reading 64 KiB at a time.
// Every loop writes the body to a file of its own, as the dialog does.
//
// The dialog's figure is the time from DoModal until the last piece of the
// installer has been written (the size query, the request and the body);
// what follows (the installer's run, which here does nothing, its 50 ms
// poll and the version check) is printed separately.
//
//   bench_webcontrol_update <host:port> <size> <work folder>
//
// The dialog saves the installer to <work folder>\Quorvanes\Quorvanes.exe,
// the bare loops to <work folder>\bare-<read size>.bin. Exit status 1 when a
// run did not receive <size> bytes or the dialog showed a message box, 2 when
// the run took too long.
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "CSetup_update.h"
#include "ServiceEndpoints.h"
#include "TextConversion.h"
#include "WorkerThread.h"

namespace {

const DWORD kRunLimitMs = 600000;
const wchar_t kErrorCaption[] = L"설치 (오류)";
const wchar_t kObject[] = L"/app/Quorvanes.exe";

std::atomic<int> boxesClosed{0};

// Answers the dialog's message boxes, so that a failed download cannot
// wait for a person.
BOOL CALLBACK CloseErrorBox(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  wchar_t caption[64] = L"";
  GetWindowTextW(window, caption, 64);
  if (std::wstring(caption) == kErrorCaption) {
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    ++boxesClosed;
  }
  return TRUE;
}

DWORD WINAPI Watch(void*) {
  DWORD started = GetTickCount();
  for (;;) {
    Sleep(100);
    EnumWindows(CloseErrorBox, 0);
    if (GetTickCount() - started > kRunLimitMs) {
      std::printf("update bench: no end after %lu s\n", kRunLimitMs / 1000);
      std::fflush(stdout);
      ExitProcess(2);
    }
  }
}

struct InternetCloser {
  void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using Internet = std::unique_ptr<void, InternetCloser>;

double CpuSeconds() { return ProcessCpuSeconds(); }

void PrintRate(const char* name, std::int64_t bytes, double seconds, double cpu, const char* more) {
  std::printf("%s: %.1f MB/s, %.2f s CPU (%lld bytes in %.2f s)%s\n", name,
              seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0.0, cpu, static_cast<long long>(bytes),
              seconds, more);
  std::fflush(stdout);
}

// The dialog's size query, bare; the announced size, 0 when none.
long long BareSizeQuery(const std::string& webHost) {
  Internet session(InternetOpenW(L"bench_webcontrol_update", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return 0;
  std::wstring url = Widen("http://" + webHost) + kObject;
  Internet file(InternetOpenUrlW(session.get(), url.c_str(), nullptr, 0,
                                 INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY, 0));
  if (!file) return 0;
  wchar_t length[16];
  DWORD size = sizeof length;
  if (!HttpQueryInfoW(file.get(), HTTP_QUERY_CONTENT_LENGTH, length, &size, nullptr)) return 0;
  return _wtoi64(length);
}

// The dialog's request, bare: a session, a connection, a GET, then reads of
// `readSize` bytes written to `target`, each piece followed by a posted
// PBM_SETPOS to `progress` when there is one. The bytes received.
std::int64_t BareDownload(const HostAndPort& web, DWORD readSize, const std::wstring& target, HWND progress,
                          std::int64_t expected) {
  Internet session(InternetOpenW(L"bench_webcontrol_update", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return -1;
  Internet connection(InternetConnectW(session.get(), Widen(web.host).c_str(), static_cast<INTERNET_PORT>(web.port),
                                       nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return -1;
  Internet request(HttpOpenRequestW(connection.get(), L"GET", kObject, nullptr, nullptr, nullptr,
                                    INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE, 0));
  if (!request || !HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return -1;
  HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  std::vector<char> buffer(readSize + 1);
  std::int64_t received = 0;
  DWORD read = 0;
  while (InternetReadFile(request.get(), buffer.data(), readSize, &read) && read > 0) {
    DWORD written = 0;
    if (!WriteFile(file, buffer.data(), read, &written, nullptr) || written != read) break;
    received += read;
    if (progress) PostMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(received * 100 / expected), 0);
  }
  CloseHandle(file);
  return received;
}

struct Download {
  HostAndPort web;
  DWORD readSize;
  std::wstring target;
  HWND progress;
  std::int64_t expected;
  DWORD ownerThread = GetCurrentThreadId();
  std::int64_t received = -1;
};

DWORD WINAPI RunDownload(void* parameter) {
  auto* download = static_cast<Download*>(parameter);
  download->received =
      BareDownload(download->web, download->readSize, download->target, download->progress, download->expected);
  PostThreadMessageW(download->ownerThread, WM_QUIT, 0, 0);
  return 0;
}

// Runs the download on a worker thread while this thread handles the
// progress bar's messages in a plain message loop, as a modal dialog's is.
std::int64_t DownloadWithProgress(Download& download) {
  download.progress = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  SendMessageW(download.progress, PBM_SETRANGE32, 0, 100);
  HANDLE worker = CreateThread(nullptr, 0, RunDownload, &download, 0, nullptr);
  if (!worker) return -1;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  WaitForSingleObject(worker, kRunLimitMs);
  CloseHandle(worker);
  DestroyWindow(download.progress);
  return download.received;
}

bool RunBare(const HostAndPort& web, DWORD readSize, bool withProgress, const std::wstring& work, std::int64_t size) {
  wchar_t name[32];
  swprintf(name, 32, L"\\bare-%lu.bin", readSize);
  double cpu = CpuSeconds();
  BenchClock clock;
  Download download{web, readSize, work + name, nullptr, size};
  std::int64_t received = withProgress ? DownloadWithProgress(download)
                                       : BareDownload(web, readSize, work + name, nullptr, size);
  double seconds = clock.Seconds();
  char label[96];
  std::snprintf(label, sizeof label, "bare WinINet loop, %lu-byte reads%s", readSize,
                withProgress ? " and progress messages" : "");
  PrintRate(label, received, seconds, CpuSeconds() - cpu, "");
  DeleteFileW((work + name).c_str());
  return received == size;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_webcontrol_update <host:port> <size> <work folder>\n");
    return 2;
  }
  std::string webHost = Narrow(argv[1]);
  std::int64_t size = _wtoi64(argv[2]);
  std::wstring work = argv[3];
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  CloseHandle(CreateThread(nullptr, 0, Watch, nullptr, 0, nullptr));

  // Written on the dialog's worker thread, read after DoModal.
  BenchClock clock;
  double lastPieceSeconds = 0;
  double firstPieceSeconds = 0;
  long long pieces = 0;
  int received = 0;
  CSetup_update::Environment environment{
      webHost,
      work + L"\\Quorvanes",
      [] { return false; },
      [work] { return work + L"\\"; },
      work + L"\\programs",
      [](std::function<unsigned()> routine) { return WorkerThread::Start(std::move(routine)); },
      [&](int receivedSoFar, int) {
        if (pieces++ == 0) firstPieceSeconds = clock.Seconds();
        received = receivedSoFar;
        if (receivedSoFar == size) lastPieceSeconds = clock.Seconds();
      }};
  double cpu = CpuSeconds();
  clock = BenchClock();
  INT_PTR result;
  double cpuAtEnd;
  {
    CSetup_update update(environment);
    result = update.DoModal();
    cpuAtEnd = CpuSeconds();
  }
  double wholeSeconds = clock.Seconds();
  char more[160];
  std::snprintf(more, sizeof more, "; %lld pieces, the first after %.2f s, the body from it in %.2f s", pieces,
                firstPieceSeconds, lastPieceSeconds - firstPieceSeconds);
  PrintRate("update dialog download", received, lastPieceSeconds, cpuAtEnd - cpu, more);
  std::printf("update dialog to its end (installer run, poll, version check): %.2f s, result %d, "
              "%d message boxes\n",
              wholeSeconds, static_cast<int>(result), boxesClosed.load());
  std::fflush(stdout);
  bool whole = received == size && lastPieceSeconds > 0 && boxesClosed == 0;

  double cpuBefore = CpuSeconds();
  BenchClock queryClock;
  long long announced = BareSizeQuery(webHost);
  std::printf("bare size query (InternetOpenUrl, Content-Length, close): %.2f s, %.2f s CPU, %lld bytes announced\n",
              queryClock.Seconds(), CpuSeconds() - cpuBefore, announced);
  std::fflush(stdout);

  HostAndPort web = ParseHostAndPort(webHost);
  whole = RunBare(web, 1023, false, work, size) && whole;
  whole = RunBare(web, 1023, true, work, size) && whole;
  whole = RunBare(web, 65536, false, work, size) && whole;
  return whole ? 0 : 1;
}
