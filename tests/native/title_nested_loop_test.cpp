// The alarm popup's message loop runs ticks while the title composition that
// opened it is still on the stack.
#include <gtest/gtest.h>

#include <functional>

#include "title_fixture.h"

namespace kestrova {
namespace {

using testing::kClock;

class TitleNestedLoopTest : public testing::TitleTest {
 protected:
  TitleNestedLoopTest() {
    windows.Add(3, "Kestrova-メッセージアラーム");
    // Runs once, as a popup's message loop would, from the first evaluation of
    // the chosen kind: the composition's own or the clock piece's.
    onAlarmCheck = [this](bool piece) {
      if (piece != popupFromPiece) return;
      if (auto loop = std::move(popupLoop)) loop();
    };
  }

  std::function<void()> popupLoop;
  bool popupFromPiece = false;
};

TEST_F(TitleNestedLoopTest, WindowDecoratedWhilePopupWasOpenIsNotLeftWithOurText) {
  for (const bool fromPiece : {false, true}) {
    SCOPED_TRACE(fromPiece ? "opened by the clock piece" : "opened by the composition's own evaluation");
    writer.ChangeTitle(0);
    windows.windows[1].title = "Memo";
    windows.windows[2].title = "Browser";
    windows.foreground = 1;
    popupFromPiece = fromPiece;
    popupLoop = [&] {
      // The user turns to the browser while the popup is open.
      windows.foreground = 2;
      Tick();
      Tick();
    };
    Tick();  // Memo is in front when the popup opens
    EXPECT_EQ(writer.Last().Handle, WindowHandle{2});
    EXPECT_EQ(windows.windows[2].title, std::string("Browser") + kClock);
    EXPECT_EQ(windows.windows[1].title, "Memo");

    Tick();
    EXPECT_EQ(windows.windows[2].title, std::string("Browser") + kClock) << "not decorated twice";
    windows.foreground = 1;
    Tick();
    EXPECT_EQ(windows.windows[2].title, "Browser") << "its own title back";
    EXPECT_EQ(windows.windows[1].title, std::string("Memo") + kClock);
  }
}

TEST_F(TitleNestedLoopTest, PauseOrExitChosenWhilePopupIsOpenLeavesThePlainTitle) {
  for (const bool fromPiece : {false, true}) {
    SCOPED_TRACE(fromPiece ? "opened by the clock piece" : "opened by the composition's own evaluation");
    windows.windows[1].title = "Memo";
    windows.foreground = 1;
    Tick();
    popupFromPiece = fromPiece;
    popupLoop = [&] { writer.ChangeTitle(0); };  // the pause item or 終了, from the tray menu
    Tick();
    EXPECT_EQ(windows.windows[1].title, "Memo");
    EXPECT_EQ(writer.Last().Handle, WindowHandle{0});
  }
}

TEST_F(TitleNestedLoopTest, PopupInFrontThenClosedLeavesTheFormerWindowDecoratedOnce) {
  windows.foreground = 1;
  popupLoop = [&] {
    windows.foreground = 3;  // the popup takes the front and is decorated like any window
    Tick();
    windows.foreground = 1;
    windows.windows.erase(3);
  };
  Tick();
  Tick();
  EXPECT_EQ(windows.windows[1].title, std::string("Memo") + kClock);
  windows.foreground = 2;
  Tick();
  EXPECT_EQ(windows.windows[1].title, "Memo");
}

}  // namespace
}  // namespace kestrova
