// The upload worker against the reference data and transfer servers (127.0.7.1).
#include <gtest/gtest.h>

#include <memory>

#include "ByteAssertions.h"
#include "DownloaderTestSupport.h"
#include "HandleCount.h"
#include "ServiceEndpoints.h"
#include "UploadText.h"
#include "UploadWorker.h"

using harness::SameBytes;
using namespace test_support;

namespace {

const char kServer[] = "127.0.7.1";
constexpr std::int64_t kChunk = 2048;

std::string Field(const std::string& name, const std::string& text) { return "\"" + name + "\":\"" + text + "\""; }
// A number is followed by the next field in the log's lines.
std::string Field(const std::string& name, std::int64_t number) {
  return "\"" + name + "\":" + std::to_string(number) + ",";
}

// True when nobody else holds the file open.
bool OpensExclusively(const std::string& path) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool Truncate(const std::string& path, std::int64_t size) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER end;
  end.QuadPart = size;
  const bool cut = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return cut;
}

#define EXPECT_COMPLETED(sent, stored)   \
  do {                                   \
    SCOPED_TRACE("expected complete");   \
    ExpectCompleted((sent), (stored));   \
  } while (0)

class UploadWorkerTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    OverrideTransferServerHost(kServer);
  }

  // Entry 0 for the file at `path`, sent as `key`/`name` and listed with
  // `listedSize` (the file's size when negative); each entry gets a file id
  // of its own, so that its completion notice can be told from the others.
  UploadEntry& PrepareEntry(const std::string& path, const std::string& key, const std::string& name = "file.bin",
                            std::int64_t listedSize = -1) {
    static std::int32_t lastFileId = 100;
    path_ = path;
    source_ = ReadBytes(path);
    key_ = key;
    name_ = name;
    UploadEntry& entry = state_.entries[0];
    entry = UploadEntry();
    entry.folder = upload_text::FolderOf(path);
    entry.name = path.substr(entry.folder.size());
    entry.localPath = path;
    entry.size = listedSize < 0 ? static_cast<std::int64_t>(source_.size()) : listedSize;
    entry.fileId = ++lastFileId;
    entry.dataServer = kServer;
    entry.uploadKey = key;
    entry.uploadName = name;
    entry.state = kUploadSending;
    state_.entryCount = 1;
    state_.transferCursor = 0;
    state_.currentPath = path;
    state_.uploadStatus = kUploadStatusNone;
    return entry;
  }

  // A copy of a file of the service root in a fresh local folder.
  std::string LocalCopy(const std::string& folder, const std::string& source, const std::string& name) {
    const std::string path = FreshFolder(folder) + "\\" + name;
    WriteBytes(path, ReadBytes(ServiceRoot(kServer) + source));
    return path;
  }

  // Runs one worker to its end (bounded) and returns its outcome.
  int RunWorker(DWORD timeoutMs = 60000) {
    EXPECT_TRUE(workers_.Start(sharedState_));
    EXPECT_TRUE(workers_.WaitAll(timeoutMs)) << "the worker did not end";
    workers_.RemoveEnded();
    return state_.uploadStatus.load();
  }

  // Resumes as the window does after a stop or a failure.
  int RunAgain() {
    state_.entries[0].state = kUploadSending;
    state_.uploadStatus = kUploadStatusNone;
    return RunWorker();
  }

  std::string Stored() const { return ReadBytes(ServiceRoot(kServer) + "uploads\\" + key_ + "\\" + name_); }

  // The data server's request lines for this entry's key (and `details`).
  int Requests(std::vector<std::string> details = {}) const {
    details.insert(details.end(), {"\"server\":\"upload\"", "\"event\":\"request\"", Field("key", key_)});
    return CountLogLines(kServer, details);
  }
  // Connections the data server has accepted so far.
  static int Connections() { return CountLogLines(kServer, {"\"server\":\"upload\"", "\"event\":\"open\""}); }
  static bool WaitForConnection(int connectionsBefore) {
    for (int i = 0; i < 400 && Connections() <= connectionsBefore; ++i) Sleep(25);
    return Connections() > connectionsBefore;
  }
  // The transfer server's completion notices for this entry's file id.
  int Notices() const {
    return CountLogLines(kServer, {"\"event\":\"upload_complete\"",
                                   Field("file_id", std::to_string(state_.entries[0].fileId))});
  }
  // Waits (bounded) until the data server has ended `count` connections of this key.
  bool WaitForServerEnds(int count, DWORD timeoutMs = 20000) const {
    const std::string folder = "/uploads/" + key_ + "/";
    for (DWORD waited = 0;; waited += 50) {
      if (CountLogLines(kServer, {"\"server\":\"upload\"", "\"event\":\"end\"", folder}) >= count) return true;
      if (waited >= timeoutMs) return false;
      Sleep(50);
    }
  }
  // Waits (bounded) until the data server stalls a connection. The stall
  // line names no key: one test at a time has a stalling key.
  bool WaitForStall() const {
    for (int i = 0; i < 400; ++i) {
      if (CountLogLines(kServer, {"\"event\":\"stall\""}) > stallsSeen_) return true;
      Sleep(50);
    }
    return false;
  }
  // Waits until `sent` has not moved for half a second: the worker's send
  // waits for room. Returns that count.
  std::int64_t WaitUntilSendBlocks() const {
    std::int64_t last = -1;
    for (int i = 0; i < 60 && state_.entries[0].sent.load() != last; ++i) {
      last = state_.entries[0].sent.load();
      Sleep(500);
    }
    return last;
  }

  // Use EXPECT_COMPLETED, which names the caller's line.
  void ExpectCompleted(std::int64_t sent, const std::string& stored) {
    const UploadEntry& entry = state_.entries[0];
    EXPECT_EQ(kUploadComplete, entry.state.load());
    EXPECT_EQ(0, entry.transferring.load());
    EXPECT_EQ(sent, entry.sent.load());
    EXPECT_TRUE(SameBytes(stored, Stored()));
    EXPECT_EQ(1, Notices());
    EXPECT_TRUE(OpensExclusively(path_)) << "the worker still holds the file";
  }

  std::shared_ptr<UploadJobState> sharedState_ = std::make_shared<UploadJobState>();
  UploadJobState& state_ = *sharedState_;
  UploadWorkers workers_;
  std::string path_;
  std::string source_;
  std::string key_;
  std::string name_;
  int stallsSeen_ = CountLogLines(kServer, {"\"event\":\"stall\""});
};

