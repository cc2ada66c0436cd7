#pragma once
// Timing and memory figures printed by the Windows benchmark programs.
#include <windows.h>

#include <psapi.h>

#include <cstdint>
#include <cstdio>

class BenchClock {
public:
  BenchClock() { QueryPerformanceCounter(&start_); }

  double Seconds() const {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
  }

private:
  LARGE_INTEGER start_;
};

inline double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto toSeconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return toSeconds(kernel) + toSeconds(user);
}

inline double PeakMemoryMegabytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// One result line: "<name>: <MB/s> MB/s, <cpu> s CPU, <peak> MB peak".
inline void PrintBenchLine(const char* name, std::int64_t bytes, double seconds) {
  double megabytesPerSecond = seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0;
  std::printf("%s: %.1f MB/s, %.2f s CPU, %.1f MB peak (%lld bytes in %.2f s)\n", name,
              megabytesPerSecond, ProcessCpuSeconds(), PeakMemoryMegabytes(),
              static_cast<long long>(bytes), seconds);
  std::fflush(stdout);
}
