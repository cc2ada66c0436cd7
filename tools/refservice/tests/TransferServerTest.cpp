// The transfer server (port 7510) driven by a plain socket client.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "RefServiceHarness.h"

using nlohmann::json;

namespace {

// Member and file texts in the config are UTF-8 (u8 literals); on the wire
// they are CP949, which is what the narrow literals below compile to.
json BaseConfig() {
  return {
      {"members",
       {{{"id", "tester"}, {"megabytes", 2048}, {"plan", u8"스페셜정액제"}, {"expiry", 2099123123}},
        {{"id", "busy"}, {"over_user", true}},
        {{"id", "plain"}}}},
      {"files",
       {{{"code", "F1"}, {"name", "hello.txt"}, {"path", "hello.txt"}, {"key", "K1"}},
        {{"code", "F2"}, {"name", u8"메모.txt"}, {"path", "memo.txt"}, {"subfolder", u8"한글\\"}},
        {{"code", "F3"}, {"name", "listed.bin"}, {"path", "absent.bin"}, {"size", 777},
         {"data_server", "127.9.9.9"}}}},
      {"upload_jobs",
       {{{"list_code", "L1"},
         {"files",
          {{{"path", "C:\\up\\a.txt"}, {"size", 10}, {"key", "UK1"}},
           {{"path", u8"C:\\up\\사진.bin"}, {"size", 4096}}}}}}},
  };
}

class Transfer : public ::testing::Test {
 protected:
  void StartWith(const std::string& address, json config = BaseConfig()) {
    service_ = std::make_unique<RefServiceHarness>(address);
    service_->WriteFile("hello.txt", "hello world");
    service_->WriteFile("memo.txt", "memo");
    ASSERT_TRUE(service_->Start(config)) << service_->startError();
  }
  int Connect() {
    int fd = ConnectTo(service_->address(), 7510);
    EXPECT_GE(fd, 0);
    fds_.push_back(fd);
    return fd;
  }
  void TearDown() override {
    for (int fd : fds_) close(fd);
  }
  std::unique_ptr<RefServiceHarness> service_;
  std::vector<int> fds_;
};

TEST_F(Transfer, LoginAnswersMemberFieldsNoMemberOrOverUserAndLogoutIsLogged) {
  StartWith("127.0.3.1");
  int fd = Connect();
  EXPECT_EQ("Ok", Transact(fd, "@Connect_start"));
  EXPECT_EQ("tester|2048|스페셜정액제|2099123123", Transact(fd, "tester"));
  EXPECT_EQ("Ok", Transact(fd, "@Connect_start"));
  EXPECT_EQ("plain|0||0", Transact(fd, "plain"));

  int other = Connect();
  Transact(other, "@Connect_start");
  EXPECT_EQ("No_member", Transact(other, "nobody"));
  Transact(other, "@Connect_start");
  EXPECT_EQ("Over_user", Transact(other, "busy"));

  int out = Connect();
  EXPECT_EQ("Ok", Transact(out, "@Connect_end"));
  EXPECT_EQ("Ok", Transact(out, "tester"));
  close(out);
  fds_.pop_back();

  auto logouts = service_->Events("transfer", "logout");
  ASSERT_EQ(1u, logouts.size());
  EXPECT_EQ("tester", logouts[0]["member"]);
  auto exchanges = service_->Events("transfer", "exchange");
  ASSERT_GE(exchanges.size(), 2u);
  EXPECT_EQ("@Connect_start", exchanges[0]["request"]);
  EXPECT_EQ(u8"tester|2048|스페셜정액제|2099123123", exchanges[1]["reply"]);
}

TEST_F(Transfer, DownloadListAnswersFileRepliesInCp949AndNullForUnknownCodes) {
  StartWith("127.0.3.2");
  int fd = Connect();
  EXPECT_EQ("Ok", Transact(fd, "@Download"));
  EXPECT_EQ("Ok", Transact(fd, "@Server3"));
  EXPECT_EQ("hello.txt|127.0.3.2|K1||11", Transact(fd, "F1"));
  EXPECT_EQ("메모.txt|127.0.3.2|F2|한글\\|4", Transact(fd, "F2"));
  EXPECT_EQ("listed.bin|127.9.9.9|F3||777", Transact(fd, "F3"));
  EXPECT_EQ("Null", Transact(fd, "F404"));
}

TEST_F(Transfer, UploadListGivesEntriesFileIdsListEndAndCompletion) {
  StartWith("127.0.3.3");
  int fd = Connect();
  EXPECT_EQ("Ok", Transact(fd, "@Upload"));
  EXPECT_EQ("Ok", Transact(fd, "@Server0"));
  EXPECT_EQ("UK1|a.txt|127.0.3.3|a.txt|C:\\up\\a.txt|10", Transact(fd, "L1"));
  EXPECT_EQ("1|Ok", Transact(fd, "10097098099100101102103104105"));
  EXPECT_EQ("U1|사진.bin|127.0.3.3|사진.bin|C:\\up\\사진.bin|4096", Transact(fd, "L1"));
  EXPECT_EQ("2|Ok", Transact(fd, "4096000000000000000000000000000000"));
  EXPECT_EQ("ListEnd", Transact(fd, "L1"));
  int unknown = Connect();
  EXPECT_EQ("Ok", Transact(unknown, "@Upload"));
  EXPECT_EQ("Null", Transact(unknown, "L9"));

  int done = Connect();
  EXPECT_EQ("Ok", Transact(done, "@Upload_complute"));
  EXPECT_EQ("Ok", Transact(done, "2"));
  close(done);
  fds_.pop_back();
  auto completions = service_->Events("transfer", "upload_complete");
  ASSERT_EQ(1u, completions.size());
  EXPECT_EQ(4096, completions[0]["size"]);
  auto signatures = service_->Events("transfer", "signature");
  ASSERT_EQ(2u, signatures.size());
  EXPECT_EQ("10097098099100101102103104105", signatures[0]["signature"]);
}

TEST_F(Transfer, FaultsReplaceRefuseEmptySplitAndStallReplies) {
  json config = BaseConfig();
  config["faults"] = {
      {{"on", "transfer"}, {"request", "@Download"}, {"action", "reply"}, {"text", "No"}, {"times", 1}},
      {{"on", "transfer"}, {"request", "F1"}, {"action", "reply"}, {"text", "Ping"}, {"times", 1}},
      {{"on", "transfer"}, {"request", "tester"}, {"after", "@Connect_start"}, {"action", "reply"},
       {"text", "Over_user"}, {"skip", 1}, {"times", 1}},
      {{"on", "transfer"}, {"request", "F2"}, {"action", "split"}, {"ms", 300}},
      {{"on", "transfer"}, {"request", "@Upload"}, {"action", "stall"}, {"ms", 300}, {"times", 1}},
      {{"on", "transfer"}, {"request", "F3"}, {"action", "empty"}},
  };
  StartWith("127.0.3.4", config);

  int fd = Connect();
  EXPECT_EQ("No", Transact(fd, "@Download"));
  EXPECT_EQ("Ok", Transact(fd, "@Download"));
  Transact(fd, "@Server0");
  EXPECT_EQ("Ping", Transact(fd, "F1"));
  EXPECT_EQ("hello.txt|127.0.3.4|K1||11", Transact(fd, "F1"));
  // A split reply arrives as two receives.
  std::string first = Transact(fd, "F2");
  std::string second = ReceiveOnce(fd);
  EXPECT_LT(first.size(), std::string("메모.txt|127.0.3.4|F2|한글\\|4").size());
  EXPECT_EQ("메모.txt|127.0.3.4|F2|한글\\|4", first + second);
  // An empty reply: the connection ends without an answer.
  EXPECT_EQ("", Transact(fd, "F3"));

  int login = Connect();
  Transact(login, "@Connect_start");
  EXPECT_EQ("tester|2048|스페셜정액제|2099123123", Transact(login, "tester"));
  Transact(login, "@Connect_start");
  EXPECT_EQ("Over_user", Transact(login, "tester"));

  int upload = Connect();
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ("Ok", Transact(upload, "@Upload"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));

  int faulted = 0;
  for (const auto& e : service_->Events("transfer", "exchange")) faulted += e.contains("fault");
  EXPECT_EQ(6, faulted);
}

TEST_F(Transfer, ReplyFaultTextMayHoldZeroBytes) {
  const std::string zeroed("Ok\0Null", 7);
  json config = BaseConfig();
  config["faults"] = {{{"on", "transfer"}, {"request", "Z1"}, {"action", "reply"}, {"text", zeroed}}};
  StartWith("127.0.3.8", config);
  int fd = Connect();
  EXPECT_EQ(zeroed, Transact(fd, "Z1")) << "every byte of the text, the zero byte included";
  EXPECT_EQ("Ok", Transact(fd, "@Download")) << "nothing of the reply is left for the next one";
  auto exchanges = service_->Events("transfer", "exchange");
  ASSERT_FALSE(exchanges.empty());
  EXPECT_EQ(zeroed, exchanges[0]["reply"]);
}

TEST_F(Transfer, OversizedAndGarbageRequestsCloseOnlyThatConnection) {
  StartWith("127.0.3.5");
  int big = Connect();
  ASSERT_TRUE(SendText(big, std::string(3000, 'A')));
  EXPECT_EQ("", ReceiveOnce(big));

  int garbage = Connect();
  EXPECT_EQ("Null", Transact(garbage, std::string("\xff\xfe\x00\x01", 4)));
  // A client that vanishes in the middle of an exchange.
  int vanish = Connect();
  SendText(vanish, "@Connect_start");
  close(vanish);
  fds_.erase(std::find(fds_.begin(), fds_.end(), vanish));

  int fd = Connect();
  Transact(fd, "@Connect_start");
  EXPECT_EQ("tester|2048|스페셜정액제|2099123123", Transact(fd, "tester"));
  auto errors = service_->Events("transfer", "error");
  ASSERT_EQ(1u, errors.size());
  EXPECT_NE(std::string::npos, errors[0]["reason"].get<std::string>().find("oversized"));
  auto exchanges = service_->Events("transfer", "exchange");
  ASSERT_FALSE(exchanges.empty());
  EXPECT_EQ("fffe0001", exchanges[0]["hex"]);
}

TEST_F(Transfer, ManyConnectionsAtOnceDoNotStopTheService) {
  StartWith("127.0.3.6");
  std::vector<int> flood;
  for (int i = 0; i < 100; ++i) {
    int fd = ConnectTo(service_->address(), 7510);
    if (fd >= 0) flood.push_back(fd);
  }
  for (int fd : flood) close(fd);
  int fd = -1;
  std::string reply;
  // Connections above the limit are closed; once the flood is gone the service answers again.
  for (int attempt = 0; attempt < 50 && reply != "Ok"; ++attempt) {
    if (fd >= 0) close(fd);
    fd = ConnectTo(service_->address(), 7510);
    reply = Transact(fd, "@Download");
    if (reply != "Ok") usleep(100000);
  }
  close(fd);
  EXPECT_EQ("Ok", reply);
}

TEST(TransferConfig, BadConfigIsRefusedWithAReason) {
  RefServiceHarness service("127.0.3.7");
  EXPECT_FALSE(service.Start({{"members", {{{"megabytes", 1}}}}}));
  EXPECT_NE(std::string::npos, service.startError().find("members[0].id")) << service.startError();
  EXPECT_FALSE(service.Start({{"faults", {{{"on", "nowhere"}, {"action", "x"}}}}}));
  EXPECT_NE(std::string::npos, service.startError().find("faults[0].on")) << service.startError();
}

}  // namespace