TEST_F(UploadWorkerTest, WholeFileIsStoredByteIdenticalAndAnnounced) {
  PrepareEntry(ServiceRoot(kServer) + "whole.bin", "UWHOLE");
  EXPECT_EQ(kUploadStatusNone, RunWorker());
  EXPECT_COMPLETED(4194304, source_);
  EXPECT_EQ(1, Requests({Field("name", "file.bin"), Field("offset", 0), Field("size", 4194304)}));
  // The notice: "@Upload_complute", then the file id on the same connection.
  const std::string fileId = std::to_string(state_.entries[0].fileId);
  EXPECT_EQ(1, CountLogLines(kServer, {"\"event\":\"exchange\"", Field("request", fileId), Field("reply", "Ok")}));
}

TEST_F(UploadWorkerTest, KoreanNamedFileIsReadThroughItsCp949Path) {
  const std::string path = LocalCopy("korean", "whole.bin", "한글 자료.bin");
  PrepareEntry(path, "UKOREAN", "사진 모음.bin");
  EXPECT_EQ(kUploadStatusNone, RunWorker());
  EXPECT_COMPLETED(4194304, source_);
  EXPECT_EQ(1, Requests({Field("name", reinterpret_cast<const char*>(u8"사진 모음.bin"))}));
}

TEST_F(UploadWorkerTest, EmptyFileSendsNoDataAndStillCompletes) {
  const std::string path = FreshFolder("empty") + "\\empty.bin";
  WriteBytes(path, "");
  PrepareEntry(path, "UEMPTY");
  state_.currentSpeed = 12345;
  EXPECT_EQ(kUploadStatusNone, RunWorker());
  EXPECT_COMPLETED(0, "");
  EXPECT_EQ(12345, state_.currentSpeed.load()) << "no sample was taken, so the speed stays";
  EXPECT_EQ(1, CountLogLines(kServer, {"\"event\":\"end\"", "/UEMPTY/", Field("bytes", 0)}));
}

