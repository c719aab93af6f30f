#include "alarms/alarm_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "fakes/fake_platform.h"
#include "settings/settings.h"

namespace kestrova {
namespace {

using testing::FakeClock;

AlarmEntry Entry(std::int32_t type, std::string message, std::int32_t box = 0) {
  AlarmEntry e;
  e.Title = "t";
  e.Type = type;
  e.Message = std::move(message);
  e.Box = box;
  return e;
}

AlarmEntry Timed(std::int32_t type, int h, int m, int s, std::int32_t time) {
  AlarmEntry e = Entry(type, "m");
  e.Hour = h;
  e.Minute = m;
  e.Second = s;
  e.Time = time;
  return e;
}

AlarmEntry WithDate(AlarmEntry e, int month, int day, int week) {
  e.Month = month;
  e.Day = day;
  e.Week = week;
  return e;
}

struct DueCase {
  const char* what;
  AlarmEntry entry;
  DateTime now;
  bool due;
};

// 2026-12-06 is a Sunday, 12-07 a Monday, 12-08 a Tuesday.
TEST(IsAlarmDue, TypesAndBoundaries) {
  const AlarmEntry noon60 = Timed(5, 12, 0, 0, 60);
  const AlarmEntry lateNight = Timed(5, 23, 59, 0, 3600);
  const AlarmEntry monday9 = WithDate(Timed(9, 9, 0, 0, 3600), 1, 1, 1);
  const DueCase cases[] = {
      {"type 0 always", Entry(0, "m"), {2026, 3, 4, 0, 0, 0}, true},
      {"type 1 first second of December", WithDate(Entry(1, "m"), 12, 1, 1), {2026, 12, 1, 0, 0, 0}, true},
      {"type 1 last second of December", WithDate(Entry(1, "m"), 12, 1, 1), {2026, 12, 31, 23, 59, 59}, true},
      {"type 1 last second of November",
       WithDate(Entry(1, "m"), 12, 1, 1),
       {2026, 11, 30, 23, 59, 59},
       false},
      {"type 1 January", WithDate(Entry(1, "m"), 12, 1, 1), {2027, 1, 1, 0, 0, 0}, false},
      {"type 2 the day in any month", WithDate(Entry(2, "m"), 1, 5, 1), {2026, 7, 5, 12, 0, 0}, true},
      {"type 2 the day before", WithDate(Entry(2, "m"), 1, 5, 1), {2026, 7, 4, 23, 59, 59}, false},
      {"type 2 the day after", WithDate(Entry(2, "m"), 1, 5, 1), {2026, 7, 6, 0, 0, 0}, false},
      {"type 3 month and day", WithDate(Entry(3, "m"), 12, 24, 1), {2026, 12, 24, 8, 0, 0}, true},
      {"type 3 day in another month", WithDate(Entry(3, "m"), 12, 24, 1), {2026, 11, 24, 8, 0, 0}, false},
      {"type 3 another day", WithDate(Entry(3, "m"), 12, 24, 1), {2026, 12, 25, 8, 0, 0}, false},
      {"type 4 Week 0 is Sunday", WithDate(Entry(4, "m"), 1, 1, 0), {2026, 12, 6, 0, 0, 0}, true},
      {"type 4 Saturday night", WithDate(Entry(4, "m"), 1, 1, 0), {2026, 12, 5, 23, 59, 59}, false},
      {"type 4 Monday", WithDate(Entry(4, "m"), 1, 1, 0), {2026, 12, 7, 0, 0, 0}, false},
      {"type 5 second before start", noon60, {2026, 1, 1, 11, 59, 59}, false},
      {"type 5 at start", noon60, {2026, 1, 1, 12, 0, 0}, false},
      {"type 5 second after start", noon60, {2026, 1, 1, 12, 0, 1}, true},
      {"type 5 second before end", noon60, {2026, 1, 1, 12, 0, 59}, true},
      {"type 5 at end", noon60, {2026, 1, 1, 12, 1, 0}, false},
      {"type 5 second after end", noon60, {2026, 1, 1, 12, 1, 1}, false},
      {"Time 0 never", Timed(5, 12, 0, 0, 0), {2026, 1, 1, 12, 0, 0}, false},
      {"Time 1 never", Timed(5, 12, 0, 0, 1), {2026, 1, 1, 12, 0, 1}, false},
      {"Time 2 one second", Timed(5, 12, 0, 0, 2), {2026, 1, 1, 12, 0, 1}, true},
      {"negative Time never", Timed(5, 12, 0, 0, -60), {2026, 1, 1, 11, 59, 30}, false},
      {"midnight start is strict", Timed(5, 0, 0, 0, 60), {2026, 1, 1, 0, 0, 0}, false},
      {"midnight start, one second on", Timed(5, 0, 0, 0, 60), {2026, 1, 1, 0, 0, 1}, true},
      {"past midnight: after start", lateNight, {2026, 1, 1, 23, 59, 1}, true},
      {"past midnight: last second", lateNight, {2026, 1, 1, 23, 59, 59}, true},
      {"past midnight: no wrap at 0:00", lateNight, {2026, 1, 2, 0, 0, 0}, false},
      {"past midnight: no wrap after", lateNight, {2026, 1, 2, 0, 30, 0}, false},
      {"duration over a day: evening", Timed(5, 12, 0, 0, 90000), {2026, 1, 1, 23, 0, 0}, true},
      {"duration over a day: morning", Timed(5, 12, 0, 0, 90000), {2026, 1, 1, 6, 0, 0}, false},
      {"hour 25 never", Timed(5, 25, 0, 0, 3600), {2026, 1, 1, 1, 30, 0}, false},
      {"huge hour does not overflow", Timed(5, 2147483647, 0, 0, 2147483647), {2026, 1, 1, 12, 0, 0}, false},
      {"type 6 month and time", WithDate(Timed(6, 12, 0, 0, 60), 12, 1, 1), {2026, 12, 9, 12, 0, 30}, true},
      {"type 6 wrong month", WithDate(Timed(6, 12, 0, 0, 60), 12, 1, 1), {2026, 11, 9, 12, 0, 30}, false},
      {"type 6 outside time", WithDate(Timed(6, 12, 0, 0, 60), 12, 1, 1), {2026, 12, 9, 12, 1, 30}, false},
      {"type 7 day and time", WithDate(Timed(7, 12, 0, 0, 60), 1, 9, 1), {2026, 5, 9, 12, 0, 30}, true},
      {"type 7 wrong day", WithDate(Timed(7, 12, 0, 0, 60), 1, 9, 1), {2026, 5, 8, 12, 0, 30}, false},
      {"type 8 all three", WithDate(Timed(8, 18, 0, 0, 600), 12, 24, 1), {2026, 12, 24, 18, 5, 0}, true},
      {"type 8 wrong month", WithDate(Timed(8, 18, 0, 0, 600), 12, 24, 1), {2026, 11, 24, 18, 5, 0}, false},
      {"type 8 wrong day", WithDate(Timed(8, 18, 0, 0, 600), 12, 24, 1), {2026, 12, 23, 18, 5, 0}, false},
      {"type 8 outside time", WithDate(Timed(8, 18, 0, 0, 600), 12, 24, 1), {2026, 12, 24, 17, 5, 0}, false},
      {"type 9 Monday at start", monday9, {2026, 12, 7, 9, 0, 0}, false},
      {"type 9 Monday after start", monday9, {2026, 12, 7, 9, 0, 1}, true},
      {"type 9 Monday before end", monday9, {2026, 12, 7, 9, 59, 59}, true},
      {"type 9 Monday at end", monday9, {2026, 12, 7, 10, 0, 0}, false},
      {"type 9 Tuesday in window", monday9, {2026, 12, 8, 9, 30, 0}, false},
      {"type -1 never", Entry(-1, "m"), {2026, 1, 1, 12, 0, 0}, false},
      {"type 10 never", Entry(10, "m"), {2026, 1, 1, 12, 0, 0}, false},
      {"type 99 never", Entry(99, "m"), {2026, 1, 1, 12, 0, 0}, false},
  };
  for (const DueCase& c : cases) EXPECT_EQ(IsAlarmDue(c.entry, c.now), c.due) << c.what;
}

// Records every popup; `onShow` runs while the popup is "open", as ticks do
// behind a real modal popup.
class FakePopupHost : public AlarmPopupHost {
 public:
  struct Shown {
    int entry;
    std::string message;
  };
  std::vector<Shown> shown;
  std::function<void(int entry)> onShow;
  int depth = 0;
  int maxDepth = 0;

