// System-information codes, world clock, countdown and the string table.
#include <gtest/gtest.h>

#include <string>

#include "format/format.h"
#include "fakes/fake_platform.h"
#include "resources/strings.h"
#include "settings/settings.h"

namespace kestrova {
namespace {

std::string Expand(std::string_view text) {
  testing::FakeSysInfoSources sources;
  bool cpuSampled = false;
  return ExpandFormat(text, cpuSampled, sources);
}

TEST(ExpandFormat, EveryCode) {
  struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"%1|%2|%3|%4|%5|%6", "mem1|mem2|mem3|mem4|mem5|mem6"},
      {"%7 %07", "42% 042%"},
      {"%8 %08", "1% 001%"},
      {"%9", "残量 : 80%"},
      {"%A %a", "01:02:03 01:02:03"},
      {"%B", "X:640 Y:480 "},
      {"%C%D%E%F%G%H", "net0net1net2net3net4net5"},
      {"%c%d%e%f%g%h", "net0net1net2net3net4net5"},
      {"%IC %JD %Kz %Lc", "diskC0 diskD1 diskZ2 diskC3"},
      {"%iA %ja", "diskA0 diskA1"},
      {"%%", "%"},
      {"100%%!", "100%!"},
      {"no codes", "no codes"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Expand(c.text), c.expected) << c.text;
}

TEST(ExpandFormat, StrayPercentSigns) {
  struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"end%", "end"}, {"%", ""},      {"%x%M%z", "xMz"},
      {"%あ%", "あ"},               // a whole character follows, not one byte of it
      {"%😀x", "😀x"},   {"%0", ""},  // "%0" names nothing: empty piece, two characters
      {"%0x", "x"},    {"%09", "9"},   {"%00%7", "042%"},
      {"%I", ""},      {"%I1", "1"},  // no drive letter: empty piece, the next character stays
      {"%I%%", "%"},   {"%Iあ", "あ"}, {"%Ｉc", "Ｉc"},  // only ASCII letters are codes
  };
  for (const auto& c : cases) EXPECT_EQ(Expand(c.text), c.expected) << c.text;
}

TEST(ExpandFormat, CpuCodesOfOneCompositionShareOneSample) {
  testing::FakeSysInfoSources sources;
  bool cpuSampled = false;
  EXPECT_EQ(ExpandFormat("%8 %08 %8", cpuSampled, sources), "1% 001% 1%");
  EXPECT_TRUE(cpuSampled);
  // A later piece of the same composition reuses it too.
  EXPECT_EQ(ExpandFormat("%8", cpuSampled, sources), "1%");
  EXPECT_EQ(sources.cpuSamples, 1);
  cpuSampled = false;  // next composition
  EXPECT_EQ(ExpandFormat("%8", cpuSampled, sources), "2%");
}

TEST(ExpandFormat, TheCodeListHasTwentyTwoWorkingCodes) {
  // Every code offered by the system-information page expands to something
  // other than itself.
  for (int r = 0; r < 22; ++r) {
    std::string code(ResString(700 + r));
    if (code.size() == 2 && code[1] >= 'I' && code[1] <= 'L') code += 'C';
    const std::string got = Expand(code);
    EXPECT_FALSE(got.empty()) << code;
    EXPECT_NE(got, code) << code;
  }
}

