#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The request blocks of a data connection: 2048 bytes each, a text ended by a
// zero byte.
constexpr size_t kBlockSize = 2048;

// The text of a block, or nothing when it holds no terminating zero byte.
std::optional<std::string> BlockText(const char* block);
// A whole signed 64-bit decimal number, nothing else.
std::optional<int64_t> ParseInt64(const std::string& text);
