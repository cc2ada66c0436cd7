// The update dialog against reference web hosts on 127.0.12.x: the test
// serves a stand-in installer (TestInstaller.cpp) that copies stand-in
// programs (version 7.0.3.12) into a programs folder of the test's own.
//   127.0.12.1:8121 serves the installer    127.0.12.2:8122 redirects to .3
//   127.0.12.3:8123 serves the installer    127.0.12.4:8124 redirects to .5
//   127.0.12.5:8125 redirects to .3         127.0.12.6:8126 sends no length
//   127.0.12.7:8127 cuts the body short     127.0.12.8:8128 answers 401
//   127.0.12.9 does not listen at all
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
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

}  // namespace