TEST_F(UploadWorkerTest, PositiveResumeOffsetSendsOnlyTheTail) {
  PrepareEntry(ServiceRoot(kServer) + "whole.bin", "UTAIL");
  // Bytes of its own in the part the server holds prove the worker leaves it alone.
  const std::string held(1000001, 'x');
  CreateDirectoryW(W(ServiceRoot(kServer) + "uploads").c_str(), nullptr);
  CreateDirectoryW(W(ServiceRoot(kServer) + "uploads\\UTAIL").c_str(), nullptr);
  WriteBytes(ServiceRoot(kServer) + "uploads\\UTAIL\\file.bin", held);
  EXPECT_EQ(kUploadStatusNone, RunWorker());
  EXPECT_COMPLETED(4194304, held + source_.substr(held.size()));
  EXPECT_EQ(1, Requests({Field("offset", 1000001)}));
  EXPECT_EQ(1, CountLogLines(kServer, {"\"event\":\"end\"", "/UTAIL/", Field("bytes", 4194304 - 1000001)}));
}

TEST_F(UploadWorkerTest, OffsetAtOrBeyondTheDiskSizeSendsNothingAndCompletes) {
  UploadEntry& entry = PrepareEntry(ServiceRoot(kServer) + "whole.bin", "UBEYOND");
  EXPECT_EQ(kUploadStatusNone, RunWorker());
  EXPECT_EQ(kUploadComplete, entry.state.load());
  EXPECT_EQ(0, entry.transferring.load());
  EXPECT_EQ(4194404, entry.sent.load()) << "sent is the offset the server reported";
  EXPECT_EQ(1, Notices());
  EXPECT_EQ(1, CountLogLines(kServer, {"\"event\":\"end\"", "/UBEYOND/", Field("bytes", 0)}));
}

TEST_F(UploadWorkerTest, NegativeOffsetSendsTheWholeFile) {
  PrepareEntry(ServiceRoot(kServer) + "whole.bin", "UNEGATIVE");
  EXPECT_EQ(kUploadStatusNone, RunWorker());
  EXPECT_COMPLETED(4194304, source_);
  EXPECT_EQ(1, Requests({Field("offset", -5)}));
}

TEST_F(UploadWorkerTest, ConnectionDroppedMidFileFailsAtTheLastWholeChunkAndResumes) {
  UploadEntry& entry = PrepareEntry(ServiceRoot(kServer) + "large.bin", "UCUT");
  EXPECT_EQ(kUploadNetworkFailure, RunWorker());
  EXPECT_EQ(kUploadSending, entry.state.load());
  EXPECT_EQ(1, entry.transferring.load());
  EXPECT_EQ(0, entry.sent.load() % kChunk) << entry.sent.load();
  EXPECT_GE(entry.sent.load(), 1000000);
  EXPECT_LT(entry.sent.load(), entry.size.load());
  EXPECT_EQ(0, Notices());
  EXPECT_TRUE(SameBytes(source_.substr(0, 1000000), Stored()));

  EXPECT_EQ(kUploadStatusNone, RunAgain());
  EXPECT_COMPLETED(24000000, source_);
  EXPECT_EQ(1, Requests({Field("offset", 1000000)}));
}

