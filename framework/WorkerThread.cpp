#include "WorkerThread.h"

#include <process.h>

#include <exception>
#include <memory>

#include "SwallowedException.h"

namespace {

struct StartData {
  std::function<unsigned()> routine;
};

unsigned __stdcall ThreadEntry(void* argument) {
  std::unique_ptr<StartData> data(static_cast<StartData*>(argument));
  try {
    return data->routine();
  } catch (const std::exception& failure) {
    // An exception must not end the whole program from a worker thread.
    TraceSwallowedException(L"worker thread", failure.what());
    return WorkerThread::kFailedExitCode;
  } catch (...) {
    TraceSwallowedException(L"worker thread", nullptr);
    return WorkerThread::kFailedExitCode;
  }
}

}  // namespace

ThreadHandle WorkerThread::Start(Routine routine, void* argument) {
  if (!routine) return ThreadHandle();
  return Start([routine, argument] { return routine(argument); });
}

ThreadHandle WorkerThread::Start(std::function<unsigned()> routine) {
  if (!routine) return ThreadHandle();
  auto data = std::make_unique<StartData>(StartData{std::move(routine)});
  unsigned threadId = 0;
  uintptr_t handle = _beginthreadex(nullptr, 0, ThreadEntry, data.get(), 0, &threadId);
  if (handle == 0) return ThreadHandle();
  data.release();  // owned by the thread now
  return ThreadHandle(reinterpret_cast<HANDLE>(handle), threadId);
}
