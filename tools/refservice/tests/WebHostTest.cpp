// The web host driven with raw HTTP/1.0 requests, so that headers and the exact
// body bytes are seen as a client sees them.
#include <gtest/gtest.h>
#include <unistd.h>

#include "RefServiceHarness.h"

using nlohmann::json;

namespace {

struct HttpReply {
  std::string head;
  std::string body;
  bool clean = false;
};

HttpReply Http(const std::string& address, int port, const std::string& request) {
  HttpReply reply;
  int fd = ConnectTo(address, port);
  if (fd < 0) return reply;
  SendText(fd, request);
  std::string all = ReceiveAll(fd, &reply.clean);
  close(fd);
  size_t split = all.find("\r\n\r\n");
  if (split == std::string::npos) return reply;
  reply.head = all.substr(0, split + 2);
  reply.body = all.substr(split + 4);
  return reply;
}

HttpReply Get(RefServiceHarness& service, const std::string& path) {
  return Http(service.address(), service.webPort(), "GET " + path + " HTTP/1.0\r\nHost: x\r\n\r\n");
}

bool HasHeader(const HttpReply& reply, const std::string& line) {
  return reply.head.find("\r\n" + line + "\r\n") != std::string::npos;
}

class WebHost : public ::testing::Test {
 protected:
  void StartWith(const std::string& address, int port, json faults = json::array()) {
    service_ = std::make_unique<RefServiceHarness>(address);
    installer_ = PatternBytes(50000, 5);
    service_->WriteFile("web/app/Quorvanes.exe", installer_);
    service_->WriteFile("web/app/download.html", "<p>down</p>");
    service_->WriteFile("web/app/upload.html", "<p>up</p>");
    service_->WriteFile("web/index.html", "<p>home</p>");
    ASSERT_TRUE(service_->Start({{"faults", faults}}, port)) << service_->startError();
  }
  std::unique_ptr<RefServiceHarness> service_;
  std::string installer_;
};

TEST_F(WebHost, ServesInstallerWithContentLengthBannersAndHomePage) {
  StartWith("127.0.3.70", 8080);
  HttpReply exe = Get(*service_, "/app/Quorvanes.exe");
  EXPECT_NE(std::string::npos, exe.head.find(" 200 "));
  EXPECT_TRUE(HasHeader(exe, "Content-Length: 50000")) << exe.head;
  EXPECT_TRUE(exe.body == installer_);
  EXPECT_EQ("<p>down</p>", Get(*service_, "/app/download.html").body);
  EXPECT_EQ("<p>up</p>", Get(*service_, "/app/upload.html").body);
  EXPECT_EQ("<p>home</p>", Get(*service_, "/").body);
  EXPECT_NE(std::string::npos, Get(*service_, "/app/missing.exe").head.find(" 404 "));
  EXPECT_NE(std::string::npos, Get(*service_, "/../config.json").head.find(" 404 "));
  auto requests = service_->WaitForEvents("web", "request", 6);
  ASSERT_EQ(6u, requests.size());
  EXPECT_EQ(50000, requests[0]["bytes"]);
}

TEST_F(WebHost, LogsTheAcceptAndUserAgentHeadersSent) {
  StartWith("127.0.3.74", 8083);
  Http(service_->address(), 8083,
       "GET /app/Quorvanes.exe HTTP/1.0\r\nAccept: text/ini, text/dat, exe/exe\r\n"
       "User-Agent: GetWebFile/1.0\r\n\r\n");
  Get(*service_, "/app/download.html");
  auto requests = service_->WaitForEvents("web", "request", 2);
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ("text/ini, text/dat, exe/exe", requests[0].value("accept", "none"));
  EXPECT_EQ("GetWebFile/1.0", requests[0].value("user_agent", "none"));
  EXPECT_FALSE(requests[1].contains("accept")) << requests[1].dump();
  EXPECT_FALSE(requests[1].contains("user_agent")) << requests[1].dump();
}

TEST_F(WebHost, FaultsRedirectRefuseDropTheLengthAndCutTheBody) {
  StartWith("127.0.3.71", 8081,
            {{{"on", "http"}, {"path", "/app/Quorvanes.exe"}, {"action", "redirect"}, {"status", 301},
              {"location", "http://127.0.3.72:8090/app/Quorvanes.exe"}, {"times", 1}},
             {{"on", "http"}, {"path", "/app/Quorvanes.exe"}, {"action", "status"}, {"status", 401},
              {"times", 1}},
             {{"on", "http"}, {"path", "/app/Quorvanes.exe"}, {"action", "no_length"}, {"times", 1}},
             {{"on", "http"}, {"path", "/app/Quorvanes.exe"}, {"action", "short_body"}, {"bytes", 1234},
              {"times", 1}}});
  HttpReply moved = Get(*service_, "/app/Quorvanes.exe");
  EXPECT_NE(std::string::npos, moved.head.find(" 301 "));
  EXPECT_TRUE(HasHeader(moved, "Location: http://127.0.3.72:8090/app/Quorvanes.exe")) << moved.head;
  EXPECT_NE(std::string::npos, Get(*service_, "/app/Quorvanes.exe").head.find(" 401 "));

  HttpReply unsized = Get(*service_, "/app/Quorvanes.exe");
  EXPECT_EQ(std::string::npos, unsized.head.find("Content-Length")) << unsized.head;
  EXPECT_EQ(std::string::npos, unsized.head.find("chunked")) << unsized.head;
  EXPECT_TRUE(unsized.body == installer_);

  HttpReply cut = Get(*service_, "/app/Quorvanes.exe");
  EXPECT_TRUE(HasHeader(cut, "Content-Length: 50000")) << cut.head;
  EXPECT_TRUE(cut.body == installer_.substr(0, 1234)) << cut.body.size();

  EXPECT_TRUE(Get(*service_, "/app/Quorvanes.exe").body == installer_);
}

TEST_F(WebHost, PostedSelectionListBecomesAnUploadListCode) {
  StartWith("127.0.3.73", 8082);
  std::string body = u8"C:\\사진/C:\\사진\\a.jpg|120?C:\\사진\\b.jpg|5?";
  HttpReply posted = Http(service_->address(), 8082,
                          "POST /refservice/upload-jobs?code=SEL1 HTTP/1.0\r\nContent-Length: " +
                              std::to_string(body.size()) + "\r\n\r\n" + body);
  EXPECT_EQ("SEL1", posted.body);
  HttpReply bad = Http(service_->address(), 8082,
                       "POST /refservice/upload-jobs HTTP/1.0\r\nContent-Length: 7\r\n\r\nno list");
  EXPECT_NE(std::string::npos, bad.head.find(" 400 "));

  int fd = ConnectTo(service_->address(), 7510);
  EXPECT_EQ("Ok", Transact(fd, "@Upload"));
  EXPECT_EQ("Ok", Transact(fd, "@Server1"));
  EXPECT_EQ("W1|a.jpg|127.0.3.73|a.jpg|C:\\사진\\a.jpg|120", Transact(fd, "SEL1"));
  EXPECT_EQ("1|Ok", Transact(fd, "120000"));
  EXPECT_EQ("W2|b.jpg|127.0.3.73|b.jpg|C:\\사진\\b.jpg|5", Transact(fd, "SEL1"));
  EXPECT_EQ("2|Ok", Transact(fd, "5000"));
  EXPECT_EQ("ListEnd", Transact(fd, "SEL1"));
  close(fd);
}

}  // namespace
