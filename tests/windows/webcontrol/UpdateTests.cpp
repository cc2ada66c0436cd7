// The update dialog against reference web hosts on 127.0.12.x: the test
// serves a stand-in installer (TestInstaller.cpp) that copies stand-in
// programs (version 7.0.3.12) into a programs folder of the test's own.
//   127.0.12.1:8121 serves the installer    127.0.12.2:8122 redirects to .3
//   127.0.12.3:8123 serves the installer    127.0.12.4:8124 redirects to .5
//   127.0.12.5:8125 redirects to .3         127.0.12.6:8126 sends no length
//   127.0.12.7:8127 cuts the body short     127.0.12.8:8128 answers 401
//   127.0.12.9 does not listen at all
// Answers no reference host can give (a download that differs from the size
// query) come from a small web host of the test's own on 127.0.13.x.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "CSetup_update.h"
#include "DownloaderTestSupport.h"
#include "ProgramVersion.h"
#include "TextConversion.h"
#include "WebControlRes.h"
#include "WorkerThread.h"

namespace {

using test_support::BoxWatcher;
using test_support::FileExists;
using test_support::FreshFolder;
using test_support::ReadBytes;
using test_support::SeenBox;
using test_support::ServiceRoot;
using test_support::WriteBytes;

const char kFakeVersion[] = "7.0.3.12";
const wchar_t kErrorCaption[] = L"설치 (오류)";
const wchar_t kUnstableText[] =
    L"통신 상태가 불안정하여 파일수신이 정상적으로 되지 않았습니다.\n수동설치후 이용하세요.";
const wchar_t kOutOfMemoryText[] =
    L"메모리 부족. 실행된 프로그램이 너무 많습니다. 일부 프로그램을 종료후 실행하세요";
const std::vector<std::wstring> kStatusTexts = {
    L"업데이트를 진행합니다.",
    L"설치파일의 정보를 가져오는중입니다..",
    L"업데이트할 파일을 다운로드중입니다.",
    L"설치를 진행합니다. 설치과정을 따라주세요.",
};

std::string TestProgramsFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path, length);
  return self.substr(0, self.find_last_of('\\'));
}

// Counts the log lines of `address` that hold every part, from when it was made.
class LogLines {
public:
  LogLines(std::string address, std::vector<std::string> parts)
      : address_(std::move(address)), parts_(std::move(parts)), before_(Total()) {}
  int New() const { return Total() - before_; }

private:
  int Total() const { return test_support::CountLogLines(address_, parts_); }
  std::string address_;
  std::vector<std::string> parts_;
  int before_;
};

const char kInstallerPath[] = "\"path\":\"/app/Quorvanes.exe\"";
const char kAcceptHeader[] = "\"accept\":\"text/ini, text/dat, exe/exe\"";
const char kUserAgentHeader[] = "\"user_agent\":\"GetWebFile/1.0\"";

std::string InstallerBytes() { return ReadBytes(TestProgramsFolder() + "\\test_installer.exe"); }

// Puts `bytes` on the web host of `address` as "/app/Quorvanes.exe".
void Serve(const std::string& address, const std::string& bytes) {
  std::string web = ServiceRoot(address) + "web";
  CreateDirectoryW(Widen(web).c_str(), nullptr);
  CreateDirectoryW(Widen(web + "\\app").c_str(), nullptr);
  WriteBytes(web + "\\app\\Quorvanes.exe", bytes);
}

// An update dialog that records what its status line and progress bar were
// told, on the dialog's own thread.
class ObservedUpdate : public CSetup_update {
public:
  using CSetup_update::CSetup_update;
  std::vector<std::wstring> statuses;
  std::vector<int> positions;

protected:
  BOOL OnInitDialog() override {
    SetWindowSubclass(Item(IDC_UPDATE_STATUS), Record, 1, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(Item(IDC_UPDATE_PROGRESS), Record, 2, reinterpret_cast<DWORD_PTR>(this));
    return CSetup_update::OnInitDialog();
  }

private:
  static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR self) {
    auto* update = reinterpret_cast<ObservedUpdate*>(self);
    if (id == 1 && message == WM_SETTEXT) update->statuses.push_back(reinterpret_cast<const wchar_t*>(lParam));
    if (id == 2 && message == PBM_SETPOS) update->positions.push_back(static_cast<int>(wParam));
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, Record, id);
    return DefSubclassProc(window, message, wParam, lParam);
  }
};

