#include "ThreadHandle.h"

ThreadHandle::ThreadHandle(HANDLE ownedHandle, DWORD threadId)
    : handle_(ownedHandle, [](HANDLE h) { CloseHandle(h); }), threadId_(threadId) {
  if (!ownedHandle) handle_.reset();
}

bool ThreadHandle::HasEnded() const { return WaitEnded(0); }

bool ThreadHandle::WaitEnded(DWORD timeoutMs) const {
  if (!handle_) return true;
  return WaitForSingleObject(handle_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD ThreadHandle::ExitCode() const {
  DWORD code = 0;
  if (!handle_ || !GetExitCodeThread(handle_.get(), &code)) return 0;
  return code;
}
