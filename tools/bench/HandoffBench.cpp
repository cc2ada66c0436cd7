// The web control's hand-off to the downloader as a page's script sees it,
// beside the bare operations it is made of, in one run:
//   - CtlDOWNLOADnow called by name through IDispatch (GetIDsOfNames, then
//     Invoke) on a control created by its ProgID, timed until the call
//     returns, i.e. until the downloader has handled the hand-off: with the
//     downloader already running, and with a cold start (the control starts
//     it, waits for its ready message and hands off);
//   - a bare SendMessage(WM_COPYDATA) of the same text to the running
//     downloader, and a bare CreateProcess of the installed downloader until
//     its ready message reaches a plain window of the launcher's class (and
//     until the hand-off sent from there was handled);
//   - where a cold start's time goes: the control's call watched from a
//     second thread, a bare ShellExecute start, the version read and the
//     hiding of a shown pop-up window.
// Every hand-off names a file code of its own, so that each one costs the
// same exchanges: login, plan check and one file-code list exchange.
//
//   bench_handoff <running runs> <cold runs> <code prefix> <save folder>
//   bench_handoff --cleanup
//   bench_handoff --check
//
// The programs are copied into the install folder, the control is
// registered with regsvr32 and the downloader's settings are set for the
// run; all of it is undone at the end. --cleanup only undoes it (after an
// interrupted run). Exit status 3: another program's downloader or launcher
// window is open in this Wine session, nothing was done (--check only tells
// that). Every wait is bounded: message boxes are answered and recorded,
// and a step that takes too long ends the downloader.
#include <windows.h>
#include <ole2.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BenchClock.h"
#include "DownloaderRes.h"
#include "Handoff.h"
#include "HandoffRules.h"
#include "ProgramVersion.h"
#include "TextConversion.h"

namespace {

const wchar_t kProgId[] = L"Haulbox_Active.Web_CTL";
const wchar_t kConfigKey[] = L"Software\\Quorvanes\\Velmintor\\Config";
const char kMember[] = "tester";
const char kServerNumber[] = "1";
// Rows one downloader takes before it refuses more.
const int kRowLimit = 180;
const DWORD kStepLimitMs = 90000;
const DWORD kReadyWaitMs = 60000;
const DWORD kEndWaitMs = 10000;
const DWORD kSettleMs = 3000;

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.rfind(L'\\') + 1);
}

// The build's bin folder, above bin\bench.
std::wstring BinFolder() {
  std::wstring folder = OwnFolder();
  folder.pop_back();
  return folder.substr(0, folder.rfind(L'\\') + 1);
}

std::wstring DownloaderPath() { return InstallFolder() + L"\\" + kDownloaderProgram.fileName; }

const wchar_t* const kInstalledFiles[] = {L"Haulbox_DOWN.exe", L"images\\download_bg.bmp", L"images\\config_bg.bmp"};

bool InstallDownloader() {
  const std::wstring folder = InstallFolder();
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW((folder + L"\\images").c_str(), nullptr);
  for (const wchar_t* file : kInstalledFiles) {
    if (!CopyFileW((BinFolder() + file).c_str(), (folder + L"\\" + file).c_str(), FALSE)) {
      std::fprintf(stderr, "cannot install %ls: error %lu\n", file, GetLastError());
      return false;
    }
  }
  return true;
}

void RemoveDownloader() {
  const std::wstring folder = InstallFolder();
  for (const wchar_t* file : kInstalledFiles) DeleteFileW((folder + L"\\" + file).c_str());
  RemoveDirectoryW((folder + L"\\images").c_str());
  RemoveDirectoryW(folder.c_str());
}

