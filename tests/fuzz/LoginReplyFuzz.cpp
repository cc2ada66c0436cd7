// The transfer server's login reply: job_text::SplitLoginReply.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "JobText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply = fuzz_model::Text(data, size);
  const job_text::LoginReply login = job_text::SplitLoginReply(reply);
  // member|megabytes|plan|expiry: three fields up to the next "|" each, the
  // expiry read from the rest; numbers saturate at the 32-bit limits.
  const fuzz_model::BarSplit expected = fuzz_model::SplitAtBars(reply, 3);
  FUZZ_CHECK(login.memberId == expected.fields[0]);
  FUZZ_CHECK(login.megabytes == fuzz_model::Clamp32(fuzz_model::LeadingInteger(expected.fields[1])));
  FUZZ_CHECK(login.expiryStamp == fuzz_model::Clamp32(fuzz_model::LeadingInteger(expected.tail)));
  // An empty plan field means the regular members' plan.
  FUZZ_CHECK(login.planName == (expected.fields[2].empty() ? std::string("일반회원") : expected.fields[2]));
  fuzz_model::CheckRejoin(reply, {login.memberId, expected.fields[1], expected.fields[2]},
                          expected.separatorsTaken, expected.tail);
  return 0;
}
