#pragma once
// Window classes the dialog templates name.
#include <windows.h>

#include <string>

// Registers a copy of the standard dialog class "#32770" under `name` for this
// module, so a dialog template can name it (CLASS "Haulbox_downloader") and
// other programs can find the window by that class. Must run before the
// dialog is created. True when registered (or already registered by this module).
bool RegisterDialogClassCopy(const std::wstring& name);

// Registers an inert window class under `name`: a blank, white child that
// ignores its creation data. Dialog creation fails when a template contains a
// control whose class does not exist (e.g. an ActiveX host "AtlAxWin80" or
// "Shell.Explorer" that cannot be hosted yet); registering the name first lets
// such dialogs open with an empty placeholder in the control's place.
// Does nothing (returns true) when a class of that name already exists.
bool RegisterPlaceholderControlClass(const std::wstring& name);
