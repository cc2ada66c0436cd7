#include "FileNames.h"

namespace file_names {

bool IsDeviceName(const std::string& component) {
  std::string base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* device : kDevices) {
    if (base == device) return true;
  }
  const bool numbered = base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0);
  return numbered && base[3] >= '0' && base[3] <= '9';
}

bool IsOnlyDotsAndSpaces(const std::string& component) {
  for (char c : component) {
    if (c != '.' && c != ' ') return false;
  }
  return true;
}

bool HoldsRefusedCharacter(const std::string& component) {
  for (char c : component) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
    if (c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*') return true;
  }
  return false;
}

}  // namespace file_names
