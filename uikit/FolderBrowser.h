#pragma once
// The shell's folder picker (file-system folders only), with COM initialised
// just around the call. True and `path` set when a folder was picked and its
// path could be read; `path` is untouched otherwise.
#include <windows.h>

#include <string>

bool BrowseForFolder(HWND owner, const std::string& title, std::string& path);