class UpdateTest : public testing::Test {
protected:
  void SetUp() override {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    folder_ = FreshFolder(std::string("update-") + test->name());
    installFolder_ = folder_ + "\\Quorvanes";
    programFolder_ = folder_ + "\\programs";
    CreateDirectoryW(Widen(programFolder_).c_str(), nullptr);
    record_ = folder_ + "\\installer-runs.txt";
    Serve("127.0.12.1", InstallerBytes());
    Serve("127.0.12.3", InstallerBytes());
  }

  CSetup_update::Environment Environment(const std::string& webHost) {
    return {webHost,
            Widen(installFolder_),
            [this] { return lowRights_; },
            [this] { return Widen(folder_ + "\\low\\"); },
            Widen(programFolder_),
            [](std::function<unsigned()> routine) { return WorkerThread::Start(std::move(routine)); },
            nullptr};
  }

  // What the installer started from `downloadFolder` does: put both
  // stand-in programs in the programs folder and record its run.
  void PrepareInstaller(const std::string& downloadFolder) {
    CreateDirectoryW(Widen(downloadFolder).c_str(), nullptr);
    std::ofstream side(Widen(downloadFolder + "\\Quorvanes.exe.txt").c_str(), std::ios::binary);
    side << "record=" << record_ << "\n";
    side << "target=" << programFolder_ << "\n";
    std::string fake = TestProgramsFolder() + "\\fake_transfer_program.exe";
    side << "copy=" << fake << "|Haulbox_DOWN.exe\n";
    side << "copy=" << fake << "|Haulbox_UPLOAD.exe\n";
  }

  int InstallerRuns() {
    std::ifstream file(Widen(record_).c_str());
    int runs = 0;
    std::string line;
    while (std::getline(file, line)) runs += line == "ran";
    return runs;
  }

  // Runs the dialog against `webHost` and expects the unstable-connection
  // message and result 1, with no installer started.
  void ExpectUnstableConnection(const std::string& webHost) {
    PrepareInstaller(installFolder_);
    BoxWatcher boxes;
    CSetup_update update(Environment(webHost));
    update.requiredDownloaderVersion = kFakeVersion;
    EXPECT_EQ(1, update.DoModal());
    ExpectOneBox(boxes, kUnstableText);
    EXPECT_EQ(0, InstallerRuns());
  }

  static void ExpectOneBox(BoxWatcher& boxes, const wchar_t* text) {
    std::vector<SeenBox> seen = boxes.Boxes();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(std::wstring(kErrorCaption), seen[0].caption);
    EXPECT_EQ(std::wstring(text), seen[0].text);
  }

  std::string folder_;
  std::string installFolder_;
  std::string programFolder_;
  std::string record_;
  bool lowRights_ = false;
};

void ExpectSameBytes(const std::string& expected, const std::string& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  auto mismatch = std::mismatch(expected.begin(), expected.end(), actual.begin());
  EXPECT_TRUE(mismatch.first == expected.end()) << "first difference at " << (mismatch.first - expected.begin());
}

TEST_F(UpdateTest, FreshInstallDownloadsStartsAndChecksTheInstaller) {
  PrepareInstaller(installFolder_);
  CSetup_update::Environment environment = Environment("127.0.12.1:8121");
  // For a look at the dialog mid-download (HAULBOX_UPDATE_PAUSE_MS).
  const char* pause = std::getenv("HAULBOX_UPDATE_PAUSE_MS");
  environment.pieceWritten = [pause, paused = false](int received, int expected) mutable {
    if (pause && !paused && received * 2 >= expected) {
      paused = true;
      Sleep(static_cast<DWORD>(std::atoi(pause)));
    }
  };
  LogLines served("127.0.12.1", {kInstallerPath, "\"status\":200"});
  LogLines withHeaders("127.0.12.1", {kInstallerPath, kAcceptHeader, kUserAgentHeader});
  BoxWatcher boxes;
  ObservedUpdate update(environment);
  update.requiredDownloaderVersion = kFakeVersion;
  update.requiredUploaderVersion = kFakeVersion;
  EXPECT_EQ(0, update.DoModal());
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(1, InstallerRuns());
  ExpectSameBytes(InstallerBytes(), ReadBytes(installFolder_ + "\\Quorvanes.exe"));
  EXPECT_EQ(kFakeVersion, InstalledVersion(Widen(programFolder_ + "\\Haulbox_DOWN.exe")).value_or("none"));
  EXPECT_EQ(kStatusTexts, update.statuses);
  ASSERT_FALSE(update.positions.empty());
  EXPECT_TRUE(std::is_sorted(update.positions.begin(), update.positions.end()));
  EXPECT_EQ(100, update.positions.back());
  // The size query and the download; the download with both headers.
  EXPECT_EQ(2, served.New());
  EXPECT_EQ(1, withHeaders.New());
}

