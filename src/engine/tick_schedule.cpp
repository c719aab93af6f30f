#include "engine/tick_schedule.h"

namespace kestrova {

int TickSchedule::UntilBoundary(std::int64_t nowMs) const {
  // Floor modulo: times before 1970 (a badly set clock) still land on boundaries.
  std::int64_t phase = nowMs % interval_;
  if (phase < 0) phase += interval_;
  return static_cast<int>(interval_ - phase);
}

int TickSchedule::FirstDelay(std::int64_t nowMs) const {
  if (!OnBoundaries()) return interval_;
  return UntilBoundary(nowMs) + kAfterBoundaryMs;
}

TimerStep TickSchedule::Fired(std::int64_t nowMs) const {
  if (!OnBoundaries()) return {true, 0};
  const int left = UntilBoundary(nowMs);
  // Just before a boundary: woke early, or so late that the second is ending.
  // Either way the tick belongs to the boundary ahead.
  if (left <= kEarlyMs) return {false, left + kAfterBoundaryMs};
  return {true, left + kAfterBoundaryMs};
}

}  // namespace kestrova
