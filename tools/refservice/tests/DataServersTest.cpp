// The download (7301) and upload (7310) data servers driven by a plain socket client.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "RefServiceHarness.h"

using nlohmann::json;

namespace {

const size_t kFileSize = 300000;

json DownloadConfig(json faults = json::array()) {
  return {{"files",
           {{{"code", "F1"}, {"name", "data.bin"}, {"path", "data.bin"}, {"key", "K1"}},
            {{"code", "F2"}, {"name", "other.bin"}, {"path", "other.bin"}, {"key", "K2"}}}},
          {"faults", faults}};
}

class DataServers : public ::testing::Test {
 protected:
  void StartWith(const std::string& address, const json& config) {
    service_ = std::make_unique<RefServiceHarness>(address);
    content_ = PatternBytes(kFileSize, 1);
    service_->WriteFile("data.bin", content_);
    service_->WriteFile("other.bin", PatternBytes(5000, 2));
    ASSERT_TRUE(service_->Start(config)) << service_->startError();
  }

  // One download request; returns the bytes streamed and whether the stream ended cleanly.
  std::string Download(const std::string& key, const std::string& offset, bool* clean = nullptr) {
    int fd = ConnectTo(service_->address(), 7301);
    EXPECT_GE(fd, 0);
    if (fd < 0) return "<no connection>";
    send(fd, "", 0, 0);
    SendText(fd, Block("bin/") + Block(key) + Block(std::to_string(kFileSize)) + Block(offset));
    std::string bytes = ReceiveAll(fd, clean);
    close(fd);
    return bytes;
  }

  // One upload connection: the three blocks, the offset reply, then `bytes`.
  std::string Upload(const std::string& key, const std::string& name, int64_t size, const std::string& bytes) {
    int fd = ConnectTo(service_->address(), 7310);
    EXPECT_GE(fd, 0);
    if (fd < 0) return "<no connection>";
    SendText(fd, Block(key) + Block(name) + Block(std::to_string(size)));
    std::string offset = ReceiveOnce(fd);
    SendText(fd, bytes);
    shutdown(fd, SHUT_WR);
    ReceiveAll(fd);
    close(fd);
    return offset;
  }