TEST_F(UpdateTest, InstalledVersionsDecideTheResultOnceTheInstallerEnded) {
  PrepareInstaller(installFolder_);
  BoxWatcher boxes;
  {
    CSetup_update update(Environment("127.0.12.1:8121"));
    update.requiredDownloaderVersion = kFakeVersion;
    update.requiredUploaderVersion = "7.0.3.13";
    EXPECT_EQ(1, update.DoModal());
  }
  {
    CSetup_update update(Environment("127.0.12.1:8121"));
    update.requiredDownloaderVersion = "7.0.3.13";
    EXPECT_EQ(1, update.DoModal());
  }
  {
    // Nothing required: the installer's end is enough.
    CSetup_update update(Environment("127.0.12.1:8121"));
    EXPECT_EQ(0, update.DoModal());
  }
  EXPECT_EQ(3, InstallerRuns());
  EXPECT_TRUE(boxes.Boxes().empty()) << "the launcher tells the member";
}

TEST_F(UpdateTest, WithoutAdministratorRightsTheInstallerGoesToTheLowRightsFolder) {
  lowRights_ = true;
  PrepareInstaller(folder_ + "\\low");
  CSetup_update update(Environment("127.0.12.1:8121"));
  update.requiredDownloaderVersion = kFakeVersion;
  EXPECT_EQ(0, update.DoModal());
  EXPECT_EQ(1, InstallerRuns());
  EXPECT_TRUE(FileExists(folder_ + "\\low\\Quorvanes.exe"));
  EXPECT_FALSE(FileExists(installFolder_)) << "the install folder is not created";
}

TEST_F(UpdateTest, OneRedirectToAnotherHostAndPortIsFollowedWithTheAcceptHeader) {
  PrepareInstaller(installFolder_);
  LogLines redirected("127.0.12.2", {kInstallerPath, "\"fault\":\"redirect\""});
  LogLines followed("127.0.12.3", {kInstallerPath, "\"status\":200", kAcceptHeader});
  LogLines withUserAgent("127.0.12.3", {kUserAgentHeader});
  BoxWatcher boxes;
  CSetup_update update(Environment("127.0.12.2:8122"));
  update.requiredDownloaderVersion = kFakeVersion;
  EXPECT_EQ(0, update.DoModal());
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(1, InstallerRuns());
  EXPECT_EQ(2, redirected.New()) << "the size query and the download";
  EXPECT_EQ(1, followed.New());
  EXPECT_EQ(0, withUserAgent.New()) << "the redirected request carries the Accept header only";
}

TEST_F(UpdateTest, ASecondRedirectIsNotFollowed) {
  LogLines secondRedirect("127.0.12.5", {kInstallerPath, "\"fault\":\"redirect\""});
  LogLines reachedThird("127.0.12.3", {kInstallerPath});
  ExpectUnstableConnection("127.0.12.4:8124");
  // The download stopped at the second host; only the size query, which
  // leaves redirects to the system, went on to the third.
  EXPECT_EQ(2, secondRedirect.New());
  EXPECT_EQ(1, reachedThird.New());
}

TEST_F(UpdateTest, InstallerWithoutAnnouncedSizeIsNotStarted) {
  Serve("127.0.12.6", InstallerBytes());
  ExpectUnstableConnection("127.0.12.6:8126");
}

TEST_F(UpdateTest, ShortBodyIsNotStarted) {
  Serve("127.0.12.7", InstallerBytes());
  ExpectUnstableConnection("127.0.12.7:8127");
  EXPECT_EQ(1234u, ReadBytes(installFolder_ + "\\Quorvanes.exe").size());
}

