#include "PlanWindow.h"

#include <gtest/gtest.h>

#include <string>

using namespace plan_window;

namespace {
LocalHour At(int year, int month, int day, int hour) { return LocalHour{year, month, day, hour}; }
std::string Refusal(int plan, std::int32_t expiry, LocalHour now) {
  const char* text = PlanRefusal(plan, expiry, now);
  return text ? text : "";
}
}  // namespace

TEST(PlanCode, FromPlanName) {
  EXPECT_EQ(1, PlanCodeFromName("스페셜정액제"));
  EXPECT_EQ(2, PlanCodeFromName("오전정액제"));
  EXPECT_EQ(3, PlanCodeFromName("오후정액제"));
  EXPECT_EQ(4, PlanCodeFromName("심야정액제"));
  EXPECT_EQ(0, PlanCodeFromName("일반회원"));
  EXPECT_EQ(0, PlanCodeFromName("오전정액제 "));
}

TEST(PlanWindow, NoPlanIsNeverChecked) {
  EXPECT_EQ("", Refusal(0, 0, At(2030, 1, 1, 12)));
}

TEST(PlanWindow, ExpiryIsComparedToTheHour) {
  const std::int32_t expiry = 2024031505;
  EXPECT_EQ("", Refusal(1, expiry, At(2024, 3, 15, 5)));
  EXPECT_EQ("정액 사용기간이 만료 되었습니다.\n충전후 이용하세요.", Refusal(1, expiry, At(2024, 3, 15, 6)));
  EXPECT_EQ("", Refusal(1, expiry, At(2024, 2, 28, 23)));
  EXPECT_NE("", Refusal(1, expiry, At(2025, 1, 1, 0)));
}

TEST(PlanWindow, HoursOfEachPlan) {
  const std::int32_t future = 2099123123;
  struct Row { int plan; int firstHour; int lastHour; };
  for (Row row : {Row{2, 6, 16}, Row{3, 13, 23}, Row{4, 0, 5}, Row{1, 0, 23}}) {
    for (int hour = 0; hour < 24; ++hour) {
      bool allowed = hour >= row.firstHour && hour <= row.lastHour;
      EXPECT_EQ(allowed, Refusal(row.plan, future, At(2024, 6, 1, hour)).empty())
          << "plan " << row.plan << " hour " << hour;
    }
  }
  EXPECT_EQ("오전정액(6시~16시)사용자입니다.\n사용가능 시간이 아닙니다.", Refusal(2, future, At(2024, 6, 1, 17)));
}