  std::unique_ptr<RefServiceHarness> service_;
  std::string content_;
};

TEST_F(DataServers, DownloadStreamsWholeFileFromResumeOffsetsAndLogsTheRequest) {
  StartWith("127.0.3.30", DownloadConfig());
  bool clean = false;
  EXPECT_TRUE(Download("K1", "0", &clean) == content_);
  EXPECT_TRUE(clean);
  EXPECT_TRUE(Download("K1", "123457") == content_.substr(123457));
  EXPECT_EQ("", Download("K1", std::to_string(kFileSize)));
  EXPECT_EQ("", Download("K1", std::to_string(kFileSize + 10)));
  EXPECT_EQ("", Download("K1", "-1"));
  EXPECT_EQ("", Download("NOKEY", "0"));

  auto requests = service_->Events("download", "request");
  ASSERT_EQ(6u, requests.size());
  EXPECT_EQ("bin/", requests[1]["extension"]);
  EXPECT_EQ("K1", requests[1]["key"]);
  EXPECT_EQ(123457, requests[1]["offset"]);
  EXPECT_EQ(static_cast<int64_t>(kFileSize), requests[1]["size"]);
  auto ends = service_->Events("download", "end");
  ASSERT_EQ(6u, ends.size());
  EXPECT_EQ(static_cast<int64_t>(kFileSize - 123457), ends[1]["bytes"]);
  EXPECT_EQ("offset_beyond_file", ends[3]["reason"]);
  EXPECT_EQ("bad_request", ends[4]["reason"]);
  EXPECT_EQ("no_file", ends[5]["reason"]);
}

TEST_F(DataServers, CloseAfterBytesTwiceInARowThenTheResumeCompletesTheFile) {
  StartWith("127.0.3.31", DownloadConfig({{{"on", "download"}, {"key", "K1"}, {"action", "close_after"},
                                           {"bytes", 1000}, {"times", 2}}}));
  EXPECT_EQ(Download("K2", "0").size(), 5000u);  // other files are not affected
  std::string first = Download("K1", "0");
  EXPECT_TRUE(first == content_.substr(0, 1000));
  std::string second = Download("K1", "1000");
  EXPECT_TRUE(second == content_.substr(1000, 1000));
  std::string rest = Download("K1", "2000");
  EXPECT_TRUE(first + second + rest == content_);
}

TEST_F(DataServers, RefuseDropStallAndResetFaults) {
  StartWith("127.0.3.32",
            DownloadConfig({{{"on", "download"}, {"action", "refuse"}, {"times", 1}},
                            {{"on", "download"}, {"key", "K2"}, {"action", "drop"}, {"times", 1}},
                            {{"on", "download"}, {"key", "K2"}, {"action", "stall"}, {"ms", 300}, {"times", 1}},
                            {{"on", "download"}, {"key", "K1"}, {"action", "close_after"}, {"bytes", 10},
                             {"reset", true}, {"times", 1}}}));
  bool clean = true;
  EXPECT_EQ("", Download("K1", "0", &clean));  // reset at once
  EXPECT_EQ("", Download("K2", "0", &clean));
  EXPECT_TRUE(clean);  // dropped after the request
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(5000u, Download("K2", "0").size());
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
  Download("K1", "0", &clean);
  EXPECT_FALSE(clean);  // reset after 10 bytes
  EXPECT_TRUE(Download("K1", "0") == content_);
  auto ends = service_->Events("download", "end");
  ASSERT_EQ(5u, ends.size());
  EXPECT_EQ("refuse", ends[0]["fault"]);
  EXPECT_EQ("drop", ends[1]["fault"]);
  EXPECT_EQ(10, ends[3]["bytes"]);
}

TEST_F(DataServers, MalformedAndVanishingDownloadClientsAreLoggedAndTheServerGoesOn) {
  StartWith("127.0.3.33", DownloadConfig());
  int vanish = ConnectTo(service_->address(), 7301);
  SendText(vanish, Block("bin/") + std::string(100, 'x'));
  close(vanish);
  int malformed = ConnectTo(service_->address(), 7301);
  SendText(malformed, Block("bin/") + std::string(2048, 'k') + Block("1") + Block("0"));
  EXPECT_EQ("", ReceiveAll(malformed));
  close(malformed);
  EXPECT_TRUE(Download("K1", "0") == content_);
  auto errors = service_->Events("download", "error");
  ASSERT_EQ(2u, errors.size());
  std::string reasons = errors[0]["reason"].get<std::string>() + errors[1]["reason"].get<std::string>();
  EXPECT_NE(std::string::npos, reasons.find("vanished mid-block after 2148 bytes"));
  EXPECT_NE(std::string::npos, reasons.find("malformed"));
}

TEST_F(DataServers, UploadReportsHeldBytesAndResumedFilesAreByteIdentical) {
  StartWith("127.0.3.34", DownloadConfig());
  std::string file = PatternBytes(200000, 9);
  EXPECT_EQ("0", Upload("UK1", "photo.bin", 200000, file.substr(0, 70001)));
  EXPECT_EQ("70001", Upload("UK1", "photo.bin", 200000, file.substr(70001)));
  EXPECT_EQ("200000", Upload("UK1", "photo.bin", 200000, ""));
  std::string stored = service_->uploadDir() + "/UK1/photo.bin";
  EXPECT_TRUE(ReadLocalFile(stored) == file);

  // A Korean CP949 name is stored under its UTF-8 form.
  EXPECT_EQ("0", Upload("UK2", "사진.bin", 4, "abcd"));
  EXPECT_EQ("abcd", ReadLocalFile(service_->uploadDir() + u8"/UK2/사진.bin"));

  auto requests = service_->Events("upload", "request");
  ASSERT_EQ(4u, requests.size());
  EXPECT_EQ(70001, requests[1]["offset"]);
  EXPECT_EQ(stored, requests[1]["stored"]);
  auto ends = service_->Events("upload", "end");
  ASSERT_EQ(4u, ends.size());
  EXPECT_EQ(200000 - 70001, ends[1]["bytes"]);
  EXPECT_EQ(200000, ends[1]["total"]);
}

TEST_F(DataServers, UploadFaultsReportOffsetsBeyondOrNegativeAndCutUploads) {
  StartWith("127.0.3.35",
            DownloadConfig({{{"on", "upload"}, {"name", "neg.bin"}, {"action", "offset"}, {"value", -5}},
                            {{"on", "upload"}, {"name", "big.bin"}, {"action", "offset"}, {"value", 999999},
                             {"times", 1}},
                            {{"on", "upload"}, {"name", "cut.bin"}, {"action", "close_after"}, {"bytes", 3000},
                             {"times", 1}},
                            {{"on", "upload"}, {"name", "refused.bin"}, {"action", "refuse"}}}));
  std::string file = PatternBytes(10000, 3);
  EXPECT_EQ("-5", Upload("K", "neg.bin", 10000, file));
  EXPECT_TRUE(ReadLocalFile(service_->uploadDir() + "/K/neg.bin") == file);
  EXPECT_EQ("999999", Upload("K", "big.bin", 10000, ""));
  EXPECT_EQ("0", Upload("K", "cut.bin", 10000, file));
  EXPECT_TRUE(ReadLocalFile(service_->uploadDir() + "/K/cut.bin") == file.substr(0, 3000));
  EXPECT_EQ("3000", Upload("K", "cut.bin", 10000, file.substr(3000)));
  EXPECT_TRUE(ReadLocalFile(service_->uploadDir() + "/K/cut.bin") == file);
  EXPECT_EQ("", Upload("K", "refused.bin", 1, "x"));

  // A client that vanishes mid-block leaves nothing behind.
  int vanish = ConnectTo(service_->address(), 7310);
  SendText(vanish, Block("K") + "half");
  close(vanish);
  EXPECT_EQ("0", Upload("K", "after.bin", 1, "z"));
  EXPECT_EQ(1u, service_->Events("upload", "error").size());
}

TEST_F(DataServers, UploadStallWithBytesStopsReadingAfterThemThenTakesTheRest) {
  StartWith("127.0.3.37", DownloadConfig({{{"on", "upload"}, {"name", "stall.bin"}, {"action", "stall"},
                                           {"bytes", 3000}, {"ms", 1500}}}));
  std::string file = PatternBytes(10000, 4);
  auto start = std::chrono::steady_clock::now();
  int fd = ConnectTo(service_->address(), 7310);
  ASSERT_GE(fd, 0);
  SendText(fd, Block("K") + Block("stall.bin") + Block("10000"));
  EXPECT_EQ("0", ReceiveOnce(fd));
  auto offsetAfter = std::chrono::steady_clock::now() - start;
  SendText(fd, file);
  shutdown(fd, SHUT_WR);
  ReceiveAll(fd);
  close(fd);
  auto endAfter = std::chrono::steady_clock::now() - start;
  EXPECT_LT(offsetAfter, std::chrono::milliseconds(1000)) << "the stall came before the resume offset";
  EXPECT_GE(endAfter, std::chrono::milliseconds(1500));
  EXPECT_TRUE(ReadLocalFile(service_->uploadDir() + "/K/stall.bin") == file);
  auto stalls = service_->Events("upload", "stall");
  ASSERT_EQ(1u, stalls.size());
  EXPECT_EQ(3000, stalls[0]["bytes"]);
  EXPECT_EQ(1500, stalls[0]["ms"]);
}

// So that the client already waits for the resume offset when the reset comes.
TEST_F(DataServers, UploadDropWithMsResetsOnlyAfterThatPause) {
  StartWith("127.0.3.38", DownloadConfig({{{"on", "upload"}, {"name", "late.bin"}, {"action", "drop"},
                                           {"reset", true}, {"ms", 400}}}));
  int fd = ConnectTo(service_->address(), 7310);
  ASSERT_GE(fd, 0);
  auto start = std::chrono::steady_clock::now();
  SendText(fd, Block("K") + Block("late.bin") + Block("1"));
  char byte;
  ssize_t received = recv(fd, &byte, 1, 0);
  int error = errno;
  auto after = std::chrono::steady_clock::now() - start;
  close(fd);
  EXPECT_EQ(-1, received);
  EXPECT_EQ(ECONNRESET, error);
  EXPECT_GE(after, std::chrono::milliseconds(400));
}

TEST(DataServersUnbound, UnboundPortsRefuseConnections) {
  RefServiceHarness service("127.0.3.36");
  ASSERT_TRUE(service.Start({{"faults",
                              {{{"on", "download"}, {"action", "unbound"}}, {{"on", "upload"}, {"action", "unbound"}}}}}))
      << service.startError();
  EXPECT_EQ(-1, ConnectTo(service.address(), 7301));
  EXPECT_EQ(-1, ConnectTo(service.address(), 7310));
  int fd = ConnectTo(service.address(), 7510);
  EXPECT_GE(fd, 0);
  close(fd);
}

}  // namespace
