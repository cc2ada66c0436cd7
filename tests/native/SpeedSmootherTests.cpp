#include <gtest/gtest.h>

#include "SpeedSmoother.h"

namespace {
// Feeds one tick with a non-zero received counter (so every tick after the
// first counts).
SpeedTickResult Feed(SpeedSmoother& meter, std::int64_t speed, std::int64_t left = 1000000) {
  return meter.Tick(speed, 1, left);
}
}  // namespace

TEST(SpeedSmoother, FirstTickOnlyRemembersReceived) {
  SpeedSmoother meter;
  SpeedTickResult first = meter.Tick(5000, 100, 1000);
  EXPECT_FALSE(first.shownSpeed);
  EXPECT_FALSE(first.remainingSeconds);
  EXPECT_EQ(0, meter.average());
}

TEST(SpeedSmoother, LabelRefreshedEveryStepUntilFirstAverageIsSet) {
  SpeedSmoother meter;
  Feed(meter, 1);                           // primes previous received
  SpeedTickResult step1 = Feed(meter, 1000);  // first average copies 0: still refreshing
  ASSERT_TRUE(step1.shownSpeed);
  EXPECT_EQ(1000, *step1.shownSpeed);
  ASSERT_TRUE(step1.remainingSeconds);      // tick count reset to 0, a multiple of 4
  EXPECT_EQ(1000, *step1.remainingSeconds);
  SpeedTickResult step2 = Feed(meter, 1000);  // first average now 1000
  EXPECT_FALSE(step2.shownSpeed);
  EXPECT_FALSE(step2.remainingSeconds);
}

TEST(SpeedSmoother, RiseShowsAtNextMultipleOfFour) {
  SpeedSmoother meter;
  Feed(meter, 1);
  Feed(meter, 1000);  // tick count back to 0
  for (int tick = 1; tick <= 3; ++tick) {
    SpeedTickResult r = Feed(meter, 2000 + tick);
    EXPECT_FALSE(r.shownSpeed) << "tick " << tick;
    EXPECT_EQ(2000 + tick, meter.average()) << "a rise is taken at once";
  }
  SpeedTickResult fourth = Feed(meter, 3000);
  ASSERT_TRUE(fourth.shownSpeed);
  EXPECT_EQ(3000, *fourth.shownSpeed);
  ASSERT_TRUE(fourth.remainingSeconds);
  EXPECT_EQ(1000000 / 3000, *fourth.remainingSeconds);
}

TEST(SpeedSmoother, FallAppliedOnlyAfterFiveSlowerTicksByAQuarterOfTheGap) {
  SpeedSmoother meter;
  Feed(meter, 1);
  Feed(meter, 8000);
  for (int tick = 1; tick <= 4; ++tick) {
    Feed(meter, 4000);
    EXPECT_EQ(8000, meter.average()) << "slow tick " << tick;
  }
  Feed(meter, 4000);
  EXPECT_EQ(((4000 + 8000) / 2 + 8000) / 2, meter.average());  // 7000
}

TEST(SpeedSmoother, FallShowsOnlyAtTwentyEighthTick) {
  SpeedSmoother meter;
  Feed(meter, 1);
  Feed(meter, 8000);  // tick count 0
  for (int tick = 1; tick < 28; ++tick) {
    SpeedTickResult r = Feed(meter, 1000);
    EXPECT_FALSE(r.shownSpeed) << "tick " << tick;
    EXPECT_EQ(tick % 4 == 0, r.remainingSeconds.has_value()) << "tick " << tick;
  }
  SpeedTickResult refresh = Feed(meter, 1000);
  ASSERT_TRUE(refresh.shownSpeed);
  EXPECT_LT(*refresh.shownSpeed, 8000);
  EXPECT_EQ(meter.average(), *refresh.shownSpeed);
}

TEST(SpeedSmoother, ZeroSpeedOrZeroReceivedChangesNothing) {
  SpeedSmoother meter;
  meter.Tick(1000, 0, 100);
  SpeedTickResult r = meter.Tick(1000, 0, 100);  // previous received 0
  EXPECT_FALSE(r.shownSpeed);
  EXPECT_EQ(0, meter.average());
  meter.Tick(0, 10, 100);
  r = meter.Tick(0, 20, 100);  // no speed yet
  EXPECT_FALSE(r.shownSpeed);
  EXPECT_EQ(0, meter.average());
}
