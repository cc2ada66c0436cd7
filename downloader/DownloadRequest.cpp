#include "DownloadRequest.h"

#include "Cp949Text.h"

namespace download_request {

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

}  // namespace download_request
