#pragma once
// The member's flat-rate plan: its code from the plan name and whether the
// plan may be used at a given local hour. No OS calls; the clock is passed in.
#include <cstdint>

namespace plan_window {

struct LocalHour {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;
  int hour = 0;   // 0-23
};

// 1 special (all hours), 2 morning, 3 afternoon, 4 late night, 0 anything else.
int PlanCodeFromName(const char* planName);

// YYYYMMDDHH of the hour, the form of the login reply's expiry stamp.
std::int64_t HourStamp(const LocalHour& now);

// The refusal message for this plan at this hour, or nullptr when the member
// may download. Plan code 0 is never checked.
const char* PlanRefusal(int planCode, std::int32_t expiryStamp, const LocalHour& now);

}  // namespace plan_window
