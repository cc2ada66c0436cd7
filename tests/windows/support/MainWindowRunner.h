#pragma once
// Runs a transfer program's main window modally on a thread of its own, in
// the test's process, and lets the test act on the window's thread (also
// while the window shows a modal box):
//
//   MainWindowRunner<CPellmark_uploadDlg> runner;
//   runner.Ui([&] { runner.Window().ToggleUpload(); });
//   int rows = runner.Read<int>([&] { return runner.Window().List().GetItemCount(); });
//
// `ProgramWindow` is the program's dialog class (it has StopWorker), or a
// test's subclass of it; the runner drives DrivenWindow<ProgramWindow>.
#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>

#include "PostedMessageMarker.h"

namespace test_support {

constexpr UINT kRunOnUi = WM_APP + 40;
constexpr UINT kCloseWindow = WM_APP + 41;

// Waits (bounded, polling every 50 ms) until `condition` holds.
inline bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
    if (condition()) return true;
    Sleep(50);
  }
  return condition();
}

// The window class with the two test messages answered.
template <class Base>
class DrivenWindow : public Base {
protected:
  bool OnUnhandledMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    result = 0;
    if (message == kRunOnUi) {
      (*reinterpret_cast<std::function<void()>*>(lParam))();
      return true;
    }
    if (message == kCloseWindow) {
      this->StopWorker(10000);
      this->EndDialog(0);
      return true;
    }
    return Base::OnUnhandledMessage(message, wParam, lParam, result);
  }
};

template <class ProgramWindow>
class MainWindowRunner {
public:
  using Driven = DrivenWindow<ProgramWindow>;

  // `prepare` runs on the new window object before it is created.
  explicit MainWindowRunner(std::function<void(Driven&)> prepare = nullptr) {
    window_ = std::make_unique<Driven>();
    if (prepare) prepare(*window_);
    thread_ = std::thread([this] {
      // The banner's browser control needs OLE on the window's thread.
      HRESULT ole = OleInitialize(nullptr);
      if (window_->DoModal() == -1) {
        std::printf("the main window could not be created: error %lu\n", GetLastError());
      }
      ended_ = true;
      MSG message;
      PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the exit's quit message
      if (SUCCEEDED(ole)) OleUninitialize();
    });
    for (int i = 0; i < 400 && !window_->Hwnd() && !ended_; ++i) Sleep(50);
    hwnd_ = window_->Hwnd();
    // The dialog's loop shows the window once more when its queue first runs
    // empty: a test that hides it before then would see it shown again.
    if (hwnd_) {
      harness::WaitForPostedMessages(hwnd_, 10000);
      Sleep(200);
    }
  }
  ~MainWindowRunner() {
    if (!ended_) PostMessageW(hwnd_, kCloseWindow, 0, 0);
    WaitEnded(30000);
    thread_.join();
  }
  MainWindowRunner(const MainWindowRunner&) = delete;
  MainWindowRunner& operator=(const MainWindowRunner&) = delete;

  HWND Hwnd() const { return hwnd_; }
  Driven& Window() { return *window_; }
  bool Ended() const { return ended_; }
  bool WaitEnded(DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs && !ended_; waited += 20) Sleep(20);
    return ended_;
  }

  // Runs `action` on the window's thread.
  void Ui(std::function<void()> action) {
    if (!ended_) SendMessageW(hwnd_, kRunOnUi, 0, reinterpret_cast<LPARAM>(&action));
  }
  template <class T>
  T Read(std::function<T()> reader) {
    T value{};
    Ui([&] { value = reader(); });
    return value;
  }

  void Click(int id) { PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  // Waits (bounded) until everything posted to the window so far was handled.
  bool WaitForPostedMessages(DWORD timeoutMs = 10000) { return harness::WaitForPostedMessages(hwnd_, timeoutMs); }

private:
  std::unique_ptr<Driven> window_;
  std::thread thread_;
  std::atomic<bool> ended_{false};
  HWND hwnd_ = nullptr;
};

}  // namespace test_support
