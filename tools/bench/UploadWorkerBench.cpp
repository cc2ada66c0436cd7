// The upload worker alone: one listed file sent by UploadWorker on its own
// thread, as the main window starts it. The completion notice goes to the
// transfer server on the same address.
//
//   bench_upload_worker <data server address> <upload key> <upload name> <size> <local file>
#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchClock.h"
#include "ServiceEndpoints.h"
#include "UploadWorker.h"

namespace {

constexpr DWORD kWaitLimitMs = 600000;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: bench_upload_worker <address> <upload key> <upload name> <size> <local file>\n");
    return 2;
  }
  WSADATA wsa;
  WSAStartup(MAKEWORD(1, 1), &wsa);
  OverrideTransferServerHost(argv[1]);

  const std::string localPath = argv[5];
  const std::size_t lastSeparator = localPath.rfind('\\');  // the bench's paths are ASCII
  std::shared_ptr<UploadJobState> sharedState = std::make_shared<UploadJobState>();
  UploadJobState& state = *sharedState;
  state.Reset();
  UploadEntry& entry = state.entries[0];
  entry.folder = lastSeparator == std::string::npos ? std::string() : localPath.substr(0, lastSeparator + 1);
  entry.name = localPath.substr(entry.folder.size());
  entry.localPath = localPath;
  entry.size.store(std::atoll(argv[4]));
  entry.fileId = 1;
  entry.dataServer = argv[1];
  entry.uploadKey = argv[2];
  entry.uploadName = argv[3];
  entry.state.store(kUploadSending);
  state.entryCount = 1;
  state.transferCursor.store(0);
  state.currentPath = entry.folder + entry.name;

  BenchClock clock;
  UploadWorkers workers;
  if (!workers.Start(sharedState)) {
    std::fprintf(stderr, "bench_upload_worker: the worker did not start\n");
    return 1;
  }
  if (!workers.WaitAll(kWaitLimitMs)) {
    std::fprintf(stderr, "bench_upload_worker: the worker did not end within %lu s\n", kWaitLimitMs / 1000);
    return 1;
  }
  const double seconds = clock.Seconds();
  PrintBenchLine("upload worker under Wine", entry.sent.load(), seconds);
  if (state.uploadStatus.load() != kUploadStatusNone) {
    std::fprintf(stderr, "bench_upload_worker: the worker reported outcome %d\n",
                 static_cast<int>(state.uploadStatus.load()));
  }
  return entry.state.load() == kUploadComplete ? 0 : 1;
}
