// Upload job processing against reference transfer servers: 127.0.7.10
// (members, upload lists and odd replies), 127.0.7.11 (refuses "@Upload");
// nothing listens on 127.0.7.12. The files the lists name are written by
// the tests into C:\users\Public\HaulboxUploadJobTests (the services' lists
// hold those paths; C: of the prefix is a fixed local drive).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "Application.h"
#include "DownloaderTestSupport.h"
#include "ServiceEndpoints.h"
#include "TextConversion.h"
#include "UploadJob.h"

using namespace test_support;

namespace {

const char kServer[] = "127.0.7.10";
const char kRefusing[] = "127.0.7.11";
const char kNobody[] = "127.0.7.12";

const char kFolder[] = "C:\\users\\Public\\HaulboxUploadJobTests\\";
const std::string kZeroSample(30, '0');

const char kNotLoggedIn[] = "회원 로그인후 이용해주세요.";
const char kListRefused[] = "추가할수 있는 파일의 개수를 초과할수 없습니다.\n총개수 : 180개 제한";
const char kConnectFailure[] = "파일전송 서버에 접속할수 없습니다.";
const char kPathsLeftOut[] = "업로드할 수 없는 경로의 파일이 있어\n해당 파일은 목록에 추가하지 않았습니다.";
const char kTitle[] = "UploadJobTests";

// What the job asks of its window, recorded.
class FakeHost : public UploadJobHost {
public:
  HWND JobOwner() override { return nullptr; }
  void AttachSystemIcons() override { ++iconAttaches; }
  void ExitProgram() override { ++exits; }
  void AddRow(int entryIndex) override { rows.push_back(entryIndex); }
  void RecomputeTotals() override { ++totals; }
  bool IsRunning() override { return running; }
  void ToggleUpload() override { ++toggles; }

  int iconAttaches = 0, exits = 0, totals = 0, toggles = 0;
  bool running = false;
  std::vector<int> rows;
};

class TestApp : public Application {};

std::string FromUtf8(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
  return Narrow(wide);
}

// The JSON string that starts after `key` in `line`, unescaped, as CP949.
std::string JsonText(const std::string& line, const std::string& key) {
  std::size_t at = line.find("\"" + key + "\":\"");
  if (at == std::string::npos) return std::string();
  std::string utf8;
  for (at += key.size() + 4; at < line.size() && line[at] != '"'; ++at) {
    if (line[at] != '\\' || at + 1 >= line.size()) {
      utf8 += line[at];
      continue;
    }
    const char escaped = line[++at];
    if (escaped == 'n') {
      utf8 += '\n';
    } else if (escaped == 'u' && at + 4 < line.size()) {
      // Only bytes below 0x20 are written this way.
      utf8 += static_cast<char>(std::stoi(line.substr(at + 1, 4), nullptr, 16));
      at += 4;
    } else {
      utf8 += escaped;
    }
  }
  return FromUtf8(utf8);
}

std::vector<std::string> LogLines(const std::string& address) {
  std::ifstream log(Widen(Workdir() + address + ".jsonl").c_str());
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(log, line)) lines.push_back(line);
  return lines;
}

// The requests the transfer server on `address` was sent, in order, from
// log line `from` on. A request is logged before its reply goes out, so every
// exchange the job made is there when it returns.
std::vector<std::string> RequestsSince(const std::string& address, std::size_t from) {
  const std::vector<std::string> lines = LogLines(address);
  std::vector<std::string> requests;
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (lines[i].find("\"event\":\"exchange\"") == std::string::npos) continue;
    requests.push_back(JsonText(lines[i], "request"));
  }
  return requests;
}

// The file id the server gave the signature of the entry with upload key `key`.
int FileIdLogged(const std::string& address, std::size_t from, const std::string& key) {
  const std::vector<std::string> lines = LogLines(address);
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (lines[i].find("\"event\":\"signature\"") == std::string::npos) continue;
    if (JsonText(lines[i], "key") != key) continue;
    const std::size_t at = lines[i].find("\"file_id\":");
    if (at != std::string::npos) return std::stoi(lines[i].substr(at + 10));
  }
  return -1;
}

std::string Zeroed(int size) { return std::to_string(size) + kZeroSample; }

void ExpectBox(const SeenBox& box, const char* text, const char* caption) {
  EXPECT_EQ(W(text), box.text);
  EXPECT_EQ(W(caption), box.caption);
}

void MakeFolder(const std::string& folder) {
  if (!CreateDirectoryW(Widen(folder).c_str(), nullptr)) {
    ASSERT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError()) << folder;
  }
}

void MakeFile(const std::string& path, const std::string& bytes) {
  WriteBytes(path, bytes);
  ASSERT_EQ(bytes, ReadBytes(path)) << path;
}

class UploadJobTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    app_ = new TestApp;
    app_->SetRegistryKey("QuorvanesTest");
    app_->SetTitle(kTitle);
  }

  void SetUp() override {
    OverrideTransferServerHost(kServer);
    app_->WriteProfileInt("Config", "UP_Autostart", 0);
    ASSERT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeW(L"C:\\"));
    // The lists' files, written afresh; the "missing-" files are never made.
    const std::string folder = kFolder;
    MakeFolder(folder);
    MakeFolder(folder + "한글");
    MakeFile(folder + "alpha.bin", "abcdefghijklmnopqrst");
    MakeFile(folder + "한글\\보고서 (최종).txt", "0123456789\xFF\x80");
  }

  std::string Handoff(const std::string& listCode, const std::string& member, const std::string& server = "1") {
    return "Haulbox_uploader_Manager|" + listCode + "|" + member + "|" + server;
  }
  std::vector<std::string> EntryNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < state_.entryCount; ++i) names.push_back(state_.entries[i].name);
    return names;
  }
  // Runs a job and gives the requests it sent to `address`.
  std::vector<std::string> Run(const std::string& handoff, const std::string& address = kServer) {
    const std::size_t from = LogLines(address).size();
    job_.ProcessUploadJob(handoff);
    return RequestsSince(address, from);
  }

  static TestApp* app_;
  UploadJobState state_;
  FakeHost host_;
  UploadJob job_{state_, host_};
};
TestApp* UploadJobTest::app_ = nullptr;

using Requests = std::vector<std::string>;

const Requests kLogin = {"@Connect_start", "tester", "@Connect_end", "tester", "@Upload", "@Server1"};

Requests Join(Requests head, const Requests& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

// --- A list fetched ---

TEST_F(UploadJobTest, ListIsFetchedInWireOrderWithASignaturePerFile) {
  BoxWatcher boxes;
  const std::size_t from = LogLines(kServer).size();
  const Requests requests = Run(Handoff("L100", "tester"));
  const std::string alpha = "20107108109110111112113114115116";  // "klmnopqrst" from the middle
  const std::string report = "12" "054055056057001128" "000000000000";  // "6789", 0xFF, 0x80, past the end
  EXPECT_EQ(Join(kLogin, {"L100", alpha, "L100", report, "L100", alpha, "L100"}), requests);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ("tester", job_.MemberId());

  ASSERT_EQ((std::vector<std::string>{"alpha.bin", "보고서 (최종).txt", "alpha.bin"}), EntryNames());
  const UploadEntry& first = state_.entries[0];
  EXPECT_EQ(kFolder, first.folder);
  EXPECT_EQ(std::string(kFolder) + "alpha.bin", first.localPath);
  EXPECT_EQ(kUploadWaiting, first.state.load());
  EXPECT_EQ(0, first.transferring.load());
  EXPECT_EQ(0, first.sent.load());
  EXPECT_EQ(20, first.size.load());
  EXPECT_EQ(kServer, first.dataServer);
  EXPECT_EQ("UK1", first.uploadKey);
  EXPECT_EQ("up-alpha", first.uploadName);
  EXPECT_EQ(FileIdLogged(kServer, from, "UK1"), first.fileId);
  EXPECT_GT(first.fileId, 0);

  const UploadEntry& korean = state_.entries[1];
  EXPECT_EQ(std::string(kFolder) + "한글\\", korean.folder);
  EXPECT_EQ(std::string(kFolder) + "한글\\보고서 (최종).txt", korean.localPath);
  EXPECT_EQ("보고서 (최종).txt", korean.uploadName);
  EXPECT_EQ(12, korean.size.load());
  EXPECT_EQ(FileIdLogged(kServer, from, "UK2"), korean.fileId);

  // The file sent is the listed folder with the listed name, not the listed path.
  const UploadEntry& renamed = state_.entries[2];
  EXPECT_EQ(std::string(kFolder) + "listed-name.bin", renamed.localPath);
  EXPECT_EQ("127.0.7.77", renamed.dataServer);

  EXPECT_EQ((std::vector<int>{0, 1, 2}), host_.rows);
  EXPECT_EQ(1, host_.iconAttaches);
  EXPECT_EQ(1, host_.totals);
  EXPECT_EQ(0, host_.toggles);
  EXPECT_EQ(0, host_.exits);
}

TEST_F(UploadJobTest, SecondJobAppendsItsEntries) {
  Run(Handoff("L100", "tester"));
  Run(Handoff("L100", "tester"));
  EXPECT_EQ(6, state_.entryCount);
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5}), host_.rows);
  EXPECT_EQ(2, host_.totals);
}

