// CFileList and CUser_button on a real list view: row order, selection and
// the entry array kept in step by every move and removal.
#include <gtest/gtest.h>

#include <CFileList.h>
#include <CUser_button.h>
#include <DownloaderRes.h>

#include <cstdint>
#include <string>
#include <vector>

#include "UiTestSupport.h"

namespace {

// A small entry record standing in for the programs' own.
struct TestEntry {
  std::string name;
  std::int64_t size = 0;
  int state = 0;
};

using List = CFileList<TestEntry>;
using Names = std::vector<std::string>;

// What an owning window keeps about its entries.
struct Owner {
  int count = 0;
  transfer_rules::Cursors cursors{0, -1};

  void Apply(CUser_button<TestEntry>& commands, const transfer_rules::Removal& removal) {
    commands.RemoveRows(removal, count);
    count = removal.entryCount;
    cursors = removal.cursors;
  }
};

CUser_button<TestEntry> Commands(HWND window, List& list) {
  CUser_button<TestEntry> commands(nullptr);
  commands.Attach(window, &list);
  return commands;
}

class FileListTest : public testing::Test {
protected:
  void SetUp() override {
    HWND view = parent.AddChild(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS, IDC_DOWN_LIST, 0, 0, 500, 300);
    ASSERT_TRUE(list.Attach(view));
    list.SetExtendedStyle(List::kExtendedStyle);
    list.InsertColumn(0, "파일명", 200, LVCFMT_CENTER);
    list.InsertColumn(1, "파일크기", 60, LVCFMT_RIGHT);
    list.InsertColumn(3, "진행상태", 80, LVCFMT_CENTER);
    list.AttachSystemImageList();
  }

  // Rows f0.txt, f1.zip, ... with sizes 100, 101, ...; states from `states`.
  void AddRows(int count, const std::vector<std::string>& states = {}) {
    const char* extensions[] = {".txt", ".zip", ".mp3", ".exe", ".avi", ".doc"};
    for (int i = 0; i < count; ++i) {
      TestEntry entry{"f" + std::to_string(i) + extensions[i % 6], 100 + i, 0};
      std::string state = i < static_cast<int>(states.size()) ? states[i] : "대기";
      list.m_entries[i] = entry;
      list.InsertFileRow(i, entry.name, list.m_icons.FormatSize(entry.size), state);
      owner.count++;
    }
  }

  void Select(std::initializer_list<int> rows) {
    list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int row : rows) list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }

  // Row names as shown, after checking that entry i belongs to row i.
  Names RowNames() {
    Names names;
    for (int row = 0; row < list.GetItemCount(); ++row) {
      std::string name = list.GetItemText(row, 0);
      EXPECT_EQ(name, list.m_entries[row].name) << "entry " << row << " left its row";
      EXPECT_EQ(list.m_icons.FormatSize(list.m_entries[row].size), list.GetItemText(row, 1)) << "row " << row;
      EXPECT_EQ(list.m_icons.GetIconIndex(name, true), ItemImage(row)) << "row " << row;
      names.push_back(name.substr(0, 2));
    }
    return names;
  }

  std::vector<int> SelectedRows() {
    std::vector<int> rows;
    for (int row = 0; row < list.GetItemCount(); ++row)
      if (list.IsRowSelected(row)) rows.push_back(row);
    return rows;
  }

  int FocusedRow() { return list.GetNextItem(-1, LVNI_FOCUSED); }

