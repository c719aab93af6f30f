#include "engine/tick_schedule.h"

#include <algorithm>

namespace kestrova {

std::int64_t TickSchedule::Period(std::int64_t nowMs) const {
  // Floor division: times before 1970 (a badly set clock) still land on boundaries.
  std::int64_t period = nowMs / interval_;
  if (nowMs % interval_ < 0) --period;
  return period;
}

int TickSchedule::UntilBoundary(std::int64_t nowMs) const {
  return static_cast<int>((Period(nowMs) + 1) * interval_ - nowMs);
}

int TickSchedule::FirstDelay(std::int64_t nowMs) {
  if (!OnBoundaries()) return armed_ = interval_;
  const int left = UntilBoundary(nowMs);
  if (shownAny_ && shown_ == Period(nowMs)) return armed_ = left + kAfterBoundaryMs;
  // Not shown yet: its tick is due just after its boundary, or at once.
  const int gone = interval_ - left;
  return armed_ = std::max(1, kAfterBoundaryMs - gone);
}

void TickSchedule::Ticked(std::int64_t nowMs) {
  shownAny_ = true;
  shown_ = Period(nowMs);
}

TimerStep TickSchedule::Fired(std::int64_t nowMs) {
  if (!OnBoundaries()) return {true, 0};
  const int left = UntilBoundary(nowMs);
  const int wanted = left + kAfterBoundaryMs;
  // Just before a boundary: woke early, or so late that the period is ending.
  // Either way the tick belongs to the boundary ahead.
  const bool tick = left > std::min(kEarlyMs, interval_ / 4);
  if (tick) Ticked(nowMs);
  if (armed_ - kSlackMs <= wanted && wanted <= armed_ + kSlackMs) return {tick, 0};
  armed_ = wanted;
  return {tick, wanted};
}

TimerStep TickSchedule::Restarted(std::int64_t nowMs) {
  Ticked(nowMs);
  return {true, FirstDelay(nowMs)};
}

}  // namespace kestrova
