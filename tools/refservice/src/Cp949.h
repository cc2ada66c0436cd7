#pragma once
#include <optional>
#include <string>

// Conversions between the config's UTF-8 and the CP949 bytes on the wire.
std::optional<std::string> Utf8ToCp949(const std::string& utf8);
// Converts CP949 bytes to UTF-8; bytes that are not CP949 become U+FFFD and
// clear *exact when given.
std::string Cp949ToUtf8(const std::string& cp949, bool* exact = nullptr);
