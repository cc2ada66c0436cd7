#pragma once
// The texts the launcher window exchanges with the transfer programs, and
// the version comparison that decides whether a program must be installed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

struct TransferProgram;

// The three texts a page passes through unchanged, in argument order.
struct HandoffFields {
  std::string first;
  std::string second;
  std::string third;
};

// "<prefix>|first|second|third": nothing is escaped, a field holding "|" is
// sent as it is.
std::string HandoffText(const char* prefix, const HandoffFields& fields);

// "%d.%d.%d.%d" of the version resource's file version.
std::string FileVersionText(std::uint32_t mostSignificant, std::uint32_t leastSignificant);

// A program must be installed when it is missing (no version) or its version
// differs from the required one byte for byte: an empty required version, or
// one written with a leading zero, never matches.
bool IsOutOfDate(const std::optional<std::string>& installedVersion, const std::string& requiredVersion);

// The text of a ready message: the bytes before the first zero byte, read
// only within the `size` bytes the sender said it sent.
std::string ReadyTextOf(const void* data, std::size_t size);

// The program a ready message announces (tag and text both match, case
// included), or null.
const TransferProgram* AnnouncedProgram(std::uintptr_t tag, const std::string& text);
