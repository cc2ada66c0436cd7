#pragma once
// What the download worker decides without the OS: the request blocks of the
// data connection, the resume offset, the folders to create and the speed.
#include <cstdint>
#include <string>
#include <vector>

namespace download_request {

constexpr int kBlockSize = 2048;
constexpr int kMaxFolderLevels = 100;

// The text, its zero byte and zeros to the end of the block. False when the
// text and its zero byte do not fit: such a block is never sent cut short.
bool FormatBlock(const std::string& text, char (&block)[kBlockSize]);

// Decimal text of a signed 64-bit number.
std::string DecimalText(std::int64_t value);

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

// Bytes per second of a sample: (1e9 / elapsed) * bytes / 1000, in integers
// and in that order.
std::int64_t SampleSpeed(std::int64_t elapsedMicros, std::int64_t sampleBytes);

}  // namespace download_request