  int ItemImage(int row) {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(list.Hwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  }

  uitest::ParentWindow parent{520, 320};
  List list;
  Owner owner;
};

using Rows = std::vector<int>;

TEST_F(FileListTest, RowsShowNameSizeStateAndTheFileTypeIcon) {
  AddRows(3);
  EXPECT_EQ(Names({"f0", "f1", "f2"}), RowNames());
  EXPECT_EQ("대기", list.GetItemText(1, List::kStateColumn));
  EXPECT_EQ("101.0Byte", list.GetItemText(1, 1));
  EXPECT_NE(nullptr, list.m_icons.GetSystemImageList(true));
  EXPECT_EQ(static_cast<DWORD>(List::kExtendedStyle), list.GetExtendedStyle() & List::kExtendedStyle);
}

TEST_F(FileListTest, SwapRowsExchangesEntriesTextsAndIconsButNotTheSelection) {
  AddRows(3, {"완료", "대기", "오류"});
  Select({0});
  list.SwapRows(0, 2);
  EXPECT_EQ(Names({"f2", "f1", "f0"}), RowNames());
  EXPECT_EQ("오류", list.GetItemText(0, 2));
  EXPECT_EQ("완료", list.GetItemText(2, 2));
  EXPECT_EQ(Rows({0}), SelectedRows());
}

TEST_F(FileListTest, OneSelectedRowMoves) {
  AddRows(5);
  Select({2});
  list.MoveSelectedUp();
  EXPECT_EQ(Names({"f0", "f2", "f1", "f3", "f4"}), RowNames());
  EXPECT_EQ(Rows({1}), SelectedRows());
  EXPECT_EQ(1, FocusedRow());
  EXPECT_EQ(list.Hwnd(), GetFocus());

  list.MoveSelectedDown();
  list.MoveSelectedDown();
  EXPECT_EQ(Names({"f0", "f1", "f3", "f2", "f4"}), RowNames());
  EXPECT_EQ(Rows({3}), SelectedRows());

  list.MoveSelectedToTop();  // an exchange with row 0
  EXPECT_EQ(Names({"f2", "f1", "f3", "f0", "f4"}), RowNames());
  EXPECT_EQ(Rows({0}), SelectedRows());

  list.MoveSelectedToBottom();  // an exchange with the last row
  EXPECT_EQ(Names({"f4", "f1", "f3", "f0", "f2"}), RowNames());
  EXPECT_EQ(Rows({4}), SelectedRows());
  EXPECT_EQ(4, FocusedRow());
}

TEST_F(FileListTest, OneSelectedRowAtTheEdgeStays) {
  AddRows(3);
  Select({0});
  list.MoveSelectedUp();
  list.MoveSelectedToTop();
  EXPECT_EQ(Names({"f0", "f1", "f2"}), RowNames());
  EXPECT_EQ(Rows({0}), SelectedRows());
  Select({2});
  list.MoveSelectedDown();
  list.MoveSelectedToBottom();
  EXPECT_EQ(Names({"f0", "f1", "f2"}), RowNames());
  EXPECT_EQ(Rows({2}), SelectedRows());
  Select({});
  list.MoveSelectedUp();
  list.MoveSelectedDown();
  list.MoveSelectedToTop();
  list.MoveSelectedToBottom();
  EXPECT_EQ(Names({"f0", "f1", "f2"}), RowNames());
  EXPECT_EQ(Rows({}), SelectedRows());
}

TEST_F(FileListTest, SeveralSelectedRowsMoveAndStaySelected) {
  AddRows(6);
  Select({2, 4});
  list.MoveSelectedUp();
  EXPECT_EQ(Names({"f0", "f2", "f1", "f4", "f3", "f5"}), RowNames());
  EXPECT_EQ(Rows({1, 3}), SelectedRows());

  list.MoveSelectedDown();
  EXPECT_EQ(Names({"f0", "f1", "f2", "f3", "f4", "f5"}), RowNames());
  EXPECT_EQ(Rows({2, 4}), SelectedRows());

  list.MoveSelectedToTop();
  EXPECT_EQ(Names({"f2", "f4", "f0", "f3", "f1", "f5"}), RowNames());
  EXPECT_EQ(Rows({0, 1}), SelectedRows());

  list.MoveSelectedToBottom();  // exchanges: f4 with the last row, then f2 with the one above
  EXPECT_EQ(Names({"f1", "f5", "f0", "f3", "f2", "f4"}), RowNames());
  EXPECT_EQ(Rows({4, 5}), SelectedRows());
}

TEST_F(FileListTest, DeleteSelectedKeepsEntriesPackedAndTheStoppedIndexOnItsEntry) {
  AddRows(5);
  owner.cursors.stopped = 3;
  Select({1, 3});
  CUser_button<TestEntry> commands = Commands(parent.Hwnd(), list);
  owner.Apply(commands, transfer_rules::PlanDeleteSelected(commands.SelectedRows(owner.count), owner.cursors));
  EXPECT_EQ(Names({"f0", "f2", "f4"}), RowNames());
  EXPECT_EQ(3, owner.count);
  EXPECT_EQ(-1, owner.cursors.stopped);
  EXPECT_TRUE(list.m_entries[3].name.empty()) << "freed entry must be cleared";
  EXPECT_TRUE(list.m_entries[4].name.empty()) << "freed entry must be cleared";

  owner.cursors.stopped = 2;  // f4: stays on its entry when a row above goes
  Select({0});
  owner.Apply(commands, transfer_rules::PlanDeleteSelected(commands.SelectedRows(owner.count), owner.cursors));
  EXPECT_EQ(Names({"f2", "f4"}), RowNames());
  EXPECT_EQ(1, owner.cursors.stopped);
  EXPECT_EQ("f4.avi", list.m_entries[owner.cursors.stopped].name);
}

TEST_F(FileListTest, RemoveCompletedKeepsEntriesPackedAndTheCursorOnItsEntry) {
  AddRows(6, {"완료", "대기", "완료", "전송중", "완료", "오류"});
  owner.cursors.transfer = 3;  // f3
  CUser_button<TestEntry> commands = Commands(parent.Hwnd(), list);
  owner.Apply(commands, transfer_rules::PlanRemoveCompleted(commands.CompletedRows(owner.count), owner.cursors));
  EXPECT_EQ(Names({"f1", "f3", "f5"}), RowNames());
  EXPECT_EQ(3, owner.count);
  EXPECT_EQ(1, owner.cursors.transfer);
  for (int i = 3; i < 6; ++i) EXPECT_TRUE(list.m_entries[i].name.empty()) << "entry " << i;

  // As the progress timer uses it: the cursor's own row completes and goes;
  // advancing by one lands on the entry that moved into its place.
  list.SetItemText(1, List::kStateColumn, "완료");
  owner.Apply(commands, transfer_rules::PlanRemoveCompleted(commands.CompletedRows(owner.count), owner.cursors));
  EXPECT_EQ(0, owner.cursors.transfer);
  EXPECT_EQ("f5.doc", list.m_entries[owner.cursors.transfer + 1].name);
  EXPECT_EQ(Names({"f1", "f5"}), RowNames());
}

TEST_F(FileListTest, MovesReportTheirExchangesSoOwnersCanFollowTheirEntries) {
  AddRows(4);
  Select({2});
  const List::Swaps swaps = list.MoveSelectedToTop();
  EXPECT_EQ(Names({"f2", "f1", "f0", "f3"}), RowNames());
  EXPECT_EQ(0, transfer_rules::FollowSwaps(2, swaps));
  EXPECT_EQ(2, transfer_rules::FollowSwaps(0, swaps));
  EXPECT_EQ(1, transfer_rules::FollowSwaps(1, swaps));
}

}  // namespace
