// Job processing against reference transfer servers: 127.0.4.10 (members,
// files and odd replies), 127.0.4.11 (refuses "@Download"); nothing listens
// on 127.0.4.99.
#include <gtest/gtest.h>

#include "Application.h"
#include "DownloadJob.h"
#include "DownloaderTestSupport.h"
#include "ServiceEndpoints.h"

using namespace test_support;

namespace {

const char kServer[] = "127.0.4.10";
const char kRefusing[] = "127.0.4.11";
const char kNobody[] = "127.0.4.99";

// What the job asks of its window, recorded.
class FakeHost : public DownloadJobHost {
public:
  HWND JobOwner() override { return nullptr; }
  void MoveToTopLeft() override { ++moves; }
  void AttachSystemIcons() override {}
  void ExitProgram() override { ++exits; }
  bool PickFolder(const std::string&, std::string&) override { return false; }
  int RowCount() override { return extraRows + static_cast<int>(rows.size()); }
  void AddRow(int entryIndex) override { rows.push_back(entryIndex); }
  void RecomputeTotals() override { ++totals; }
  bool IsRunning() override { return running; }
  void ClearRunning() override { running = false; }
  void ToggleDownload() override { ++toggles; }
  void OpenWebHost() override { ++webHostOpened; }
  plan_window::LocalHour LocalNow() override { return now; }

  int moves = 0, exits = 0, totals = 0, toggles = 0, webHostOpened = 0, extraRows = 0;
  bool running = false;
  std::vector<int> rows;
  plan_window::LocalHour now{2024, 6, 1, 12};
};

class TestApp : public Application {};

class DownloadJobTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    app_ = new TestApp;
    app_->SetRegistryKey("QuorvanesTest");
    app_->SetTitle("DownloadJobTests");
    saveFolder_ = new std::string(FreshFolder("jobs"));
    app_->WriteProfileString("Config", "Default_folder", *saveFolder_);
    app_->WriteProfileInt("Config", "Default_folder_use", 1);
    app_->WriteProfileInt("Config", "DOWN_Autostart", 0);
  }
  void SetUp() override { OverrideTransferServerHost(kServer); }

  std::string Handoff(const std::string& codes, const std::string& member, const std::string& server = "1") {
    return "Haulbox_downloader_Manager|" + codes + "|" + member + "|" + server;
  }
  std::vector<std::string> EntryCodes() const {
    std::vector<std::string> codes;
    for (int i = 0; i < state_.entryCount; ++i) codes.push_back(state_.entries[i].fileCode);
    return codes;
  }

  static TestApp* app_;
  static std::string* saveFolder_;
  DownloadJobState state_;
  FakeHost host_;
  DownloadJob job_{state_, host_};
};
TestApp* DownloadJobTest::app_ = nullptr;
std::string* DownloadJobTest::saveFolder_ = nullptr;

void ExpectBox(const SeenBox& box, const char* text, const char* caption) {
  EXPECT_EQ(W(text), box.text);
  EXPECT_EQ(W(caption), box.caption);
}

TEST_F(DownloadJobTest, ListOfAMemberFillsTheEntries) {
  BoxWatcher boxes;
  job_.ProcessJob(Handoff("F100?F200?CNULL?CPING?F100?", "tester", "7"));
  EXPECT_TRUE(boxes.Boxes().empty());
  ASSERT_EQ((std::vector<std::string>{"F100", "F200"}), EntryCodes());
  const DownloadEntry& report = state_.entries[1];
  EXPECT_EQ("report.bin", report.name);
  EXPECT_EQ("bin", report.extension);
  EXPECT_EQ("docs\\", report.subfolder);
  EXPECT_EQ(*saveFolder_, report.baseFolder);
  EXPECT_EQ(*saveFolder_ + "\\docs\\", report.localFolder);
  EXPECT_EQ(5000, report.size.load());
  EXPECT_EQ("K200", report.serverKey);
  EXPECT_EQ(kServer, report.dataServer);
  EXPECT_EQ("report.bin|127.0.4.10|K200|docs\\|5000", state_.entries[1].rawReply);
  EXPECT_EQ((std::vector<int>{0, 1}), host_.rows);
  EXPECT_EQ("tester", job_.Member().memberId);
  EXPECT_EQ(2048, job_.Member().megabytes);
  EXPECT_EQ(1, job_.Member().planCode);
  EXPECT_EQ(1, host_.moves);
  EXPECT_EQ(1, host_.totals);
  EXPECT_GE(CountLogLines(kServer, {"\"request\":\"@Server7\""}), 1);
}

