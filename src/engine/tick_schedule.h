#pragma once
// When Timer1 fires next. A whole-second interval ticks just after each
// boundary of its period on the local clock; the wait is worked out from the
// clock every time, so no drift builds up and a clock change is followed at
// the next tick. Other intervals repeat as they are.
#include <cstdint>

namespace kestrova {

// What to do when the timer fires.
struct TimerStep {
  bool tick = true;
  // Milliseconds until the timer is to fire next (it repeats at that period
  // until set again); 0 leaves it as it is.
  int delay = 0;
};

class TickSchedule {
 public:
  // How long after a boundary the tick is aimed at: the timer must not fire
  // while the clock still shows the previous second.
  static constexpr int kAfterBoundaryMs = 4;
  // A timer firing this close before a boundary fired early: the tick waits
  // for the boundary instead of showing the second that is about to end.
  static constexpr int kEarlyMs = 40;
  // A timer already set to within this much of the wait wanted is left as it
  // is: it repeats on time, and setting it anew costs a call on every tick.
  static constexpr int kSlackMs = 2;

  explicit TickSchedule(int intervalMs = 1000) : interval_(intervalMs > 0 ? intervalMs : 1) {}

  int Interval() const { return interval_; }
  bool OnBoundaries() const { return interval_ % 1000 == 0; }
  // The first wait after the timer is (re)started at local time `nowMs`
  // (milliseconds since 1970-01-01 on the local clock).
  int FirstDelay(std::int64_t nowMs);
  // The timer fired at local time `nowMs`.
  TimerStep Fired(std::int64_t nowMs);

 private:
  int UntilBoundary(std::int64_t nowMs) const;
  int interval_;
  int armed_ = 0;  // the period the timer was last set to
};

}  // namespace kestrova
