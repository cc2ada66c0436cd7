#include "DownloadRequest.h"

#include <cstdio>
#include <cstring>

#include "Cp949Text.h"

namespace download_request {

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

ResumeDecision DecideResume(std::int64_t localSize, bool resumesStoppedEntry,
                            std::int32_t overwriteAnswer, std::int32_t rule) {
  ResumeDecision decision;
  decision.offset = localSize;
  if (resumesStoppedEntry) return decision;
  if (overwriteAnswer == 1) {
    decision.offset = 0;
  } else if (overwriteAnswer == 0) {
    if (rule == kOverwrite) {
      decision.offset = 0;
    } else if (rule == kAsk && localSize != 0) {
      decision.askUser = true;
    }
  }
  return decision;
}

std::vector<std::string> FoldersToCreate(const std::string& baseFolder, const std::string& subfolder) {
  std::vector<std::string> folders;
  std::string rest = subfolder;
  std::string built;
  for (int level = 0; level < kMaxFolderLevels; ++level) {
    std::size_t at = cp949::FindChar(rest, '\\');
    if (at == std::string::npos) break;  // no "\": the piece is empty
    std::string piece = rest.substr(0, at);
    rest.erase(0, at + 1);
    if (piece.empty()) break;
    built += "\\" + piece;
    folders.push_back(baseFolder + built);
    if (rest.empty() || rest == "\\") break;
  }
  return folders;
}

std::int64_t SampleSpeed(std::int64_t elapsedMicros, std::int64_t sampleBytes) {
  if (elapsedMicros <= 0) return 0;
  return (1000000000LL / elapsedMicros) * sampleBytes / 1000;
}

}  // namespace download_request
