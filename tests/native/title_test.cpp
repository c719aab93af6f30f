#include <gtest/gtest.h>

#include "format/format.h"
#include "title_fixture.h"

namespace kestrova {
namespace {

using testing::ClockAt;
using testing::FakeClock;
using testing::FakeLocale;
using testing::FakeSysInfoSources;
using testing::FakeWindowSystem;
using testing::kClock;
using testing::kSettingsWindow;
using testing::TitleTest;

TEST_F(TitleTest, DecoratesRewritesAndGivesBackWhenAnotherWindowComesForward) {
  Front(1);
  EXPECT_EQ(windows.windows[1].title, std::string("Memo") + kClock);
  clock.local.second = 31;
  Front(1);
  EXPECT_EQ(windows.windows[1].title, "Memo <1984/01/17(Tue) 17:30:31>") << "own title kept across ticks";

  windows.writes.clear();
  Front(2);
  ASSERT_EQ(windows.writes.size(), 2u);
  EXPECT_EQ(windows.writes[0], std::make_pair(WindowHandle{1}, std::string("Memo"))) << "give back comes first";
  EXPECT_EQ(windows.writes[1].first, WindowHandle{2});
  EXPECT_EQ(windows.windows[1].title, "Memo");

  Front(1);
  EXPECT_EQ(windows.windows[2].title, "Browser");
  EXPECT_EQ(windows.windows[1].title, "Memo <1984/01/17(Tue) 17:30:31>");
}

TEST_F(TitleTest, WindowThatRetitlesItselfKeepsItsNewTitle) {
  Front(1);
  windows.windows[1].title = "Memo - page 2";
  Front(1);
  EXPECT_EQ(windows.windows[1].title, std::string("Memo - page 2") + kClock);
  Front(2);
  EXPECT_EQ(windows.windows[1].title, "Memo - page 2") << "the newer own title is given back";

  Front(1);
  windows.windows[1].title = "Changed while in front";
  tick.TogglePause();
  EXPECT_EQ(windows.windows[1].title, "Changed while in front");
  EXPECT_EQ(writer.Last().Handle, 0u);
}

TEST_F(TitleTest, ExcludedWindowStaysPlainAndTheFormerGetsItsTitleBack) {
  WindowRule rule;
  rule.Name = "ブラウザ除外";
  rule.WindowClass = "browserclass";
  settings.WindowRules = {rule};
  windows.windows[2].className = "BrowserClass";
  Front(1);
  Front(2);
  EXPECT_EQ(windows.windows[1].title, "Memo");
  EXPECT_EQ(windows.windows[2].title, "Browser");
  Front(2);
  EXPECT_EQ(windows.windows[2].title, "Browser") << "asked again on every tick";
  Front(1);
  EXPECT_EQ(windows.windows[1].title, std::string("Memo") + kClock);
}

TEST_F(TitleTest, WindowInFrontIsRewrittenInPlaceWithoutAskingTheRulesAgain) {
  WindowRule rule;
  rule.Name = "秘密";
  rule.WindowTitle = "secret";
  rule.InTitle = 1;
  settings.WindowRules = {rule};
  Front(1);
  windows.windows[1].title = "Memo secret";  // retitles itself while decorated
  windows.writes.clear();
  Front(1);
  EXPECT_EQ(windows.writes,
            (std::vector<std::pair<WindowHandle, std::string>>{{1, "Memo secret" + std::string(kClock)}}))
      << "one write, no give-back first";
}

TEST_F(TitleTest, AlarmsAreEvaluatedWhenPausedOrWithTheSettingsWindowInFrontOnly) {
  AlarmWithPopup("m");
  struct Case {
    const char* what;
    bool paused, settingsVisible;
    WindowHandle front;
    bool evaluated, previewed, written;
  } cases[] = {
      {"settings window in front", false, true, kSettingsWindow, true, true, false},
      {"settings window shown behind another", false, true, 2, false, false, false},
      {"paused", true, false, 2, true, false, false},
      {"resident", false, false, 2, true, false, true},
      {"no window in front", false, false, 0, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (tick.Paused() != c.paused) tick.TogglePause();
    settingsVisible = c.settingsVisible;
    settings.Alarms[0].Shown = false;
    popups.shown.clear();
    previews = 0;
    windows.writes.clear();
    Front(c.front);
    EXPECT_EQ(popups.shown.size(), c.evaluated ? 1u : 0u);
    EXPECT_EQ(previews, c.previewed ? 1 : 0);
    EXPECT_EQ(!windows.writes.empty(), c.written);
    tick.TogglePause();  // the window in front gets its title back
    tick.TogglePause();
  }
}

TEST_F(TitleTest, PiecesInOrderWithTitleLengthInCharacters) {
  struct Case {
    int left, middle, right, length;
    std::string own;
    std::string expected;
  } cases[] = {
      {1, 2, 0, -1, "Memo", std::string("Memo") + kClock},
      {2, 1, 0, -1, "Memo", std::string(kClock) + "Memo"},
      {1, 0, 0, 5, "abc", "abc"},
      {1, 0, 0, 5, "abcdefgh", "abcde"},
      {1, 0, 0, 2, "日本語", "日本"},
      {1, 0, 0, 1, "😀x", "😀"},
      {1, 0, 0, 0, "abc", ""},
      {1, 0, 0, -7, "abc", "abc"},
      {0, 0, 0, -1, "abc", ""},
      {9, 1, -1, -1, "abc", "abc"},
      {5, 5, 0, -1, "", "mem1 1%mem1 1%"},
  };
  settings.SysInfStr = "%1 %8";
  for (const auto& c : cases) {
    settings.LeftText = c.left;
    settings.MiddleText = c.middle;
    settings.RightText = c.right;
    settings.TitleLenght = c.length;
    sysinfo.cpuSamples = 0;
    EXPECT_EQ(writer.ComposeTitle(c.own), c.expected) << c.left << c.middle << c.right << " len " << c.length;
  }
}

TEST_F(TitleTest, WorldClockAndCountdownPiecesKeepTheirPlaces) {
  settings.WorldTimeZone = 5;
  settings.WorldTimeFormatText = "hh:mm";
  settings.CountDownYear = 2;
  const RegionalSettings regional = locale.Regional();
  const std::string world = WorldClockText(settings, clock, regional);
  const std::string countdown = CountdownText(settings, clock);
  ASSERT_NE(world, countdown);
  struct Case {
    int left, middle, right;
    std::string expected;
  } cases[] = {
      {3, 4, 0, world + countdown},
      {4, 1, 3, countdown + "Memo" + world},
      {0, 3, 4, world + countdown},
  };
  for (const auto& c : cases) {
    settings.LeftText = c.left;
    settings.MiddleText = c.middle;
    settings.RightText = c.right;
    Front(1);
    EXPECT_EQ(windows.windows[1].title, c.expected) << c.left << c.middle << c.right;
  }
}

TEST_F(TitleTest, EmptySelectorsWriteTheEmptyTitle) {
  settings.LeftText = settings.MiddleText = settings.RightText = 0;
  Front(1);
  EXPECT_EQ(windows.windows[1].title, "");
  Front(2);
  EXPECT_EQ(windows.windows[1].title, "Memo");
}

TEST_F(TitleTest, DueMessageJoinsEveryClockPieceOfTheTitle) {
  AlarmWithPopup("会議");
  settings.Alarms[0].Box = 0;
  settings.RightText = 2;
  Front(1);
  EXPECT_EQ(windows.windows[1].title, std::string("Memo") + kClock + " 会議" + kClock + " 会議");
}

TEST_F(TitleTest, AlternationStepsOncePerTickWhateverTheClockPieces) {
  AlarmWithPopup("msg");
  settings.Alarms[0].Box = 0;
  settings.MessagePosition = 2;
  settings.ChangeTiming = 1;
  settings.LeftText = 2;
  settings.MiddleText = 1;
  settings.RightText = 2;
  const std::string message = " msg Memo msg ";
  const std::string plain = std::string(kClock) + "Memo" + kClock;
  for (const std::string& expected : {message, plain, message}) {
    Front(1);
    EXPECT_EQ(windows.windows[1].title, expected);
  }
}

TEST_F(TitleTest, TitleIsReadAfterTheAlarmPopupHasClosed) {
  Front(1);
  AlarmWithPopup("m");
  settings.MessagePosition = 7;
  popups.onShow = [this](int) { windows.windows[1].title = "Memo - saved"; };  // set while the popup was up
  Front(1);
  ASSERT_EQ(popups.shown.size(), 1u);
  EXPECT_EQ(windows.windows[1].title, std::string("Memo - saved") + kClock);
  EXPECT_EQ(writer.Last().OwnTitle, "Memo - saved");
}

TEST_F(TitleTest, MdiChildIsTheTargetWhenAsked) {
  windows.Add(10, "Frame", "FrameClass");
  windows.Add(11, "", "MDIClient");
  windows.windows[11].parent = 10;
  windows.Add(12, "Child A");
  windows.Add(13, "Child B");
  windows.windows[11].mdiActive = 12;

  windows.foreground = 10;
  EXPECT_EQ(writer.GetTargetWindow(), 10u) << "MDIChild off";
  settings.MDIChild = 1;
  Front(10);
  EXPECT_EQ(windows.windows[12].title, std::string("Child A") + kClock);
  EXPECT_EQ(windows.windows[10].title, "Frame");

  windows.windows[11].mdiActive = 13;
  Front(10);
  EXPECT_EQ(windows.windows[12].title, "Child A");
  EXPECT_EQ(windows.windows[13].title, std::string("Child B") + kClock);

  windows.windows[11].hung = true;  // a client that does not answer leaves the frame as target
  EXPECT_EQ(writer.GetTargetWindow(), 10u);
}

TEST_F(TitleTest, HungWindowIsSkippedWithoutLosingItsOwnTitle) {
  Front(1);
  windows.windows[1].hung = true;
  clock.local.second = 40;
  Front(1);
  EXPECT_EQ(windows.windows[1].title, std::string("Memo") + kClock) << "nothing landed";
  EXPECT_EQ(writer.Last().OwnTitle, "Memo");
  windows.windows[1].hung = false;
  Front(1);
  EXPECT_EQ(windows.windows[1].title, "Memo <1984/01/17(Tue) 17:30:40>") << "no double decoration";

  windows.windows[2].hung = true;
  Front(2);
  EXPECT_EQ(windows.windows[1].title, "Memo");
  EXPECT_EQ(writer.Last().Handle, 0u) << "a hung new window is tried again next tick";
  windows.windows[2].hung = false;
  Front(2);
  EXPECT_EQ(windows.windows[2].title, "Browser <1984/01/17(Tue) 17:30:40>");
}

TEST_F(TitleTest, GiveBackToAHungWindowIsRetriedUntilItAnswers) {
  Front(1);
  windows.windows[1].hung = true;
  Front(2);
  EXPECT_EQ(windows.windows[1].title, std::string("Memo") + kClock) << "the hung window kept our text";
  ASSERT_EQ(writer.PendingGiveBacks().size(), 1u);
  Front(2);
  EXPECT_EQ(writer.PendingGiveBacks().size(), 1u) << "still hung";
  windows.windows[1].hung = false;
  Front(2);
  EXPECT_EQ(windows.windows[1].title, "Memo");
  EXPECT_TRUE(writer.PendingGiveBacks().empty());
}

TEST_F(TitleTest, PendingGiveBackEndsWhenTheWindowRetitlesOrReturns) {
  Front(1);
  windows.windows[1].hung = true;
  Front(2);
  windows.windows[1].title = "Memo - saved";  // it recovered and set a title of its own
  windows.windows[1].hung = false;
  Front(2);
  EXPECT_EQ(windows.windows[1].title, "Memo - saved");
  EXPECT_TRUE(writer.PendingGiveBacks().empty());

  Front(1);
  windows.windows[1].hung = true;
  Front(2);
  clock.local.second = 31;
  Front(1);  // back in front while still hung: nothing lands, the give-back stays pending
  EXPECT_EQ(writer.PendingGiveBacks().size(), 1u);
  windows.windows[1].hung = false;
  Front(1);
  EXPECT_EQ(windows.windows[1].title, "Memo - saved" + ClockAt(31)) << "decorated once, not twice";
  EXPECT_EQ(writer.Last().OwnTitle, "Memo - saved");
  EXPECT_TRUE(writer.PendingGiveBacks().empty());
}

// The real tick over a window system with a quirk.
template <class Windows>
struct TickOver {
  Windows windows;
  FakeClock clock;
  FakeLocale locale;
  FakeSysInfoSources sysinfo;
  Settings settings;
  testing::FakePopupHost popups;
  MainTick tick{windows, clock, locale, sysinfo, settings, popups};
  TitleWriter& writer = tick.titles();
};

// A window that keeps only the first characters of any title it is given.
class ShorteningWindows : public FakeWindowSystem {
 public:
  bool WriteTitle(WindowHandle w, std::string_view title) override {
    return FakeWindowSystem::WriteTitle(w, title.substr(0, 10));
  }
};

TEST(TitleWriterGuard, WindowThatShortensTitlesKeepsItsOwnTitle) {
  TickOver<ShorteningWindows> f;
  auto& windows = f.windows;
  auto& writer = f.writer;
  windows.Add(1, "Memo");
  writer.ChangeTitle(1);
  writer.ChangeTitle(1);
  EXPECT_EQ(writer.Last().OwnTitle, "Memo");
  writer.ChangeTitle(0);
  EXPECT_EQ(windows.windows[1].title, "Memo");
}

TEST(CutToCharacters, CountsCodePoints) {
  EXPECT_EQ(CutToCharacters("ａｂｃ", 2), "ａｂ");
  EXPECT_EQ(CutToCharacters("a😀b", 2), "a😀");
  EXPECT_EQ(CutToCharacters("ab", 5), "ab");
  EXPECT_EQ(CutToCharacters("ab", -1), "ab");
}

}  // namespace
}  // namespace kestrova

namespace kestrova {
namespace {

using testing::ClockAt;
using testing::TitleTest;

TEST_F(TitleTest, OnlyATitleThatChangedIsWritten) {
  settings.FormatText = " hh:mm";
  windows.Add(3, "Plain");
  const auto writesTo = [this](WindowHandle w) {
    return std::count_if(windows.writes.begin(), windows.writes.end(), [w](const auto& x) { return x.first == w; });
  };
  for (int second = 0; second < 60; ++second) {
    clock.local.second = second;
    Front(1);
  }
  EXPECT_EQ(writesTo(1), 1) << "a minute-only clock is written once a minute";
  clock.local.minute = 31;
  Front(1);
  EXPECT_EQ(windows.windows[1].title, "Memo 17:31");
  EXPECT_EQ(writesTo(1), 2);

  // A window that already shows what would be written becomes the target unwritten.
  settings.MiddleText = 0;
  Front(3);
  EXPECT_EQ(writesTo(3), 0);
  EXPECT_EQ(writer.Last().Handle, WindowHandle{3});
  EXPECT_EQ(windows.windows[1].title, "Memo") << "the former target still gets its title back";
}

TEST_F(TitleTest, TickOfAWindowEventLeavesTheAlternationAlone) {
  AlarmEntry e;
  e.Title = "t";
  e.Type = 0;
  e.Message = "msg";
  settings.Alarms = {e};
  settings.AlarmCount = 1;
  settings.MessagePosition = 2;
  settings.ChangeTiming = 1;
  std::vector<std::string> titles;
  const auto run = [&](TickCause cause) {
    ++clock.local.second;
    tick.Run({kSettingsWindow, false, nullptr}, cause);
    titles.push_back(windows.windows[1].title);
  };
  windows.foreground = 1;
  run(TickCause::kTimer);
  run(TickCause::kEvent);
  run(TickCause::kEvent);
  run(TickCause::kTimer);
  run(TickCause::kEvent);
  EXPECT_EQ(titles, (std::vector<std::string>{"Memo msg ", "Memo msg ", "Memo msg ", "Memo" + ClockAt(34),
                                              "Memo" + ClockAt(35)}));
}

}  // namespace
}  // namespace kestrova