TEST_F(UploadJobTest, EmptyServerNumberSendsServer0) {
  const Requests requests = Run(Handoff("L100", "tester", ""));
  ASSERT_GE(requests.size(), 6u);
  EXPECT_EQ("@Server0", requests[5]);
  EXPECT_EQ(3, state_.entryCount);
}

TEST_F(UploadJobTest, AutostartStartsUnlessAlreadyRunning) {
  app_->WriteProfileInt("Config", "UP_Autostart", 1);
  Run(Handoff("L100", "tester"));
  EXPECT_EQ(1, host_.toggles);
  host_.running = true;
  Run(Handoff("L100", "tester"));
  EXPECT_EQ(1, host_.toggles);
  EXPECT_EQ(2, host_.totals);
}

// --- Members ---

TEST_F(UploadJobTest, EmptyMemberIdIsRefusedUnsent) {
  BoxWatcher boxes;
  const Requests requests = Run(Handoff("L100", ""));
  EXPECT_TRUE(requests.empty()) << requests.size() << " requests";
  ASSERT_EQ(1u, boxes.Boxes().size());
  ExpectBox(boxes.Boxes()[0], kNotLoggedIn, "회원정보 (오류)");
  EXPECT_EQ(1, host_.exits);
  EXPECT_EQ(1, host_.iconAttaches);
  EXPECT_EQ(0, host_.totals);
  EXPECT_EQ(0, state_.entryCount);
}

TEST_F(UploadJobTest, UnknownMemberIsLoggedOutAndRefused) {
  BoxWatcher boxes;
  const Requests requests = Run(Handoff("L100", "nobody"));
  EXPECT_EQ((Requests{"@Connect_start", "nobody", "@Connect_end", "nobody"}), requests);
  ASSERT_EQ(1u, boxes.Boxes().size());
  ExpectBox(boxes.Boxes()[0], kNotLoggedIn, "회원정보 (오류)");
  EXPECT_EQ(1, host_.exits);
  EXPECT_EQ(0, host_.totals);
  EXPECT_EQ(0, state_.entryCount);
}

TEST_F(UploadJobTest, MemberInUseElsewhereIsNotLoggedOutAndGetsTheList) {
  BoxWatcher boxes;
  const Requests requests = Run(Handoff("L100", "busy"));
  ASSERT_GE(requests.size(), 4u);
  EXPECT_EQ((Requests{"@Connect_start", "busy", "@Upload", "@Server1"}),
            Requests(requests.begin(), requests.begin() + 4));
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(0, host_.exits);
  EXPECT_EQ(3, state_.entryCount);
  EXPECT_EQ("busy", job_.MemberId());
}

TEST_F(UploadJobTest, HandoffOfAnotherProgramIsIgnored) {
  BoxWatcher boxes;
  for (const char* text : {"Haulbox_downloader_Manager|L100|tester|1", "haulbox_uploader_manager|L100|tester|1",
                           "Haulbox_uploader_Manager"}) {
    EXPECT_TRUE(Run(text).empty()) << text;
  }
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(0, host_.iconAttaches);
  EXPECT_EQ(0, host_.totals);
  EXPECT_EQ(0, state_.entryCount);
}

// An empty text puts nothing on the wire, so no reply would ever come: the
// job must not wait for one (the service would close after 120 s).
TEST_F(UploadJobTest, EmptyRequestsAreNotSent) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  // A login reply without "|" gives an empty member id for the logout.
  Requests requests = Run(Handoff("L100", "lonely"));
  EXPECT_EQ((Requests{"@Connect_start", "lonely", "@Connect_end", "@Upload", "@Server1", "L100"}),
            Requests(requests.begin(), requests.begin() + std::min<std::size_t>(6, requests.size())));
  EXPECT_EQ("", job_.MemberId());
  EXPECT_EQ(3, state_.entryCount);
  // An empty list code ends the list at once.
  requests = Run(Handoff("", "tester"));
  EXPECT_EQ(kLogin, requests);
  EXPECT_EQ(3, state_.entryCount);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
}

// --- Refusals and failures ---

TEST_F(UploadJobTest, RefusedListShowsThe180FileMessageAndStillRecomputes) {
  OverrideTransferServerHost(kRefusing);
  app_->WriteProfileInt("Config", "UP_Autostart", 1);
  BoxWatcher boxes;
  const Requests requests = Run(Handoff("L100", "tester"), kRefusing);
  EXPECT_EQ(kLogin, requests);
  ASSERT_EQ(1u, boxes.Boxes().size());
  ExpectBox(boxes.Boxes()[0], kListRefused, "업로더");
  EXPECT_EQ(0, state_.entryCount);
  EXPECT_TRUE(host_.rows.empty());
  EXPECT_EQ(1, host_.totals);
  EXPECT_EQ(1, host_.toggles);
}

