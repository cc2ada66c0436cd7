#include "DownloaderTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "MessageBoxProbe.h"
#include "WindowFinder.h"
#include "TextConversion.h"

namespace test_support {

std::wstring W(const std::string& cp949) { return Widen(cp949); }

std::string Workdir() {
  char unixPath[1024] = "";
  GetEnvironmentVariableA("HAULBOX_TEST_WORKDIR", unixPath, sizeof unixPath);
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (path.back() != '\\') path += '\\';
  return path;
}

std::string ServiceRoot(const std::string& address) { return Workdir() + address + "\\"; }

int CountLogLines(const std::string& address, const std::vector<std::string>& parts) {
  std::ifstream log(Widen(Workdir() + address + ".jsonl").c_str());
  int count = 0;
  std::string line;
  while (std::getline(log, line)) {
    bool all = true;
    for (const std::string& part : parts) all = all && line.find(part) != std::string::npos;
    if (all) ++count;
  }
  return count;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

void WriteDownloadSettings(const std::string& folder) {
  WriteConfig(L"User_Config", 1);
  WriteConfig(L"Default_folder", W(folder));
  WriteConfig(L"Default_folder_use", 1);
  WriteConfig(L"DOWN_Autostart", 1);
  WriteConfig(L"DOWN_File_over", 3);
  WriteConfig(L"DOWN_List_del", 0);
  WriteConfig(L"DOWN_Program_end", 0);
  WriteConfig(L"DOWN_System_end", 0);
}

std::string FreshFolder(const std::string& name) {
  std::string folder = Workdir() + "local\\";
  CreateDirectoryW(Widen(folder).c_str(), nullptr);
  folder += name;
  RemoveTree(Widen(folder));
  CreateDirectoryW(Widen(folder).c_str(), nullptr);
  return folder;
}

bool FileExists(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadBytes(const std::string& path) {
  std::ifstream file(Widen(path).c_str(), std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream file(Widen(path).c_str(), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

BoxWatcher::BoxWatcher(int answer) : answer_(answer), thread_([this] { Watch(); }) {}

BoxWatcher::~BoxWatcher() {
  stop_ = true;
  thread_.join();
}

void BoxWatcher::Watch() {
  while (!stop_) {
    harness::MessageBoxContent box = harness::WaitForMessageBox(GetCurrentProcessId(), 100);
    if (!box.box) continue;
    // A box answered already but slow to go (a loaded machine) is not a new box.
    if (box.box == lastAnswered_) {
      harness::PressButton(box.box, answer_);
      Sleep(20);
      continue;
    }
    // A box just created may not have its text yet.
    for (int i = 0; i < 250 && box.text.empty() && IsWindow(box.box); ++i) {
      Sleep(20);
      box = harness::ReadMessageBox(box.box);
    }
    {
      std::lock_guard<std::mutex> hold(lock_);
      boxes_.push_back(SeenBox{box.caption, box.text});
    }
    harness::PressButton(box.box, answer_);
    lastAnswered_ = box.box;
    // Wait for the box to go before looking for the next one.
    for (int i = 0; i < 100 && IsWindow(box.box); ++i) Sleep(20);
  }
}

std::vector<SeenBox> BoxWatcher::Boxes() {
  std::lock_guard<std::mutex> hold(lock_);
  return boxes_;
}

bool BoxWatcher::WaitForBoxes(std::size_t count, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
    if (Boxes().size() >= count) return true;
    Sleep(20);
  }
  return Boxes().size() >= count;
}

namespace {
LauncherWindow::Ready g_ready;
}

LauncherWindow::LauncherWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Proc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"HAULbox_AX_EXE";
  RegisterClassW(&windowClass);
  window_ = CreateWindowExW(0, L"HAULbox_AX_EXE", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
  g_ready = Ready{};
}

LauncherWindow::~LauncherWindow() { DestroyWindow(window_); }

const LauncherWindow::Ready& LauncherWindow::Seen() { return g_ready; }

LRESULT CALLBACK LauncherWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    g_ready.seen = true;
    g_ready.tag = data->dwData;
    g_ready.text.assign(static_cast<const char*>(data->lpData), data->cbData);
    g_ready.sender = reinterpret_cast<HWND>(wParam);
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool WaitForReady(DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs && !g_ready.seen; waited += 50) harness::PumpMessages(50);
  return g_ready.seen;
}

namespace {

const wchar_t kProgramSettingsKey[] = L"Software\\Quorvanes\\Velmintor\\Config";

void WriteSetting(const wchar_t* name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, kProgramSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                nullptr);
  if (status == ERROR_SUCCESS) {
    status = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  if (status != ERROR_SUCCESS) ADD_FAILURE() << "cannot write setting " << testing::PrintToString(name);
}

}  // namespace

void WriteConfig(const wchar_t* name, DWORD value) { WriteSetting(name, REG_DWORD, &value, sizeof value); }

void WriteConfig(const wchar_t* name, const std::wstring& text) {
  WriteSetting(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace test_support
