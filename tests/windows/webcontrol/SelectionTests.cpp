// Upload selection in the launcher window, run in the test's own process
// with the system's real open-file dialog and folder browser: a helper
// thread finds the dialog, types or selects as a person would and presses
// OK. The remembered folder lives in a key of the test's own.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "CLoad_EXE.h"
#include "DownloaderTestSupport.h"
#include "MainWindowRunner.h"
#include "MessageBoxProbe.h"
#include "SelectionRules.h"
#include "TextConversion.h"
#include "WindowClasses.h"

namespace {

using test_support::RemoveTree;
using test_support::WaitFor;

const wchar_t kSettingsParent[] = L"Software\\Quorvanes\\Quorvane_Active_SelectionTests";
const wchar_t kSettingsKey[] = L"Software\\Quorvanes\\Quorvane_Active_SelectionTests\\Config";
const wchar_t kFileDialogTitle[] = L"업로드할 파일을 선택하세요.(중복 선택가능)";
const wchar_t kBrowserTitle[] = L"업로드할 폴더를 선택하세요.";
const wchar_t kNotUploadable[] = L"업로드 할수 없는파일";
const wchar_t kTooMany[] = L"파일개수 초과";
const DWORD kDialogWaitMs = 20000;

std::wstring TextOf(HWND window) {
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = L"";
  GetClassNameW(window, name, 128);
  return name;
}

bool IsSelectionDialog(HWND window) {
  std::wstring title = TextOf(window);
  return title == kFileDialogTitle || title == kBrowserTitle;
}

struct DialogSearch {
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  if (ClassOf(window) != L"#32770" || TextOf(window) != *search->title) return TRUE;
  search->found = window;
  return FALSE;
}

// A visible top-level dialog of this process titled `title`, or null.
HWND FindDialog(const std::wstring& title) {
  DialogSearch search{&title, nullptr};
  EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A message box of this process: a dialog with the box's text static.
BOOL CALLBACK MatchBox(HWND window, LPARAM data) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  if (ClassOf(window) != L"#32770" || IsSelectionDialog(window) || !GetDlgItem(window, 0xFFFF)) return TRUE;
  *reinterpret_cast<HWND*>(data) = window;
  return FALSE;
}

struct SeenBox {
  std::wstring caption;
  std::wstring text;
};

// Reads and answers (OK) the message boxes of this process; the selection
// dialogs themselves are left alone.
class Boxes {
public:
  Boxes() : thread_([this] { Watch(); }) {}
  ~Boxes() {
    stop_ = true;
    thread_.join();
  }
  std::vector<SeenBox> Seen() {
    std::lock_guard<std::mutex> hold(lock_);
    return seen_;
  }

private:
  void Watch() {
    std::vector<HWND> answered;
    while (!stop_) {
      HWND box = nullptr;
      EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&box));
      if (!box || std::find(answered.begin(), answered.end(), box) != answered.end()) {
        if (box) harness::PressButton(box, IDOK);
        Sleep(20);
        continue;
      }
      harness::MessageBoxContent content = harness::ReadMessageBox(box);
      for (int i = 0; i < 100 && content.text.empty() && IsWindow(box); ++i) {
        Sleep(20);
        content = harness::ReadMessageBox(box);
      }
      {
        std::lock_guard<std::mutex> hold(lock_);
        seen_.push_back({content.caption, content.text});
      }
      answered.push_back(box);
      harness::PressButton(box, IDOK);
      for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
    }
  }

  std::atomic<bool> stop_{false};
  std::mutex lock_;
  std::vector<SeenBox> seen_;
  std::thread thread_;
};

// Acts on a selection dialog from another thread once it shows (and, for
// screenshots, after HAULBOX_SELECTION_PAUSE_MS more). A dialog that never
// shows fails the test instead of waiting for a person.
class DialogDriver {
public:
  DialogDriver(std::wstring title, std::function<void(HWND)> act)
      : thread_([this, title = std::move(title), act = std::move(act)] {
          HWND dialog = nullptr;
          WaitFor([&] { return (dialog = FindDialog(title)) != nullptr; }, kDialogWaitMs);
          found_ = dialog != nullptr;
          if (!dialog) return;
          wchar_t pause[16] = L"";
          if (GetEnvironmentVariableW(L"HAULBOX_SELECTION_PAUSE_MS", pause, 16)) Sleep(_wtoi(pause));
          act(dialog);
          // A dialog the action did not close is closed, so that the test
          // goes on instead of waiting for a person.
          if (!WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000)) {
            ADD_FAILURE() << "the dialog stayed open";
            harness::PressButton(dialog, IDCANCEL);
          }
        }) {}
  ~DialogDriver() { Join(); }
  bool Found() {
    Join();
    return found_;
  }