TEST_F(UploadWorkerTest, ResumeOffsetReceiveErrorIsShownAndFailsTheUpload) {
  BoxWatcher watcher;
  UploadEntry& entry = PrepareEntry(ServiceRoot(kServer) + "whole.bin", "UOFFSETERROR");
  EXPECT_EQ(kUploadNetworkFailure, RunWorker());
  ASSERT_TRUE(watcher.WaitForBoxes(1, 5000));
  const std::vector<SeenBox> boxes = watcher.Boxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(W("업로더 (오류)"), boxes[0].caption);
  EXPECT_EQ(W("파일용량 수신에러."), boxes[0].text);
  EXPECT_EQ(kUploadSending, entry.state.load());
  EXPECT_EQ(0, entry.transferring.load());
  EXPECT_EQ(0, entry.sent.load());
  EXPECT_EQ(0, Notices());
  EXPECT_TRUE(OpensExclusively(path_));
}

// A connection closed before the server named an offset holds nothing of
// the file: a small file would fit in one send that succeeds locally and be
// reported complete with nothing stored.
TEST_F(UploadWorkerTest, ClosedConnectionBeforeTheOffsetFailsAndCompletesNothing) {
  for (const char* file : {"small.bin", "large.bin"}) {
    BoxWatcher watcher;
    UploadEntry& entry = PrepareEntry(ServiceRoot(kServer) + file, "UCLOSED");
    entry.sent = 777;
    EXPECT_EQ(kUploadNetworkFailure, RunWorker()) << file;
    EXPECT_EQ(kUploadSending, entry.state.load()) << file;
    EXPECT_EQ(0, entry.transferring.load()) << file;
    EXPECT_EQ(777, entry.sent.load()) << file;
    EXPECT_EQ(0, Notices()) << file;
    EXPECT_TRUE(watcher.Boxes().empty()) << file;
  }
}

TEST_F(UploadWorkerTest, StopEndsTheUploadKeepsSentAndTheNextStartResumes) {
  UploadEntry& entry = PrepareEntry(ServiceRoot(kServer) + "large.bin", "USTOP");
  ASSERT_TRUE(workers_.Start(sharedState_));
  for (int i = 0; i < 2000 && entry.sent.load() == 0; ++i) Sleep(5);
  ASSERT_GT(entry.sent.load(), 0);
  state_.RequestStop();
  ASSERT_TRUE(workers_.WaitAll(10000));
  workers_.RemoveEnded();
  EXPECT_EQ(kUploadStoppedByUser, state_.uploadStatus.load());
  EXPECT_EQ(kUploadStopped, entry.state.load());
  EXPECT_EQ(1, entry.transferring.load());
  EXPECT_LT(entry.sent.load(), entry.size.load());
  EXPECT_EQ(0, entry.sent.load() % kChunk);
  EXPECT_EQ(0, Notices());
  EXPECT_TRUE(OpensExclusively(path_));

  ASSERT_TRUE(WaitForServerEnds(1));
  EXPECT_EQ(kUploadStatusNone, RunAgain());
  EXPECT_COMPLETED(24000000, source_);
  EXPECT_EQ(2, Requests());
  EXPECT_EQ(1, Requests({Field("offset", 0)}));
}

TEST_F(UploadWorkerTest, PlainStopRequestIsHonouredAfterTheChunkInFlight) {
  UploadEntry& entry = PrepareEntry(ServiceRoot(kServer) + "large.bin", "UPLAIN");
  ASSERT_TRUE(workers_.Start(sharedState_));
  for (int i = 0; i < 2000 && entry.sent.load() == 0; ++i) Sleep(5);
  ASSERT_GT(entry.sent.load(), 0);
  entry.state = kUploadStopped;  // without the socket shutdown
  const std::int64_t atStop = entry.sent.load();
  ASSERT_TRUE(workers_.WaitAll(10000));
  workers_.RemoveEnded();
  EXPECT_EQ(kUploadStoppedByUser, state_.uploadStatus.load());
  EXPECT_LE(entry.sent.load(), atStop + kChunk);
  EXPECT_EQ(0, Notices());
}

