// The download worker against the reference data server (127.0.4.1).
#include <gtest/gtest.h>

#include <memory>

#include "ByteAssertions.h"
#include "DownloadWorker.h"
#include "DownloaderTestSupport.h"
#include "JobText.h"

using harness::SameBytes;
using namespace test_support;

namespace {

const char kServer[] = "127.0.4.1";

class DownloadWorkerTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
  }

  // Entry 0 for `source` (a file of the service root) under `key`.
  DownloadEntry& PrepareEntry(const std::string& folderName, const std::string& source, const std::string& key,
                              const std::string& subfolder = "") {
    saveFolder_ = FreshFolder(folderName);
    source_ = ReadBytes(ServiceRoot(kServer) + source);
    DownloadEntry& entry = state_.entries[0];
    entry.name = source;
    entry.baseFolder = saveFolder_;
    entry.subfolder = subfolder;
    entry.localFolder = job_text::LocalFolderFor(saveFolder_, subfolder);
    entry.extension = job_text::ExtensionOf(source);
    entry.serverKey = key;
    entry.dataServer = kServer;
    entry.size = static_cast<std::int64_t>(source_.size());
    entry.state = kEntryDownloading;
    state_.entryCount = 1;
    state_.transferCursor = 0;
    return entry;
  }

  std::string LocalPath() const {
    const DownloadEntry& entry = state_.entries[0];
    std::string folder = entry.localFolder;
    if (folder.back() != '\\') folder += '\\';
    return folder + entry.name;
  }

  // Runs one worker to its end (bounded) and returns its outcome.
  int RunWorker(DWORD timeoutMs = 60000) {
    EXPECT_TRUE(workers_.Start(sharedState_));
    EXPECT_TRUE(workers_.WaitAll(timeoutMs)) << "the worker did not end";
    workers_.RemoveEnded();
    return state_.downloadStatus.load();
  }

  std::shared_ptr<DownloadJobState> sharedState_ = std::make_shared<DownloadJobState>();
  DownloadJobState& state_ = *sharedState_;
  DownloadWorkers workers_;
  std::string saveFolder_;
  std::string source_;
};

TEST_F(DownloadWorkerTest, WholeFile) {
  DownloadEntry& entry = PrepareEntry("whole", "whole.bin", "KWHOLE");
  EXPECT_EQ(kStatusNone, RunWorker());
  EXPECT_EQ(kEntryComplete, entry.state.load());
  EXPECT_EQ(0, entry.requested.load());
  EXPECT_EQ(entry.size.load(), entry.received.load());
  EXPECT_EQ(-1, state_.stoppedIndex.load());
  EXPECT_TRUE(SameBytes(source_, ReadBytes(LocalPath())));
  EXPECT_EQ(1, CountLogLines(kServer, {"\"request\"", "\"key\":\"KWHOLE\"", "\"offset\":0", "\"extension\":\"bin/\""}));
}

TEST_F(DownloadWorkerTest, ResumeAppendsAtTheLocalSize) {
  PrepareEntry("resume", "whole.bin", "KWHOLE");
  state_.existingFileRule = 3;
  WriteBytes(LocalPath(), std::string(1000, 'x'));  // not the source's bytes: proves they are kept
  EXPECT_EQ(kStatusNone, RunWorker());
  EXPECT_TRUE(SameBytes(std::string(1000, 'x') + source_.substr(1000), ReadBytes(LocalPath())));
  EXPECT_EQ(1, CountLogLines(kServer, {"\"request\"", "\"offset\":1000"}));
}

TEST_F(DownloadWorkerTest, OverwriteRuleReplacesTheFile) {
  PrepareEntry("overwrite", "whole.bin", "KWHOLE");
  state_.existingFileRule = 1;
  WriteBytes(LocalPath(), std::string(200000, 'x'));
  EXPECT_EQ(kStatusNone, RunWorker());
  EXPECT_TRUE(SameBytes(source_, ReadBytes(LocalPath())));
}