private:
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  std::atomic<bool> found_{false};
  std::thread thread_;
};

HWND FindDescendant(HWND parent, const wchar_t* windowClass) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == windowClass) return child;
    if (HWND found = FindDescendant(child, windowClass)) return found;
  }
  return nullptr;
}

// Types into the file dialog's file-name box and presses OK.
void TypeFileNames(HWND dialog, const std::wstring& names) {
  HWND edit = GetDlgItem(dialog, edt1);
  if (HWND box = GetDlgItem(dialog, cmb13)) edit = FindDescendant(box, L"Edit");
  if (!edit) {
    std::string children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      children += Narrow(ClassOf(child)) + "#" + std::to_string(GetDlgCtrlID(child)) + " ";
    }
    FAIL() << "no file-name box among " << children;
  }
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names.c_str()));
  harness::PressButton(dialog, IDOK);
}

std::wstring SelectedTreeItem(HWND browser) {
  HWND tree = FindDescendant(browser, L"SysTreeView32");
  if (!tree) return std::wstring();
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  wchar_t text[MAX_PATH] = L"";
  TVITEMW data{};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = MAX_PATH;
  if (!item || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return std::wstring();
  return text;
}

// Selects `folder` in the browser's tree (empty: keeps the one it starts
// with), waits until the tree shows `shownName` selected, as a person
// looks before clicking, and presses OK.
void ChooseFolder(HWND browser, const std::wstring& folder, const std::wstring& shownName) {
  // Asked again until the tree shows it: Wine's tree may still be filling
  // when the first request comes.
  int tries = 0;
  EXPECT_TRUE(WaitFor([&] {
    if (!folder.empty() && tries++ % 10 == 0) {
      SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    }
    return SelectedTreeItem(browser) == shownName;
  }, 8000))
      << "selected: " << Narrow(SelectedTreeItem(browser)) << ", expected " << Narrow(shownName);
  harness::PressButton(browser, IDOK);
}

RECT ChildRect(HWND dialog, HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string Narrowed(const std::wstring& path) { return Narrow(path); }

void WriteFileOf(const std::wstring& path, std::size_t size) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file) << GetLastError();
  std::string bytes(size, 'x');
  DWORD written = 0;
  if (size) WriteFile(file, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
}

std::wstring TestName() { return Widen(testing::UnitTest::GetInstance()->current_test_info()->name()); }

std::wstring TestsRoot() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"haulbox-selection-tests";
}

class SelectionTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterDialogClassCopy(L"HAULbox_AX_EXE"));
    CoInitialize(nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsParent);
    // Each case runs in a process of its own (Wine's folder browser does
    // not see folders made after it listed their parent once).
    CreateDirectoryW(TestsRoot().c_str(), nullptr);
    folder_ = TestsRoot() + L"\\" + TestName();
    RemoveTree(folder_);
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
  }

  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsParent);
    CoUninitialize();
  }

  std::wstring Path(const std::wstring& name) const { return folder_ + L"\\" + name; }

  void MakeFolder(const std::wstring& name) { ASSERT_TRUE(CreateDirectoryW(Path(name).c_str(), nullptr)); }

  static void Remember(const std::wstring& value) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &key, nullptr));
    RegSetValueExW(key, L"Default_folder_upload", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }

  static std::wstring Remembered() {
    wchar_t value[1024] = L"";
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, L"Default_folder_upload", RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
      return L"<none>";
    }
    return value;
  }

  // Runs the launcher for `jobKind` as a scripting call does.
  static std::string Select(int jobKind) {
    CLoad_EXE::Environment environment;
    environment.selectionSettingsKey = kSettingsKey;
    CLoad_EXE launcher(environment);
    launcher.jobKind = jobKind;
    EXPECT_EQ(0, launcher.DoModal());
    return launcher.selectionResult;
  }

  std::string Entry(const std::wstring& name, std::int64_t size) const {
    return selection::Entry(Narrowed(Path(name)), size);
  }

  std::wstring folder_;
};

