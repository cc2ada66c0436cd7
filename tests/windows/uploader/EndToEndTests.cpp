// Haulbox_UPLOAD.exe as the web control starts it, against the reference
// service on 127.0.0.1 (the transfer server of the test build): a job handed
// over by the test's own launcher window uploads every file byte for byte in
// the order of the wire exchange, and the launcher stand-in hands jobs to a
// starting and to a running uploader. The local files lie in
// C:\haulbox-upload-end-to-end (see data/end-to-end).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ByteAssertions.h"
#include "CopyDataSender.h"
#include "DownloaderTestSupport.h"
#include "Handoff.h"
#include "MessageBoxIcon.h"
#include "MessageBoxProbe.h"
#include "ProcessUnderTest.h"
#include "TextConversion.h"
#include "UploaderRes.h"
#include "WindowFinder.h"

using namespace test_support;

namespace {

const char kServer[] = "127.0.0.1";
const char kLocalFolder[] = "C:\\haulbox-upload-end-to-end\\";

struct LocalFile {
  std::string path;  // below kLocalFolder
  std::size_t size;
  std::string key;   // upload key of job E1
  std::string name;  // stored name
};
// Job E1 in its list order (data/end-to-end/refservice.json).
const LocalFile kJobFiles[] = {
    {"사진\\바다 풍경.jpg", 250000, "KE1", "바다 풍경.jpg"},
    {"empty.txt", 0, "KE2", "empty.txt"},
    {"archive.bin", 4195538, "KE3", "archive.bin"},
};

std::wstring Bin() { return harness::OwnFolder() + L"..\\"; }

std::string RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  return bytes;
}

std::string Local(const std::string& path) { return ReadBytes(kLocalFolder + path); }
std::string Stored(const std::string& key, const std::string& name) {
  return ReadBytes(ServiceRoot(kServer) + "uploads\\" + key + "\\" + name);
}

// The signature the uploader sends for a file: its size, then the absolute
// values of 10 signed bytes from its middle in three digits each.
std::string ExpectedSignature(const std::string& bytes) {
  const std::int64_t size = static_cast<std::int64_t>(bytes.size());
  const std::int64_t offset = size < 10 ? 0 : size <= 2000000000 ? size / 2 : 1999999990;
  std::string signature = std::to_string(size);
  for (std::int64_t i = offset; i < offset + 10; ++i) {
    const int value = i < size ? static_cast<signed char>(bytes[static_cast<std::size_t>(i)]) : 0;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03d", std::abs(value));
    signature += digits;
  }
  return signature;
}

// One value of a JSON-lines log entry, unescaped: a string's text or a
// number's digits; empty when the entry has no such field.
std::string Field(const std::string& line, const std::string& name) {
  const std::string label = "\"" + name + "\":";
  std::size_t at = line.find(label);
  if (at == std::string::npos) return "";
  at += label.size();
  std::string value;
  if (at < line.size() && line[at] == '"') {
    for (++at; at < line.size() && line[at] != '"'; ++at) {
      if (line[at] == '\\' && at + 1 < line.size()) ++at;  // \" and \\ are all these logs escape here
      value += line[at];
    }
  } else {
    while (at < line.size() && line[at] != ',' && line[at] != '}') value += line[at++];
  }
  return value;
}

std::vector<std::string> LogLines() {
  std::ifstream log(Widen(Workdir() + kServer + ".jsonl").c_str());
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  return lines;
}

