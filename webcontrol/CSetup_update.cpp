#include "CSetup_update.h"

#include <commctrl.h>
#include <objbase.h>
#include <wininet.h>

#include <climits>
#include <memory>

#include "Application.h"
#include "Handoff.h"
#include "MessageBoxes.h"
#include "ProgramVersion.h"
#include "ServiceEndpoints.h"
#include "TextConversion.h"
#include "WebControlRes.h"
#include "WorkerThread.h"

namespace {

const char* const kStatusTexts[] = {
    "업데이트를 진행합니다.",
    "설치파일의 정보를 가져오는중입니다..",
    "업데이트할 파일을 다운로드중입니다.",
    "설치를 진행합니다. 설치과정을 따라주세요.",
};
const char kUnstableConnectionText[] =
    "통신 상태가 불안정하여 파일수신이 정상적으로 되지 않았습니다.\n수동설치후 이용하세요.";
const char kOutOfMemoryText[] =
    "메모리 부족. 실행된 프로그램이 너무 많습니다. 일부 프로그램을 종료후 실행하세요";
const char kInstallErrorCaption[] = "설치 (오류)";

const char kInstallerObject[] = "/app/Quorvanes.exe";
const wchar_t kInstallerFileName[] = L"Quorvanes.exe";
const wchar_t kAcceptHeader[] = L"Accept: text/ini, text/dat, exe/exe\r\n";
const wchar_t kUserAgentHeader[] = L"User-Agent: GetWebFile/1.0\r\n";

// WinINet would follow every redirect by itself; the dialog follows one.
const DWORD kRequestFlags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
const DWORD kSizeQueryFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY;
const DWORD kConnectTimeoutMs = 30000;
const DWORD kConnectBackoffMs = 1000;
const DWORD kConnectRetries = 1;
const DWORD kReadSize = 1023;

const UINT_PTR kPollTimer = 2;
const UINT kPollMs = 50;
const UINT kStatusMessage = WM_APP + 1;
const UINT kOutcomeMessage = WM_APP + 2;

struct InternetCloser {
  void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using Internet = std::unique_ptr<void, InternetCloser>;

template <class Function>
Function Shell32Function(const char* name) {
  HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
  if (!shell32) shell32 = LoadLibraryW(L"shell32.dll");
  return shell32 ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(shell32, name)))
                 : nullptr;
}

bool IsVistaOrLater() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 6;
}

bool IsAdministrator() {
  using IsUserAnAdminFunction = BOOL(WINAPI*)();
  auto isUserAnAdmin = Shell32Function<IsUserAnAdminFunction>("IsUserAnAdmin");
  return isUserAnAdmin && isUserAnAdmin();
}

bool NeedsLowRightsFolder() { return IsVistaOrLater() && !IsAdministrator(); }

std::wstring ProgramFilesFolder() {
  wchar_t programFiles[MAX_PATH];
  DWORD length = ExpandEnvironmentStringsW(L"%ProgramFiles%", programFiles, MAX_PATH);
  if (length == 0 || length > MAX_PATH) return L"C:\\Program Files";
  return programFiles;
}

// FOLDERID_LocalAppDataLow; without it, the program-files folder itself.
std::wstring LowRightsFolder() {
  static const GUID kLocalAppDataLow = {0xA520A1A4, 0x1780, 0x4FF6, {0xBD, 0x18, 0x16, 0x73, 0x43, 0xC5, 0xAF, 0x16}};
  using KnownFolderPathFunction = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);
  auto knownFolderPath = Shell32Function<KnownFolderPathFunction>("SHGetKnownFolderPath");
  PWSTR path = nullptr;
  std::wstring folder;
  if (knownFolderPath && SUCCEEDED(knownFolderPath(kLocalAppDataLow, 0, nullptr, &path)) && path) folder = path;
  if (path) CoTaskMemFree(path);
  if (folder.empty()) folder = ProgramFilesFolder();
  return folder + L"\\";
}

std::wstring WithClosingBackslash(std::wstring folder) {
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return folder;
}

HINTERNET OpenSession() {
  Application* application = Application::Current();
  std::wstring agent = application ? Widen(application->Title()) : L"Quorvane_Active";
  return InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
}

// Sends a GET for `target` on a connection of its own; the status code, or
// 0 when the request could not be made.
DWORD SendGet(HINTERNET session, const HttpTarget& target, std::initializer_list<const wchar_t*> headers,
              Internet& connection, Internet& request) {
  connection.reset(InternetConnectW(session, Widen(target.host).c_str(), static_cast<INTERNET_PORT>(target.port),
                                    nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return 0;
  request.reset(HttpOpenRequestW(connection.get(), L"GET", Widen(target.object).c_str(), nullptr, nullptr, nullptr,
                                 kRequestFlags, 0));
  if (!request) return 0;
  for (const wchar_t* header : headers) {
    HttpAddRequestHeadersW(request.get(), header, static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD_IF_NEW);
  }
  if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return 0;
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    return 0;
  return status;
}

std::string RawHeaders(HINTERNET request) {
  DWORD size = 0;
  HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr);
  if (size == 0) return std::string();
  std::wstring headers(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(headers.size() * sizeof(wchar_t));
  if (!HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, &headers[0], &size, nullptr)) return std::string();
  headers.resize(size / sizeof(wchar_t));
  return Narrow(headers);
}

}  // namespace

