// The request blocks of the data connection: download_request::FormatBlock,
// DecimalText and FoldersToCreate.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "DownloadRequest.h"
#include "FuzzSupport.h"

namespace {

using download_request::kBlockSize;

// A block holds the text, then zeros to its end; a text that does not fit with
// its zero byte is refused and leaves nothing of it in the block.
void CheckBlock(const std::string& text) {
  char block[kBlockSize];
  std::memset(block, 0x5A, sizeof block);
  const bool formatted = download_request::FormatBlock(text, block);
  FUZZ_CHECK(formatted == (text.size() < static_cast<std::size_t>(kBlockSize)));
  const std::size_t kept = formatted ? text.size() : 0;
  FUZZ_CHECK(std::memcmp(block, text.data(), kept) == 0);
  for (std::size_t i = kept; i < sizeof block; ++i) FUZZ_CHECK(block[i] == 0);
}

// Decimal text: an optional "-", then digits without leading zeros, reading
// back to the same number; it always fits a block.
void CheckDecimal(std::int64_t value) {
  const std::string text = download_request::DecimalText(value);
  FUZZ_CHECK(!text.empty() && text.size() <= 20);
  const std::size_t digits = text[0] == '-' ? 1 : 0;
  FUZZ_CHECK(digits < text.size());
  for (std::size_t i = digits; i < text.size(); ++i) FUZZ_CHECK(text[i] >= '0' && text[i] <= '9');
  FUZZ_CHECK(text[digits] != '0' || text.size() == digits + 1);
  FUZZ_CHECK(fuzz_model::LeadingInteger(text) == value);
  CheckBlock(text);
}

std::string Cycled(const std::string& text, std::size_t length) {
  std::string cycled;
  if (text.empty()) return std::string(length, 'x');
  while (cycled.size() < length) cycled += text;
  cycled.resize(length);
  return cycled;
}

// The folders for `subfolder` below `base`: each starts with the base and a
// "\", continues the one before it, ends before a "\" character of the
// subfolder, and there are at most kMaxFolderLevels of them.
void CheckFolders(const std::string& base, const std::string& subfolder) {
  const std::vector<std::string> folders = download_request::FoldersToCreate(base, subfolder);
  FUZZ_CHECK(folders.size() <= static_cast<std::size_t>(download_request::kMaxFolderLevels));
  const std::vector<bool> starts = fuzz_model::Boundaries(subfolder);
  std::string previous = base;
  for (const std::string& folder : folders) {
    FUZZ_CHECK(folder.size() > previous.size() + 1);
    FUZZ_CHECK(folder.compare(0, previous.size() + 1, previous + "\\") == 0);
    const std::size_t end = folder.size() - base.size() - 1;  // length of the subfolder part
    FUZZ_CHECK(end < subfolder.size() && subfolder[end] == '\\' && starts[end]);
    FUZZ_CHECK(folder.compare(base.size() + 1, std::string::npos, subfolder, 0, end) == 0);
    previous = folder;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz_model::Text(data, size);
  CheckBlock(text);
  // Texts around the block size, whatever the input's length.
  CheckBlock(Cycled(text, kBlockSize - 3 + text.size() % 6));

  std::int64_t value = 0;
  if (size > 0) std::memcpy(&value, data, size < sizeof value ? size : sizeof value);
  CheckDecimal(value);
  CheckDecimal(fuzz_model::LeadingInteger(text));

  CheckFolders("C:\\save", text);
  CheckFolders("", text);
  return 0;
}