// The server stops reading, the buffers fill and the worker's send waits for
// room; a stop must still end it at once, not when the server reads again.
TEST_F(UploadWorkerTest, StopEndsASendThatWaitsForRoomAtOnce) {
  UploadEntry& entry = PrepareEntry(ServiceRoot(kServer) + "large.bin", "USTALL");
  ASSERT_TRUE(workers_.Start(sharedState_));
  ASSERT_TRUE(WaitForStall());
  const std::int64_t blockedAt = WaitUntilSendBlocks();
  ASSERT_GT(blockedAt, 0);
  const DWORD before = GetTickCount();
  state_.RequestStop();
  ASSERT_TRUE(workers_.WaitAll(3000)) << "the stop did not end the waiting send";
  workers_.RemoveEnded();
  EXPECT_LT(GetTickCount() - before, 3000u);
  EXPECT_EQ(kUploadStoppedByUser, state_.uploadStatus.load());
  EXPECT_EQ(kUploadStopped, entry.state.load());
  EXPECT_EQ(blockedAt, entry.sent.load());
  EXPECT_EQ(0, Notices());

  // The server may hold part of the chunk that waited: the next start follows
  // the server's offset, not `sent`.
  ASSERT_TRUE(WaitForServerEnds(1));
  state_.currentSpeed = 0;
  EXPECT_EQ(kUploadStatusNone, RunAgain());
  EXPECT_COMPLETED(24000000, source_);
  EXPECT_GT(state_.currentSpeed.load(), 0);
}

TEST_F(UploadWorkerTest, StopWhileWaitingForTheResumeOffsetEndsWithoutABox) {
  BoxWatcher watcher;
  UploadEntry& entry = PrepareEntry(ServiceRoot(kServer) + "whole.bin", "UWAIT");
  const int connections = Connections();
  ASSERT_TRUE(workers_.Start(sharedState_));
  ASSERT_TRUE(WaitForConnection(connections));
  Sleep(300);
  const DWORD before = GetTickCount();
  state_.RequestStop();
  ASSERT_TRUE(workers_.WaitAll(3000)) << "the stop did not end the offset wait";
  workers_.RemoveEnded();
  EXPECT_LT(GetTickCount() - before, 3000u);
  EXPECT_EQ(kUploadStoppedByUser, state_.uploadStatus.load());
  EXPECT_EQ(0, entry.transferring.load());
  EXPECT_EQ(0, Notices());
  EXPECT_TRUE(watcher.Boxes().empty());
}

TEST_F(UploadWorkerTest, UnreachableDataServerFailsTheUpload) {
  UploadEntry& entry = PrepareEntry(ServiceRoot(kServer) + "whole.bin", "UNOSERVER");
  entry.dataServer = "256.0.7.1";  // no dotted IPv4: the worker does no name lookup
  EXPECT_EQ(kUploadNetworkFailure, RunWorker());
  EXPECT_EQ(kUploadSending, entry.state.load());
  EXPECT_EQ(0, entry.transferring.load());
  EXPECT_EQ(0, Notices());
  EXPECT_TRUE(OpensExclusively(path_));
}

TEST_F(UploadWorkerTest, PathsOffALocalDriveAreNeverOpened) {
  const std::string file = ServiceRoot(kServer) + "whole.bin";  // "Z:\...": exists
  std::string slashed = file;
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }
  DWORD drives = GetLogicalDrives();
  char unmapped = 'Y';
  while (unmapped > 'D' && (drives & (1u << (unmapped - 'A')))) --unmapped;
  const int connections = Connections();
  const std::vector<std::string> paths = {"\\\\?\\" + file, slashed, "\\\\localhost\\share\\whole.bin",
                                          std::string(1, unmapped) + ":\\whole.bin", "whole.bin"};
  for (const std::string& path : paths) {
    UploadEntry& entry = PrepareEntry(file, "UREFUSED");
    state_.currentPath = path;
    EXPECT_EQ(kUploadFileUnreadable, RunWorker()) << path;
    EXPECT_EQ(0, entry.transferring.load()) << path;
  }
  EXPECT_EQ(connections, Connections());
}