  void ShowAlarmPopup(int entry, const std::string& message) override {
    shown.push_back({entry, message});
    maxDepth = std::max(maxDepth, ++depth);
    if (onShow) onShow(entry);
    --depth;
  }
};

class AlarmCheckTest : public ::testing::Test {
 protected:
  void SetAlarms(AlarmList alarms) {
    settings.Alarms = std::move(alarms);
    settings.AlarmCount = static_cast<std::int32_t>(settings.Alarms.size());
  }
  // One tick of a decorated window with one clock piece.
  std::string Tick(const std::string& clockText = "[clock]") {
    checker.CheckAlarm("");
    return checker.CheckAlarm(clockText);
  }

  Settings settings;
  FakeClock clock;
  FakePopupHost host;
  AlarmChecker checker{settings, clock, host};
};

TEST_F(AlarmCheckTest, NoAlarmsLeaveTheClockWhateverThePosition) {
  for (int position : {0, 1, 2, 3, 7}) {
    settings.MessagePosition = position;
    EXPECT_EQ(Tick(), "[clock]") << position;
  }
  SetAlarms({Entry(-1, "never"), Entry(10, "never")});
  for (int position : {0, 1, 2, 3}) {
    settings.MessagePosition = position;
    EXPECT_EQ(Tick(), "[clock]") << position;
  }
}

TEST_F(AlarmCheckTest, MessagePositions) {
  SetAlarms({Entry(0, "会議")});
  const std::pair<int, const char*> cases[] = {
      {0, "[clock] 会議"}, {1, "会議 [clock]"}, {3, "会議"}, {7, "[clock]"}, {-1, "[clock]"}};
  for (auto [position, expected] : cases) {
    settings.MessagePosition = position;
    EXPECT_EQ(checker.CheckAlarm("[clock]"), expected) << position;
  }
}

TEST_F(AlarmCheckTest, FirstDueEntryWinsAndLaterEntriesAreNotEvaluated) {
  SetAlarms({Entry(-1, "never"), Entry(0, "first"), Entry(0, "second", 1)});
  EXPECT_EQ(Tick(), "[clock] first");
  EXPECT_TRUE(host.shown.empty()) << "entry 2's popup must wait while entry 1 is due";
  settings.Alarms[1].Type = -1;
  EXPECT_EQ(Tick(), "[clock] second");
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].entry, 2);
  EXPECT_EQ(host.shown[0].message, "second");
}

