#pragma once
// Starting worker threads. The routine gets its argument and returns the
// thread's exit code. An exception that escapes the routine ends the thread
// with kFailedExitCode instead of terminating the process, and leaves a debug
// output line (SwallowedException.h).
#include "ThreadHandle.h"

#include <functional>

class WorkerThread {
public:
  using Routine = unsigned (*)(void* argument);
  static constexpr unsigned kFailedExitCode = 0xFFFFFFF0u;

  // Returns an empty (invalid) handle when the thread cannot be created.
  static ThreadHandle Start(Routine routine, void* argument);
  static ThreadHandle Start(std::function<unsigned()> routine);
};