TEST_F(DownloadWorkerTest, AskRuleAsksOnlyForANonEmptyFile) {
  DownloadEntry& entry = PrepareEntry("ask", "whole.bin", "KWHOLE");
  state_.existingFileRule = 2;
  WriteBytes(LocalPath(), "abc");
  EXPECT_EQ(kStatusAskExistingFile, RunWorker());
  EXPECT_TRUE(SameBytes("abc", ReadBytes(LocalPath())));
  EXPECT_NE(kEntryComplete, entry.state.load());

  state_.downloadStatus = kStatusNone;
  WriteBytes(LocalPath(), "");
  EXPECT_EQ(kStatusNone, RunWorker());
  EXPECT_TRUE(SameBytes(source_, ReadBytes(LocalPath())));
}

TEST_F(DownloadWorkerTest, LocalFileOfTheListedSizeIsCompleteAndUntouched) {
  DownloadEntry& entry = PrepareEntry("exact", "whole.bin", "KWHOLE");
  const std::string local(source_.size(), 'y');
  WriteBytes(LocalPath(), local);
  EXPECT_EQ(kStatusNone, RunWorker());
  EXPECT_EQ(kEntryComplete, entry.state.load());
  EXPECT_EQ(entry.size.load(), entry.received.load());
  EXPECT_TRUE(SameBytes(local, ReadBytes(LocalPath())));
}

TEST_F(DownloadWorkerTest, LargerLocalFileNeverCompletes) {
  DownloadEntry& entry = PrepareEntry("larger", "whole.bin", "KWHOLE");
  WriteBytes(LocalPath(), source_ + "extra");
  EXPECT_EQ(kStatusNetworkFailure, RunWorker());
  EXPECT_NE(kEntryComplete, entry.state.load());
}

TEST_F(DownloadWorkerTest, SubfoldersAreCreated) {
  PrepareEntry("sub", "whole.bin", "KWHOLE", "a\\b\\");
  EXPECT_EQ(kStatusNone, RunWorker());
  EXPECT_TRUE(SameBytes(source_, ReadBytes(saveFolder_ + "\\a\\b\\whole.bin")));
}

TEST_F(DownloadWorkerTest, LastLevelWithoutBackslashIsNotCreated) {
  PrepareEntry("subopen", "whole.bin", "KWHOLE", "a\\b");
  EXPECT_EQ(kStatusLocalFileFailure, RunWorker());
  EXPECT_TRUE(FileExists(saveFolder_ + "\\a"));
  EXPECT_FALSE(FileExists(saveFolder_ + "\\a\\b"));
}

TEST_F(DownloadWorkerTest, ServerClosingMidFileIsResumedByTheNextWorker) {
  DownloadEntry& entry = PrepareEntry("cut", "big.bin", "KCUT");
  EXPECT_EQ(kStatusNetworkFailure, RunWorker());
  EXPECT_EQ(1000000, entry.received.load());
  EXPECT_EQ(1, entry.requested.load());

  state_.downloadStatus = kStatusNone;
  EXPECT_EQ(kStatusNone, RunWorker());
  EXPECT_EQ(kEntryComplete, entry.state.load());
  EXPECT_TRUE(SameBytes(source_, ReadBytes(LocalPath())));
  EXPECT_EQ(1, CountLogLines(kServer, {"\"request\"", "\"key\":\"KCUT\"", "\"offset\":1000000"}));
}

TEST_F(DownloadWorkerTest, StopIsHonouredWithinOneMoreChunk) {
  DownloadEntry& entry = PrepareEntry("stop", "large.bin", "KLARGE");
  ASSERT_TRUE(workers_.Start(sharedState_));
  for (int i = 0; i < 1000 && entry.received.load() == 0; ++i) Sleep(5);
  ASSERT_GT(entry.received.load(), 0);
  entry.state = kEntryStopped;  // the plain stop request, without the socket shutdown
  const std::int64_t atStop = entry.received.load();
  ASSERT_TRUE(workers_.WaitAll(30000));
  EXPECT_EQ(kStatusStopped, state_.downloadStatus.load());
  EXPECT_LE(entry.received.load(), atStop + 2048);
  EXPECT_LT(entry.received.load(), entry.size.load());
  EXPECT_EQ(entry.received.load(), static_cast<std::int64_t>(ReadBytes(LocalPath()).size()));
}