TEST_F(SelectionTest, ThreeFilesOneEmptyGiveTwoEntriesAndTheCountMessage) {
  WriteFileOf(Path(L"a.txt"), 3);
  WriteFileOf(Path(L"b.txt"), 0);
  WriteFileOf(Path(L"c.txt"), 5);
  Remember(folder_);
  Boxes boxes;
  DialogDriver person(kFileDialogTitle, [](HWND dialog) { TypeFileNames(dialog, L"\"a.txt\" \"b.txt\" \"c.txt\""); });
  std::string list = Select(CLoad_EXE::SelectFiles);
  ASSERT_TRUE(person.Found());
  EXPECT_EQ(Entry(L"a.txt", 3) + Entry(L"c.txt", 5), list);
  ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() >= 1; }, 2000));
  ASSERT_EQ(1u, boxes.Seen().size());
  EXPECT_EQ(L"1개의 0Byte파일이 존제합니다.\n0Byte파일은 목록에 추가되지 않습니다.", boxes.Seen()[0].text);
  EXPECT_EQ(kNotUploadable, boxes.Seen()[0].caption);
  EXPECT_EQ(folder_, Remembered()) << "several files leave their folder";
}

TEST_F(SelectionTest, HundredFiftyFilesAreTakenAndTheHundredFiftyFirstEmptiesTheList) {
  std::wstring names;
  std::string expected;
  for (int i = 0; i < 151; ++i) {
    wchar_t name[16];
    swprintf(name, 16, L"f%03d.dat", i);
    WriteFileOf(Path(name), i < 4 ? 0 : 2);
    if (i < 150) {
      names += L"\"" + std::wstring(name) + L"\" ";
      if (i >= 4) expected += Entry(name, 2);
    }
  }
  Remember(folder_);
  {
    Boxes boxes;
    DialogDriver person(kFileDialogTitle, [&](HWND dialog) { TypeFileNames(dialog, names); });
    std::string list = Select(CLoad_EXE::SelectFiles);
    ASSERT_TRUE(person.Found());
    EXPECT_EQ(expected, list);
    ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() >= 1; }, 2000));
    EXPECT_EQ(L"4개의 0Byte파일이 존제합니다.\n0Byte파일은 목록에 추가되지 않습니다.", boxes.Seen()[0].text);
  }
  names += L"\"f150.dat\"";
  Boxes boxes;
  DialogDriver person(kFileDialogTitle, [&](HWND dialog) { TypeFileNames(dialog, names); });
  std::string list = Select(CLoad_EXE::SelectFiles);
  ASSERT_TRUE(person.Found());
  EXPECT_EQ("", list);
  ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() >= 2; }, 2000));
  ASSERT_EQ(2u, boxes.Seen().size());
  EXPECT_EQ(L"한번에 올릴수 있는 파일의 개수는 총 150개입니다.", boxes.Seen()[0].text);
  EXPECT_EQ(kTooMany, boxes.Seen()[0].caption);
  EXPECT_EQ(L"4개의 0Byte파일이 존제합니다.\n0Byte파일은 목록에 추가되지 않습니다.", boxes.Seen()[1].text)
      << "the empty files met before the limit are still told";
  EXPECT_EQ(folder_, Remembered()) << "also when the list ended empty";
}

TEST_F(SelectionTest, CancelledFileDialogGivesNothingAndKeepsTheRememberedFolder) {
  Remember(L"C:\\windows");
  Boxes boxes;
  DialogDriver person(kFileDialogTitle, [](HWND dialog) { harness::PressButton(dialog, IDCANCEL); });
  EXPECT_EQ("", Select(CLoad_EXE::SelectFiles));
  ASSERT_TRUE(person.Found());
  EXPECT_TRUE(boxes.Seen().empty());
  EXPECT_EQ(L"C:\\windows", Remembered());
}

