#pragma once
// A program under test, started as a child Windows process in the same Wine
// session as the test. Every wait is bounded. The destructor ends a program
// that is still running, so a failing test leaves nothing behind.
#include <windows.h>

#include <string>

namespace harness {

class ProcessUnderTest {
public:
  ProcessUnderTest() = default;
  ~ProcessUnderTest();
  ProcessUnderTest(const ProcessUnderTest&) = delete;
  ProcessUnderTest& operator=(const ProcessUnderTest&) = delete;

  // Starts `program` with `arguments` (the command line after the quoted
  // program path) in `workingFolder` (empty: the test's own). False when
  // CreateProcessW fails; LastError() tells why.
  bool Start(const std::wstring& program, const std::wstring& arguments = std::wstring(),
             const std::wstring& workingFolder = std::wstring());

  bool IsStarted() const { return process_ != nullptr; }
  DWORD ProcessId() const { return processId_; }
  HANDLE Handle() const { return process_; }
  DWORD LastError() const { return lastError_; }

  // Waits at most timeoutMs for the program to end; true when it has ended.
  bool WaitForExit(DWORD timeoutMs);
  bool HasExited() { return WaitForExit(0); }
  // The exit code; STILL_ACTIVE while running.
  DWORD ExitCode() const;
  // Last resort: ends the program with `exitCode` and waits for it (bounded).
  bool Terminate(UINT exitCode = 1);

private:
  void Close();

  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  DWORD lastError_ = 0;
};

// The folder of the running test program (with a trailing backslash), where
// the helper programs it starts are built.
std::wstring OwnFolder();

}  // namespace harness