TEST_F(DownloadJobTest, CodeAlreadyListedIsNotRequestedAgain) {
  job_.ProcessJob(Handoff("F300?", "tester"));
  const int before = CountLogLines(kServer, {"\"request\":\"F300\""});
  job_.ProcessJob(Handoff("F300?F100?", "tester"));
  EXPECT_EQ(before, CountLogLines(kServer, {"\"request\":\"F300\""}));
  EXPECT_EQ((std::vector<std::string>{"F300", "F100"}), EntryCodes());
  EXPECT_EQ("메모.txt", state_.entries[0].name);
}

TEST_F(DownloadJobTest, EmptyReplyAddsNothing) {
  job_.ProcessJob(Handoff("F100?CEMPTY?", "tester"));
  EXPECT_EQ((std::vector<std::string>{"F100"}), EntryCodes());
}

TEST_F(DownloadJobTest, HostileNamesAreLeftOutWithOneMessage) {
  BoxWatcher boxes;
  job_.ProcessJob(Handoff("FEVIL?FEVILSUB?FDRIVE?F100?", "tester"));
  EXPECT_EQ((std::vector<std::string>{"F100"}), EntryCodes());
  ASSERT_EQ(1u, boxes.Boxes().size());
  ExpectBox(boxes.Boxes()[0], "저장 폴더 밖을 가리키는 파일 이름이나 폴더가 있어\n해당 파일은 목록에 추가하지 않았습니다.",
            "다운로더 (오류)");
}

TEST_F(DownloadJobTest, NoMemberAndOverUserAreRefused) {
  struct Row { const char* member; const char* text; };
  for (Row row : {Row{"nobody", "회원 로그인후 이용해주세요."}, Row{"busy", "이미 해당아이디는 사용중입니다."},
                  Row{"", "회원 로그인후 이용해주세요."}}) {
    BoxWatcher boxes;
    FakeHost host;
    DownloadJob job(state_, host);
    job.ProcessJob(Handoff("F100?", row.member));
    ASSERT_EQ(1u, boxes.Boxes().size()) << row.member;
    ExpectBox(boxes.Boxes()[0], row.text, "회원정보 (오류)");
    EXPECT_EQ(1, host.exits) << row.member;
    EXPECT_EQ(0, state_.entryCount) << row.member;
  }
}

TEST_F(DownloadJobTest, UnreachableServerShowsTheConnectBoxForLoginAndList) {
  OverrideTransferServerHost(kNobody);
  BoxWatcher boxes;
  job_.ProcessJob(Handoff("F100?", "tester"));
  ASSERT_EQ(2u, boxes.Boxes().size());
  for (const SeenBox& box : boxes.Boxes()) ExpectBox(box, "파일전송 서버에 접속할수 없습니다.", "다운로더 (오류)");
  EXPECT_EQ(0, state_.entryCount);
  EXPECT_EQ("", job_.Member().memberId);
  EXPECT_EQ("일반회원", job_.Member().planName);
}

TEST_F(DownloadJobTest, UnreachableServerShowsTheConnectBoxForLogout) {
  job_.Member().memberId = "tester";
  OverrideTransferServerHost(kNobody);
  BoxWatcher boxes;
  job_.Logout();
  ASSERT_EQ(1u, boxes.Boxes().size());
  ExpectBox(boxes.Boxes()[0], "파일전송 서버에 접속할수 없습니다.", "다운로더 (오류)");
}

TEST_F(DownloadJobTest, ConnectionReportsAFailedConnectAndShowsNothing) {
  BoxWatcher boxes;
  ControlConnection connection;
  EXPECT_FALSE(connection.Connect(kNobody, kControlPort));
  EXPECT_FALSE(connection.IsConnected());
  EXPECT_EQ("", connection.Transact("@Download"));
  EXPECT_TRUE(connection.Connect(kServer, kControlPort));
  EXPECT_TRUE(connection.IsConnected());
  EXPECT_TRUE(boxes.Boxes().empty()) << "the program, not the connection, tells the user";
}

TEST_F(DownloadJobTest, RefusedDownloadAddsNothing) {
  OverrideTransferServerHost(kRefusing);
  BoxWatcher boxes;
  job_.ProcessJob(Handoff("F100?", "tester"));
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(0, state_.entryCount);
  EXPECT_EQ(0, CountLogLines(kRefusing, {"\"request\":\"F100\""}));
}

