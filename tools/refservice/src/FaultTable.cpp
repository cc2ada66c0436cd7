#include "FaultTable.h"

FaultTable::FaultTable(std::vector<Fault> faults) {
  for (auto& f : faults) slots_.push_back(Slot{std::move(f)});
}

std::optional<Fault> FaultTable::Take(const std::string& on,
                                      const std::function<bool(const Fault&)>& matches) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& slot : slots_) {
    if (slot.fault.on != on || !matches(slot.fault)) continue;
    if (slot.fault.times >= 0 && slot.fired >= slot.fault.times) continue;
    if (slot.seen++ < slot.fault.skip) continue;
    ++slot.fired;
    return slot.fault;
  }
  return std::nullopt;
}

bool FaultTable::Has(const std::string& on, const std::string& action) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& slot : slots_)
    if (slot.fault.on == on && slot.fault.action == action) return true;
  return false;
}