TEST_F(SelectionTest, ARememberedFileStartsBothDialogsInItsFolder) {
  WriteFileOf(Path(L"a.txt"), 4);
  MakeFolder(L"sub");
  Remember(Path(L"a.txt"));
  Boxes boxes;
  {
    // A bare name is taken from the folder the dialog starts in.
    DialogDriver person(kFileDialogTitle, [](HWND dialog) { TypeFileNames(dialog, L"a.txt"); });
    EXPECT_EQ(Entry(L"a.txt", 4), Select(CLoad_EXE::SelectFiles));
    ASSERT_TRUE(person.Found());
    EXPECT_EQ(Path(L"a.txt"), Remembered()) << "one file leaves its full path";
  }
  {
    DialogDriver person(kBrowserTitle, [](HWND browser) { ChooseFolder(browser, L"", TestName()); });
    EXPECT_EQ(Narrowed(folder_) + "/" + Entry(L"a.txt", 4), Select(CLoad_EXE::SelectFolder));
    WriteFileOf(Path(L"sub\\b"), 1);
    ASSERT_TRUE(person.Found());
    EXPECT_EQ(folder_, Remembered()) << "a folder selection leaves the folder";
  }
  {
    // A remembered folder is used as it is.
    Remember(Path(L"sub"));
    DialogDriver person(kBrowserTitle, [](HWND browser) { ChooseFolder(browser, L"", L"sub"); });
    EXPECT_EQ(Narrowed(Path(L"sub")) + "/" + Entry(L"sub\\b", 1), Select(CLoad_EXE::SelectFolder));
    ASSERT_TRUE(person.Found());
  }
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(SelectionTest, AFolderOfNestedFilesGivesTheFolderAndEveryNonEmptyFile) {
  MakeFolder(L"up");
  MakeFolder(L"up\\sub");
  MakeFolder(L"up\\sub\\deeper");
  MakeFolder(L"up\\void");
  WriteFileOf(Path(L"up\\a.txt"), 1);
  WriteFileOf(Path(L"up\\empty.txt"), 0);
  WriteFileOf(Path(L"up\\sub\\b.txt"), 22);
  WriteFileOf(Path(L"up\\sub\\deeper\\c.bin"), 333);
  WriteFileOf(Path(L"up\\z.txt"), 4444);
  Boxes boxes;
  std::wstring chosen = Path(L"up");
  DialogDriver person(kBrowserTitle, [&](HWND browser) { ChooseFolder(browser, chosen, L"up"); });
  std::string result = Select(CLoad_EXE::SelectFolder);
  ASSERT_TRUE(person.Found());
  EXPECT_EQ(Narrowed(chosen) + "/" + Entry(L"up\\a.txt", 1) + Entry(L"up\\sub\\b.txt", 22) +
                Entry(L"up\\sub\\deeper\\c.bin", 333) + Entry(L"up\\z.txt", 4444),
            result);
  EXPECT_TRUE(boxes.Seen().empty());
  EXPECT_EQ(chosen, Remembered());
}

TEST_F(SelectionTest, AnEmptyFolderIsRefusedWithTheTooManyFilesMessage) {
  MakeFolder(L"void");
  WriteFileOf(Path(L"zero"), 0);
  for (const wchar_t* name : {L"void", L""}) {
    SCOPED_TRACE(testing::PrintToString(Narrow(name)));
    Remember(L"C:\\windows");
    Boxes boxes;
    std::wstring chosen = *name ? Path(name) : folder_;
    std::wstring shown = chosen.substr(chosen.find_last_of(L'\\') + 1);
    DialogDriver person(kBrowserTitle, [&](HWND browser) { ChooseFolder(browser, chosen, shown); });
    EXPECT_EQ("", Select(CLoad_EXE::SelectFolder));
    ASSERT_TRUE(person.Found());
    ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() >= 1; }, 2000));
    ASSERT_EQ(1u, boxes.Seen().size());
    EXPECT_EQ(L"선택한 폴더에 너무 많은 파일이 존재합니다.\n한번에 올릴수 있는 파일의 개수는 총 150개입니다.",
              boxes.Seen()[0].text);
    EXPECT_EQ(kTooMany, boxes.Seen()[0].caption);
    EXPECT_EQ(L"C:\\windows", Remembered());
  }
}