TEST(WorldClock, ZoneTable) {
  const int minutes[kWorldZoneCount] = {0,    0,    60,   60,   120,  120,  180,  180,  240, 300,  330,
                                        360,  420,  480,  480,  480,  540,  600,  660,  720, -600, -540,
                                        -480, -420, -360, -360, -300, -300, -240, -180, -180};
  for (int n = 0; n < kWorldZoneCount; ++n) {
    EXPECT_EQ(ZoneMinutes(n), minutes[n]) << n;
    EXPECT_DOUBLE_EQ(WorldZoneOffsetHours(n), minutes[n] / 60.0) << n;
    const std::string caption = ZoneCaption(n);
    EXPECT_EQ(ZoneListText(n, {}).substr(12), caption) << n;
    if (n > 0) {
      EXPECT_NE(caption, ZoneCaption(n - 1)) << n;
    }
  }
  EXPECT_EQ(WorldZoneOffsetHours(-1), 0);
  EXPECT_EQ(WorldZoneOffsetHours(31), 0);
  EXPECT_EQ(ZoneCaption(31), "");
  EXPECT_EQ(ZoneCaption(-1), "");
  EXPECT_EQ(ZoneCaption(0), "国際標準時(UTC)");
  EXPECT_EQ(ZoneCaption(10), "ニューデリー(DEL)");
  EXPECT_EQ(ZoneCaption(30), "ブエノスアイレス(BUE)");

  RegionalSettings regional;
  EXPECT_EQ(ZoneListText(10, regional), "(GMT+05:30):ニューデリー(DEL)");
  EXPECT_EQ(ZoneListText(0, regional), "(GMT 00:00):国際標準時(UTC)");
  EXPECT_EQ(ZoneListText(20, regional), "(GMT-10:00):ホノルル(HNL)");
  EXPECT_EQ(ZoneListText(30, regional), "(GMT-03:00):ブエノスアイレス(BUE)");
  EXPECT_EQ(ZoneListText(31, regional), "");
}

TEST(WorldClock, OffsetAndSummerTime) {
  const DateTime midnight{2026, 12, 8, 0, 0, 0};
  EXPECT_EQ(GetWorldTime(midnight, WorldZoneOffsetHours(10), 0), (DateTime{2026, 12, 8, 5, 30, 0}));
  EXPECT_EQ(GetWorldTime(midnight, WorldZoneOffsetHours(10), 1), (DateTime{2026, 12, 8, 6, 30, 0}));
  EXPECT_EQ(GetWorldTime(midnight, WorldZoneOffsetHours(20), 0), (DateTime{2026, 12, 7, 14, 0, 0}));
  EXPECT_EQ(GetWorldTime({2024, 12, 31, 23, 0, 0}, 9, 1), (DateTime{2025, 1, 1, 9, 0, 0}));

  testing::FakeClock clock;
  clock.utc = {2026, 12, 8, 0, 0, 45};
  Settings settings;
  settings.WorldTimeZone = 10;
  settings.WorldTimeDST = 1;
  settings.WorldTimeFormatText = "hh:nn:ss @";
  EXPECT_EQ(WorldClockText(settings, clock, {}), "06:30:45 @");
  settings.WorldTimeZone = 99;  // a hand-edited row outside the table reads as UTC
  settings.WorldTimeDST = 0;
  EXPECT_EQ(WorldClockText(settings, clock, {}), "00:00:45 @");
}

TEST(Countdown, TargetFromListPositions) {
  const DateTime now{2026, 4, 15, 10, 20, 30};
  EXPECT_EQ(CountdownTarget(now, 0, 0, 0, 0, 0, 0), now);
  EXPECT_EQ(CountdownTarget(now, 1, 12, 24, 1, 1, 1), (DateTime{2000, 12, 24, 0, 0, 0}));
  EXPECT_EQ(CountdownTarget(now, 1000, 0, 0, 24, 60, 60), (DateTime{2999, 4, 15, 23, 59, 59}));
  EXPECT_EQ(CountdownTarget(now, 0, 0, 31, 0, 0, 0),
            (DateTime{2026, 5, 1, 10, 20, 30}));  // April has 30 days
  EXPECT_EQ(CountdownTarget(now, 0, 2, 30, 0, 0, 0), (DateTime{2026, 3, 2, 10, 20, 30}));
  EXPECT_EQ(CountdownTarget(now, -3, -1, -1, -1, -1, -1), now);  // below the lists: current value
}

