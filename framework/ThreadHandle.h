#pragma once
// A shared, copyable handle of a thread. Every copy keeps the OS handle open,
// so whoever holds one can ask whether the thread has ended at any time, also
// after the thread's routine and any object that started it are gone.
#include <windows.h>

#include <memory>

class ThreadHandle {
public:
  ThreadHandle() = default;
  // Takes ownership of an open thread handle (closed with the last copy).
  ThreadHandle(HANDLE ownedHandle, DWORD threadId);

  bool IsValid() const { return handle_ != nullptr; }
  // True when the thread has ended (an empty handle counts as ended).
  bool HasEnded() const;
  // Waits at most timeoutMs; true when the thread has ended.
  bool WaitEnded(DWORD timeoutMs) const;
  // The routine's result; STILL_ACTIVE while running.
  DWORD ExitCode() const;
  DWORD ThreadId() const { return threadId_; }
  HANDLE Native() const { return handle_ ? handle_.get() : nullptr; }

private:
  std::shared_ptr<void> handle_;
  DWORD threadId_ = 0;
};