TEST_F(SelectionTest, AFolderWithMoreThanHundredFiftyFilesInItsSubfoldersIsRefused) {
  MakeFolder(L"a");
  MakeFolder(L"b");
  for (int i = 0; i < 100; ++i) WriteFileOf(Path(L"a\\f" + std::to_wstring(i)), 1);
  for (int i = 0; i < 50; ++i) WriteFileOf(Path(L"b\\f" + std::to_wstring(i)), 1);
  for (int i = 0; i < 30; ++i) WriteFileOf(Path(L"b\\zero" + std::to_wstring(i)), 0);
  {
    Boxes boxes;
    DialogDriver person(kBrowserTitle, [&](HWND browser) { ChooseFolder(browser, folder_, TestName()); });
    std::string result = Select(CLoad_EXE::SelectFolder);
    ASSERT_TRUE(person.Found());
    EXPECT_EQ(150, std::count(result.begin(), result.end(), '?'));
    EXPECT_TRUE(boxes.Seen().empty());
  }
  WriteFileOf(Path(L"one-more"), 1);
  Boxes boxes;
  DialogDriver person(kBrowserTitle, [&](HWND browser) { ChooseFolder(browser, folder_, TestName()); });
  EXPECT_EQ("", Select(CLoad_EXE::SelectFolder));
  ASSERT_TRUE(person.Found());
  ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() >= 1; }, 2000));
  EXPECT_EQ(kTooMany, boxes.Seen()[0].caption);
}

// Records the browser's own size and closes it.
int CALLBACK MeasurePlainBrowser(HWND browser, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    RECT frame;
    GetWindowRect(browser, &frame);
    *reinterpret_cast<SIZE*>(data) = {frame.right - frame.left, frame.bottom - frame.top};
    PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
  }
  return 0;
}

TEST_F(SelectionTest, TheBrowserIsWiderAndTallerWithButtonsEditBoxAndTreeInPlace) {
  // The system's own layout, for comparison.
  SIZE plain{};
  BROWSEINFOW info{};
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX;
  info.lParam = reinterpret_cast<LPARAM>(&plain);
  info.lpfn = MeasurePlainBrowser;
  EXPECT_EQ(nullptr, SHBrowseForFolderW(&info));
  ASSERT_GT(plain.cx, 0);

  struct Layout {
    LONG_PTR style = 0, exStyle = 0;
    RECT frame{}, client{}, ok{}, cancel{}, edit{}, tree{};
    bool hasEdit = false, editShown = false, hasTree = false;
  } seen;
  Boxes boxes;
  DialogDriver person(kBrowserTitle, [&](HWND browser) {
    seen.style = GetWindowLongPtrW(browser, GWL_STYLE);
    seen.exStyle = GetWindowLongPtrW(browser, GWL_EXSTYLE);
    GetWindowRect(browser, &seen.frame);
    GetClientRect(browser, &seen.client);
    seen.ok = ChildRect(browser, GetDlgItem(browser, IDOK));
    seen.cancel = ChildRect(browser, GetDlgItem(browser, IDCANCEL));
    HWND edit = FindWindowExW(browser, nullptr, L"Edit", nullptr);
    seen.hasEdit = edit != nullptr;
    seen.editShown = edit && IsWindowVisible(edit);
    if (edit) seen.edit = ChildRect(browser, edit);
    HWND tree = FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
    seen.hasTree = tree != nullptr;
    if (tree) seen.tree = ChildRect(browser, tree);
    harness::PressButton(browser, IDCANCEL);
  });
  EXPECT_EQ("", Select(CLoad_EXE::SelectFolder));
  ASSERT_TRUE(person.Found());
  EXPECT_TRUE(boxes.Seen().empty());

  EXPECT_EQ(0, seen.style & DS_CONTEXTHELP) << "no help button";
  EXPECT_EQ(0, seen.exStyle & WS_EX_CONTEXTHELP) << "no help button";
  // Windows' browser has the edit box the flag asks for; Wine's has none.
  bool withEdit = seen.hasEdit;
  int editHeight = seen.edit.bottom - seen.edit.top;
  EXPECT_EQ(plain.cx + 200, seen.frame.right - seen.frame.left);
  EXPECT_EQ(plain.cy + (withEdit ? editHeight + 35 : 30), seen.frame.bottom - seen.frame.top);
  const RECT& client = seen.client;
  EXPECT_EQ(client.right - 10, seen.cancel.right);
  EXPECT_EQ(client.bottom - 10, seen.cancel.bottom);
  EXPECT_EQ(seen.cancel.left - 10, seen.ok.right);
  EXPECT_EQ(seen.cancel.top, seen.ok.top);
  EXPECT_EQ(seen.cancel.bottom - seen.cancel.top, seen.ok.bottom - seen.ok.top);
  EXPECT_EQ(seen.cancel.right - seen.cancel.left, seen.ok.right - seen.ok.left);
  if (withEdit) {
    EXPECT_TRUE(seen.editShown);
    EXPECT_EQ(10, seen.edit.left);
    EXPECT_EQ(10, seen.edit.top);
    EXPECT_EQ(client.right - 20, seen.edit.right - seen.edit.left);
  }
  ASSERT_TRUE(seen.hasTree);
  EXPECT_EQ(10, seen.tree.left);
  EXPECT_EQ(withEdit ? seen.edit.bottom + 5 : 10, seen.tree.top);
  EXPECT_EQ(seen.cancel.top - 10, seen.tree.bottom);
  EXPECT_EQ(client.right - 20, seen.tree.right - seen.tree.left);
}

