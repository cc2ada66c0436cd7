#pragma once
// A dialog template's initialisation data (resource type 240): records of
// 16-bit item id, 16-bit message, 32-bit length and that many bytes, all
// little-endian, ended by an item id of 0. An OLE control's persisted state
// is the record of its item with message 0x0376.
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::uint16_t kLoadFromStreamRecord = 0x0376;

// The bytes of the first record of `itemId` and `message`; empty when there
// is none before the end, or when the data breaks off before it.
std::vector<std::uint8_t> FindDialogInitRecord(const std::uint8_t* data, std::size_t size, std::uint16_t itemId,
                                               std::uint16_t message);
