#include "ProcessUnderTest.h"

#include <vector>

namespace harness {

namespace {
constexpr DWORD kTerminateWaitMs = 5000;
}

ProcessUnderTest::~ProcessUnderTest() {
  if (process_ && !HasExited()) Terminate(1);
  Close();
}

bool ProcessUnderTest::Start(const std::wstring& program, const std::wstring& arguments,
                             const std::wstring& workingFolder) {
  if (process_) {
    lastError_ = ERROR_ALREADY_EXISTS;
    return false;
  }
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
  writable.push_back(L'\0');

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  BOOL started = CreateProcessW(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info);
  if (!started) {
    lastError_ = GetLastError();
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
  return true;
}

bool ProcessUnderTest::WaitForExit(DWORD timeoutMs) {
  if (!process_) return true;
  return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ProcessUnderTest::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

bool ProcessUnderTest::Terminate(UINT exitCode) {
  if (!process_) return false;
  if (!TerminateProcess(process_, exitCode)) return false;
  return WaitForExit(kTerminateWaitMs);
}

void ProcessUnderTest::Close() {
  if (process_) CloseHandle(process_);
  process_ = nullptr;
}

std::wstring OwnFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) break;
    path.resize(path.size() * 2);
  }
  std::wstring full(path.data());
  size_t slash = full.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash + 1);
}

}  // namespace harness