// regsvr32 with `options` on the control; its exit code, or -1.
int RunRegsvr32(const std::wstring& options) {
  std::wstring command = L"regsvr32.exe " + options + L" \"" + BinFolder() + L"Quorvane_Active.dll\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return -1;
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

// The downloader settings of the run; the values found before are put back
// (or removed) at the end.
class BenchSettings {
public:
  explicit BenchSettings(const std::string& saveFolder) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kConfigKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    Set(L"User_Config", 1);
    Set(L"Default_folder", Widen(saveFolder));
    Set(L"Default_folder_use", 1);
    // Nothing is downloaded: every hand-off only lists its file.
    Set(L"DOWN_Autostart", 0);
    Set(L"DOWN_File_over", 3);
    Set(L"DOWN_List_del", 0);
    Set(L"DOWN_Program_end", 0);
    Set(L"DOWN_System_end", 0);
  }

  ~BenchSettings() {
    if (!key_) return;
    for (const Saved& saved : saved_) {
      if (saved.existed) {
        RegSetValueExW(key_, saved.name.c_str(), 0, saved.type, saved.bytes.data(),
                       static_cast<DWORD>(saved.bytes.size()));
      } else {
        RegDeleteValueW(key_, saved.name.c_str());
      }
    }
    RegCloseKey(key_);
  }

  BenchSettings(const BenchSettings&) = delete;
  BenchSettings& operator=(const BenchSettings&) = delete;

  bool Ok() const { return key_ != nullptr; }

private:
  struct Saved {
    std::wstring name;
    bool existed = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
  };

  void Save(const wchar_t* name) {
    Saved saved;
    saved.name = name;
    DWORD size = 0;
    if (RegQueryValueExW(key_, name, nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
      saved.bytes.resize(size);
      saved.existed = RegQueryValueExW(key_, name, nullptr, &saved.type, saved.bytes.data(), &size) == ERROR_SUCCESS;
      saved.bytes.resize(size);
    }
    saved_.push_back(saved);
  }

  void Set(const wchar_t* name, DWORD value) {
    Save(name);
    RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }

  void Set(const wchar_t* name, const std::wstring& text) {
    Save(name);
    RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }

  HKEY key_ = nullptr;
  std::vector<Saved> saved_;
};

DWORD ProcessOf(HWND window) {
  DWORD processId = 0;
  if (window) GetWindowThreadProcessId(window, &processId);
  return processId;
}

HWND DownloaderWindow() { return FindWindowW(kDownloaderWindowClass, nullptr); }

// A window text for the bench's output, which goes to a UTF-8 console: on one line.
std::string ConsoleText(std::wstring text) {
  std::replace(text.begin(), text.end(), L'\n', L' ');
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                 nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], size, nullptr, nullptr);
  return utf8;
}

struct ClassCount {
  const wchar_t* windowClass;
  int windows;
};

BOOL CALLBACK CountWindowOfClass(HWND window, LPARAM param) {
  auto* count = reinterpret_cast<ClassCount*>(param);
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  if (wcscmp(name, count->windowClass) == 0) ++count->windows;
  return TRUE;
}

int CountTopLevel(const wchar_t* windowClass) {
  ClassCount count{windowClass, 0};
  EnumWindows(&CountWindowOfClass, reinterpret_cast<LPARAM>(&count));
  return count.windows;
}

// Other runs in this Wine session (tests of the launcher, say) open
// launcher and downloader windows of their own, which would answer our
// programs' messages: waits (bounded) until only `ownDownloaders` of ours
// are open; false if that did not happen.
bool WaitForQuietSession(int ownDownloaders) {
  const DWORD start = GetTickCount();
  while (CountTopLevel(kLauncherWindowClass) != 0 || CountTopLevel(kDownloaderWindowClass) != ownDownloaders) {
    if (GetTickCount() - start > 120000) return false;
    Sleep(200);
  }
  return true;
}

// Rows in the running downloader's list (0 when none runs).
int DownloaderRows() {
  HWND list = GetDlgItem(DownloaderWindow(), IDC_DOWN_LIST);
  DWORD_PTR rows = 0;
  if (!list || !SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &rows)) return 0;
  return static_cast<int>(rows);
}

// Pumps this thread's messages until `done` or `timeoutMs` pass.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    const DWORD waited = GetTickCount() - start;
    if (waited >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - waited, 50), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

// Ends the downloader whose main window is open: the tray menu's exit
// would ask first, its listed files being unfinished.
bool EndDownloader() {
  HWND window = DownloaderWindow();
  if (!window) return true;
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ProcessOf(window));
  if (process) {
    TerminateProcess(process, 0);
    WaitForSingleObject(process, kEndWaitMs);
    CloseHandle(process);
  }
  const bool ended = PumpUntil([] { return DownloaderWindow() == nullptr; }, kEndWaitMs);
  // Under Wine a program started within about 2 s of the downloader's end
  // takes about 2 s longer to open its window: every start begins settled.
  PumpUntil([] { return false; }, kSettleMs);
  return ended;
}

