#include "ListView.h"

#include "TextConversion.h"

#include <vector>

int ListView::InsertColumn(int index, const std::string& title, int width, int format) {
  std::wstring text = Widen(title);
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  column.fmt = format;
  column.cx = width;
  column.pszText = &text[0];
  column.iSubItem = index;
  return static_cast<int>(SendMessageW(Hwnd(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(&column)));
}

int ListView::InsertItem(int index, const std::string& text, int image) {
  std::wstring wide = Widen(text);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = &wide[0];
  if (image >= 0) {
    item.mask |= LVIF_IMAGE;
    item.iImage = image;
  }
  return static_cast<int>(SendMessageW(Hwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::SetItemText(int item, int subItem, const std::string& text) {
  std::wstring wide = Widen(text);
  LVITEMW entry = {};
  entry.iSubItem = subItem;
  entry.pszText = &wide[0];
  return SendMessageW(Hwnd(), LVM_SETITEMTEXTW, static_cast<WPARAM>(item),
                      reinterpret_cast<LPARAM>(&entry)) != FALSE;
}

std::string ListView::GetItemText(int item, int subItem) const {
  // LVM_GETITEMTEXT returns the length copied; grow until the text fits.
  for (size_t capacity = 256; capacity <= (1u << 20); capacity *= 4) {
    std::vector<wchar_t> buffer(capacity, L'\0');
    LVITEMW entry = {};
    entry.iSubItem = subItem;
    entry.pszText = buffer.data();
    entry.cchTextMax = static_cast<int>(capacity);
    LRESULT length = SendMessageW(Hwnd(), LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                                  reinterpret_cast<LPARAM>(&entry));
    if (length < 0) return std::string();
    if (static_cast<size_t>(length) < capacity - 1) {
      return Narrow(std::wstring(buffer.data(), static_cast<size_t>(length)));
    }
  }
  return std::string();
}

bool ListView::SetItemImage(int item, int image) {
  LVITEMW entry = {};
  entry.mask = LVIF_IMAGE;
  entry.iItem = item;
  entry.iImage = image;
  return SendMessageW(Hwnd(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&entry)) != FALSE;
}

UINT ListView::GetItemState(int item, UINT mask) const {
  return static_cast<UINT>(SendMessageW(Hwnd(), LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask));
}

bool ListView::SetItemState(int item, UINT state, UINT mask) {
  LVITEMW entry = {};
  entry.state = state;
  entry.stateMask = mask;
  return SendMessageW(Hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                      reinterpret_cast<LPARAM>(&entry)) != FALSE;
}

bool ListView::SetItemData(int item, LPARAM data) {
  LVITEMW entry = {};
  entry.mask = LVIF_PARAM;
  entry.iItem = item;
  entry.lParam = data;
  return SendMessageW(Hwnd(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&entry)) != FALSE;
}

LPARAM ListView::GetItemData(int item) const {
  LVITEMW entry = {};
  entry.mask = LVIF_PARAM;
  entry.iItem = item;
  if (!SendMessageW(Hwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry))) return 0;
  return entry.lParam;
}

bool ListView::DeleteItem(int item) {
  return SendMessageW(Hwnd(), LVM_DELETEITEM, static_cast<WPARAM>(item), 0) != FALSE;
}

bool ListView::DeleteAllItems() { return SendMessageW(Hwnd(), LVM_DELETEALLITEMS, 0, 0) != FALSE; }

int ListView::GetItemCount() const { return static_cast<int>(SendMessageW(Hwnd(), LVM_GETITEMCOUNT, 0, 0)); }

int ListView::GetSelectedCount() const {
  return static_cast<int>(SendMessageW(Hwnd(), LVM_GETSELECTEDCOUNT, 0, 0));
}

int ListView::GetNextItem(int start, UINT flags) const {
  return static_cast<int>(SendMessageW(Hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(start),
                                       MAKELPARAM(flags, 0)));
}

bool ListView::EnsureVisible(int item) {
  return SendMessageW(Hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE) != FALSE;
}

DWORD ListView::SetExtendedStyle(DWORD style) {
  return static_cast<DWORD>(SendMessageW(Hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style));
}

DWORD ListView::GetExtendedStyle() const {
  return static_cast<DWORD>(SendMessageW(Hwnd(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

HIMAGELIST ListView::SetImageList(HIMAGELIST list, int which) {
  return reinterpret_cast<HIMAGELIST>(
      SendMessageW(Hwnd(), LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list)));
}

bool ListView::SetColumnWidth(int column, int width) {
  return SendMessageW(Hwnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0)) != FALSE;
}
