#include "DialogInitData.h"

namespace {

std::uint32_t ReadLittleEndian(const std::uint8_t* at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

}  // namespace

std::vector<std::uint8_t> FindDialogInitRecord(const std::uint8_t* data, std::size_t size, std::uint16_t itemId,
                                               std::uint16_t message) {
  constexpr std::size_t kHeader = 8;
  std::size_t at = 0;
  while (data && size - at >= 2) {
    const std::uint32_t id = ReadLittleEndian(data + at, 2);
    if (id == 0 || size - at < kHeader) break;
    const std::uint32_t recordMessage = ReadLittleEndian(data + at + 2, 2);
    const std::uint32_t length = ReadLittleEndian(data + at + 4, 4);
    at += kHeader;
    if (length > size - at) break;  // a record running past the data
    if (id == itemId && recordMessage == message) return std::vector<std::uint8_t>(data + at, data + at + length);
    at += length;
  }
  return {};
}
