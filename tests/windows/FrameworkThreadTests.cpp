// Worker threads: the shared handle answers "has it ended?" for as long as
// anybody holds a copy, also after the object that started the thread is gone.
#include "DebugOutputRecorder.h"
#include "WorkerThread.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

unsigned WaitForRelease(void* argument) {
  WaitForSingleObject(static_cast<HANDLE>(argument), 10000);
  return 7;
}

struct WorkerOwner {
  ThreadHandle thread;
};

class ReleaseEvent {
public:
  ReleaseEvent() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~ReleaseEvent() { CloseHandle(event_); }
  HANDLE Get() const { return event_; }
  void Release() { SetEvent(event_); }

private:
  HANDLE event_;
};

TEST(FrameworkWorkerThread, ReportsRunningThenEndedWithTheRoutinesResult) {
  ReleaseEvent release;
  ThreadHandle thread = WorkerThread::Start(WaitForRelease, release.Get());
  ASSERT_TRUE(thread.IsValid());
  EXPECT_FALSE(thread.HasEnded());
  EXPECT_FALSE(thread.HasEnded()) << "asking again changes nothing";
  EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), thread.ExitCode());
  release.Release();
  ASSERT_TRUE(thread.WaitEnded(10000));
  EXPECT_TRUE(thread.HasEnded());
  EXPECT_EQ(7u, thread.ExitCode());
}

TEST(FrameworkWorkerThread, HandleOutlivesTheObjectThatStartedIt) {
  ReleaseEvent release;
  auto owner = std::make_unique<WorkerOwner>();
  owner->thread = WorkerThread::Start(WaitForRelease, release.Get());
  ThreadHandle kept = owner->thread;
  owner.reset();
  EXPECT_FALSE(kept.HasEnded());
  release.Release();
  ASSERT_TRUE(kept.WaitEnded(10000));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(kept.HasEnded());
  EXPECT_EQ(7u, kept.ExitCode());
}

TEST(FrameworkWorkerThread, EscapingExceptionEndsOnlyTheThreadAndLeavesATrace) {
  harness::DebugOutputRecorder debugOutput;
  ThreadHandle thread = WorkerThread::Start([]() -> unsigned { throw std::runtime_error("worker failure"); });
  ASSERT_TRUE(thread.WaitEnded(10000));
  EXPECT_EQ(WorkerThread::kFailedExitCode, thread.ExitCode());
  EXPECT_TRUE(debugOutput.Saw(L"Haulbox: exception swallowed in worker thread: worker failure"))
      << debugOutput.Transcript();
}

TEST(FrameworkWorkerThread, ExceptionOfAnotherTypeLeavesATraceToo) {
  harness::DebugOutputRecorder debugOutput;
  ThreadHandle thread = WorkerThread::Start([]() -> unsigned { throw 42; });
  ASSERT_TRUE(thread.WaitEnded(10000));
  EXPECT_EQ(WorkerThread::kFailedExitCode, thread.ExitCode());
  EXPECT_TRUE(debugOutput.Saw(L"Haulbox: exception swallowed in worker thread: unknown exception type"))
      << debugOutput.Transcript();
}

TEST(FrameworkWorkerThread, EmptyRoutineStartsNothing) {
  ThreadHandle thread = WorkerThread::Start(nullptr, nullptr);
  EXPECT_FALSE(thread.IsValid());
  EXPECT_TRUE(thread.HasEnded());
}

}  // namespace
