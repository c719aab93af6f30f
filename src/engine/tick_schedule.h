#pragma once
// When Timer1 fires next. An interval of whole seconds, or one that divides a
// second, ticks just after each boundary of its period on the local clock; the
// wait is worked out from the clock every time, so no drift builds up and a
// clock change is followed at the next tick. Other intervals repeat as they are.
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
  // Shorter divisors of a second show a new second within their own period
  // anyway, which is near the timer's granularity.
  static constexpr int kShortestAlignedMs = 100;

  explicit TickSchedule(int intervalMs = 1000) : interval_(intervalMs > 0 ? intervalMs : 1) {}

  int Interval() const { return interval_; }
  bool OnBoundaries() const {
    return interval_ % 1000 == 0 || (interval_ >= kShortestAlignedMs && 1000 % interval_ == 0);
  }
  // The first wait after the timer is (re)started at local time `nowMs`
  // (milliseconds since 1970-01-01 on the local clock). A period whose tick
  // has not run yet is aimed at, however little of it has gone.
  int FirstDelay(std::int64_t nowMs);
  // The timer fired at local time `nowMs`.
  TimerStep Fired(std::int64_t nowMs);
  // A tick ran outside the timer (a window event): its period has been shown.
  void Ticked(std::int64_t nowMs);
  // The clock was set, or the system resumed: the timer's overdue tick may
  // never come, so the tick runs at once and the timer aims at the next period.
  TimerStep Restarted(std::int64_t nowMs);

 private:
  std::int64_t Period(std::int64_t nowMs) const;
  int UntilBoundary(std::int64_t nowMs) const;
  int interval_;
  int armed_ = 0;  // the wait the timer was last set to
  bool shownAny_ = false;
  std::int64_t shown_ = 0;  // the period of the last tick
};

}  // namespace kestrova