// Answers (and records) any message box of this process or of a running
// downloader, so that no run waits for a person, and ends the downloader
// when one step runs past its limit (which also frees a caller blocked in
// SendMessage to it).
class Watchdog {
public:
  Watchdog() : thread_([this] { Run(); }) {}
  ~Watchdog() {
    stop_ = true;
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  void StartStep() {
    stepStart_ = GetTickCount();
    inStep_ = true;
  }
  void EndStep() { inStep_ = false; }

  std::vector<std::string> TakeEvents() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> events;
    events.swap(events_);
    return events;
  }

private:
  void Run() {
    while (!stop_) {
      Sleep(50);
      EnumWindows(&Watchdog::AnswerBox, reinterpret_cast<LPARAM>(this));
      if (inStep_ && GetTickCount() - stepStart_ > kStepLimitMs) {
        inStep_ = false;
        Record("a step ran past its limit: the downloader was ended");
        HWND window = DownloaderWindow();
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, ProcessOf(window))) {
          TerminateProcess(process, 1);
          CloseHandle(process);
        }
      }
    }
  }

  static BOOL CALLBACK AnswerBox(HWND window, LPARAM self) {
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    const DWORD owner = ProcessOf(window);
    if (owner != GetCurrentProcessId() && owner != ProcessOf(DownloaderWindow())) return TRUE;
    wchar_t caption[128] = L"", text[512] = L"";
    GetWindowTextW(window, caption, 128);
    GetDlgItemTextW(window, 0xFFFF, text, 512);  // a message box's text
    reinterpret_cast<Watchdog*>(self)->Record("message box \"" + ConsoleText(caption) + "\": " + ConsoleText(text));
    for (int button : {IDOK, IDCANCEL, IDNO}) {
      if (GetDlgItem(window, button)) {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        break;
      }
    }
    return TRUE;
  }

  void Record(const std::string& event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(event);
  }

  std::atomic<bool> stop_{false};
  std::atomic<bool> inStep_{false};
  std::atomic<DWORD> stepStart_{0};
  std::mutex mutex_;
  std::vector<std::string> events_;
  std::thread thread_;
};

// The hand-off texts, one file code each: <prefix>001?, <prefix>002?, ...
class Handoffs {
public:
  explicit Handoffs(std::string prefix) : prefix_(std::move(prefix)) {}
  HandoffFields Next() {
    char code[32];
    std::snprintf(code, sizeof code, "%s%03d?", prefix_.c_str(), ++count_);
    return HandoffFields{code, kMember, kServerNumber};
  }
  int Count() const { return count_; }

private:
  std::string prefix_;
  int count_ = 0;
};

bool SendHandoff(HWND from, const HandoffFields& fields) {
  std::string text = HandoffText(kDownloaderHandoffTag, fields);
  COPYDATASTRUCT data{};
  data.dwData = kHandoffTagDownloader;
  data.cbData = static_cast<DWORD>(text.size() + 1);
  data.lpData = &text[0];
  HWND target = DownloaderWindow();
  DWORD_PTR reply = 0;
  return target && SendMessageTimeoutW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(from),
                                       reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, kStepLimitMs, &reply);
}