TEST_F(UploadJobTest, UnreachableServerShowsThePlainConnectBoxPerConnection) {
  OverrideTransferServerHost(kNobody);
  BoxWatcher boxes;
  job_.ProcessUploadJob(Handoff("L100", "tester"));
  // Login, logout and list each connect; the missing "Ok" of the list is
  // not read as the server's refusal of the file count.
  ASSERT_TRUE(boxes.WaitForBoxes(3, 2000));
  Sleep(500);
  const std::vector<SeenBox> seen = boxes.Boxes();
  ASSERT_EQ(3u, seen.size());
  for (int i = 0; i < 3; ++i) ExpectBox(seen[i], kConnectFailure, kTitle);
  EXPECT_EQ(0, state_.entryCount);
  EXPECT_EQ(1, host_.totals);
}

// --- Replies the list must not trust ---

TEST_F(UploadJobTest, PathsNotOnALocalDriveAreSignedButNotAddedAndToldOnce) {
  ASSERT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeW(L"Q:\\"))
      << "the list names Q: as a drive that is not there";
  BoxWatcher boxes;
  const Requests requests = Run(Handoff("LREFUSED", "tester"));
  // Each refused path is answered with the signature of an unread file; the
  // "\\?\" path names alpha.bin, which read would not give zeros.
  const Requests expected = {"LREFUSED", Zeroed(31), "LREFUSED", Zeroed(32), "LREFUSED", Zeroed(33),
                             "LREFUSED", Zeroed(34), "LREFUSED", Zeroed(35), "LREFUSED", Zeroed(36),
                             "LREFUSED", "20107108109110111112113114115116",
                             "LREFUSED", Zeroed(37), "LREFUSED"};
  EXPECT_EQ(Join(kLogin, expected), requests);
  EXPECT_EQ((std::vector<std::string>{"alpha.bin"}), EntryNames());
  EXPECT_EQ("R7", state_.entries[0].uploadKey);
  EXPECT_EQ((std::vector<int>{0}), host_.rows);
  ASSERT_EQ(1u, boxes.Boxes().size());
  ExpectBox(boxes.Boxes()[0], kPathsLeftOut, "업로더 (오류)");
}

TEST_F(UploadJobTest, ReplyThatEndsTheListAddsNothingMore) {
  // Each list answers its second request with something that is no file.
  for (const char* code : {"LNOBAR", "LNONAME", "LNULL", "LPING", "LEMPTY"}) {
    BoxWatcher boxes;
    UploadJobState state;
    FakeHost host;
    UploadJob job(state, host);
    const std::size_t from = LogLines(kServer).size();
    job.ProcessUploadJob(Handoff(code, "tester"));
    EXPECT_EQ(Join(kLogin, {code, Zeroed(11), code}), RequestsSince(kServer, from)) << code;
    ASSERT_EQ(1, state.entryCount) << code;
    EXPECT_EQ("missing-1.bin", state.entries[0].name) << code;
    EXPECT_EQ((std::vector<int>{0}), host.rows) << code;
    EXPECT_TRUE(boxes.Boxes().empty()) << code;
  }
}

TEST_F(UploadJobTest, SignatureReplyWithoutAnIdGivesFileId0) {
  const std::size_t from = LogLines(kServer).size();
  const Requests requests = Run(Handoff("LSIG", "tester"));
  // 21 is answered "77" (no "|"); 23 is answered by closing, which also ends the list.
  EXPECT_EQ(Join(kLogin, {"LSIG", Zeroed(21), "LSIG", Zeroed(22), "LSIG", Zeroed(23)}), requests);
  ASSERT_EQ(3, state_.entryCount);
  EXPECT_EQ(0, state_.entries[0].fileId);
  EXPECT_EQ(FileIdLogged(kServer, from, "S2"), state_.entries[1].fileId);
  EXPECT_GT(state_.entries[1].fileId, 0);
  EXPECT_EQ(0, state_.entries[2].fileId);
}

TEST_F(UploadJobTest, ListStopsWhenAll200SlotsAreUsed) {
  for (int i = 0; i < 198; ++i) state_.entries[i].name = "earlier-" + std::to_string(i);
  state_.entryCount = 198;
  Requests requests = Run(Handoff("LCAP", "tester"));
  EXPECT_EQ(Join(kLogin, {"LCAP", Zeroed(41), "LCAP", Zeroed(42)}), requests);
  EXPECT_EQ(200, state_.entryCount);
  EXPECT_EQ("missing-2.bin", state_.entries[199].name);
  EXPECT_EQ((std::vector<int>{198, 199}), host_.rows);

  requests = Run(Handoff("LCAP", "tester"));
  EXPECT_EQ(kLogin, requests);
  EXPECT_EQ(200, state_.entryCount);
  EXPECT_EQ(2, host_.totals);
}

}  // namespace
