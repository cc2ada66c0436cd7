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
  if (base.size() < 4 || (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0)) return false;
  const std::string number = base.substr(3);
  if (number.size() == 1) return number[0] >= '0' && number[0] <= '9';
  // Windows also reserves the superscript digits: "COM¹", "LPT³" (CP949 A9F6 to A9F8).
  return number == "\xA9\xF6" || number == "\xA9\xF7" || number == "\xA9\xF8";
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
