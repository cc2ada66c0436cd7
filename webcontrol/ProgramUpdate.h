#pragma once
// The step that installs or updates the transfer programs when the
// launcher finds one missing or out of date.
#include <windows.h>

#include <functional>
#include <string>

// Runs the installation modally over `owner`; 0 when the programs are now in
// place, anything else when it failed or was abandoned.
using ProgramUpdateStep =
    std::function<int(HWND owner, const std::string& uploaderVersion, const std::string& downloaderVersion)>;

// The control's own installation step.
int RunProgramUpdate(HWND owner, const std::string& uploaderVersion, const std::string& downloaderVersion);