TEST_F(DownloadJobTest, RowLimitOf180) {
  host_.extraRows = 170;
  {
    BoxWatcher boxes;
    job_.ProcessJob(Handoff("A1?A2?A3?A4?A5?A6?A7?A8?A9?A10?A11?", "tester"));
    ASSERT_EQ(1u, boxes.Boxes().size());
    ExpectBox(boxes.Boxes()[0], "추가할수 있는 파일의 개수를 초과할수 없습니다.\n총개수 : 180개 제한", "다운로더");
    EXPECT_EQ(0, CountLogLines(kServer, {"\"request\":\"A1\""}));
  }
  BoxWatcher boxes;
  job_.ProcessJob(Handoff("A1?A2?A3?A4?A5?A6?A7?A8?A9?F100?", "tester"));
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(1, CountLogLines(kServer, {"\"request\":\"A1\""}));
  EXPECT_EQ((std::vector<std::string>{"F100"}), EntryCodes());
}

TEST_F(DownloadJobTest, MorningPlanOutsideItsHoursIsRefusedButListed) {
  host_.now = plan_window::LocalHour{2024, 6, 1, 17};
  host_.running = true;
  BoxWatcher boxes;
  job_.ProcessJob(Handoff("F100?", "morning"));
  ASSERT_EQ(1u, boxes.Boxes().size());
  ExpectBox(boxes.Boxes()[0], "오전정액(6시~16시)사용자입니다.\n사용가능 시간이 아닙니다.", "정보");
  EXPECT_EQ(2, job_.Member().planCode);
  EXPECT_EQ(1, host_.webHostOpened);
  EXPECT_FALSE(host_.running);
  EXPECT_EQ(1, state_.entryCount);
}

TEST_F(DownloadJobTest, WrongTagIsIgnored) {
  BoxWatcher boxes;
  job_.ProcessJob("Haulbox_uploader_Manager|F100?|tester|1");
  EXPECT_EQ(0, host_.moves);
  EXPECT_EQ(0, state_.entryCount);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DownloadJobTest, OversizedRequestIsRefusedUnsent) {
  ControlConnection connection;
  ASSERT_TRUE(connection.Connect(kServer, kControlPort));
  const std::string longCode(kRequestLimit + 1, 'Q');
  EXPECT_EQ("", connection.Transact(longCode));
  EXPECT_EQ(0, CountLogLines(kServer, {"QQQQQQQQ"}));
  EXPECT_EQ("Ok", connection.Transact("@Download"));  // the connection is still usable
}

TEST_F(DownloadJobTest, ReplyEndsAtItsFirstZeroByte) {
  ControlConnection connection;
  ASSERT_TRUE(connection.Connect(kServer, kControlPort));
  const std::string reply = connection.Transact("CZERO");  // "Ok", a zero byte, "Null"
  EXPECT_EQ("Ok", reply) << reply.size() << " bytes";
  EXPECT_EQ("Ok", connection.Transact("@Download")) << "the bytes after the zero are not read as the next reply";
}

TEST_F(DownloadJobTest, NullReplyWithATrailingZeroByteAddsNothing) {
  job_.ProcessJob(Handoff("CNULLZERO?F100?", "tester"));
  EXPECT_EQ((std::vector<std::string>{"F100"}), EntryCodes());
}

TEST_F(DownloadJobTest, ReconnectingClosesTheReplacedSocket) {
  // A listener of the test's own stands in for the server, to see the close.
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(kControlPort);
  address.sin_addr.s_addr = inet_addr("127.0.4.12");
  ASSERT_EQ(0, bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address));
  ASSERT_EQ(0, listen(listener, 4));
  ControlConnection connection;
  ASSERT_TRUE(connection.Connect("127.0.4.12", kControlPort));
  SOCKET first = accept(listener, nullptr, nullptr);
  ASSERT_TRUE(connection.Connect("127.0.4.12", kControlPort));
  SOCKET second = accept(listener, nullptr, nullptr);
  DWORD wait = 5000;
  setsockopt(first, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
  char byte;
  EXPECT_EQ(0, recv(first, &byte, 1, 0)) << "the replaced connection is still open";
  closesocket(first);
  closesocket(second);
  closesocket(listener);
}

}  // namespace
