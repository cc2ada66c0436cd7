#include "DataConnectionText.h"

#include <cstdio>
#include <cstring>

namespace data_text {

bool FormatBlock(const std::string& text, char (&block)[kBlockSize]) {
  std::memset(block, 0, sizeof block);
  if (text.size() >= static_cast<std::size_t>(kBlockSize)) return false;
  std::memcpy(block, text.data(), text.size());
  return true;
}

std::string DecimalText(std::int64_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
  return text;
}

std::int64_t SampleSpeed(std::int64_t elapsedMicros, std::int64_t sampleBytes) {
  if (elapsedMicros <= 0) return 0;
  return (1000000000LL / elapsedMicros) * sampleBytes / 1000;
}

}  // namespace data_text
