#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/tick_schedule.h"

namespace kestrova {
namespace {

constexpr std::int64_t kNoon = 1765195200000;  // 2025-12-08 12:00:00.000, local

// Expected waits are written out: the tick lands 4 ms after its boundary.
TEST(TickScheduleTest, AlignedIntervalsAimJustAfterTheirBoundary) {
  struct Case {
    int interval;
    std::int64_t now;
    bool tick;
    int delay;
  };
  const Case cases[] = {
      {1000, kNoon + 4, true, 1000},                 // on time
      {1000, kNoon + 250, true, 754},                // late: no drift carried on
      {1000, kNoon + 999, false, 5},                 // early: the ending second is not shown again
      {1000, kNoon - 30, false, 34},                 // early by up to 40 ms
      {1000, kNoon + 900, true, 104},                // later than that still ticks
      {3000, kNoon + 1000, true, 2004},              // 3 s: on multiples of 3 s
      {60000, kNoon + 30250, true, 29754},           // 1 min: on the minute
      {7000, 7000LL * 252170743 + 1, true, 7003},    // any multiple of 1000 ms
      {1000, -1500, true, 504},                      // a clock set before 1970
      {500, kNoon + 4, true, 500},                   // 0.5 s: on the second and the half
      {500, kNoon + 120, true, 384},
      {500, kNoon + 480, false, 24},                 // early for the half second
      {500, kNoon + 750, true, 254},
      {250, kNoon + 260, true, 244},                 // 0.25 s: on the quarters
      {250, kNoon + 740, false, 14},
      {100, kNoon + 1030, true, 74},                 // down to 0.1 s
      {100, kNoon + 1080, false, 24},                // early: a quarter of the period
  };
  for (const Case& c : cases) {
    TickSchedule schedule(c.interval);
    EXPECT_TRUE(schedule.OnBoundaries()) << c.interval;
    const TimerStep step = schedule.Fired(c.now);  // a timer set to some other wait
    EXPECT_EQ(step.tick, c.tick) << c.interval << " at " << c.now;
    EXPECT_EQ(step.delay, c.delay) << c.interval << " at " << c.now;
  }

  // A repeating timer that fires on time is left alone; one that slipped is set again.
  TickSchedule schedule(1000);
  schedule.Ticked(kNoon - 700);
  EXPECT_EQ(schedule.FirstDelay(kNoon - 600), 604);
  EXPECT_EQ(schedule.Fired(kNoon + 4).delay, 1000);
  EXPECT_EQ(schedule.Fired(kNoon + 1005).delay, 0);
  EXPECT_EQ(schedule.Fired(kNoon + 2024).delay, 980);
  EXPECT_EQ(schedule.Fired(kNoon + 3004).delay, 1000);
}

// A period whose tick has not run is aimed at, also in its first milliseconds;
// one already shown waits for the next boundary.
TEST(TickScheduleTest, FirstDelayAimsAtAPeriodNotYetShown) {
  struct Case {
    int interval;
    std::int64_t shownAt;  // a tick ran then; 0: none yet
    std::int64_t now;
    int delay;
  };
  const Case cases[] = {
      {1000, 0, kNoon + 1, 3},             // the second just begun is not skipped
      {1000, 0, kNoon, 4},
      {1000, 0, kNoon + 400, 1},           // well into it: at once
      {1000, kNoon - 500, kNoon + 2, 2},   // the last tick showed the second before
      {1000, kNoon + 4, kNoon + 400, 604}, // shown: the next second
      {1000, kNoon + 1, kNoon + 3, 1001},
      {60000, 0, kNoon + 59000, 1},
      {60000, kNoon + 4, kNoon + 59000, 1004},
      {500, kNoon + 510, kNoon + 700, 304},
      {500, kNoon + 10, kNoon + 501, 3},
  };
  for (const Case& c : cases) {
    TickSchedule schedule(c.interval);
    if (c.shownAt != 0) schedule.Ticked(c.shownAt);
    EXPECT_EQ(schedule.FirstDelay(c.now), c.delay) << c.interval << " shown " << c.shownAt << " now " << c.now;
  }
}

// After a clock change or a resume the tick runs at once and the timer aims
// at the next boundary: the title must not keep the time from before.
TEST(TickScheduleTest, RestartTicksAtOnceThenAimsAtTheNextPeriod) {
  struct Case {
    int interval;
    std::int64_t now;
    int delay;
  };
  const Case cases[] = {
      {60000, kNoon + 30500, 29504}, {60000, kNoon + 1, 60003}, {1000, kNoon + 300, 704},
      {3000, kNoon + 2999, 5},       {1500, kNoon + 300, 1500},
  };
  for (const Case& c : cases) {
    TickSchedule schedule(c.interval);
    schedule.FirstDelay(kNoon - 20000);
    const TimerStep step = schedule.Restarted(c.now);
    EXPECT_TRUE(step.tick) << c.interval << " at " << c.now;
    EXPECT_EQ(step.delay, c.delay) << c.interval << " at " << c.now;
  }
}

TEST(TickScheduleTest, OtherIntervalsRepeatAsTheyAre) {
  for (int interval : {2, 10, 50, 1500, 2500, 65534}) {
    TickSchedule schedule(interval);
    EXPECT_FALSE(schedule.OnBoundaries()) << interval;
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
