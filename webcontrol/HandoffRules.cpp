#include "HandoffRules.h"

#include <cstdio>
#include <cstring>

#include "Handoff.h"

std::string HandoffText(const char* prefix, const HandoffFields& fields) {
  return std::string(prefix) + "|" + fields.first + "|" + fields.second + "|" + fields.third;
}

std::string FileVersionText(std::uint32_t mostSignificant, std::uint32_t leastSignificant) {
  char text[48];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>(mostSignificant >> 16),
                static_cast<int>(mostSignificant & 0xFFFF), static_cast<int>(leastSignificant >> 16),
                static_cast<int>(leastSignificant & 0xFFFF));
  return text;
}

bool IsOutOfDate(const std::optional<std::string>& installedVersion, const std::string& requiredVersion) {
  return !installedVersion || *installedVersion != requiredVersion;
}

std::string ReadyTextOf(const void* data, std::size_t size) {
  if (!data) return std::string();
  const char* bytes = static_cast<const char*>(data);
  const void* zero = std::memchr(bytes, 0, size);
  return std::string(bytes, zero ? static_cast<const char*>(zero) - bytes : size);
}

const TransferProgram* AnnouncedProgram(std::uintptr_t tag, const std::string& text) {
  for (const TransferProgram* program : {&kDownloaderProgram, &kUploaderProgram}) {
    if (tag == program->tag && text == program->readyText) return program;
  }
  return nullptr;
}
