// Control wrappers bound by id, exercised inside a real dialog: CP949 texts
// reach the window as the right UTF-16, list rows keep their texts, owner-draw
// is reflected to the control object and subclassing sees the control's
// messages, chained with any other subclass of the same control.
#include "Button.h"
#include "CheckBox.h"
#include "DebugOutputRecorder.h"
#include "Dialog.h"
#include "Edit.h"
#include "FrameworkTestDialogs.h"
#include "ListView.h"
#include "StaticText.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr UINT kFinish = WM_APP + 1;

class OwnerDrawnButton : public Button {
public:
  int drawCount = 0;
  bool DrawItem(const DRAWITEMSTRUCT& item) override {
    ++drawCount;
    FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    return true;
  }
};

class TextCountingEdit : public Edit {
public:
  int setTextCount = 0;

protected:
  bool HandleMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
    if (message == WM_SETTEXT) ++setTextCount;
    return false;
  }
};

struct Observed {
  std::string editText;
  std::wstring editWide;
  int checkAfterSet = -1;
  int radioAfterSet = -1;
  std::string labelText;
  DWORD extendedStyle = 0;
  int columns = 0;
  int rowsAfterInsert = 0;
  std::vector<std::string> rowTexts;
  std::string longText;
  int rowsAfterDelete = 0;
  std::string secondRowAfterDelete;
  UINT selectedState = 0;
  int firstSelected = -2;
  LPARAM itemData = 0;
  RECT movedRect = {};
  bool hiddenAfterShowFalse = false;
  bool disabledAfterEnableFalse = false;
  int drawCount = 0;
  int setTextCount = 0;
  bool attachedMissingId = true;
};

class ControlsDialog : public Dialog {
public:
  ControlsDialog() : Dialog(IDD_TEST_CONTROLS) {}
  Observed seen;

  static const MessageTable& Table() {
    static const MessageEntry entries[] = {
        messages::Message(kFinish, &ControlsDialog::Finish),
        messages::Timer(99, &ControlsDialog::GiveUp),
    };
    static const MessageTable table(entries, &Dialog::Table());
    return table;
  }
  const MessageTable& Messages() const override { return Table(); }

protected:
  BOOL OnInitDialog() override {
    StartTimer(99, 10000);
    edit_.Attach(Hwnd(), IDC_TEST_EDIT);
    check_.Attach(Hwnd(), IDC_TEST_CHECK);
    radio_.Attach(Hwnd(), IDC_TEST_RADIO);
    label_.Attach(Hwnd(), IDC_TEST_LABEL);
    list_.Attach(Hwnd(), IDC_TEST_LIST);
    drawn_.Attach(Hwnd(), IDC_TEST_OWNER_DRAWN);
    Control missing;
    const int noSuchItem = 4242;  // not in the template
    seen.attachedMissingId = missing.Attach(Hwnd(), noSuchItem);

    edit_.Subclass();
    edit_.SetText("기본 저장폴더");
    seen.editText = edit_.GetText();
    wchar_t wide[64] = {};
    GetWindowTextW(edit_.Hwnd(), wide, 64);
    seen.editWide = wide;
    seen.setTextCount = edit_.setTextCount;

    check_.SetCheck(BST_CHECKED);
    seen.checkAfterSet = check_.GetCheck();
    radio_.SetCheck(BST_CHECKED);
    seen.radioAfterSet = radio_.GetCheck();
    seen.labelText = label_.GetText();

    FillList();
    label_.Move(10, 20, 120, 18);
    seen.movedRect = label_.RectInParent();
    label_.Show(false);
    seen.hiddenAfterShowFalse = !label_.IsVisible();
    label_.Show(true);
    check_.Enable(false);
    seen.disabledAfterEnableFalse = !check_.IsEnabled();
    PostMessageW(Hwnd(), kFinish, 0, 0);
    return TRUE;
  }

private:
  void FillList() {
    list_.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    seen.extendedStyle = list_.GetExtendedStyle();
    seen.columns += list_.InsertColumn(0, "파일명", 120) == 0;
    seen.columns += list_.InsertColumn(1, "크기", 60, LVCFMT_RIGHT) == 1;
    seen.columns += list_.InsertColumn(2, "상태", 60) == 2;
    const char* names[] = {"보고서.hwp", "사진 모음.zip", "영상.avi"};
    for (int row = 0; row < 3; ++row) {
      int index = list_.InsertItem(row, names[row]);
      list_.SetItemText(index, 1, std::to_string(row + 1) + "MB");
      list_.SetItemText(index, 2, "대기");
    }
    seen.rowsAfterInsert = list_.GetItemCount();
    for (int row = 0; row < 3; ++row) seen.rowTexts.push_back(list_.GetItemText(row, 0) + "/" + list_.GetItemText(row, 2));
    std::string longName;
    for (int i = 0; i < 300; ++i) longName += "가";
    list_.SetItemText(0, 1, longName);
    seen.longText = list_.GetItemText(0, 1);
    list_.DeleteItem(1);
    seen.rowsAfterDelete = list_.GetItemCount();
    seen.secondRowAfterDelete = list_.GetItemText(1, 0);
    list_.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    seen.selectedState = list_.GetItemState(1, LVIS_SELECTED);
    seen.firstSelected = list_.GetNextItem(-1, LVNI_SELECTED);
    list_.SetItemData(0, 1234);
    seen.itemData = list_.GetItemData(0);
  }

