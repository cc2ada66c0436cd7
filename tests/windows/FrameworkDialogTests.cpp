// Dialogs of the framework: attachment, one-table dispatch, the result
// protocol of dialog procedures, window classes named by templates and
// placeholder controls. Every dialog ends itself; a safety timer ends it
// with kGaveUp should an expected message never come.
#include "DebugOutputRecorder.h"
#include "Dialog.h"
#include "FrameworkTestDialogs.h"
#include "ModuleInstance.h"
#include "WindowClasses.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr INT_PTR kGaveUp = -2;
constexpr UINT_PTR kSafetyTimer = 99;
constexpr UINT kSafetyMs = 10000;
constexpr ULONG_PTR kHandoffTag = 41160500;
constexpr UINT kBaseMessage = WM_USER + 7;
constexpr UINT kFinish = WM_APP + 1;

class SelfEndingDialog : public Dialog {
public:
  SelfEndingDialog() : Dialog(IDD_TEST_SELF_ENDING) {}
  HWND seenAtInit = nullptr;
  std::string caption;

protected:
  BOOL OnInitDialog() override {
    seenAtInit = Hwnd();
    wchar_t text[64] = {};
    GetWindowTextW(Hwnd(), text, 64);
    caption = text == std::wstring(L"다운로더") ? "match" : "mismatch";
    EndDialog(42);
    return TRUE;
  }
};

TEST(FrameworkDialog, EndsWithTheResultGivenAtInitialisation) {
  SelfEndingDialog dialog;
  EXPECT_EQ(42, dialog.DoModal());
  EXPECT_NE(nullptr, dialog.seenAtInit);
  EXPECT_EQ("match", dialog.caption);
  EXPECT_EQ(nullptr, dialog.Hwnd()) << "detached after the modal loop";
}

// A base class with its own table, to show that derived tables chain to it.
class RecordingBase : public Dialog {
public:
  using Dialog::Dialog;
  std::vector<std::string> calls;

  static const MessageTable& Table() {
    static const MessageEntry entries[] = {
        messages::Message(kBaseMessage, &RecordingBase::BaseMessage),
    };
    static const MessageTable table(entries, &Dialog::Table());
    return table;
  }
  const MessageTable& Messages() const override { return Table(); }

  bool BaseMessage(WPARAM wParam, LPARAM, LRESULT& result) {
    calls.push_back("base:" + std::to_string(wParam));
    result = 0;
    return true;
  }
};

class RecordingDialog : public RecordingBase {
public:
  RecordingDialog() : RecordingBase(IDD_TEST_TABLE) {}
  LRESULT copyDataAccepted = -1;
  LRESULT copyDataRefused = -1;
  LRESULT hitTest = -1;
  LRESULT controlColour = 0;
  HBRUSH brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));

  static const MessageTable& Table() {
    static const MessageEntry entries[] = {
        messages::Command(IDC_TEST_ACTION, &RecordingDialog::ActionClicked),
        messages::Command(IDC_TEST_FILTERED, &RecordingDialog::FilteredClicked, BN_CLICKED),
        messages::Command(IDC_TEST_THROWING, &RecordingDialog::ThrowingClicked),
        messages::Timer(7, &RecordingDialog::TimerFired),
        messages::Timer(kSafetyTimer, &RecordingDialog::GiveUp),
        messages::CopyData(&RecordingDialog::ReceiveCopyData),
        messages::Registered(L"Haulbox_Test_Registered", &RecordingDialog::RegisteredArrived),
        messages::Message(WM_NCHITTEST, &RecordingDialog::HitTest),
        messages::Message(WM_CTLCOLORSTATIC, &RecordingDialog::StaticColour),
        messages::Message(kFinish, &RecordingDialog::Finish),
    };
    static const MessageTable table(entries, &RecordingBase::Table());
    return table;
  }
  const MessageTable& Messages() const override { return Table(); }