// The service's log from line `from` on as the steps of the exchange:
// "> request" per transfer exchange (a list request also "< " and the first
// field of its reply), "login member", "logout member", "signature key id",
// "upload key" when a data connection has sent its blocks, "complete id
// received/size" when a completion notice names a stored file.
std::vector<std::string> WireSteps(std::size_t from, std::vector<std::string>& fileIds) {
  std::vector<std::string> steps;
  const std::vector<std::string> lines = LogLines();
  for (std::size_t i = from; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::string server = Field(line, "server");
    const std::string event = Field(line, "event");
    if (server == "transfer" && event == "exchange") {
      std::string step = "> " + Field(line, "request");
      const std::string reply = Field(line, "reply");
      if (Field(line, "request") == "E1") step += " < " + reply.substr(0, reply.find('|'));
      steps.push_back(step);
    } else if (server == "transfer" && (event == "login" || event == "logout")) {
      steps.push_back(event + " " + Field(line, "member"));
    } else if (server == "transfer" && event == "signature") {
      fileIds.push_back(Field(line, "file_id"));
      steps.push_back("signature " + Field(line, "key") + " " + fileIds.back());
    } else if (server == "upload" && event == "request") {
      steps.push_back("upload " + Field(line, "key"));
    } else if (server == "transfer" && event == "upload_complete") {
      steps.push_back("complete " + Field(line, "file_id") + " " + Field(line, "received") + "/" +
                      Field(line, "size"));
    }
  }
  return steps;
}

std::string Joined(const std::vector<std::string>& steps) {
  std::string text;
  for (const std::string& step : steps) text += "  " + step + "\n";
  return text;
}

class UploaderEndToEnd : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    CreateDirectoryW(W(kLocalFolder).c_str(), nullptr);
    CreateDirectoryW(W(std::string(kLocalFolder) + "사진").c_str(), nullptr);
    unsigned seed = 1;
    for (const LocalFile& file : kJobFiles) WriteBytes(kLocalFolder + file.path, RandomBytes(file.size, seed++));
  }

  void SetUp() override {
    WriteConfig(L"User_Config", 1);
    WriteConfig(L"UP_Autostart", 1);
    WriteConfig(L"UP_Tray", 0);
    WriteConfig(L"UP_Program_end", 0);
    WriteConfig(L"UP_System_end", 0);
  }

  // Waits for the completion message of `processId`, checks it and closes it.
  static void ExpectCompletionMessage(DWORD processId) {
    harness::MessageBoxContent box = harness::WaitForMessageBox(processId, 60000);
    ASSERT_NE(nullptr, box.box) << "no message within 60 s";
    EXPECT_EQ(W("모든 파일이 전송완료되었습니다."), box.text);
    EXPECT_EQ(W("전송완료"), box.caption);
    const wchar_t* icon = MessageBoxIcon(box.box);
    EXPECT_EQ(IDI_INFORMATION, icon) << "icon seen: " << IconName(icon);
    harness::PressButton(box.box, IDOK);
    for (int i = 0; i < 100 && IsWindow(box.box); ++i) Sleep(20);
  }

  // The tray menu's exit ends the program at once when every file is complete.
  static void ExitThroughTheTray(HWND uploader, HANDLE process) {
    PostMessageW(uploader, WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 20000)) << "the uploader did not end";
  }
};