  bool Finish(WPARAM, LPARAM, LRESULT&) {
    RedrawWindow(drawn_.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    seen.drawCount = drawn_.drawCount;
    EndDialog(IDOK);
    return true;
  }
  void GiveUp() { EndDialog(-2); }

  TextCountingEdit edit_;
  CheckBox check_;
  CheckBox radio_;
  StaticText label_;
  ListView list_;
  OwnerDrawnButton drawn_;
};

TEST(FrameworkControls, WrappersReadAndWriteTheirControls) {
  ControlsDialog dialog;
  ASSERT_EQ(IDOK, dialog.DoModal());
  const Observed& seen = dialog.seen;
  EXPECT_FALSE(seen.attachedMissingId);
  EXPECT_EQ("기본 저장폴더", seen.editText);
  EXPECT_EQ(L"기본 저장폴더", seen.editWide) << "converted with code page 949 at the boundary";
  EXPECT_EQ(1, seen.setTextCount) << "the subclass saw the control's own message";
  EXPECT_EQ(BST_CHECKED, seen.checkAfterSet);
  EXPECT_EQ(BST_CHECKED, seen.radioAfterSet);
  EXPECT_EQ("다운로드 완료시 : ", seen.labelText);
  EXPECT_EQ(static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES), seen.extendedStyle);
  EXPECT_TRUE(seen.hiddenAfterShowFalse);
  EXPECT_TRUE(seen.disabledAfterEnableFalse);
  EXPECT_EQ(120, seen.movedRect.right - seen.movedRect.left);
  EXPECT_EQ(10, seen.movedRect.left);
}

TEST(FrameworkControls, ListViewKeepsRowsAndTexts) {
  ControlsDialog dialog;
  ASSERT_EQ(IDOK, dialog.DoModal());
  const Observed& seen = dialog.seen;
  EXPECT_EQ(3, seen.columns);
  EXPECT_EQ(3, seen.rowsAfterInsert);
  std::vector<std::string> expected = {"보고서.hwp/대기", "사진 모음.zip/대기", "영상.avi/대기"};
  EXPECT_EQ(expected, seen.rowTexts);
  EXPECT_EQ(600u, seen.longText.size()) << "texts longer than the first buffer come back whole";
  EXPECT_EQ(2, seen.rowsAfterDelete);
  EXPECT_EQ("영상.avi", seen.secondRowAfterDelete);
  EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED), seen.selectedState);
  EXPECT_EQ(1, seen.firstSelected);
  EXPECT_EQ(1234, seen.itemData);
}

TEST(FrameworkControls, OwnerDrawIsReflectedToTheButtonObject) {
  ControlsDialog dialog;
  ASSERT_EQ(IDOK, dialog.DoModal());
  EXPECT_GE(dialog.seen.drawCount, 1);
}

// A subclass of the test's own beside the wrapper's: counts WM_SETTEXT.
LRESULT CALLBACK CountSetText(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR count) {
  if (message == WM_SETTEXT) ++*reinterpret_cast<int*>(count);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

std::wstring TextOf(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  return text;
}

// A hidden edit of its own for a test; the test destroys it.
HWND NewPopupEdit() {
  return CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 120, 20, nullptr, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

TEST(FrameworkControls, SubclassesChainAndDetachingOneKeepsTheOther) {
  HWND edit = NewPopupEdit();
  ASSERT_NE(nullptr, edit);
  TextCountingEdit wrapper;
  ASSERT_TRUE(wrapper.Attach(edit));
  ASSERT_TRUE(wrapper.Subclass());
  int otherCount = 0;
  ASSERT_TRUE(SetWindowSubclass(edit, CountSetText, 1, reinterpret_cast<DWORD_PTR>(&otherCount)));

  SetWindowTextW(edit, L"하나");
  EXPECT_EQ(1, wrapper.setTextCount);
  EXPECT_EQ(1, otherCount);
  EXPECT_EQ(&wrapper, Control::FromHandle(edit));

  wrapper.Detach();
  SetWindowTextW(edit, L"둘");
  EXPECT_EQ(1, wrapper.setTextCount) << "a detached wrapper sees nothing";
  EXPECT_EQ(2, otherCount) << "detaching the wrapper removed the other subclass";
  EXPECT_EQ(L"둘", TextOf(edit));
  EXPECT_EQ(nullptr, Control::FromHandle(edit));

  ASSERT_TRUE(wrapper.Attach(edit));
  ASSERT_TRUE(wrapper.Subclass());
  ASSERT_TRUE(RemoveWindowSubclass(edit, CountSetText, 1));
  SetWindowTextW(edit, L"셋");
  EXPECT_EQ(2, wrapper.setTextCount) << "removing the other subclass unhooked the wrapper";
  EXPECT_EQ(2, otherCount);
  EXPECT_EQ(L"셋", TextOf(edit));

  DestroyWindow(edit);
  EXPECT_EQ(nullptr, wrapper.Hwnd()) << "the wrapper lets go of its window when the window goes";
}

class ThrowingEdit : public Edit {
protected:
  bool HandleMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
    if (message == WM_SETTEXT) throw std::runtime_error("set text failure");
    return false;
  }
};

TEST(FrameworkControls, ThrowingHandlerLeavesTheMessageToTheControlAndATrace) {
  harness::DebugOutputRecorder debugOutput;
  HWND edit = NewPopupEdit();
  ASSERT_NE(nullptr, edit);
  ThrowingEdit wrapper;
  ASSERT_TRUE(wrapper.Attach(edit));
  ASSERT_TRUE(wrapper.Subclass());
  SetWindowTextW(edit, L"그대로");
  EXPECT_EQ(L"그대로", TextOf(edit)) << "the edit's own procedure still set the text";
  EXPECT_TRUE(debugOutput.Saw(
      L"Haulbox: exception swallowed in control subclass procedure, message 0x000c: set text failure"))
      << debugOutput.Transcript();
  DestroyWindow(edit);
}

}  // namespace
