#include "DataBlocks.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

std::optional<std::string> BlockText(const char* block) {
  const void* end = memchr(block, '\0', kBlockSize);
  if (!end) return std::nullopt;
  return std::string(block, static_cast<const char*>(end));
}

std::optional<int64_t> ParseInt64(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  long long value = strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || end == text.c_str()) return std::nullopt;
  return static_cast<int64_t>(value);
}