TEST_F(AlarmCheckTest, CountAndListLengthMayDisagree) {
  SetAlarms({Entry(-1, "a"), Entry(0, "b")});
  settings.AlarmCount = 5;  // more than the list holds
  EXPECT_EQ(Tick(), "[clock] b");
  EXPECT_FALSE(checker.CheckDate(4));
  settings.AlarmCount = 1;  // fewer: entry 1 is not part of the list
  EXPECT_EQ(Tick(), "[clock]");
  settings.AlarmCount = -3;
  EXPECT_EQ(Tick(), "[clock]");
  EXPECT_FALSE(checker.CheckDate(-1));
}

TEST_F(AlarmCheckTest, PopupOncePerDuePeriod) {
  SetAlarms({Timed(5, 12, 0, 0, 60)});
  settings.Alarms[0].Box = 1;
  settings.Alarms[0].Message = "昼";
  clock.local = {2026, 12, 8, 12, 0, 1};
  Tick();
  Tick();
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_TRUE(settings.Alarms[0].Shown);
  EXPECT_FALSE(checker.PopupOpen());

  clock.local = {2026, 12, 8, 12, 1, 0};  // the period ends: Shown is cleared
  Tick();
  EXPECT_FALSE(settings.Alarms[0].Shown);
  clock.local = {2026, 12, 9, 12, 0, 30};  // due again the next day
  Tick();
  EXPECT_EQ(host.shown.size(), 2u);
}

