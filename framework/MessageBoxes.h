#pragma once
// Message boxes with CP949 text and caption: converted with code page 949 and
// shown with MessageBoxW, so they read right whatever the ANSI code page is.
#include <windows.h>

#include <string>

// Returns MessageBoxW's result (IDOK, IDYES, ...; 0 on failure).
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                   UINT type = MB_OK);