// A plain top-level window of the launcher's class: the downloader announces
// itself to it, and it answers with the hand-off, as the control's launcher
// window does.
class PlainLauncher {
public:
  static bool RegisterClassOnce() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &PlainLauncher::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kLauncherWindowClass;
    return RegisterClassW(&windowClass) != 0;
  }

  PlainLauncher(const BenchClock& clock, HandoffFields fields) : clock_(clock), fields_(std::move(fields)) {
    window_ = CreateWindowExW(0, kLauncherWindowClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~PlainLauncher() {
    if (window_) DestroyWindow(window_);
  }
  PlainLauncher(const PlainLauncher&) = delete;
  PlainLauncher& operator=(const PlainLauncher&) = delete;

  HWND Hwnd() const { return window_; }
  bool HandedOff() const { return handedOff_; }
  double ReadyMs() const { return readyMs_; }
  double HandedOffMs() const { return handedOffMs_; }

private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PlainLauncher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && self && lParam) {
      try {
        const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (AnnouncedProgram(data.dwData, ReadyTextOf(data.lpData, data.cbData)) == &kDownloaderProgram &&
            !self->handedOff_) {
          self->readyMs_ = self->clock_.Seconds() * 1000;
          self->handedOff_ = SendHandoff(window, self->fields_);
          self->handedOffMs_ = self->clock_.Seconds() * 1000;
        }
      } catch (...) {
        OutputDebugStringW(L"bench_handoff: the ready message could not be answered\n");
      }
      return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  const BenchClock& clock_;
  HandoffFields fields_;
  HWND window_ = nullptr;
  bool handedOff_ = false;
  double readyMs_ = 0;
  double handedOffMs_ = 0;
};

// The control as a script holds it: created by ProgID, called by name.
class ScriptedControl {
public:
  ScriptedControl() {
    CLSID clsid;
    if (SUCCEEDED(CLSIDFromProgID(kProgId, &clsid))) {
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&control_));
    }
  }
  ~ScriptedControl() {
    if (control_) control_->Release();
  }
  ScriptedControl(const ScriptedControl&) = delete;
  ScriptedControl& operator=(const ScriptedControl&) = delete;

  bool Ok() const { return control_ != nullptr; }

  // CtlDOWNLOADnow(code, member, password, version); true when it returned 1.
  bool DownloadNow(const HandoffFields& fields, const std::string& version) {
    OLECHAR* name = const_cast<OLECHAR*>(L"CtlDOWNLOADnow");
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(control_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) return false;
    const std::string texts[] = {fields.first, fields.second, fields.third, version};
    VARIANTARG arguments[4];
    for (int i = 0; i < 4; ++i) {  // the last argument comes first
      VariantInit(&arguments[3 - i]);
      arguments[3 - i].vt = VT_BSTR;
      arguments[3 - i].bstrVal = SysAllocString(Widen(texts[i]).c_str());
    }
    DISPPARAMS parameters{arguments, nullptr, 4, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT badArgument = 0;
    HRESULT hr = control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result,
                                  &exception, &badArgument);
    for (VARIANTARG& argument : arguments) VariantClear(&argument);
    const bool returnedOne = SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_I4)) &&
                             result.lVal == 1;
    VariantClear(&result);
    return returnedOne;
  }

private:
  IDispatch* control_ = nullptr;
};

struct Series {
  explicit Series(const char* label) : label(label) {}

  const char* label;
  std::vector<double> ms;
  int failed = 0;

  double Median() const {
    if (ms.empty()) return 0;
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const size_t middle = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
  }

  void Print() const {
    if (ms.empty()) {
      std::printf("%s: no successful run (%d failed)\n", label, failed);
      return;
    }
    std::printf("%s: median %.2f ms, min %.2f, max %.2f (%zu runs", label, Median(),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()), ms.size());
    if (failed) std::printf(", %d failed", failed);
    std::printf(")\n");
  }
};

class HandoffBench {
public:
  HandoffBench(std::string version, const std::string& codePrefix)
      : version_(std::move(version)), codes_(codePrefix) {}

  bool Run(int runningRuns, int coldRuns) {
    ScriptedControl control;
    if (!control.Ok()) {
      std::printf("the control could not be created by its ProgID\n");
      return false;
    }
    // The running downloader: started bare; one hand-off of each kind first,
    // so that the list's columns exist and the dispatch and type information
    // are loaded before anything is timed.
    if (!BareStart(StartBy::kCreateProcess, nullptr, nullptr, nullptr)) {
      std::printf("the downloader did not start\n");
      return false;
    }
    ControlHandoff(control, nullptr);
    BareHandoff(nullptr);
    for (int i = 0; i < runningRuns; ++i) {
      ControlHandoff(control, &runningControl_);
      BareHandoff(&runningBare_);
      VersionRead();
    }
    EndDownloader();
    for (int i = 0; i < coldRuns; ++i) {
      BareStart(StartBy::kCreateProcess, &coldBareReady_, &coldBareHandedOff_, nullptr);
      EndDownloader();
      BareStart(StartBy::kShellExecute, &coldShellReady_, nullptr, &shellCall_);
      EndDownloader();
      ColdControlHandoff(control);
      EndDownloader();
      HideShownPopup();
    }
    return true;
  }

