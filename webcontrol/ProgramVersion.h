#pragma once
// The installed transfer programs: where they live and which version they are.
#include <optional>
#include <string>

// "%ProgramFiles%\Quorvanes", expanded.
std::wstring InstallFolder();

// The file version of the program at `path` as "%d.%d.%d.%d", or nothing
// when the file cannot be opened for reading or has no readable version.
std::optional<std::string> InstalledVersion(const std::wstring& path);