TEST_F(SelectionTest, OkIsDisabledForAnItemWithoutAFileSystemPath) {
  bool okBefore = false, okAfter = true;
  DialogDriver person(kBrowserTitle, [&](HWND browser) {
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder_.c_str()));
    okBefore = IsWindowEnabled(GetDlgItem(browser, IDOK));
    LPITEMIDLIST computer = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer))) {
      SendMessageW(browser, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(computer));
      okAfter = IsWindowEnabled(GetDlgItem(browser, IDOK));
      CoTaskMemFree(computer);
    }
    harness::PressButton(browser, IDCANCEL);
  });
  Boxes boxes;
  EXPECT_EQ("", Select(CLoad_EXE::SelectFolder));
  ASSERT_TRUE(person.Found());
  EXPECT_TRUE(okBefore);
  EXPECT_FALSE(okAfter);
}

TEST_F(SelectionTest, NamesOutsideTheCodePageAndOverlongPathsAreLeftOutAndTold) {
  WriteFileOf(Path(L"ok.txt"), 2);
  WriteFileOf(Path(L"caf\x00E9.txt"), 3);
  WriteFileOf(Path(L"\x0E01.txt"), 4);
  Remember(folder_);
  {
    Boxes boxes;
    DialogDriver person(kFileDialogTitle,
                        [](HWND dialog) { TypeFileNames(dialog, L"\"ok.txt\" \"caf\x00E9.txt\" \"\x0E01.txt\""); });
    EXPECT_EQ(Entry(L"ok.txt", 2), Select(CLoad_EXE::SelectFiles));
    ASSERT_TRUE(person.Found());
    ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() >= 1; }, 2000));
    ASSERT_EQ(1u, boxes.Seen().size());
    EXPECT_EQ(0u, boxes.Seen()[0].text.find(L"2개의 파일")) << Narrow(boxes.Seen()[0].text);
    EXPECT_EQ(kNotUploadable, boxes.Seen()[0].caption);
  }
  // Two folders of 30 Hangul syllables (60 bytes each in the code page) and
  // a file of 20 more: the path passes 260 bytes long before 260 characters.
  std::wstring syllables30(30, L'\xAC00');
  std::wstring deep = syllables30 + L"\\" + syllables30;
  MakeFolder(syllables30);
  MakeFolder(deep);
  WriteFileOf(Path(deep + L"\\" + std::wstring(20, L'\xAC01') + L".txt"), 5);
  WriteFileOf(Path(deep + L"\\s"), 6);
  ASSERT_LT(Narrowed(Path(deep + L"\\s")).size(), 259u) << "the short name must fit for this test";
  Boxes boxes;
  DialogDriver person(kBrowserTitle, [&](HWND browser) { ChooseFolder(browser, folder_, TestName()); });
  std::string result = Select(CLoad_EXE::SelectFolder);
  ASSERT_TRUE(person.Found());
  EXPECT_EQ(Narrowed(folder_) + "/" + Entry(L"ok.txt", 2) + Entry(deep + L"\\s", 6), result);
  ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() >= 1; }, 2000));
  ASSERT_EQ(1u, boxes.Seen().size());
  EXPECT_EQ(0u, boxes.Seen()[0].text.find(L"3개의 파일")) << Narrow(boxes.Seen()[0].text);
}

}  // namespace
