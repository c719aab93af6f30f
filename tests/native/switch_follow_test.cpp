#include <gtest/gtest.h>

#include "engine/switch_follow.h"
#include "fakes/fake_platform.h"

namespace kestrova {
namespace {

class SwitchFollowTest : public ::testing::Test {
 protected:
  SwitchFollowTest() { windows.foreground = 1; }
  // A switch with no event, and the timer ticks that follow it.
  void UnannouncedSwitch(WindowHandle to, int timerTicks) {
    windows.foreground = to;
    for (int i = 0; i < timerTicks; ++i) TimerTick();
  }
  void TimerTick() { follow.TickRan(true, windows.foreground); }
  void EventTick() {
    follow.EventTickRuns();
    follow.TickRan(false, windows.foreground);
  }
  testing::FakeWindowSystem windows;
  SwitchFollow follow{windows};
};

TEST_F(SwitchFollowTest, BurstOfEventsAsksForOneTick) {
  EXPECT_TRUE(follow.Event());
  EXPECT_FALSE(follow.Event());
  EXPECT_FALSE(follow.Event());
  EventTick();
  EXPECT_TRUE(follow.Event()) << "the next burst asks again";
  TimerTick();
  EXPECT_FALSE(follow.Event()) << "a timer tick does not stand for the tick an event asked for";
}

TEST_F(SwitchFollowTest, WatchesFromTheStartUntilTheFirstEventComes) {
  EXPECT_TRUE(follow.Watching()) << "the first switches after a start must not wait for the tick";
  windows.foreground = 2;
  EXPECT_TRUE(follow.Watched()) << "a switch before any tick";
  follow.EventTickRuns();
  follow.TickRan(false, windows.foreground);
  for (int i = 0; i < 5; ++i) TimerTick();
  EXPECT_TRUE(follow.Watching()) << "ticks alone do not show that events come";
  follow.Event();
  EXPECT_FALSE(follow.Watching());
}

TEST_F(SwitchFollowTest, WatchStartsAgainWhenSwitchesComeWithoutEvents) {
  follow.Event();
  EventTick();
  TimerTick();
  // An event on its way while the timer ticks: not yet held against the events.
  UnannouncedSwitch(2, 1);
  follow.Event();
  EventTick();
  TimerTick();
  EXPECT_FALSE(follow.Watching());
  // A switch that the next timer tick still finds unannounced.
  UnannouncedSwitch(3, 2);
  EXPECT_TRUE(follow.Watching());

  // The watch runs a tick once per change.
  EXPECT_FALSE(follow.Watched());
  windows.foreground = 1;
  EXPECT_TRUE(follow.Watched());
  EXPECT_FALSE(follow.Watched());
  // An event shows that they come after all.
  follow.Event();
  EXPECT_FALSE(follow.Watching());
}

TEST_F(SwitchFollowTest, NoWindowInFrontIsNoSwitch) {
  follow.Event();
  EventTick();
  TimerTick();
  UnannouncedSwitch(0, 2);
  UnannouncedSwitch(1, 2);
  EXPECT_FALSE(follow.Watching()) << "a desktop without a front window (a lock screen) is not a missed event";
}

}  // namespace
}  // namespace kestrova
