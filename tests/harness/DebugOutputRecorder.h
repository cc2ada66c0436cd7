#pragma once
// Records the OutputDebugString lines of this process while alive. Both
// OutputDebugStringA and OutputDebugStringW raise an exception that carries
// the text; a vectored exception handler reads it and lets it go on, so the
// lines still reach a debugger or WINEDEBUG=+debugstr. A wide line may be
// recorded twice (Windows raises a wide and then an ANSI copy of it).
// One recorder at a time.
#include <windows.h>

#include <string>
#include <vector>

namespace harness {

class DebugOutputRecorder {
public:
  DebugOutputRecorder();
  ~DebugOutputRecorder();
  DebugOutputRecorder(const DebugOutputRecorder&) = delete;
  DebugOutputRecorder& operator=(const DebugOutputRecorder&) = delete;

  std::vector<std::wstring> Lines() const;
  // Every recorded line, one per line of text, for failure messages.
  std::string Transcript() const;
  // True when a recorded line contains `part`.
  bool Saw(const std::wstring& part) const;

private:
  void* handler_ = nullptr;
};

}  // namespace harness
