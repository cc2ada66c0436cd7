#pragma once
// The list commands of a main window: settings, deleting rows and picking a
// folder. The widget knows nothing of its owner: it reads the rows' flags for
// the owner's plan (TransferListRules.h), removes the rows a plan names, and
// opens the settings through the callback the owner gives it.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "CFileList.h"
#include "FolderBrowser.h"
#include "TransferListRules.h"

template <class Entry>
class CUser_button {
public:
  explicit CUser_button(std::function<void()> openSettings) : openSettings_(std::move(openSettings)) {}

  void Attach(HWND window, CFileList<Entry>* list) {
    window_ = window;
    list_ = list;
  }

  // The owner's settings dialog; the owner re-reads its settings afterwards.
  void OpenSettings() {
    if (openSettings_) openSettings_();
  }

  // One flag per used row: selected.
  std::vector<char> SelectedRows(int used) const {
    std::vector<char> flags(RowsOf(used), 0);
    for (std::size_t row = 0; row < flags.size(); ++row) flags[row] = list_->IsRowSelected(static_cast<int>(row));
    return flags;
  }

  // One flag per used row: its state column reads "완료".
  std::vector<char> CompletedRows(int used) const {
    std::vector<char> flags(RowsOf(used), 0);
    for (std::size_t row = 0; row < flags.size(); ++row) {
      flags[row] = list_->GetItemText(static_cast<int>(row), CFileList<Entry>::kStateColumn) == "완료";
    }
    return flags;
  }

  // Removes the rows of `removal` with their entries, keeping the entries
  // packed; `used` is the count of used entries before the removal.
  void RemoveRows(const transfer_rules::Removal& removal, int used) {
    if (!list_) return;
    for (int row : removal.rows) list_->RemoveEntry(row, used--);
  }

  // The folder picker, after bringing the main window forward.
  bool BrowseFolder(std::string& path, const std::string& title) {
    if (window_) {
      SetFocus(window_);
      ShowWindow(window_, SW_SHOW);
    }
    return BrowseForFolder(nullptr, title, path);
  }

private:
  std::size_t RowsOf(int used) const {
    if (!list_ || used <= 0) return 0;
    const int rows = list_->GetItemCount();
    return static_cast<std::size_t>(used < rows ? used : rows);
  }

  std::function<void()> openSettings_;
  HWND window_ = nullptr;
  CFileList<Entry>* list_ = nullptr;
};
