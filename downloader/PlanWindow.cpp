#include "PlanWindow.h"

#include <cstring>

namespace plan_window {

int PlanCodeFromName(const char* planName) {
  static const char* const kPlans[] = {"스페셜정액제", "오전정액제", "오후정액제", "심야정액제"};
  for (int i = 0; i < 4; ++i) {
    if (std::strcmp(planName, kPlans[i]) == 0) return i + 1;
  }
  return 0;
}

std::int64_t HourStamp(const LocalHour& now) {
  return ((static_cast<std::int64_t>(now.year) * 100 + now.month) * 100 + now.day) * 100 + now.hour;
}

const char* PlanRefusal(int planCode, std::int32_t expiryStamp, const LocalHour& now) {
  if (planCode == 0) return nullptr;
  if (expiryStamp < HourStamp(now)) return "정액 사용기간이 만료 되었습니다.\n충전후 이용하세요.";
  const int hour = now.hour;
  switch (planCode) {
    case 2:
      if (hour < 6 || hour > 16) return "오전정액(6시~16시)사용자입니다.\n사용가능 시간이 아닙니다.";
      break;
    case 3:
      if (hour < 13 || hour > 23) return "오후정액(13시~24시)사용자입니다.\n사용가능 시간이 아닙니다.";
      break;
    case 4:
      if (hour < 0 || hour > 5) return "심야정액(0시~5시)사용자입니다.\n사용가능 시간이 아닙니다.";
      break;
    default:
      break;
  }
  return nullptr;
}

}  // namespace plan_window