protected:
  BOOL OnInitDialog() override {
    StartTimer(kSafetyTimer, kSafetyMs);
    copyDataAccepted = SendText(kHandoffTag, "Haulbox_downloader_Manager|A1?B2|회원|3");
    copyDataRefused = SendText(kHandoffTag + 1, "other");
    hitTest = SendMessageW(Hwnd(), WM_NCHITTEST, 0, MAKELPARAM(5, 5));
    controlColour = SendMessageW(Hwnd(), WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(Item(IDC_TEST_LABEL)));
    PostMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TEST_ACTION, BN_CLICKED), 0);
    PostMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TEST_FILTERED, EN_CHANGE), 0);
    PostMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TEST_THROWING, BN_CLICKED), 0);
    PostMessageW(Hwnd(), RegisteredMessage(L"Haulbox_Test_Registered"), 5, 0);
    PostMessageW(Hwnd(), kBaseMessage, 9, 0);
    // Timers come only when the queue is empty, so after everything above.
    StartTimer(7, 10);
    return TRUE;
  }

private:
  LRESULT SendText(ULONG_PTR tag, const std::string& text) {
    COPYDATASTRUCT data = {tag, static_cast<DWORD>(text.size() + 1), const_cast<char*>(text.c_str())};
    return SendMessageW(Hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  }

  void ActionClicked() { calls.push_back("command:IDC_TEST_ACTION"); }
  void FilteredClicked() { calls.push_back("command:IDC_TEST_FILTERED"); }
  void ThrowingClicked() {
    calls.push_back("throwing");
    throw std::runtime_error("handler failure");
  }
  void TimerFired() {
    StopTimer(7);
    calls.push_back("timer:7");
    PostMessageW(Hwnd(), kFinish, 0, 0);
  }
  void GiveUp() { EndDialog(kGaveUp); }
  bool ReceiveCopyData(HWND, const COPYDATASTRUCT& data) {
    if (data.dwData != kHandoffTag) return false;
    calls.push_back("copydata:" + std::string(static_cast<const char*>(data.lpData)));
    return true;
  }
  bool RegisteredArrived(WPARAM wParam, LPARAM, LRESULT& result) {
    calls.push_back("registered:" + std::to_string(wParam));
    result = 0;
    return true;
  }
  bool HitTest(WPARAM, LPARAM, LRESULT& result) {
    result = HTCAPTION;
    return true;
  }
  bool StaticColour(WPARAM, LPARAM, LRESULT& result) {
    result = reinterpret_cast<LRESULT>(brush);
    return true;
  }
  bool Finish(WPARAM, LPARAM, LRESULT&) {
    calls.push_back("finish");
    EndDialog(IDOK);
    return true;
  }
};

TEST(FrameworkDialog, DispatchesEveryKindOfEntryFromOneTable) {
  harness::DebugOutputRecorder debugOutput;
  RecordingDialog dialog;
  ASSERT_EQ(IDOK, dialog.DoModal());
  std::vector<std::string> expected = {
      "copydata:Haulbox_downloader_Manager|A1?B2|회원|3",
      "command:IDC_TEST_ACTION",
      "throwing",  // the exception stays inside the dialog procedure
      "registered:5",
      "base:9",
      "timer:7",
      "finish",
  };
  EXPECT_EQ(expected, dialog.calls);
  EXPECT_EQ(TRUE, dialog.copyDataAccepted);
  EXPECT_EQ(FALSE, dialog.copyDataRefused) << "a refused copy gets the default result";
  EXPECT_TRUE(debugOutput.Saw(L"Haulbox: exception swallowed in dialog procedure, message 0x0111: handler failure"))
      << debugOutput.Transcript();
}

TEST(FrameworkDialog, ReturnsHitTestThroughMessageResultAndBrushesDirectly) {
  RecordingDialog dialog;
  ASSERT_EQ(IDOK, dialog.DoModal());
  EXPECT_EQ(HTCAPTION, dialog.hitTest);
  EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.brush), dialog.controlColour);
}

class ModelessDialog : public Dialog {
public:
  ModelessDialog() : Dialog(IDD_TEST_TABLE) {}
  int actions = 0;

