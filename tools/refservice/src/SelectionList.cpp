#include "SelectionList.h"

#include "DataBlocks.h"

namespace {

constexpr size_t kMaxPath = 1024;

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Index of the first `separator` outside double-byte characters, or npos.
size_t FindSeparator(const std::string& text, size_t from, char separator) {
  for (size_t i = from; i < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      ++i;
    } else if (text[i] == separator) {
      return i;
    }
  }
  return std::string::npos;
}

// A folder result begins with the folder, "/", then the list. Windows paths
// hold no "/", so a "/" before the first "|" marks the folder.
size_t ListStart(const std::string& text) {
  size_t bar = FindSeparator(text, 0, '|');
  size_t slash = FindSeparator(text, 0, '/');
  if (slash != std::string::npos && (bar == std::string::npos || slash < bar)) return slash + 1;
  return 0;
}

}  // namespace

std::optional<UploadJob> UploadJobFromSelection(const std::string& text) {
  UploadJob job;
  size_t pos = ListStart(text);
  while (pos < text.size()) {
    size_t bar = FindSeparator(text, pos, '|');
    size_t end = bar == std::string::npos ? std::string::npos : FindSeparator(text, bar + 1, '?');
    if (end == std::string::npos) return std::nullopt;
    UploadItem item;
    item.path = text.substr(pos, bar - pos);
    auto size = ParseInt64(text.substr(bar + 1, end - bar - 1));
    // A list entry on the wire must fit one 2048-byte reply.
    if (item.path.empty() || item.path.size() > kMaxPath || !size || *size < 0) return std::nullopt;
    item.size = *size;
    item.name = LastPathPiece(item.path);
    item.file = item.name;
    job.items.push_back(item);
    pos = end + 1;
  }
  if (job.items.empty()) return std::nullopt;
  return job;
}
