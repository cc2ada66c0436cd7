#include "SpeedSmoother.h"

namespace {
const int kSlowTicksBeforeFall = 4;
const int kLabelStep = 4;
const int kLabelRefreshTicks = 28;
}  // namespace

void SpeedSmoother::UpdateAverage(std::int64_t currentSpeed) {
  if (currentSpeed < average_) {
    if (++slowCount_ > kSlowTicksBeforeFall) slowCount_ = 0;
  } else {
    slowCount_ = 0;
  }
  if (slowCount_ != 0) return;
  if (average_ == 0 || currentSpeed > average_) {
    average_ = currentSpeed;
  } else {
    average_ = ((currentSpeed + average_) / 2 + average_) / 2;
  }
}

SpeedTickResult SpeedSmoother::Tick(std::int64_t currentSpeed, std::int64_t received,
                                    std::int64_t bytesLeft) {
  SpeedTickResult result;
  if (previousReceived_ != 0 && currentSpeed > 0) {
    if (firstAverage_ == 0) firstAverage_ = average_;
    std::int64_t oldAverage = average_;
    UpdateAverage(currentSpeed);
    ++tickCount_;
    if (tickCount_ % kLabelStep == 0 && oldAverage < currentSpeed) result.shownSpeed = average_;
    if (tickCount_ == kLabelRefreshTicks || firstAverage_ == 0) {
      result.shownSpeed = average_;
      tickCount_ = 0;
    }
    if (tickCount_ % kLabelStep == 0) {
      std::int64_t divisor = average_ != 0 ? average_ : currentSpeed;
      if (divisor != 0) result.remainingSeconds = bytesLeft / divisor;
    }
  }
  previousReceived_ = received;
  return result;
}
