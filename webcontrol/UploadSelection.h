#pragma once
// Choosing files and folders for an upload in the launcher window: the
// system's open-file dialog, the folder browser with its wider layout, the
// walk of a chosen folder, the member's messages, and the remembered folder
// (value "Default_folder_upload" of a key below HKEY_CURRENT_USER) both
// dialogs start in.
//
// Names reach the selection list as code page 949 texts; a name the code
// page cannot say, or a path too long for the walk, is left out and the
// member told how many were.
#include <windows.h>

#include <string>

// The selection list of the files the member chose; empty when cancelled or
// refused.
std::string SelectUploadFiles(HWND owner, const std::wstring& settingsKeyPath);

// "<folder>/<selection list>" for the folder the member chose; empty when
// cancelled or refused.
std::string SelectUploadFolder(HWND owner, const std::wstring& settingsKeyPath);

// The selection list of the non-empty files under `folder` and all its
// subfolders, or an empty text when there are more than 150. `leftOut` gets
// the files left out for their names or the length of their paths.
std::string ListUploadFolder(const std::wstring& folder, int& leftOut);

// The system folder browser below the special folder `rootFolder` (a CSIDL
// value), starting at `initialFolder` (may be empty), with `title` as its
// caption. True and the folder in `chosen` when the member confirmed an item
// that has a file-system path.
bool BrowseForFolder(HWND owner, const std::wstring& initialFolder, int rootFolder, const std::string& title,
                     std::wstring& chosen);