  void Print() const {
    std::printf("hand-offs: %d (each a login, plan check and one file-code list exchange with the service on "
                "%s; a fresh file code of a tiny file each time, DOWN_Autostart 0: nothing is downloaded)\n",
                codes_.Count(), "127.0.0.1");
    std::printf("cold starts: no downloader running; the one before was terminated, then %lu ms of settling\n",
                static_cast<unsigned long>(kSettleMs));
    runningControl_.Print();
    runningBare_.Print();
    coldControl_.Print();
    coldLauncherShown_.Print();
    coldWindow_.Print();
    coldListed_.Print();
    coldAfterListed_.Print();
    popupHide_.Print();
    coldBareReady_.Print();
    coldBareHandedOff_.Print();
    coldShellReady_.Print();
    shellCall_.Print();
    versionRead_.Print();
    PrintRatio("running downloader: control / bare SendMessage", runningControl_, runningBare_);
    PrintRatio("cold start: control / bare CreateProcess to ready", coldControl_, coldBareReady_);
    PrintRatio("cold start: control / bare CreateProcess to ready + hand-off", coldControl_, coldBareHandedOff_);
    PrintRatio("cold start: control less the launcher's hiding / bare CreateProcess to ready + hand-off",
               Less(coldControl_, popupHide_), coldBareHandedOff_);
    const double handoff = runningBare_.Median();
    std::printf("bound: running, by the downloader's own handling (%.0f ms: login and list exchange inside "
                "SendMessage), the control adding %.0f ms (version read %.0f ms, its launcher dialog made and ended "
                "unseen); cold, by the downloader's start to its ready message (%.0f ms, alike by CreateProcess and "
                "ShellExecute) and the hand-off (%.0f ms), the control adding %.0f ms to hide its launcher, shown "
                "while it waited (Wine without a window manager waits that long whenever a shown window is "
                "hidden)\n",
                handoff, runningControl_.Median() - handoff, versionRead_.Median(), coldBareReady_.Median(),
                coldBareHandedOff_.Median() - coldBareReady_.Median(), popupHide_.Median());
    for (const std::string& problem : problems_) std::printf("problem: %s\n", problem.c_str());
  }

  void AddProblems(std::vector<std::string> events) {
    problems_.insert(problems_.end(), events.begin(), events.end());
  }

private:
  // `total` less the median of `part`, run by run.
  static Series Less(const Series& total, const Series& part) {
    Series less(total.label);
    for (double ms : total.ms) less.ms.push_back(ms - part.Median());
    return less;
  }

  static void PrintRatio(const char* label, const Series& control, const Series& bare) {
    if (control.ms.empty() || bare.ms.empty() || bare.Median() <= 0) return;
    std::printf("%s: %.2f\n", label, control.Median() / bare.Median());
  }

  void Quiet(int ownDownloaders) {
    if (!WaitForQuietSession(ownDownloaders)) {
      AddProblems({"another run's launcher or downloader windows stayed open"});
    }
  }

  // A timed step counts only when the downloader's list grew by its row
  // and nothing had to be answered or ended on the way; true when it counts.
  bool Account(Series* series, double ms, bool ok, int rowsBefore) {
    std::vector<std::string> events = watchdog_.TakeEvents();
    if (ok && DownloaderRows() != rowsBefore + 1) {
      ok = false;
      events.push_back("a hand-off did not add its row to the downloader's list");
    }
    AddProblems(events);
    ok = ok && events.empty();
    if (series && ok) series->ms.push_back(ms);
    if (series && !ok) ++series->failed;
    return ok;
  }

  void ControlHandoff(ScriptedControl& control, Series* series) {
    Quiet(1);
    const int rowsBefore = DownloaderRows();
    const HandoffFields fields = codes_.Next();
    watchdog_.StartStep();
    BenchClock clock;
    const bool ok = control.DownloadNow(fields, version_);
    const double ms = clock.Seconds() * 1000;
    watchdog_.EndStep();
    Account(series, ms, ok, rowsBefore);
  }

