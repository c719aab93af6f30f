#include "engine/tick_schedule.h"

namespace kestrova {

int TickSchedule::UntilBoundary(std::int64_t nowMs) const {
  // Floor modulo: times before 1970 (a badly set clock) still land on boundaries.
  std::int64_t phase = nowMs % interval_;
  if (phase < 0) phase += interval_;
  return static_cast<int>(interval_ - phase);
}

int TickSchedule::FirstDelay(std::int64_t nowMs) {
  armed_ = OnBoundaries() ? UntilBoundary(nowMs) + kAfterBoundaryMs : interval_;
  return armed_;
}

TimerStep TickSchedule::Fired(std::int64_t nowMs) {
  if (!OnBoundaries()) return {true, 0};
  const int left = UntilBoundary(nowMs);
  const int wanted = left + kAfterBoundaryMs;
  // Just before a boundary: woke early, or so late that the second is ending.
  // Either way the tick belongs to the boundary ahead.
  const bool tick = left > kEarlyMs;
  if (armed_ - kSlackMs <= wanted && wanted <= armed_ + kSlackMs) return {tick, 0};
  armed_ = wanted;
  return {tick, wanted};
}

}  // namespace kestrova
