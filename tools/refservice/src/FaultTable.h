#pragma once
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "Config.h"

// The configured faults with their counters. The first fault of the right
// place whose filters match and whose skip/times allow it fires.
class FaultTable {
 public:
  explicit FaultTable(std::vector<Fault> faults);
  std::optional<Fault> Take(const std::string& on, const std::function<bool(const Fault&)>& matches);
  bool Has(const std::string& on, const std::string& action) const;

 private:
  struct Slot {
    Fault fault;
    int64_t seen = 0;
    int64_t fired = 0;
  };
  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
};
