// The hand-off text from the web control and its file codes:
// job_text::SplitHandoff, CountFileCodes and TakeNextFileCode.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "Handoff.h"
#include "JobText.h"

namespace {

using fuzz_model::Boundaries;
using fuzz_model::HasNoSeparator;

void CheckHandoff(const std::string& text) {
  const job_text::Handoff handoff = job_text::SplitHandoff(text);
  const std::string tagAndBar = std::string(kDownloaderHandoffTag) + "|";
  FUZZ_CHECK(handoff.tagMatches == (text.compare(0, tagAndBar.size(), tagAndBar) == 0));
  if (!handoff.tagMatches) {
    FUZZ_CHECK(handoff.fileCodes.empty() && handoff.memberId.empty() && handoff.serverNumber.empty());
    return;
  }
  // After the tag: codes and member end at the next "|" each; the server
  // number keeps the rest, further "|" included.
  const std::string rest = text.substr(tagAndBar.size());
  const fuzz_model::BarSplit expected = fuzz_model::SplitAtBars(rest, 2);
  FUZZ_CHECK(handoff.fileCodes == expected.fields[0]);
  FUZZ_CHECK(handoff.memberId == expected.fields[1]);
  FUZZ_CHECK(handoff.serverNumber == expected.tail);
  fuzz_model::CheckRejoin(rest, {handoff.fileCodes, handoff.memberId}, expected.separatorsTaken,
                          handoff.serverNumber);
}

// Takes every code as the job does until no "?" is left: each code is the
// text before the next "?" character, and the codes with their "?" and the
// remainder rejoin to the text. The count is the number of non-empty codes,
// with a non-empty remainder counted as one more.
void CheckCodes(const std::string& codes) {
  const int count = job_text::CountFileCodes(codes);
  const std::vector<bool> starts = Boundaries(codes);
  std::string remaining = codes;
  std::string taken;  // the codes with their "?", in order
  std::vector<std::string> nonEmpty;
  for (;;) {
    const std::size_t before = remaining.size();
    const std::string code = job_text::TakeNextFileCode(remaining);
    if (remaining.size() == before) {  // no "?" left: nothing taken
      FUZZ_CHECK(code.empty());
      break;
    }
    FUZZ_CHECK(remaining.size() + code.size() + 1 == before);
    FUZZ_CHECK(HasNoSeparator(code, '?'));
    taken += code;
    FUZZ_CHECK(codes[taken.size()] == '?' && starts[taken.size()]);
    taken += '?';
    FUZZ_CHECK(starts[taken.size()]);
    if (!code.empty()) nonEmpty.push_back(code);
  }
  FUZZ_CHECK(taken + remaining == codes);
  FUZZ_CHECK(HasNoSeparator(remaining, '?'));
  const int expected = static_cast<int>(nonEmpty.size()) + (remaining.empty() ? 0 : 1);
  FUZZ_CHECK(count == expected);

  // The job's loop asks for at most `count` codes and stops at the first
  // empty one: what it asks for is a prefix of the codes taken above.
  std::string jobCodes = codes;
  std::size_t asked = 0;
  for (int i = 0; i < count; ++i) {
    const std::string code = job_text::TakeNextFileCode(jobCodes);
    if (code.empty()) break;
    FUZZ_CHECK(asked < nonEmpty.size() && code == nonEmpty[asked]);
    ++asked;
  }
  FUZZ_CHECK(asked <= static_cast<std::size_t>(count));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz_model::Text(data, size);
  CheckHandoff(text);
  CheckCodes(job_text::SplitHandoff(text).fileCodes);
  CheckCodes(text);
  return 0;
}