TEST_F(UpdateTest, NothingReceivedNeverStartsAnOldInstaller) {
  LogLines unauthorized("127.0.12.8", {kInstallerPath, "\"status\":401"});
  for (const char* webHost : {"127.0.12.8:8128", "127.0.12.9:8129"}) {
    SCOPED_TRACE(webHost);
    // An earlier download lies in the download folder, and both sizes agree at 0.
    CreateDirectoryW(Widen(installFolder_).c_str(), nullptr);
    WriteBytes(installFolder_ + "\\Quorvanes.exe", InstallerBytes());
    ExpectUnstableConnection(webHost);
    ExpectSameBytes(InstallerBytes(), ReadBytes(installFolder_ + "\\Quorvanes.exe"));
  }
  EXPECT_EQ(2, unauthorized.New()) << "the size query and the download";
}

TEST_F(UpdateTest, InstallerThatCannotBeStartedEndsTheDialogWith1) {
  std::string notAProgram(5000, 'x');
  Serve("127.0.12.1", notAProgram);
  PrepareInstaller(installFolder_);
  CSetup_update update(Environment("127.0.12.1:8121"));
  update.requiredDownloaderVersion = kFakeVersion;
  EXPECT_EQ(1, update.DoModal());
  EXPECT_EQ(0, InstallerRuns());
}

TEST_F(UpdateTest, WorkerThatCannotBeCreatedEndsTheDialogWith1) {
  CSetup_update::Environment environment = Environment("127.0.12.1:8121");
  environment.startWorker = [](std::function<unsigned()>) { return ThreadHandle(); };
  BoxWatcher boxes;
  CSetup_update update(environment);
  EXPECT_EQ(1, update.DoModal());
  ExpectOneBox(boxes, kOutOfMemoryText);
}


// A web host that gives the n-th connection the n-th canned answer (the
// update dialog's size query first, then its download) and closes it.
class CannedWebHost {
public:
  CannedWebHost(const char* address, int port, std::vector<std::string> answers) : answers_(std::move(answers)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    BOOL reuse = TRUE;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<u_short>(port));
    where.sin_addr.s_addr = inet_addr(address);
    listening_ = bind(listener_, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0 && listen(listener_, 4) == 0;
    if (listening_) thread_ = std::thread([this] { Serve(); });
  }
  ~CannedWebHost() {
    stop_ = true;
    closesocket(listener_);
    if (thread_.joinable()) thread_.join();
    WSACleanup();
  }
  bool Listening() const { return listening_; }
  int Served() const { return served_; }

private:
  void Serve() {
    for (const std::string& answer : answers_) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(listener_, &readable);
      timeval wait{30, 0};
      if (stop_ || select(0, &readable, nullptr, nullptr, &wait) != 1) return;
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      DWORD timeoutMs = 10000;
      setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
      setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
      std::string request;
      char buffer[2048];
      while (request.find("\r\n\r\n") == std::string::npos) {
        int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, got);
      }
      for (std::size_t at = 0; !stop_ && at < answer.size();) {
        int sent = send(client, answer.data() + at, static_cast<int>(std::min<std::size_t>(answer.size() - at, 65536)), 0);
        if (sent <= 0) break;
        at += static_cast<std::size_t>(sent);
      }
      ++served_;
      shutdown(client, SD_BOTH);
      closesocket(client);
    }
  }

  std::vector<std::string> answers_;
  SOCKET listener_ = INVALID_SOCKET;
  bool listening_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<int> served_{0};
  std::thread thread_;
};

std::string Answer200(const std::string& body, bool withLength = true) {
  std::string head = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n";
  if (withLength) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return head + "Connection: close\r\n\r\n" + body;
}

// Ends the test program when a dialog that should have ended long ago still runs.
class Watchdog {
public:
  explicit Watchdog(DWORD ms) : thread_([this, ms] {
    if (WaitForSingleObject(done_, ms) == WAIT_TIMEOUT) {
      std::fprintf(stderr, "the update dialog did not end within %lu ms\n", static_cast<unsigned long>(ms));
      std::fflush(stderr);
      ExitProcess(3);
    }
  }) {}
  ~Watchdog() {
    SetEvent(done_);
    thread_.join();
    CloseHandle(done_);
  }

private:
  HANDLE done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread thread_;
};

