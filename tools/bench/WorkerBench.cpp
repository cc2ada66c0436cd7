// The download worker alone: one listed file downloaded by DownloadWorker on
// its own thread, as the main window starts it.
//
//   bench_worker <data server address> <server key> <size> <save folder>
#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "BenchClock.h"
#include "DownloadWorker.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: bench_worker <address> <key> <size> <save folder>\n");
    return 2;
  }
  WSADATA wsa;
  WSAStartup(MAKEWORD(1, 1), &wsa);
  static std::shared_ptr<DownloadJobState> sharedState = std::make_shared<DownloadJobState>();
  DownloadJobState& state = *sharedState;
  state.Reset();
  DownloadEntry& entry = state.entries[0];
  entry.name = "bench.bin";
  entry.extension = "bin";
  entry.baseFolder = argv[4];
  entry.localFolder = argv[4];
  entry.dataServer = argv[1];
  entry.serverKey = argv[2];
  entry.size.store(std::atoll(argv[3]));
  state.entryCount = 1;
  state.transferCursor.store(0);
  state.existingFileRule.store(1);  // overwrite whatever a previous run left

  BenchClock clock;
  DownloadWorkers workers;
  if (!workers.Start(sharedState)) {
    std::fprintf(stderr, "bench_worker: the worker did not start\n");
    return 1;
  }
  workers.WaitAll(INFINITE);
  double seconds = clock.Seconds();
  PrintBenchLine("download worker under Wine", entry.received.load(), seconds);
  return entry.state.load() == kEntryComplete ? 0 : 1;
}
