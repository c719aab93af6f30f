// The alarm popup's message loop runs ticks and tray commands while the title
// update that opened it is still on the stack.
#include <gtest/gtest.h>

#include <functional>

#include "title_fixture.h"

namespace kestrova {
namespace {

using testing::ClockAt;

class TitleNestedLoopTest : public testing::TitleTest {
 protected:
  TitleNestedLoopTest() {
    windows.Add(3, "Kestrova-メッセージアラーム");
    // Due from 17:30:31; the message leaves the clock as it is.
    AlarmWithPopup("m");
    settings.Alarms[0].Type = 5;
    settings.Alarms[0].Hour = 17;
    settings.Alarms[0].Minute = 30;
    settings.Alarms[0].Second = 30;
    settings.Alarms[0].Time = 600;
    settings.MessagePosition = 7;
    popups.onShow = [this](int) {
      if (auto loop = std::move(popupLoop)) loop();
    };
  }

  // The popup opens at the next tick, from the title update's own alarm
  // evaluation, or from its clock piece (the alarm falls due in between).
  void OpenPopupAtNextTick(bool fromPiece, std::function<void()> loop) {
    settings.Alarms[0].Shown = false;
    clock.local.second = fromPiece ? 30 : 31;
    int readings = 0;
    clock.onLocalNow = [this, fromPiece, readings]() mutable {
      if (fromPiece && ++readings == 2) clock.local.second = 31;
    };
    popupLoop = std::move(loop);
  }

  std::function<void()> popupLoop;
};

TEST_F(TitleNestedLoopTest, WindowDecoratedWhilePopupWasOpenIsNotLeftWithOurText) {
  for (const bool fromPiece : {false, true}) {
    SCOPED_TRACE(fromPiece ? "opened by the clock piece" : "opened by the title update's own evaluation");
    tick.TogglePause();
    tick.TogglePause();
    windows.windows[1].title = "Memo";
    windows.windows[2].title = "Browser";
    windows.foreground = 1;
    OpenPopupAtNextTick(fromPiece, [&] {
      // The user turns to the browser while the popup is open.
      windows.foreground = 2;
      Tick();
      Tick();
    });
    Tick();  // Memo is in front when the popup opens
    ASSERT_EQ(popups.shown.size(), fromPiece ? 2u : 1u);
    EXPECT_EQ(writer.Last().Handle, WindowHandle{2});
    EXPECT_EQ(windows.windows[2].title, "Browser" + ClockAt(31));
    EXPECT_EQ(windows.windows[1].title, "Memo");

    Tick();
    EXPECT_EQ(windows.windows[2].title, "Browser" + ClockAt(31)) << "not decorated twice";
    windows.foreground = 1;
    Tick();
    EXPECT_EQ(windows.windows[2].title, "Browser") << "its own title back";
    EXPECT_EQ(windows.windows[1].title, "Memo" + ClockAt(31));
  }
}

TEST_F(TitleNestedLoopTest, PauseOrExitChosenWhilePopupIsOpenLeavesThePlainTitle) {
  // Exit comes last: nothing runs after it.
  const std::pair<bool, bool> cases[] = {{false, false}, {true, false}, {false, true}};
  for (const auto& [fromPiece, exit] : cases) {
    SCOPED_TRACE(std::string(fromPiece ? "clock piece, " : "own evaluation, ") + (exit ? "exit" : "pause"));
    if (tick.Paused()) tick.TogglePause();
    windows.windows[1].title = "Memo";
    windows.foreground = 1;
    Tick();
    ASSERT_EQ(writer.Last().Handle, WindowHandle{1});
    // The pause item or 終了, from the tray menu.
    OpenPopupAtNextTick(fromPiece, [&, exit = exit] { exit ? tick.End() : tick.TogglePause(); });
    Tick();
    EXPECT_EQ(windows.windows[1].title, "Memo");
    EXPECT_EQ(writer.Last().Handle, WindowHandle{0});
    windows.writes.clear();
    Tick();
    EXPECT_TRUE(windows.writes.empty()) << "paused or ended: nothing is written";
  }
}

TEST_F(TitleNestedLoopTest, PopupInFrontThenClosedLeavesTheFormerWindowDecoratedOnce) {
  windows.foreground = 1;
  OpenPopupAtNextTick(false, [&] {
    windows.foreground = 3;  // the popup takes the front and is decorated like any window
    Tick();
    windows.foreground = 1;
    windows.windows.erase(3);
  });
  Tick();
  Tick();
  EXPECT_EQ(windows.windows[1].title, "Memo" + ClockAt(31));
  windows.foreground = 2;
  Tick();
  EXPECT_EQ(windows.windows[1].title, "Memo");
}

}  // namespace
}  // namespace kestrova
