#pragma once
// The transfer list: a report list view plus the job table beside it, a fixed
// array of 200 entry records of the owning program (entry i belongs to row i).
// Every reordering and removal moves whole entries together with their rows.
//
// Set-up by the owner (dialog initialisation / when a job is loaded):
//   list.Attach(dialogHwnd, IDC_DOWN_LIST);
//   list.SetExtendedStyle(CFileList<E>::kExtendedStyle);
//   list.InsertColumn(0, "파일명", 490, LVCFMT_CENTER); ...   (first time only)
//   list.AttachSystemImageList();
//   list.m_entries[count] = entry; list.InsertFileRow(count, name, FormatSize(size), "대기");
#include <ListView.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CFile_Type_icon.h"
#include "RowReorder.h"

template <class Entry>
class CFileList : public ListView {
public:
  static constexpr int kCapacity = 200;
  static constexpr int kStateColumn = 2;
  static constexpr DWORD kExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT |
                                          LVS_EX_INFOTIP | LVS_EX_UNDERLINEHOT | LVS_EX_MULTIWORKAREAS;
  using Swaps = std::vector<std::pair<int, int>>;

  // The job table lives in `entries` (kCapacity records) when given, so that
  // it can outlive the list; otherwise the list keeps its own.
  explicit CFileList(Entry* entries = nullptr)
      : ownEntries_(entries ? nullptr : new Entry[kCapacity]()),
        m_entries(entries ? entries : ownEntries_.get()) {}

private:
  std::unique_ptr<Entry[]> ownEntries_;

public:
  // The job table; the owner writes entry `count` and inserts row `count`.
  Entry* const m_entries;

  // Shares the shell's small system image list with the list (the list
  // view does not destroy it).
  void AttachSystemImageList() {
    LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
    SetWindowLongPtrW(Hwnd(), GWL_STYLE, style | LVS_SHAREIMAGELISTS);
    imageList_ = m_icons.GetSystemImageList(true);
    SetImageList(imageList_, LVSIL_SMALL);
  }

  // Inserts a row: the name with its file-type icon, the size text, the state text.
  int InsertFileRow(int index, const std::string& name, const std::string& sizeText,
                    const std::string& stateText) {
    int row = InsertItem(index, name, m_icons.GetIconIndex(name, true));
    if (row < 0) return row;
    SetItemText(row, 1, sizeText);
    SetItemText(row, kStateColumn, stateText);
    return row;
  }

  bool IsRowSelected(int row) const { return (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0; }

  // Exchanges rows a and b completely: entry, every column text and icon.
  // Selection and focus stay with the row positions.
  void SwapRows(int a, int b) {
    if (a == b || a < 0 || b < 0 || a >= kCapacity || b >= kCapacity) return;
    std::swap(m_entries[a], m_entries[b]);
    SetImageList(imageList_ ? imageList_ : m_icons.GetSystemImageList(true), LVSIL_SMALL);
    const int columns = ColumnCount();
    std::vector<std::string> textsOfB(columns);
    for (int column = 0; column < columns; ++column) textsOfB[column] = GetItemText(b, column);
    SetItemImage(b, m_icons.GetIconIndex(GetItemText(a, 0), true));
    for (int column = 0; column < columns; ++column) SetItemText(b, column, GetItemText(a, column));
    SetItemImage(a, m_icons.GetIconIndex(textsOfB[0], true));
    for (int column = 0; column < columns; ++column) SetItemText(a, column, textsOfB[column]);
  }

  // Each move returns the row exchanges it made, in order, so that the owner
  // can keep its own row indices on their entries.
  Swaps MoveSelectedUp() { return Reorder(&row_reorder::MoveUp<SwapFunction>); }
  Swaps MoveSelectedDown() { return Reorder(&row_reorder::MoveDown<SwapFunction>); }
  Swaps MoveSelectedToTop() { return Reorder(&row_reorder::MoveToTop<SwapFunction>); }
  Swaps MoveSelectedToBottom() { return Reorder(&row_reorder::MoveToBottom<SwapFunction>); }

  // Removes row `index` and its entry: entries after it move one place
  // down and the entry freed at the end of the `used` range is cleared.
  void RemoveEntry(int index, int used) {
    if (index < 0 || index >= kCapacity) return;
    if (used > kCapacity) used = kCapacity;
    for (int j = index; j + 1 < used; ++j) m_entries[j] = m_entries[j + 1];
    if (used > index) m_entries[used - 1] = Entry{};
    DeleteItem(index);
  }

  CFile_Type_icon m_icons;

private:
  struct SwapFunction {
    CFileList* list;
    Swaps* made;
    void operator()(int a, int b) const {
      list->SwapRows(a, b);
      made->push_back({a, b});
    }
  };

  int ColumnCount() const {
    HWND header = reinterpret_cast<HWND>(SendMessageW(Hwnd(), LVM_GETHEADER, 0, 0));
    int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    return count > 0 ? count : 1;
  }

  Swaps Reorder(int (*move)(row_reorder::Selection&, SwapFunction)) {
    const int rows = GetItemCount();
    row_reorder::Selection selected(rows > 0 ? rows : 0);
    for (int row = 0; row < rows; ++row) selected[row] = IsRowSelected(row) ? 1 : 0;
    Swaps made;
    const int focus = move(selected, SwapFunction{this, &made});
    if (focus >= 0) {
      for (int row = 0; row < rows; ++row) {
        SetItemState(row, selected[row] ? LVIS_SELECTED : 0, LVIS_SELECTED | LVIS_FOCUSED);
      }
      SetItemState(focus, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      EnsureVisible(focus);
    }
    SetFocus(Hwnd());
    return made;
  }

  HIMAGELIST imageList_ = nullptr;
};