TEST_F(AlarmCheckTest, ShownIsClearedOnlyByAnEvaluationThatSeesTheEntryNotDue) {
  // Entry 1 keeps its Shown flag through a spell in which entry 0 wins, even
  // though entry 1 was not due for part of it: nobody looked.
  SetAlarms({Timed(5, 12, 0, 0, 3600), Timed(5, 12, 0, 0, 60)});
  settings.Alarms[1].Box = 1;
  clock.local = {2026, 12, 8, 12, 0, 1};
  settings.Alarms[0].Type = -1;
  Tick();
  ASSERT_EQ(host.shown.size(), 1u);
  settings.Alarms[0].Type = 5;  // entry 0 now wins every evaluation
  clock.local = {2026, 12, 8, 12, 5, 0};
  Tick();
  EXPECT_TRUE(settings.Alarms[1].Shown);
  settings.Alarms[1].Time = 3600;  // due again, but never seen not due
  settings.Alarms[0].Type = -1;
  Tick();
  EXPECT_EQ(host.shown.size(), 1u);
}

TEST_F(AlarmCheckTest, AlwaysDueEntryShowsItsPopupOnceAtTheFirstEvaluation) {
  SetAlarms({Entry(0, "m", 1)});
  checker.CheckAlarm("");
  ASSERT_EQ(host.shown.size(), 1u);
  for (int i = 0; i < 5; ++i) Tick();
  EXPECT_EQ(host.shown.size(), 1u);
}

TEST_F(AlarmCheckTest, TicksDuringThePopupOpenNoSecondPopup) {
  SetAlarms({Entry(0, "a", 1)});
  std::vector<std::string> titles;
  host.onShow = [&](int) {
    EXPECT_TRUE(checker.PopupOpen());
    for (int i = 0; i < 3; ++i) titles.push_back(Tick());
  };
  EXPECT_EQ(Tick(), "[clock] a");
  EXPECT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.maxDepth, 1);
  EXPECT_EQ(titles, std::vector<std::string>(3, "[clock] a"));
  EXPECT_FALSE(checker.PopupOpen());
}

TEST_F(AlarmCheckTest, HigherEntryDueDuringALowerPopupTakesOverThenGetsItsOwnPopup) {
  // Entry 0 becomes due at 12:00:01, entry 1 is due from 11:00:01.
  SetAlarms({Timed(5, 12, 0, 0, 600), Timed(5, 11, 0, 0, 7200)});
  settings.Alarms[0].Message = "high";
  settings.Alarms[0].Box = 1;
  settings.Alarms[1].Message = "low";
  settings.Alarms[1].Box = 1;
  clock.local = {2026, 12, 8, 11, 59, 58};
  std::vector<std::string> titles;
  host.onShow = [&](int entry) {
    if (entry != 1) return;
    for (int i = 0; i < 3; ++i) {  // ticks go on behind the popup
      clock.local = AddSeconds(clock.local, 1);
      titles.push_back(Tick());
    }
  };
  checker.CheckAlarm("");
  EXPECT_EQ(titles, (std::vector<std::string>{"[clock] low", "[clock] low", "[clock] high"}));
  ASSERT_EQ(host.shown.size(), 1u) << "no popup for entry 0 while entry 1's is open";
  EXPECT_TRUE(settings.Alarms[1].Shown);
  EXPECT_FALSE(settings.Alarms[0].Shown);

  EXPECT_EQ(Tick(), "[clock] high");  // first evaluation after the popup closed
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(host.shown[1].entry, 0);
  EXPECT_EQ(host.shown[1].message, "high");
}

TEST_F(AlarmCheckTest, ListReplacedWhileThePopupIsOpen) {
  SetAlarms({Entry(-1, "x"), Entry(0, "a", 1)});
  host.onShow = [&](int) {
    settings.Alarms.clear();  // the alarm editor's OK with every entry deleted
    settings.AlarmCount = 0;
  };
  EXPECT_EQ(Tick(), "[clock]");
  EXPECT_FALSE(checker.PopupOpen());

  SetAlarms({Entry(0, "a", 1), Entry(0, "b", 1)});
  host.onShow = [&](int) { SetAlarms({Entry(0, "new")}); };
  EXPECT_EQ(Tick(), "[clock] new");
  EXPECT_TRUE(settings.Alarms[0].Shown);
}

