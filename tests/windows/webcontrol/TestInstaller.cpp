// A stand-in for the installer "Quorvanes.exe" in the update dialog's tests:
// downloaded and started by the dialog like the real one (no arguments). It
// reads what to do from "<its own path>.txt", lines of key=value:
//   record=<file>              "ran" is appended to it once per start
//   target=<folder>            where the programs are put
//   copy=<source>|<file name>  a program copied into the target folder
//   stay_ms=<n>                it lingers n ms before it ends
//   exit=<n>                   its exit code (0 when not given)
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::ifstream side((std::wstring(self) + L".txt").c_str());
  std::string record, target;
  std::vector<std::string> copies;
  DWORD stayMs = 0;
  DWORD exitCode = 0;
  std::string line;
  while (std::getline(side, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string key = line.substr(0, equals);
    std::string value = line.substr(equals + 1);
    if (key == "record") record = value;
    if (key == "target") target = value;
    if (key == "copy") copies.push_back(value);
    if (key == "stay_ms") stayMs = static_cast<DWORD>(std::stoul(value));
    if (key == "exit") exitCode = static_cast<DWORD>(std::stoul(value));
  }
  if (!record.empty()) std::ofstream(record.c_str(), std::ios::app) << "ran\n";
  CreateDirectoryA(target.c_str(), nullptr);
  for (const std::string& copy : copies) {
    std::size_t bar = copy.find('|');
    if (bar == std::string::npos) continue;
    CopyFileA(copy.substr(0, bar).c_str(), (target + "\\" + copy.substr(bar + 1)).c_str(), FALSE);
  }
  Sleep(stayMs);
  return static_cast<int>(exitCode);
}