TEST_F(DownloadWorkerTest, StopEndsAStalledDownloadAndKeepsThePartialFile) {
  DownloadEntry& entry = PrepareEntry("stall", "big.bin", "KSTALL");
  WriteBytes(LocalPath(), source_.substr(0, 4096));
  ASSERT_TRUE(workers_.Start(sharedState_));
  for (int i = 0; i < 1000 && entry.requested.load() == 0; ++i) Sleep(5);
  Sleep(300);  // the worker now waits for bytes that do not come
  const DWORD before = GetTickCount();
  state_.RequestStop();
  ASSERT_TRUE(workers_.WaitAll(10000)) << "the stalled worker did not end";
  EXPECT_LT(GetTickCount() - before, 10000u);
  EXPECT_EQ(kStatusStopped, state_.downloadStatus.load());
  EXPECT_EQ(kEntryStopped, entry.state.load());
  EXPECT_TRUE(SameBytes(source_.substr(0, 4096), ReadBytes(LocalPath())));
}

TEST_F(DownloadWorkerTest, NoSecondWorkerWhileOneIsRegistered) {
  DownloadEntry& entry = PrepareEntry("twice", "big.bin", "KSTALL");
  ASSERT_TRUE(workers_.Start(sharedState_));
  EXPECT_FALSE(workers_.Start(sharedState_));
  state_.RequestStop();
  ASSERT_TRUE(workers_.WaitAll(10000));
  entry.state = kEntryDownloading;
  EXPECT_TRUE(workers_.Start(sharedState_));  // the ended worker no longer counts
  state_.RequestStop();
  EXPECT_TRUE(workers_.WaitAll(10000));
}

TEST_F(DownloadWorkerTest, HostileNamesWriteNothingOutsideTheSaveFolder) {
  for (const char* sub : {"", "..\\"}) {
    DownloadEntry& entry = PrepareEntry("hostile", "whole.bin", "KWHOLE", sub);
    const std::string outside = Workdir() + "local\\evil.bin";
    DeleteFileW(W(outside).c_str());
    entry.name = *sub ? "evil.bin" : "..\\evil.bin";
    EXPECT_EQ(kStatusLocalFileFailure, RunWorker()) << sub;
    EXPECT_FALSE(FileExists(outside)) << sub;
    state_.downloadStatus = kStatusNone;
  }
}

TEST_F(DownloadWorkerTest, AResumedFileCountsItsLocalBytesBeforeTheFirstChunk) {
  DownloadEntry& entry = PrepareEntry("resume-count", "big.bin", "KSTALL");
  WriteBytes(LocalPath(), source_.substr(0, 4096));
  entry.received = 0;
  ASSERT_TRUE(workers_.Start(sharedState_));
  // The service stalls before its data: the count can only come from the offset.
  bool counted = false;
  for (int i = 0; i < 400 && !(counted = entry.received.load() == 4096); ++i) Sleep(25);
  EXPECT_TRUE(counted) << "received " << entry.received.load();
  state_.RequestStop();
  EXPECT_TRUE(workers_.WaitAll(10000));
}

// The window may go while its worker still runs (here the test holds the
// worker's thread); the worker keeps the job state it writes into.
TEST_F(DownloadWorkerTest, AWorkerKeepsItsJobStateAliveUntilItEnds) {
  DownloadEntry& entry = PrepareEntry("alive", "big.bin", "KSTALL");
  ASSERT_TRUE(workers_.Start(sharedState_));
  for (int i = 0; i < 1000 && entry.requested.load() == 0; ++i) Sleep(5);
  Sleep(300);  // the worker now waits in its receive
  HANDLE worker = OpenThread(THREAD_SUSPEND_RESUME, FALSE, workers_.ThreadId());
  ASSERT_NE(nullptr, worker);
  ASSERT_NE(static_cast<DWORD>(-1), SuspendThread(worker));
  state_.RequestStop();
  std::weak_ptr<DownloadJobState> weak = sharedState_;
  sharedState_.reset();  // the owner lets go; state_ and entry are not used again
  EXPECT_FALSE(weak.expired()) << "the state went while its worker ran";
  ResumeThread(worker);
  CloseHandle(worker);
  ASSERT_TRUE(workers_.WaitAll(10000));
  for (int i = 0; i < 100 && !weak.expired(); ++i) Sleep(20);  // the thread's last release
  EXPECT_TRUE(weak.expired()) << "the ended worker still holds the state";
}

}  // namespace