CSetup_update::Environment CSetup_update::DefaultEnvironment() {
  return Environment{WebHost(),
                     InstallFolder(),
                     NeedsLowRightsFolder,
                     LowRightsFolder,
                     InstallFolder(),
                     [](std::function<unsigned()> routine) { return WorkerThread::Start(std::move(routine)); },
                     nullptr};
}

CSetup_update::CSetup_update(Environment environment)
    : Dialog(IDD_SETUP_UPDATE), environment_(std::move(environment)) {}

// The dialog ends only after the worker's last message, so this wait is short.
CSetup_update::~CSetup_update() {
  abandoned_ = true;
  worker_.WaitEnded(INFINITE);
  CloseInstallerHandle();
}

const MessageTable& CSetup_update::Table() {
  static const MessageEntry entries[] = {
      messages::Message(kStatusMessage, &CSetup_update::ShowStatus),
      messages::Message(kOutcomeMessage, &CSetup_update::FinishWork),
      messages::Timer(kPollTimer, &CSetup_update::PollInstaller),
      messages::Message(WM_DESTROY, &CSetup_update::Destroying),
  };
  static const MessageTable table(entries, &Dialog::Table());
  return table;
}

int CSetup_update::Run() {
  endedItself_ = false;
  INT_PTR result = DoModal();
  return endedItself_ && result == 0 ? 0 : 1;
}

BOOL CSetup_update::OnInitDialog() {
  SetItemText(IDC_UPDATE_STATUS, kStatusTexts[Starting]);
  window_ = Hwnd();
  progressBar_ = Item(IDC_UPDATE_PROGRESS);
  lowRights_ = environment_.needsLowRightsFolder && environment_.needsLowRightsFolder();
  // It may exist already.
  if (!lowRights_) CreateDirectoryW(environment_.installFolder.c_str(), nullptr);
  if (environment_.startWorker) worker_ = environment_.startWorker([this] { return Work(); });
  if (!worker_.IsValid()) {
    ShowMessageBox(Hwnd(), kOutOfMemoryText, kInstallErrorCaption, MB_OK | MB_ICONERROR);
    EndItself(1);
  }
  return TRUE;
}

// The worker thread: fetch, check, start. Its last act is the outcome message.
unsigned CSetup_update::Work() {
  std::wstring installer = DownloadFolder() + kInstallerFileName;
  PostStatus(GettingDetails);
  expectedSize_ = QueryExpectedSize();
  PostStatus(Downloading);
  bool answered200 = Download(installer);
  if (abandoned_) return 0;
  if (!ArrivedWhole(answered200, receivedSize_, expectedSize_)) {
    PostOutcome(DownloadFailed);
    return 0;
  }
  if (abandoned_) return 0;
  PostStatus(Installing);
  PostOutcome(StartInstaller(installer) ? InstallerStarted : InstallerNotStarted);
  return 0;
}

std::wstring CSetup_update::DownloadFolder() const {
  if (lowRights_ && environment_.lowRightsFolder) return WithClosingBackslash(environment_.lowRightsFolder());
  return WithClosingBackslash(environment_.installFolder);
}

// The size the web host announces, 0 when it cannot be asked or says none.
int CSetup_update::QueryExpectedSize() const {
  Internet session(OpenSession());
  if (!session) return 0;
  std::wstring url = Widen("http://" + environment_.webHost + kInstallerObject);
  Internet file(InternetOpenUrlW(session.get(), url.c_str(), nullptr, 0, kSizeQueryFlags, 0));
  if (!file) return 0;
  wchar_t length[16];
  DWORD size = sizeof length;
  if (!HttpQueryInfoW(file.get(), HTTP_QUERY_CONTENT_LENGTH, length, &size, nullptr)) return 0;
  return ContentLengthOf(Narrow(std::wstring(length, size / sizeof(wchar_t))));
}