TEST(Countdown, Text) {
  const DateTime now{2026, 12, 8, 10, 0, 0};
  struct {
    DateTime target;
    const char* expected;
  } cases[] = {
      {{2026, 12, 9, 11, 0, 0}, "+1日1時間"},
      {{2026, 12, 8, 8, 0, 0}, "-2時間"},
      {{2026, 12, 8, 10, 0, 0}, "0"},
      {{2026, 12, 9, 9, 0, 0}, "+23時間"},
      {{2026, 12, 7, 11, 0, 0}, "-23時間"},
      {{2026, 12, 9, 10, 0, 0}, "+1日"},
      {{2026, 12, 7, 10, 0, 0}, "-1日"},
      {{2026, 12, 8, 10, 0, 1}, "+1秒"},
      {{2026, 12, 8, 9, 59, 59}, "-1秒"},
      {{2027, 1, 1, 0, 0, 0}, "+23日14時間"},
      {{2026, 12, 10, 9, 58, 57}, "+1日23時間58分57秒"},
      {{2025, 12, 8, 10, 1, 1}, "-364日23時間58分59秒"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatCountdown(now, c.target), c.expected) << c.expected;

  testing::FakeClock clock;
  clock.local = now;
  Settings settings;
  EXPECT_EQ(CountdownText(settings, clock), "0");
  settings.CountDownDay = 9;
  settings.CountDownHour = 12;  // 11:00
  EXPECT_EQ(CountdownText(settings, clock), "+1日1時間");
}

TEST(JapaneseEraEntry, ParsesTheHostsFormat) {
  JapaneseEra era;
  ASSERT_TRUE(ParseJapaneseEra("2019 05 01", "令和_令_Reiwa_R", era));
  EXPECT_EQ(era.year, 2019);
  EXPECT_EQ(era.month, 5);
  EXPECT_EQ(era.day, 1);
  EXPECT_EQ(era.name, "令和");
  EXPECT_EQ(era.kanji, "令");
  EXPECT_EQ(era.letter, "R");
  for (auto [name, value] : {std::pair{"2019 13 01", "令和_令_Reiwa_R"},
                             {"2019 05", "令和_令_Reiwa_R"},
                             {"2019 05 01x", "令和_令_Reiwa_R"},
                             {"2019 05 01", "令和_令_Reiwa"},
                             {"2019 05 01", "_令_Reiwa_R"},
                             {"", ""}}) {
    EXPECT_FALSE(ParseJapaneseEra(name, value, era)) << name << " " << value;
  }
  EXPECT_EQ(era.name, "令和");
}

TEST(StringTable, EveryNumberedRangeIsFilled) {
  struct {
    int first, last;
  } ranges[] = {{101, 138}, {201, 238}, {301, 312}, {401, 412}, {500, 506}, {600, 605},
                {610, 615}, {700, 721}, {750, 771}, {800, 830}, {900, 930}};
  for (const auto& r : ranges) {
    for (int id = r.first; id <= r.last; ++id) EXPECT_FALSE(ResString(id).empty()) << id;
    EXPECT_EQ(ResString(r.first - 1), "") << r.first - 1;
    EXPECT_EQ(ResString(r.last + 1), "") << r.last + 1;
  }
  EXPECT_EQ(ResString(0), "");
  EXPECT_EQ(ResString(-1), "");
  EXPECT_EQ(ResString(133), "t t t t t ");
  EXPECT_EQ(ResString(600), "表示しない");
  EXPECT_EQ(std::string(ResString(700)) + ":" + std::string(ResString(750)), "%1:総物理メモリ");
  EXPECT_EQ(ResString(810), "ニューデリー(DEL)");
  EXPECT_EQ(ResString(910), "+5.5");
}

TEST(StringTable, WeekdayNamesFromSundayOn) {
  // 1984-01-15 is a Sunday.
  const char* expected[] = {"日|日曜日", "月|月曜日", "火|火曜日", "水|水曜日",
                            "木|木曜日", "金|金曜日", "土|土曜日"};
  RegionalSettings regional;
  for (int d = 0; d < 7; ++d) {
    EXPECT_EQ(DateFormatter({1984, 1, 15 + d}, "aaa|aaaa", regional), expected[d]) << d;
    EXPECT_EQ(
        regional.abbrevDayNames[static_cast<size_t>(d)] + "|" + regional.dayNames[static_cast<size_t>(d)],
        expected[d])
        << "the regional defaults of a Japanese Windows, day " << d;
  }
  EXPECT_EQ(WeekdayName(-1), "");
  EXPECT_EQ(WeekdayName(7), "") << "string 507 is no weekday";
  EXPECT_EQ(WeekdayFullName(7), "");
}

}  // namespace
}  // namespace kestrova
