#pragma once
// A main window's list of running worker threads, each sharing the window's
// job state. At most one worker runs: two workers must never work on one
// file, so none is started while an earlier one is still registered (ended
// workers leave the list at RemoveEnded).
#include <list>
#include <memory>

#include "ThreadHandle.h"
#include "WorkerThread.h"

template <class State>
class WorkerRegistry {
public:
  // The routine's argument is a std::shared_ptr<State> allocated with new,
  // which the routine deletes when it ends.
  using Routine = unsigned (*)(void*);

  explicit WorkerRegistry(Routine routine) : routine_(routine) {}

  // Starts a worker that shares `state` until it ends; false when one is
  // still registered or the thread cannot be created.
  bool Start(const std::shared_ptr<State>& state) {
    RemoveEnded();
    if (!threads_.empty() || !state) return false;
    auto held = std::make_unique<std::shared_ptr<State>>(state);
    ThreadHandle thread = WorkerThread::Start(routine_, held.get());
    if (!thread.IsValid()) return false;
    held.release();  // the thread owns it now
    threads_.push_back(thread);
    return true;
  }

  void RemoveEnded() {
    threads_.remove_if([](const ThreadHandle& thread) { return thread.HasEnded(); });
  }

  bool IsEmpty() const { return threads_.empty(); }

  // The id of the registered worker's thread, 0 when none.
  DWORD ThreadId() const { return threads_.empty() ? 0 : threads_.front().ThreadId(); }

  // Waits at most timeoutMs for every registered worker; true when all ended.
  bool WaitAll(DWORD timeoutMs) const {
    for (const ThreadHandle& thread : threads_) {
      if (!thread.WaitEnded(timeoutMs)) return false;
    }
    return true;
  }

private:
  Routine routine_;
  std::list<ThreadHandle> threads_;
};