  static const MessageTable& Table() {
    static const MessageEntry entries[] = {
        messages::Command(IDC_TEST_ACTION, &ModelessDialog::ActionClicked),
    };
    static const MessageTable table(entries, &Dialog::Table());
    return table;
  }
  const MessageTable& Messages() const override { return Table(); }

private:
  void ActionClicked() { ++actions; }
};

TEST(FrameworkDialog, ModelessDialogDispatchesAndEndsByDestruction) {
  ModelessDialog dialog;
  ASSERT_TRUE(dialog.Create());
  HWND window = dialog.Hwnd();
  ASSERT_NE(nullptr, window);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_TEST_ACTION, BN_CLICKED), 0);
  EXPECT_EQ(1, dialog.actions);
  dialog.EndDialog(0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, dialog.Hwnd());
}

class ClassProbeDialog : public Dialog {
public:
  explicit ClassProbeDialog(UINT templateId) : Dialog(templateId) {}
  std::wstring className;
  HWND foundByClass = nullptr;
  HWND browser = nullptr;
  std::wstring browserClass;

protected:
  BOOL OnInitDialog() override {
    wchar_t name[64] = {};
    GetClassNameW(Hwnd(), name, 64);
    className = name;
    foundByClass = FindWindowW(name, nullptr);
    browser = Item(IDC_TEST_BROWSER);
    if (browser) {
      GetClassNameW(browser, name, 64);
      browserClass = name;
    }
    EndDialog(IDOK);
    return TRUE;
  }
};

TEST(FrameworkWindowClasses, DialogClassCopyKeepsTheDialogBehaviour) {
  ASSERT_TRUE(RegisterDialogClassCopy(L"Haulbox_test_dialog"));
  EXPECT_TRUE(RegisterDialogClassCopy(L"Haulbox_test_dialog")) << "a second registration is harmless";
  WNDCLASSW standard, copy;
  ASSERT_TRUE(GetClassInfoW(nullptr, L"#32770", &standard));
  ASSERT_TRUE(GetClassInfoW(ModuleInstance(), L"Haulbox_test_dialog", &copy));
  EXPECT_EQ(standard.cbWndExtra, copy.cbWndExtra);
  EXPECT_EQ(standard.lpfnWndProc, copy.lpfnWndProc);
  EXPECT_EQ(ModuleInstance(), copy.hInstance);

  ClassProbeDialog dialog(IDD_TEST_CLASS_NAMED);
  ASSERT_EQ(IDOK, dialog.DoModal());
  EXPECT_EQ(L"Haulbox_test_dialog", dialog.className);
  EXPECT_NE(nullptr, dialog.foundByClass) << "other programs find the window by its class";
}

TEST(FrameworkWindowClasses, TemplateNamingAnUnregisteredClassFails) {
  ClassProbeDialog dialog(IDD_TEST_CLASS_UNREGISTERED);
  EXPECT_EQ(-1, dialog.DoModal());
}

TEST(FrameworkWindowClasses, PlaceholderLetsADialogWithAnUnhostableControlOpen) {
  ClassProbeDialog missing(IDD_TEST_MISSING_CONTROL);
  EXPECT_EQ(-1, missing.DoModal()) << "an unknown control class makes the dialog fail";

  ASSERT_TRUE(RegisterPlaceholderControlClass(L"AtlAxWin80"));
  ClassProbeDialog banner(IDD_TEST_PLACEHOLDER);
  ASSERT_EQ(IDOK, banner.DoModal());
  EXPECT_NE(nullptr, banner.browser);
  EXPECT_EQ(L"AtlAxWin80", banner.browserClass);
}

TEST(FrameworkWindowClasses, PlaceholderKeepsAnExistingClass) {
  EXPECT_TRUE(RegisterPlaceholderControlClass(L"Button"));
  WNDCLASSW button;
  ASSERT_TRUE(GetClassInfoW(nullptr, L"Button", &button));
  EXPECT_NE(nullptr, button.lpfnWndProc);
  HWND probe = CreateWindowW(L"Button", L"x", BS_PUSHBUTTON, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, probe);
  EXPECT_EQ(0, SendMessageW(probe, BM_GETCHECK, 0, 0)) << "still a real button";
  DestroyWindow(probe);
}

}  // namespace