TEST_F(UploadWorkerTest, MissingFileCannotBeOpened) {
  const std::string path = FreshFolder("missing") + "\\gone.bin";
  WriteBytes(path, "abc");
  UploadEntry& entry = PrepareEntry(path, "UMISSING");
  DeleteFileW(W(path).c_str());
  EXPECT_EQ(kUploadFileUnreadable, RunWorker());
  EXPECT_EQ(0, entry.transferring.load());
  EXPECT_EQ(0, Requests());
}

// The worker sends the file while another program may write it; a file that
// shrinks under it must end the upload instead of reading nothing for ever.
TEST_F(UploadWorkerTest, FileThatShrinksDuringTheUploadEndsItAsUnreadable) {
  const std::string path = LocalCopy("shrink", "large.bin", "shrink.bin");
  UploadEntry& entry = PrepareEntry(path, "USHRINK");
  ASSERT_TRUE(workers_.Start(sharedState_));
  ASSERT_TRUE(WaitForStall());
  const std::int64_t blockedAt = WaitUntilSendBlocks();
  ASSERT_GT(blockedAt, 1000000);
  ASSERT_TRUE(Truncate(path, 1000000));
  ASSERT_TRUE(workers_.WaitAll(30000)) << "the worker did not end";
  workers_.RemoveEnded();
  EXPECT_EQ(kUploadFileUnreadable, state_.uploadStatus.load());
  EXPECT_NE(kUploadComplete, entry.state.load());
  EXPECT_EQ(0, Notices());
  EXPECT_TRUE(OpensExclusively(path));
}

// The loop ends at the size on disk; the worker completes the file there
// whatever size the list gave, since the window could not tell it complete.
TEST_F(UploadWorkerTest, ListedSizeOtherThanTheDiskSizeCompletesAtTheDiskSize) {
  for (const std::int64_t listed : {4194304 + 5000, 4194304 - 5000}) {
    const std::string key = listed > 4194304 ? "UBIGGER" : "USMALLER";
    PrepareEntry(ServiceRoot(kServer) + "whole.bin", key, "file.bin", listed);
    EXPECT_EQ(kUploadStatusNone, RunWorker()) << key;
    EXPECT_COMPLETED(4194304, source_);
    EXPECT_EQ(1, Requests({Field("size", listed)})) << key;
  }
}

TEST_F(UploadWorkerTest, NoHandleOutlivesTheWorkerOnAnyPath) {
  BoxWatcher watcher;
  const std::string whole = ServiceRoot(kServer) + "whole.bin";
  const std::string large = ServiceRoot(kServer) + "large.bin";
  auto runAll = [&] {
    PrepareEntry(whole, "ULEAKWHOLE");
    EXPECT_EQ(kUploadStatusNone, RunWorker());
    PrepareEntry(large, "ULEAKCUT");
    EXPECT_EQ(kUploadNetworkFailure, RunWorker());
    PrepareEntry(whole, "ULEAKERROR");
    EXPECT_EQ(kUploadNetworkFailure, RunWorker());
    PrepareEntry(whole, "ULEAKNOSERVER").dataServer = "256.0.7.1";
    EXPECT_EQ(kUploadNetworkFailure, RunWorker());
    PrepareEntry(whole, "ULEAKREFUSED");
    state_.currentPath = "\\\\?\\" + whole;
    EXPECT_EQ(kUploadFileUnreadable, RunWorker());
    PrepareEntry(whole, "ULEAKWAIT");
    const int connections = Connections();
    ASSERT_TRUE(workers_.Start(sharedState_));
    ASSERT_TRUE(WaitForConnection(connections));
    state_.RequestStop();
    ASSERT_TRUE(workers_.WaitAll(5000));
    workers_.RemoveEnded();
    EXPECT_EQ(kUploadStoppedByUser, state_.uploadStatus.load());
  };
  runAll();  // the first runs set up what the process keeps (Winsock's own handles)
  const int before = harness::OwnHandleCount();
  ASSERT_GT(before, 0);
  for (int i = 0; i < 3; ++i) runAll();
  EXPECT_EQ(before, harness::OwnHandleCount());
}

}  // namespace
