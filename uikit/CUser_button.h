#pragma once
// The list commands of a main window: settings dialog, deleting the selected
// rows, removing the completed rows and picking a folder. Attach it to the
// window and its list before each command.
#include <windows.h>

#include <string>

#include <Haulbox_Config.h>

#include "CFileList.h"
#include "FileListOwner.h"
#include "FolderBrowser.h"

template <class Entry>
class CUser_button {
public:
  explicit CUser_button(settings::ConfigProgram program) : program_(program) {}
  virtual ~CUser_button() = default;

  void Attach(HWND window, CFileList<Entry>* list) {
    window_ = window;
    list_ = list;
  }

  // Runs the settings dialog modally with no parent; the caller re-reads
  // its settings afterwards.
  void OpenSettings() {
    Haulbox_Config dialog(program_);
    dialog.DoModal();
  }

  // Removes every selected row and its entry, keeping the entries packed,
  // then lets the owner refresh its totals.
  void DeleteSelected(FileListOwner& owner) {
    if (!list_) return;
    int remaining = list_->GetSelectedCount();
    for (int row = owner.EntryCount(); row >= 0 && remaining > 0; --row) {
      if (!list_->IsRowSelected(row)) continue;
      owner.SetTotalBytes(owner.TotalBytes() - owner.EntrySize(row));
      if (owner.StoppedIndex() == row) {
        owner.SetStoppedIndex(-1);
      } else if (owner.StoppedIndex() > row) {
        owner.SetStoppedIndex(owner.StoppedIndex() - 1);  // stays on the same entry
      }
      list_->RemoveEntry(row, owner.EntryCount());
      owner.SetEntryCount(owner.EntryCount() - 1);
      --remaining;
    }
    owner.RefreshTotals();
  }

  // Removes every row whose state column reads "완료", keeping the entries
  // packed and the transfer cursor on its entry, then lets the owner
  // recompute its totals.
  void RemoveCompleted(FileListOwner& owner) {
    if (!list_) return;
    for (int row = owner.EntryCount(); row >= 0; --row) {
      if (row >= list_->GetItemCount()) continue;
      if (list_->GetItemText(row, CFileList<Entry>::kStateColumn) != "완료") continue;
      owner.SetDoneBytes(owner.DoneBytes() - owner.EntrySize(row));
      list_->RemoveEntry(row, owner.EntryCount());
      owner.SetEntryCount(owner.EntryCount() - 1);
      // The cursor follows its entry; a removed cursor entry is replaced by
      // the one that moves into its row (the caller then advances by one).
      if (row <= owner.TransferCursor()) owner.SetTransferCursor(owner.TransferCursor() - 1);
    }
    owner.RecomputeTotals();
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
  settings::ConfigProgram program_;
  HWND window_ = nullptr;
  CFileList<Entry>* list_ = nullptr;
};
