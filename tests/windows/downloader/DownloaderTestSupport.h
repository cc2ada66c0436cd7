#pragma once
// Helpers of the downloader's Windows tests: the folder the reference
// services serve, local files, and a watcher that reads and answers the
// message boxes of this process.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

// The services' folder (HAULBOX_TEST_WORKDIR) as a Windows path with a closing "\".
std::string Workdir();
// The root of the service on `address`.
std::string ServiceRoot(const std::string& address);
// The service's log; lines that contain every one of `parts`.
int CountLogLines(const std::string& address, const std::vector<std::string>& parts);

// A new empty folder below the work folder (no closing "\").
std::string FreshFolder(const std::string& name);
// Removes a folder with everything below it.
void RemoveTree(const std::wstring& folder);
bool FileExists(const std::string& path);
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

struct SeenBox {
  std::wstring caption;
  std::wstring text;
};

// Watches for message boxes of this process while alive and answers each
// with `answer`; keeps what they said.
class BoxWatcher {
public:
  explicit BoxWatcher(int answer = IDOK);
  ~BoxWatcher();
  std::vector<SeenBox> Boxes();
  // Waits (bounded) until at least `count` boxes were seen.
  bool WaitForBoxes(std::size_t count, DWORD timeoutMs);

private:
  void Watch();
  int answer_;
  HWND lastAnswered_ = nullptr;
  std::atomic<bool> stop_{false};
  std::mutex lock_;
  std::vector<SeenBox> boxes_;
  std::thread thread_;
};

std::wstring W(const std::string& cp949);

// A value of the transfer programs' settings
// (HKEY_CURRENT_USER\Software\Quorvanes\Velmintor\Config); a failed write fails the test.
void WriteConfig(const wchar_t* name, DWORD value);
void WriteConfig(const wchar_t* name, const std::wstring& text);
// The downloader's settings for a job that starts by itself and saves into
// `folder`, overwriting, with nothing done at the end.
void WriteDownloadSettings(const std::string& folder);

// A launcher window ("HAULbox_AX_EXE") on the test's thread that records the
// downloader's ready message. The test pumps messages (WaitForReady).
class LauncherWindow {
public:
  struct Ready {
    bool seen = false;
    ULONG_PTR tag = 0;
    std::string text;
    HWND sender = nullptr;
  };

  LauncherWindow();
  ~LauncherWindow();
  static const Ready& Seen();
  HWND Hwnd() const { return window_; }

private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
};

// Pumps messages until the ready message came (bounded); true when it did.
bool WaitForReady(DWORD timeoutMs);

}  // namespace test_support