TEST_F(AlarmCheckTest, PopupThatCouldNotBeShownNeitherRepeatsNorBlocksTheNext) {
  // The Windows host returns at once when it cannot make its window.
  SetAlarms({Entry(0, "a", 1)});
  EXPECT_EQ(Tick(), "[clock] a");
  EXPECT_FALSE(checker.PopupOpen());
  EXPECT_TRUE(settings.Alarms[0].Shown);
  Tick();
  EXPECT_EQ(host.shown.size(), 1u) << "not tried again on every tick";
  SetAlarms({Entry(0, "b", 1), settings.Alarms[0]});
  Tick();
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(host.shown[1].message, "b");
}

// Titles over `ticks` ticks, as the title composition asks: once with the
// empty text, then once per clock piece.
std::vector<std::string> Titles(AlarmChecker& checker, int ticks, int clockPieces = 1) {
  std::vector<std::string> out;
  for (int t = 0; t < ticks; ++t) {
    checker.CheckAlarm("");
    std::string title;
    for (int p = 0; p < clockPieces; ++p) title += checker.CheckAlarm("[clock]");
    out.push_back(title);
  }
  return out;
}

TEST_F(AlarmCheckTest, AlternationShowsEachSideForChangeTimingTicks) {
  SetAlarms({Entry(0, "msg")});
  settings.MessagePosition = 2;
  const std::string m = " msg ";
  const std::string c = "[clock]";
  struct Case {
    int changeTiming;
    std::vector<std::string> titles;
  };
  const Case cases[] = {
      {1, {m, c, m, c, m, c}},
      {2, {c, m, m, c, c, m, m, c}},
      {3, {c, c, m, m, m, c, c, c, m, m, m, c}},
  };
  for (const Case& k : cases) {
    AlarmChecker fresh(settings, clock, host);
    settings.ChangeTiming = k.changeTiming;
    EXPECT_EQ(Titles(fresh, static_cast<int>(k.titles.size())), k.titles) << k.changeTiming;
  }
}

TEST_F(AlarmCheckTest, AlternationIsOneStepPerTickWhateverThePieces) {
  SetAlarms({Entry(0, "msg")});
  settings.MessagePosition = 2;
  settings.ChangeTiming = 2;
  // Two clock pieces in one title show the same side, and the rhythm stays two ticks.
  EXPECT_EQ(Titles(checker, 5, 2), (std::vector<std::string>{"[clock][clock]", " msg  msg ", " msg  msg ",
                                                             "[clock][clock]", "[clock][clock]"}));
  // A clock piece whose text happens to be empty does not count as a tick.
  AlarmChecker fresh(settings, clock, host);
  fresh.CheckAlarm("");
  fresh.CheckAlarm("", AlarmCall::kClockPiece);
  EXPECT_EQ(fresh.AlternateCount(), 1);
  EXPECT_FALSE(fresh.AlternateShowMessage());
}

TEST_F(AlarmCheckTest, AlternationCountsOnlyDueTicksAndSurvivesOddSettings) {
  SetAlarms({Entry(-1, "msg")});
  settings.MessagePosition = 2;
  settings.ChangeTiming = 3;
  Titles(checker, 4);
  EXPECT_EQ(checker.AlternateCount(), 0) << "ticks without a due entry do not count";
  settings.Alarms[0].Type = 0;
  Titles(checker, 2);
  EXPECT_EQ(checker.AlternateCount(), 2);

  // A hand-edited 0 or negative timing switches on every tick.
  for (int timing : {0, -5}) {
    AlarmChecker fresh(settings, clock, host);
    settings.ChangeTiming = timing;
    EXPECT_EQ(Titles(fresh, 3), (std::vector<std::string>{" msg ", "[clock]", " msg "})) << timing;
  }
}

}  // namespace
}  // namespace kestrova