  // A cold start through the control, watched from a second thread: when
  // the launcher shows, when the downloader's window exists and when its
  // list holds the job (the hand-off handled) on the way to the call's return.
  void ColdControlHandoff(ScriptedControl& control) {
    Quiet(0);
    const HandoffFields fields = codes_.Next();
    std::atomic<bool> returned{false};
    double shownMs = 0, windowMs = 0, listedMs = 0;
    watchdog_.StartStep();
    BenchClock clock;
    std::thread probe([&] {
      while (!returned && (!shownMs || !windowMs || !listedMs)) {
        HWND launcher = FindWindowW(kLauncherWindowClass, nullptr);
        if (!shownMs && launcher && IsWindowVisible(launcher)) shownMs = clock.Seconds() * 1000;
        if (!windowMs && DownloaderWindow()) windowMs = clock.Seconds() * 1000;
        if (windowMs && !listedMs && DownloaderRows() > 0) listedMs = clock.Seconds() * 1000;
        Sleep(2);
      }
    });
    const bool ok = control.DownloadNow(fields, version_);
    const double ms = clock.Seconds() * 1000;
    returned = true;
    probe.join();
    watchdog_.EndStep();
    if (!Account(&coldControl_, ms, ok, 0)) return;
    if (shownMs) coldLauncherShown_.ms.push_back(shownMs);
    if (windowMs) coldWindow_.ms.push_back(windowMs);
    if (listedMs) {
      coldListed_.ms.push_back(listedMs);
      coldAfterListed_.ms.push_back(ms - listedMs);
    }
  }

  void BareHandoff(Series* series) {
    Quiet(1);
    const int rowsBefore = DownloaderRows();
    const HandoffFields fields = codes_.Next();
    watchdog_.StartStep();
    BenchClock clock;
    const bool ok = SendHandoff(sender_.Hwnd(), fields);
    const double ms = clock.Seconds() * 1000;
    watchdog_.EndStep();
    Account(series, ms, ok, rowsBefore);
  }

  enum class StartBy { kCreateProcess, kShellExecute };

  // The installed downloader started bare (in this process's current
  // folder, the install folder, as the control's start leaves it) with a
  // plain launcher window waiting for its ready message. `call` gets the
  // time the start call itself took.
  bool BareStart(StartBy by, Series* ready, Series* handedOff, Series* call) {
    Quiet(0);
    watchdog_.StartStep();
    BenchClock clock;
    PlainLauncher launcher(clock, codes_.Next());
    const std::wstring path = DownloaderPath();
    bool ok = launcher.Hwnd() != nullptr;
    if (ok && by == StartBy::kCreateProcess) {
      STARTUPINFOW startup{};
      startup.cb = sizeof startup;
      PROCESS_INFORMATION process{};
      ok = CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
      if (ok) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
      }
    } else if (ok) {
      // As the control starts it.
      ok = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr,
                                                   SW_SHOWNORMAL)) > 32;
    }
    const double callMs = clock.Seconds() * 1000;
    if (ok) ok = PumpUntil([&] { return launcher.HandedOff(); }, kReadyWaitMs);
    watchdog_.EndStep();
    ok = Account(handedOff, launcher.HandedOffMs(), ok, 0);
    if (ready && ok) ready->ms.push_back(launcher.ReadyMs());
    if (call && ok) call->ms.push_back(callMs);
    return ok;
  }

  // What hiding a shown pop-up costs in this session, as the launcher's
  // end does after it was shown while it waited.
  void HideShownPopup() {
    HWND popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 68, nullptr, nullptr, nullptr, nullptr);
    if (!popup) return;
    ShowWindow(popup, SW_SHOWNORMAL);
    UpdateWindow(popup);
    PumpUntil([] { return false; }, 200);
    BenchClock clock;
    ShowWindow(popup, SW_HIDE);
    popupHide_.ms.push_back(clock.Seconds() * 1000);
    DestroyWindow(popup);
  }

  // The control's out-of-date test reads the installed program's version
  // resource on every call.
  void VersionRead() {
    BenchClock clock;
    const bool ok = InstalledVersion(DownloaderPath()) == version_;
    if (ok) versionRead_.ms.push_back(clock.Seconds() * 1000);
  }

  // A window that is not the launcher's, as the sender of bare hand-offs.
  class Sender {
  public:
    Sender() {
      window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    }
    ~Sender() {
      if (window_) DestroyWindow(window_);
    }
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;
    HWND Hwnd() const { return window_; }

  private:
    HWND window_ = nullptr;
  };

  std::string version_;
  Handoffs codes_;
  Watchdog watchdog_;
  Sender sender_;
  Series runningControl_{"running downloader, control: CtlDOWNLOADnow by name (GetIDsOfNames + Invoke) until it "
                         "returns"};
  Series runningBare_{"running downloader, bare SendMessage(WM_COPYDATA) of the same hand-off text"};
  Series coldControl_{"cold start, control: CtlDOWNLOADnow by name until it returns (ShellExecute, ready message, "
                      "hand-off)"};
  Series coldLauncherShown_{"  the launcher window shown after"};
  Series coldWindow_{"  the downloader's window open after"};
  Series coldListed_{"  the job in the downloader's list (hand-off handled) after"};
  Series coldAfterListed_{"  from there until the call returned"};
  Series coldBareReady_{"cold start, bare CreateProcess until the ready message reaches a plain HAULbox_AX_EXE "
                        "window"};
  Series coldBareHandedOff_{"cold start, bare CreateProcess until the hand-off sent from there was handled"};
  Series coldShellReady_{"cold start, bare ShellExecute(\"open\") until the ready message reaches the plain window"};
  Series shellCall_{"  of which the ShellExecute call itself"};
  Series popupHide_{"a shown pop-up window hidden again (as the launcher is at its end)"};
  Series versionRead_{"the installed downloader's version read (the control's out-of-date test)"};
  std::vector<std::string> problems_;
};

