// Alarms seen at every tick interval: ticks land just after their boundaries,
// so a tick every 3 s or every minute meets a time window's start and end
// exactly, and its strict bounds would leave no tick inside.
#include <gtest/gtest.h>

#include <string>

#include "core/datetime.h"
#include "engine/tick_schedule.h"
#include "title_fixture.h"

namespace kestrova {
namespace {

using testing::TitleTest;

class AlarmIntervalTest : public TitleTest {
 protected:
  // A time-window alarm at 12:mm:ss for `length` seconds, with its popup.
  void Alarm(int minute, int second, int length) {
    AlarmEntry e;
    e.Title = "t";
    e.Type = 5;
    e.Hour = 12;
    e.Minute = minute;
    e.Second = second;
    e.Time = length;
    e.Message = "会議";
    e.Box = 1;
    settings.Alarms = {e};
    settings.AlarmCount = 1;
  }
  // The timer as Win32 runs it, on time, from 11:58:00.300 to 12:04:00;
  // answers how many ticks showed the message.
  int RunTimer(int interval) {
    const std::int64_t day = ToSeconds(DateTime{2026, 12, 9, 0, 0, 0}) * 1000;
    std::int64_t now = day + (11 * 3600 + 58 * 60) * 1000 + 300;
    TickSchedule schedule(interval);
    int period = schedule.FirstDelay(now);
    std::int64_t due = now + period;
    int withMessage = 0;
    while (due < day + (12 * 3600 + 4 * 60) * 1000) {
      now = due;
      clock.local = FromSeconds(now / 1000);
      const TimerStep step = schedule.Fired(now);
      if (step.delay > 0) period = step.delay;
      due = now + period;
      if (!step.tick) continue;
      Tick();
      if (windows.windows[1].title.find("会議") != std::string::npos) ++withMessage;
    }
    return withMessage;
  }
};

TEST_F(AlarmIntervalTest, EveryWindowOfAWholeSecondIsSeenOnceAtEveryInterval) {
  struct Window {
    int minute, second, length;
  };
  // On a boundary of every interval, on one of 3 s only, between them; two
  // seconds long (due for one), a minute, and over a minute.
  const Window windowsOf[] = {{0, 0, 2}, {0, 0, 60}, {0, 0, 61}, {1, 0, 3},
                              {0, 1, 2}, {0, 2, 2},  {0, 30, 60}, {2, 58, 4}};
  for (const int interval : {500, 1000, 2000, 3000, 4000, 60000, 1500, 65534}) {
    for (const Window& w : windowsOf) {
      Alarm(w.minute, w.second, w.length);
      popups.shown.clear();
      windows.foreground = 1;
      const int withMessage = RunTimer(interval);
      const std::string what = std::to_string(interval) + " ms, 12:0" + std::to_string(w.minute) + ":" +
                               std::to_string(w.second) + " for " + std::to_string(w.length) + " s";
      EXPECT_GE(withMessage, 1) << what;
      EXPECT_EQ(popups.shown.size(), 1u) << what;
      // Never longer than the window and the tick that reports it.
      EXPECT_LE(withMessage, (w.length * 1000 + interval) / interval + 1) << what;
    }
  }
}

// A window that was due while no tick looked (the settings window open) is not made up later.
TEST_F(AlarmIntervalTest, SecondsOfATickThatEvaluatedNothingAreNotMadeUp) {
  Alarm(0, 0, 2);  // due at 12:00:01 only
  windows.foreground = 1;
  clock.local = {2026, 12, 9, 12, 0, 0};
  Tick();
  settingsVisible = true;
  clock.local.second = 1;
  Tick();
  settingsVisible = false;
  clock.local.second = 2;
  Tick();
  EXPECT_TRUE(popups.shown.empty());
  EXPECT_EQ(windows.windows[1].title.find("会議"), std::string::npos);
}

}  // namespace
}  // namespace kestrova
