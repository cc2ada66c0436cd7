#pragma once
// What the download worker decides without the OS: the resume offset and the
// folders to create. The request blocks and the speed sample are the common
// data-connection helpers, named here too.
#include <cstdint>
#include <string>
#include <vector>

#include "DataConnectionText.h"

namespace download_request {

using data_text::kBlockSize;
using data_text::FormatBlock;
using data_text::DecimalText;
using data_text::SampleSpeed;
constexpr int kMaxFolderLevels = 100;

// Existing-file rule values (setting DOWN_File_over).
enum ExistingFileRule { kOverwrite = 1, kAsk = 2, kResume = 3 };

struct ResumeDecision {
  std::int64_t offset = 0;
  bool askUser = false;  // the window must ask about the existing file first
};

// The resume offset for a local file of `localSize` bytes. The entry the user
// stopped (`resumesStoppedEntry`) resumes without asking; else a given
// `overwriteAnswer` (1 overwrite, other non-zero resume) decides, and without
// one the existing-file rule.
ResumeDecision DecideResume(std::int64_t localSize, bool resumesStoppedEntry,
                            std::int32_t overwriteAnswer, std::int32_t rule);

// The folders of `subfolder` below `baseFolder`, outermost first:
// base + "\a", base + "\a\b", ... A last level not followed by "\" is not
// included, nor anything after an empty level; at most 100 levels.
std::vector<std::string> FoldersToCreate(const std::string& baseFolder, const std::string& subfolder);

}  // namespace download_request