// Saves the installer to `target`, following one redirect. True when the
// web host answered 200 (what arrived is in receivedSize_); any failure on
// the way just ends the download.
bool CSetup_update::Download(const std::wstring& target) {
  Internet session(OpenSession());
  if (!session) return false;
  DWORD value = kConnectTimeoutMs;
  InternetSetOptionW(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &value, sizeof value);
  value = kConnectBackoffMs;
  InternetSetOptionW(session.get(), INTERNET_OPTION_CONNECT_BACKOFF, &value, sizeof value);
  value = kConnectRetries;
  InternetSetOptionW(session.get(), INTERNET_OPTION_CONNECT_RETRIES, &value, sizeof value);

  HostAndPort web = ParseHostAndPort(environment_.webHost);
  HttpTarget where{web.host, web.port, kInstallerObject};
  Internet connection;
  Internet request;
  DWORD status = SendGet(session.get(), where, {kAcceptHeader, kUserAgentHeader}, connection, request);
  if (status == HTTP_STATUS_MOVED || status == HTTP_STATUS_REDIRECT || status == HTTP_STATUS_REDIRECT_METHOD) {
    std::optional<std::string> location = LocationHeader(RawHeaders(request.get()));
    request.reset();
    connection.reset();
    std::optional<HttpTarget> moved = location ? RedirectTarget(*location, where) : std::nullopt;
    if (!moved) return false;
    status = SendGet(session.get(), *moved, {kAcceptHeader}, connection, request);
  }
  if (status != HTTP_STATUS_OK) return false;

  PostMessageW(progressBar_, PBM_SETRANGE32, 0, 100);
  HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[kReadSize + 1];
  DWORD read = 0;
  int shownPercent = 0;
  // Once more than the announced size has come the installer cannot be whole:
  // the rest of the body is not read (nor counted past what an int holds).
  while (!abandoned_ && receivedSize_ <= expectedSize_ &&
         InternetReadFile(request.get(), buffer, kReadSize, &read) && read > 0) {
    DWORD written = 0;
    if (!WriteFile(file, buffer, read, &written, nullptr) || written != read) break;
    if (static_cast<long long>(receivedSize_) + read > INT_MAX) break;
    receivedSize_ += static_cast<int>(read);
    // One message per step of the bar: a message per piece could fill the
    // dialog thread's queue, and the outcome posted last would be lost.
    int percent = ProgressPercent(receivedSize_, expectedSize_);
    if (expectedSize_ > 0 && percent != shownPercent) {
      shownPercent = percent;
      PostMessageW(progressBar_, PBM_SETPOS, percent, 0);
    }
    if (environment_.pieceWritten) environment_.pieceWritten(receivedSize_, expectedSize_);
  }
  CloseHandle(file);
  return true;
}

// True when the installer runs and its process can be watched.
bool CSetup_update::StartInstaller(const std::wstring& path) {
  launch_ = SHELLEXECUTEINFOW{};
  launch_.cbSize = sizeof launch_;
  launch_.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  launch_.lpVerb = L"open";
  launch_.lpFile = path.c_str();
  launch_.nShow = SW_SHOWDEFAULT;
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  BOOL started = ShellExecuteExW(&launch_);
  if (SUCCEEDED(com)) CoUninitialize();
  launch_.lpFile = nullptr;
  if (!started) launch_.hProcess = nullptr;
  return launch_.hProcess != nullptr;
}

void CSetup_update::PostStatus(Status status) { PostMessageW(window_, kStatusMessage, status, 0); }

void CSetup_update::PostOutcome(Outcome outcome) { PostMessageW(window_, kOutcomeMessage, outcome, 0); }

bool CSetup_update::ShowStatus(WPARAM status, LPARAM, LRESULT&) {
  if (status < sizeof kStatusTexts / sizeof kStatusTexts[0]) SetItemText(IDC_UPDATE_STATUS, kStatusTexts[status]);
  return true;
}

bool CSetup_update::Destroying(WPARAM, LPARAM, LRESULT&) {
  abandoned_ = true;
  StopTimer(kPollTimer);
  return false;
}

void CSetup_update::EndItself(int result) {
  endedItself_ = true;
  EndDialog(result);
}

bool CSetup_update::FinishWork(WPARAM outcome, LPARAM, LRESULT&) {
  switch (outcome) {
    case DownloadFailed:
      ShowMessageBox(Hwnd(), kUnstableConnectionText, kInstallErrorCaption, MB_OK | MB_ICONERROR);
      EndItself(1);
      break;
    case InstallerStarted:
      StartTimer(kPollTimer, kPollMs);
      break;
    default:
      // Nothing to wait for: without a process handle the installer's end
      // could never be seen.
      EndItself(1);
      break;
  }
  return true;
}

void CSetup_update::PollInstaller() {
  if (!launch_.hProcess) return;
  // The process's state, not its exit code: an installer may end with 259
  // (STILL_ACTIVE) itself.
  if (WaitForSingleObject(launch_.hProcess, 0) == WAIT_TIMEOUT) return;
  GetExitCodeProcess(launch_.hProcess, &exitCode_);
  StopTimer(kPollTimer);
  CloseInstallerHandle();
  std::wstring folder = WithClosingBackslash(environment_.programFolder);
  bool inPlace = RequiredVersionsInPlace(InstalledVersion(folder + kDownloaderProgram.fileName),
                                         requiredDownloaderVersion,
                                         InstalledVersion(folder + kUploaderProgram.fileName),
                                         requiredUploaderVersion);
  EndItself(inPlace ? 0 : 1);
}

void CSetup_update::CloseInstallerHandle() {
  if (launch_.hProcess) CloseHandle(launch_.hProcess);
  launch_.hProcess = nullptr;
}