void Cleanup() {
  // Only downloaders started from the install folder, i.e. by this bench.
  HWND window = DownloaderWindow();
  if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                   ProcessOf(window))) {
    wchar_t path[MAX_PATH] = L"";
    DWORD length = MAX_PATH;
    if (QueryFullProcessImageNameW(process, 0, path, &length) && lstrcmpiW(path, DownloaderPath().c_str()) == 0) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, kEndWaitMs);
    }
    CloseHandle(process);
  }
  RunRegsvr32(L"/u /s");
  RemoveDownloader();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--cleanup") {
    Cleanup();
    return 0;
  }
  // Another test's programs would answer in place of ours.
  const bool busy = DownloaderWindow() || FindWindowW(kLauncherWindowClass, nullptr);
  if (argc == 2 && std::string(argv[1]) == "--check") return busy ? 3 : 0;
  if (argc != 5) {
    std::fprintf(stderr, "usage: bench_handoff <running runs> <cold runs> <code prefix> <save folder>\n"
                         "       bench_handoff --cleanup | --check\n");
    return 2;
  }
  const int runningRuns = std::max(1, std::atoi(argv[1]));
  const int coldRuns = std::max(1, std::atoi(argv[2]));
  if (2 + 2 * runningRuns > kRowLimit) {
    std::fprintf(stderr, "at most %d running runs: one downloader lists %d files\n", (kRowLimit - 2) / 2, kRowLimit);
    return 2;
  }
  if (busy) {
    std::fprintf(stderr, "a downloader or a launcher window is already open in this Wine session\n");
    return 3;
  }
  if (!PlainLauncher::RegisterClassOnce()) {
    std::printf("the plain launcher class could not be registered\n");
    return 1;
  }
  if (!InstallDownloader()) {
    RemoveDownloader();
    return 1;
  }
  int status = 1;
  if (RunRegsvr32(L"/s") != 0) {
    std::printf("regsvr32 could not register the control\n");
  } else {
    BenchSettings settings(argv[4]);
    const std::wstring folder = InstallFolder();
    const std::string version = InstalledVersion(DownloaderPath()).value_or("");
    if (settings.Ok() && !version.empty() && SetCurrentDirectoryW(folder.c_str())) {
      std::printf("installed downloader version %s (read from its version resource)\n", version.c_str());
      std::fflush(stdout);
      CoInitialize(nullptr);
      {
        HandoffBench bench(version, argv[3]);
        if (bench.Run(runningRuns, coldRuns)) status = 0;
        EndDownloader();
        bench.Print();
      }
      CoUninitialize();
      SetCurrentDirectoryW(BinFolder().c_str());
    } else {
      std::printf("the settings could not be written or the installed downloader has no version\n");
    }
  }
  Cleanup();
  std::fflush(stdout);
  return status;
}
