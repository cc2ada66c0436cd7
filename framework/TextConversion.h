#pragma once
// CP949 <-> UTF-16 at the OS boundary. Inside the programs every text is a
// CP949 byte string; W functions get UTF-16 converted with code page 949
// explicitly, never with the ANSI code page of the machine.
#include <string>

std::wstring Widen(const std::string& cp949);
std::string Narrow(const std::wstring& utf16);