using UpdateEdgeTest = UpdateTest;

TEST_F(UpdateEdgeTest, BodyLongerThanAnnouncedIsNotReadToItsEnd) {
  std::string announced(3000, 'a');
  std::string endless(4 * 1024 * 1024, 'b');
  CannedWebHost host("127.0.13.1", 8131, {Answer200(announced), Answer200(endless, false)});
  ASSERT_TRUE(host.Listening());
  PrepareInstaller(installFolder_);
  BoxWatcher boxes;
  Watchdog watchdog(60000);
  CSetup_update update(Environment("127.0.13.1:8131"));
  EXPECT_EQ(1, update.Run());
  ExpectOneBox(boxes, kUnstableText);
  EXPECT_EQ(0, InstallerRuns());
  EXPECT_LE(ReadBytes(installFolder_ + "\\Quorvanes.exe").size(), announced.size() + 1023);
}

TEST_F(UpdateEdgeTest, ProgressBarIsToldOnlyWhenItsPositionMoves) {
  // Not a program: the dialog ends with 1 once it is downloaded.
  std::string body(600 * 1024, 'x');
  CannedWebHost host("127.0.13.2", 8132, {Answer200(body), Answer200(body)});
  ASSERT_TRUE(host.Listening());
  Watchdog watchdog(60000);
  ObservedUpdate update(Environment("127.0.13.2:8132"));
  EXPECT_EQ(1, update.Run());
  EXPECT_EQ(body.size(), ReadBytes(installFolder_ + "\\Quorvanes.exe").size());
  ASSERT_FALSE(update.positions.empty());
  EXPECT_EQ(100, update.positions.back());
  EXPECT_LE(update.positions.size(), 100u);
  EXPECT_TRUE(std::adjacent_find(update.positions.begin(), update.positions.end(),
                                 [](int a, int b) { return a >= b; }) == update.positions.end());
}

TEST_F(UpdateEdgeTest, InstallerThatEndsWithCode259IsSeenToHaveEnded) {
  std::string installer = InstallerBytes();
  CannedWebHost host("127.0.13.3", 8133, {Answer200(installer), Answer200(installer)});
  ASSERT_TRUE(host.Listening());
  PrepareInstaller(installFolder_);
  std::ofstream(Widen(installFolder_ + "\\Quorvanes.exe.txt").c_str(), std::ios::app) << "exit=259\n";
  Watchdog watchdog(60000);
  CSetup_update update(Environment("127.0.13.3:8133"));
  update.requiredDownloaderVersion = kFakeVersion;
  EXPECT_EQ(0, update.Run());
  EXPECT_EQ(1, InstallerRuns());
}

TEST_F(UpdateEdgeTest, DialogDestroyedWithItsOwnerStopsTheDownloadAndFails) {
  std::string installer = InstallerBytes() + std::string(2 * 1024 * 1024, '\0');
  CannedWebHost host("127.0.13.4", 8134, {Answer200(installer), Answer200(installer)});
  ASSERT_TRUE(host.Listening());
  PrepareInstaller(installFolder_);
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, owner);
  CSetup_update::Environment environment = Environment("127.0.13.4:8134");
  // The page goes away while the installer arrives: its window, the
  // dialog's owner, is closed.
  environment.pieceWritten = [owner, closed = false](int, int) mutable {
    if (closed) return;
    closed = true;
    PostMessageW(owner, WM_CLOSE, 0, 0);
    for (int i = 0; i < 500 && IsWindow(owner); ++i) Sleep(10);
  };
  Watchdog watchdog(60000);
  {
    CSetup_update update(environment);
    update.SetParent(owner);
    update.requiredDownloaderVersion = kFakeVersion;
    EXPECT_EQ(1, update.Run());
  }
  EXPECT_FALSE(IsWindow(owner));
  Sleep(1500);
  EXPECT_EQ(0, InstallerRuns()) << "nothing is started for a dialog that is gone";
  EXPECT_LT(ReadBytes(installFolder_ + "\\Quorvanes.exe").size(), installer.size());
}

}  // namespace
