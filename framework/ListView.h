#pragma once
// A report-style list view (SysListView32). Texts are CP949; items and
// columns are 0-based indexes; calls that fail return -1 / false.
#include "Control.h"

#include <commctrl.h>

class ListView : public Control {
public:
  // Returns the new column's index.
  int InsertColumn(int index, const std::string& title, int width, int format = LVCFMT_LEFT);
  // Inserts an item with the text of column 0 and an image index of the
  // small image list (-1: none). Returns the new item's index.
  int InsertItem(int index, const std::string& text, int image = -1);
  bool SetItemText(int item, int subItem, const std::string& text);
  std::string GetItemText(int item, int subItem) const;
  bool SetItemImage(int item, int image);
  UINT GetItemState(int item, UINT mask) const;
  bool SetItemState(int item, UINT state, UINT mask);
  bool SetItemData(int item, LPARAM data);
  LPARAM GetItemData(int item) const;
  bool DeleteItem(int item);
  bool DeleteAllItems();
  int GetItemCount() const;
  int GetSelectedCount() const;
  // Next item after `start` (-1: from the top) with `flags` (LVNI_SELECTED...), or -1.
  int GetNextItem(int start, UINT flags) const;
  bool EnsureVisible(int item);
  // Sets LVS_EX_* styles (all bits of the mask); returns the previous ones.
  DWORD SetExtendedStyle(DWORD style);
  DWORD GetExtendedStyle() const;
  // LVSIL_SMALL or LVSIL_NORMAL; returns the previous list. Without the
  // LVS_SHAREIMAGELISTS style the list view destroys the list with itself;
  // with it (e.g. for the shell's system image list) the caller keeps it.
  HIMAGELIST SetImageList(HIMAGELIST list, int which = LVSIL_SMALL);
  bool SetColumnWidth(int column, int width);
};
