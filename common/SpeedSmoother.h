#pragma once
// Smoothing of the transfer speed shown by a main window, one step per
// progress tick while a worker runs. A rise shows at once; a fall is applied
// only after five slower ticks in a row, and then by a quarter of the gap.
// The label is refreshed at the next multiple of 4 ticks after a rise and
// unconditionally every 28 ticks.
#include <cstdint>
#include <optional>

struct SpeedTickResult {
  std::optional<std::int64_t> shownSpeed;        // new speed label value, bytes per second
  std::optional<std::int64_t> remainingSeconds;  // new remaining-time label value
};

class SpeedSmoother {
 public:
  // currentSpeed: the worker's latest figure; received: the current file's
  // byte counter; bytesLeft: all bytes of the list still to come.
  SpeedTickResult Tick(std::int64_t currentSpeed, std::int64_t received, std::int64_t bytesLeft);

  std::int64_t average() const { return average_; }

 private:
  void UpdateAverage(std::int64_t currentSpeed);

  std::int64_t average_ = 0;
  std::int64_t firstAverage_ = 0;
  int slowCount_ = 0;
  int tickCount_ = 0;
  std::int64_t previousReceived_ = 0;
};
