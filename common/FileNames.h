#pragma once
// What Windows makes of one component of a path (a file or folder name),
// whoever supplies it. Byte texts in CP949; none of the ASCII bytes looked at
// here is a CP949 trail byte, so a byte test finds only whole characters.
#include <string>

namespace file_names {

// True when opening the component opens a device instead of a file: "NUL",
// "con.txt", "COM1", "LPT1.bin", "aux", "CONOUT$". The device is named by the
// text before the first "." and before any trailing spaces, in any case.
bool IsDeviceName(const std::string& component);

// True for "", ".", "..", "...", " ", ". .": Windows strips trailing dots and
// spaces, so every such component means this folder or its parent.
bool IsOnlyDotsAndSpaces(const std::string& component);

// True when the component holds a character no Windows file or folder name
// may hold: < > " | ? * or a control character (below 0x20).
bool HoldsRefusedCharacter(const std::string& component);

}  // namespace file_names