TEST_F(UploaderEndToEnd, AJobUploadsEveryFileInTheOrderOfTheExchange) {
  const std::size_t logStart = LogLines().size();
  LauncherWindow launcher;
  harness::ProcessUnderTest program;
  ASSERT_TRUE(program.Start(Bin() + L"Haulbox_UPLOAD.exe", L"", Bin())) << program.LastError();
  ASSERT_TRUE(WaitForReady(30000)) << "no ready message";
  ASSERT_EQ(kHandoffTagUploader, LauncherWindow::Seen().tag);
  HWND uploader = LauncherWindow::Seen().sender;

  // The job runs inside the message: send it from a helper thread.
  harness::CopyDataResult sent;
  std::thread handoff([&] {
    sent = harness::SendCopyDataText(uploader, kHandoffTagUploader, std::string(kUploaderHandoffTag) + "|E1|tester|1",
                                     launcher.Hwnd(), 60000);
  });
  ExpectCompletionMessage(program.ProcessId());
  handoff.join();
  EXPECT_TRUE(sent.delivered);
  if (HasFatalFailure()) return;

  for (const LocalFile& file : kJobFiles) {
    EXPECT_TRUE(harness::SameBytes(Local(file.path), Stored(file.key, file.name))) << file.key;
  }

  std::vector<std::string> ids;
  const std::vector<std::string> steps = WireSteps(logStart, ids);
  ASSERT_EQ(3u, ids.size()) << Joined(steps);
  std::vector<std::string> expected = {"> @Connect_start", "login tester", "> tester", "> @Connect_end",
                                       "logout tester",    "> tester",     "> @Upload", "> @Server1"};
  for (std::size_t i = 0; i < 3; ++i) {
    const LocalFile& file = kJobFiles[i];
    expected.push_back("> E1 < " + file.key);
    expected.push_back("signature " + file.key + " " + ids[i]);
    expected.push_back("> " + ExpectedSignature(Local(file.path)));
  }
  expected.push_back("> E1 < ListEnd");
  for (std::size_t i = 0; i < 3; ++i) {
    const LocalFile& file = kJobFiles[i];
    expected.push_back("upload " + file.key);
    expected.push_back("> @Upload_complute");
    expected.push_back("complete " + ids[i] + " " + std::to_string(file.size) + "/" + std::to_string(file.size));
    expected.push_back("> " + ids[i]);
  }
  EXPECT_EQ(Joined(expected), Joined(steps));

  // Nothing goes to the servers at exit.
  ExitThroughTheTray(uploader, program.Handle());
  EXPECT_EQ(nullptr, harness::WaitForMessageBox(program.ProcessId(), 0).box);
  std::vector<std::string> afterExit;
  EXPECT_EQ(steps.size(), WireSteps(logStart, afterExit).size());
}

// An uploader started by someone else: ended with the test if still running.
class StartedUploader {
public:
  ~StartedUploader() {
    if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
    if (process_) CloseHandle(process_);
  }
  bool Find(DWORD timeoutMs) {
    window_ = harness::WaitForWindow(kUploaderWindowClass, timeoutMs);
    if (window_) process_ = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, harness::WindowProcessId(window_));
    return process_ != nullptr;
  }
  HWND Window() const { return window_; }
  HANDLE Process() const { return process_; }
  DWORD ProcessId() const { return harness::WindowProcessId(window_); }

private:
  HWND window_ = nullptr;
  HANDLE process_ = nullptr;
};

// Runs the launcher stand-in (in the bin folder) to its end; its exit code,
// or -1 when it did not end in time.
long RunLauncherStandIn(const std::wstring& arguments) {
  harness::ProcessUnderTest standIn;
  if (!standIn.Start(Bin() + L"launcher_standin.exe", arguments, Bin())) return -2;
  if (!standIn.WaitForExit(90000)) return -1;
  return static_cast<long>(standIn.ExitCode());
}

TEST_F(UploaderEndToEnd, TheLauncherStandInHandsJobsToAStartingAndToARunningUploader) {
  ASSERT_EQ(nullptr, FindWindowW(kUploaderWindowClass, nullptr));
  std::thread launch([] { EXPECT_EQ(0, RunLauncherStandIn(L"--upload S1 tester 1")); });
  StartedUploader uploader;
  const bool found = uploader.Find(30000);
  if (!found) launch.join();
  ASSERT_TRUE(found) << "no uploader window";
  ExpectCompletionMessage(uploader.ProcessId());
  launch.join();
  if (HasFatalFailure()) return;
  EXPECT_TRUE(harness::SameBytes(Local(kJobFiles[2].path), Stored("KS1", kJobFiles[2].name)));

  std::thread send([] { EXPECT_EQ(0, RunLauncherStandIn(L"--upload --send S2 tester 1")); });
  ExpectCompletionMessage(uploader.ProcessId());
  send.join();
  if (HasFatalFailure()) return;
  EXPECT_TRUE(harness::SameBytes(Local(kJobFiles[0].path), Stored("KS2", kJobFiles[0].name)));
  EXPECT_EQ(1, CountLogLines(kServer, {"\"upload_complete\"", "/uploads/KS1/archive.bin\""}));
  EXPECT_EQ(1, CountLogLines(kServer, {"\"upload_complete\"", "/uploads/KS2/"}));
  ExitThroughTheTray(uploader.Window(), uploader.Process());
}

}  // namespace
