#pragma once
// What both transfer programs put on a data connection without the OS: the
// fixed-size text blocks, decimal numbers and the speed of a sample.
#include <cstdint>
#include <string>

namespace data_text {

constexpr int kBlockSize = 2048;

// The text, its zero byte and zeros to the end of the block. False when the
// text and its zero byte do not fit: such a block is never sent cut short.
bool FormatBlock(const std::string& text, char (&block)[kBlockSize]);

// Decimal text of a signed 64-bit number.
std::string DecimalText(std::int64_t value);

// Bytes per second of a sample: (1e9 / elapsed) * bytes / 1000, in integers
// and in that order.
std::int64_t SampleSpeed(std::int64_t elapsedMicros, std::int64_t sampleBytes);

}  // namespace data_text
