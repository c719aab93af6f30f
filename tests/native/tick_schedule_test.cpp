#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/tick_schedule.h"

namespace kestrova {
namespace {

constexpr std::int64_t kNoon = 1765195200000;  // 2025-12-08 12:00:00.000, local

TEST(TickScheduleTest, WholeSecondIntervalsAimJustAfterTheirBoundary) {
  constexpr int after = TickSchedule::kAfterBoundaryMs;
  struct Case {
    int interval;
    std::int64_t now;
    bool tick;
    int delay;
  };
  const Case cases[] = {
      {1000, kNoon + after, true, 1000},              // on time
      {1000, kNoon + 250, true, 750 + after},         // late: no drift carried on
      {1000, kNoon + 999, false, 1 + after},          // early: the ending second is not shown again
      {1000, kNoon - 30, false, 30 + after},          // early by up to kEarlyMs
      {1000, kNoon + 900, true, 100 + after},         // later than that still ticks
      {3000, kNoon + 1000, true, 2000 + after},       // 3 s: on multiples of 3 s
      {60000, kNoon + 30250, true, 29750 + after},    // 1 min: on the minute
      {7000, 7000LL * 252170743 + 1, true, 6999 + after},  // any multiple of 1000 ms
      {1000, -1500, true, 500 + after},               // a clock set before 1970
  };
  for (const Case& c : cases) {
    const TimerStep step = TickSchedule(c.interval).Fired(c.now);  // a timer set to some other wait
    EXPECT_EQ(step.tick, c.tick) << c.interval << " at " << c.now;
    EXPECT_EQ(step.delay, c.delay) << c.interval << " at " << c.now;
  }
  EXPECT_EQ(TickSchedule(1000).FirstDelay(kNoon + 400), 600 + after);
  EXPECT_EQ(TickSchedule(60000).FirstDelay(kNoon + 59000), 1000 + after);

  // A repeating timer that fires on time is left alone; one that slipped is set again.
  TickSchedule schedule(1000);
  EXPECT_EQ(schedule.FirstDelay(kNoon - 600), 600 + after);
  EXPECT_EQ(schedule.Fired(kNoon + after).delay, 1000);
  EXPECT_EQ(schedule.Fired(kNoon + 1000 + after + 1).delay, 0);
  EXPECT_EQ(schedule.Fired(kNoon + 2000 + after + 20).delay, 980);
  EXPECT_EQ(schedule.Fired(kNoon + 3000 + after).delay, 1000);
}

TEST(TickScheduleTest, OtherIntervalsRepeatAsTheyAre) {
  for (int interval : {2, 500, 1500, 65534}) {
    TickSchedule schedule(interval);
    EXPECT_FALSE(schedule.OnBoundaries());
    EXPECT_EQ(schedule.FirstDelay(kNoon + 123), interval);
    const TimerStep step = schedule.Fired(kNoon + 999);
    EXPECT_TRUE(step.tick);
    EXPECT_EQ(step.delay, 0) << "the repeating timer is left alone";
  }
}

// A timer that fires up to 20 ms late (and now and then 15 ms early) over ten
// minutes, with the clock set forward by 0.6 s in the middle: every second is
// shown once, in order, and each soon after it began.
TEST(TickScheduleTest, TimerThatFiresLateOrEarlyNeverSkipsOrRepeatsASecond) {
  TickSchedule schedule(1000);
  std::int64_t clockOffset = 0;
  std::int64_t elapsed = 0;  // the timer's own time, which a clock change does not move
  int period = schedule.FirstDelay(kNoon);
  std::int64_t due = period;
  std::vector<std::int64_t> shown;
  int lateTicks = 0;
  std::uint32_t noise = 12345;
  while (elapsed < 600000) {
    noise = noise * 1103515245u + 12345u;
    const int jitter = static_cast<int>(noise >> 16) % 36 - 15;  // -15 .. 20 ms
    elapsed = due + jitter;
    if (elapsed >= 300000 && clockOffset == 0) clockOffset = 600;
    const std::int64_t now = kNoon + elapsed + clockOffset;
    const TimerStep step = schedule.Fired(now);
    if (step.tick) {
      if (now % 1000 > 40) ++lateTicks;
      shown.push_back(now / 1000);
    }
    // A timer that repeats from when it fired, so that lateness adds up until it is set again.
    if (step.delay > 0) period = step.delay;
    due = elapsed + period;
  }
  int skipped = 0;
  int twice = 0;
  for (size_t i = 1; i < shown.size(); ++i) {
    if (shown[i] == shown[i - 1]) ++twice;
    if (shown[i] > shown[i - 1] + 1) ++skipped;
  }
  EXPECT_EQ(twice, 0);
  EXPECT_EQ(skipped, 0);
  EXPECT_GE(shown.size(), 599u);
  EXPECT_LE(lateTicks, 1) << "only the tick right after the clock change";
}

}  // namespace
}  // namespace kestrova
