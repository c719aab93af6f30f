// Writes that report a time-out but land later, give-backs that a hung window
// did not take, and windows that vanish in between: all through the real tick.
#include <gtest/gtest.h>

#include "title_fixture.h"

namespace kestrova {
namespace {

using testing::ClockAt;
using testing::kClock;
using testing::kSettingsWindow;
using testing::TitleTest;

class TitleLateTest : public TitleTest {
 protected:
  TitleLateTest() { windows.Add(3, "Chat"); }
};

TEST_F(TitleLateTest, WriteThatLandedLateInTheWindowInFrontIsStillRecognised) {
  Front(1);
  windows.windows[1].late = true;
  clock.local.second = 31;
  Front(1);
  windows.Land();
  windows.windows[1].late = false;
  clock.local.second = 32;
  Front(1);
  EXPECT_EQ(windows.windows[1].title, "Memo" + ClockAt(32)) << "no second clock";
  windows.windows[1].late = true;
  Front(1);
  windows.Land();
  windows.windows[1].late = false;
  tick.TogglePause();
  EXPECT_EQ(windows.windows[1].title, "Memo");
}

TEST_F(TitleLateTest, LateFirstWritesAreGivenBackOnceAnotherWindowIsInFront) {
  // Two windows in a row take their first title late; a third comes forward.
  windows.windows[1].late = windows.windows[2].late = true;
  Front(1);
  Front(2);
  windows.Land();
  windows.windows[1].late = windows.windows[2].late = false;
  EXPECT_EQ(windows.windows[2].title, std::string("Browser") + kClock);
  Front(3);
  EXPECT_EQ(windows.windows[1].title, "Memo");
  EXPECT_EQ(windows.windows[2].title, "Browser");
  EXPECT_EQ(windows.windows[3].title, std::string("Chat") + kClock);

  Front(1);
  EXPECT_EQ(windows.windows[1].title, std::string("Memo") + kClock) << "the clock once";
}

TEST_F(TitleLateTest, LateWriteIsGivenBackAtExit) {
  windows.windows[2].late = true;
  Front(2);
  windows.Land();
  windows.windows[2].late = false;
  tick.End();
  EXPECT_EQ(windows.windows[2].title, "Browser");
}

TEST_F(TitleLateTest, LateWriteDoesNotMakeAWindowFailItsOwnRule) {
  settings.AntiType = 1;  // allow-list mode, with a rule on the exact title
  WindowRule rule;
  rule.AntiType = true;
  rule.Name = "ブラウザ";
  rule.WindowTitle = "Browser";
  settings.WindowRules = {rule};
  windows.windows[2].late = true;
  Front(2);
  windows.Land();
  windows.windows[2].late = false;
  clock.local.second = 31;
  Front(2);
  EXPECT_EQ(windows.windows[2].title, "Browser" + ClockAt(31));
}

TEST_F(TitleLateTest, RecordsOfAWindowThatClosedAreDropped) {
  // Its composed title was empty, so a closed window reads the same as ours.
  settings.LeftText = settings.MiddleText = settings.RightText = 0;
  Front(1);
  windows.windows[1].hung = true;
  Front(2);
  ASSERT_EQ(writer.PendingGiveBacks().size(), 1u);
  windows.windows[2].title = "Browser";  // retitled itself, so the empty title is written again
  windows.windows[2].late = true;
  Front(2);
  ASSERT_EQ(writer.UnconfirmedWrites().size(), 1u);
  windows.windows[1].exists = windows.windows[2].exists = false;
  Front(3);
  EXPECT_TRUE(writer.PendingGiveBacks().empty());
  EXPECT_TRUE(writer.UnconfirmedWrites().empty());

  // Their handles come back for unrelated windows with empty titles.
  windows.windows[1] = {};
  windows.windows[2] = {};
  windows.Land();
  Front(3);
  tick.End();
  EXPECT_EQ(windows.windows[1].title, "");
  EXPECT_EQ(windows.windows[2].title, "");
}

TEST_F(TitleLateTest, GiveBackIsNotQueuedForAWindowThatIsGone) {
  settings.LeftText = settings.MiddleText = settings.RightText = 0;
  Front(1);
  windows.windows[1].exists = false;
  Front(2);
  EXPECT_TRUE(writer.PendingGiveBacks().empty());
  windows.windows[1] = {};
  Front(2);
  EXPECT_EQ(windows.windows[1].title, "");
}

TEST_F(TitleLateTest, PendingGiveBackIsRetriedWhateverTheTickThenDoes) {
  WindowRule excludeChat;
  excludeChat.Name = "チャット";
  excludeChat.WindowTitle = "Chat";
  struct Case {
    const char* what;
    bool paused, settingsVisible;
    WindowHandle front;
  } cases[] = {
      {"paused", true, false, 2},
      {"settings window in front", false, true, kSettingsWindow},
      {"settings window shown behind another", false, true, 2},
      {"excluded window in front", false, false, 3},
      {"no window in front", false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings.WindowRules.clear();
    settingsVisible = false;
    if (tick.Paused()) tick.TogglePause();
    windows.windows[1].hung = false;
    Front(1);
    windows.windows[1].hung = true;
    Front(2);
    ASSERT_EQ(writer.PendingGiveBacks().size(), 1u);

    settings.WindowRules = {excludeChat};
    settingsVisible = c.settingsVisible;
    if (c.paused) tick.TogglePause();
    windows.windows[1].hung = false;  // it recovers
    Front(c.front);
    EXPECT_EQ(windows.windows[1].title, "Memo");
    EXPECT_TRUE(writer.PendingGiveBacks().empty());
  }
}

}  // namespace
}  // namespace kestrova
