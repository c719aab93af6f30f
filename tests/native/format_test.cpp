// The date/time pattern language of the clock and world-clock pieces.
#include "format/format.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_platform.h"
#include "resources/strings.h"
#include "settings/settings.h"

namespace kestrova {
namespace {

const DateTime kTuesday{1984, 1, 17, 17, 30, 30};
const DateTime kSunday{1984, 1, 15, 17, 30, 30};

struct Case {
  const char* pattern;
  const char* expected;
};

void ExpectAll(const DateTime& value, std::initializer_list<Case> cases,
               const RegionalSettings& regional = {}) {
  for (const Case& c : cases) {
    EXPECT_EQ(DateFormatter(value, c.pattern, regional), c.expected) << "pattern \"" << c.pattern << "\"";
  }
}

TEST(EscapeFormatText, PrefixesTheFifteenCharacters) {
  EXPECT_EQ(EscapeFormatText("\\!\"#$%&'=~^@{[<"), "\\\\\\!\\\"\\#\\$\\%\\&\\'\\=\\~\\^\\@\\{\\[\\<");
  EXPECT_EQ(EscapeFormatText(" <yyyy/mm/dd(ddd) hh:mm:ss>"), " \\<yyyy/mm/dd(ddd) hh:mm:ss>");
  EXPECT_EQ(EscapeFormatText(">:/}]|*?+-_()"), ">:/}]|*?+-_()");
  EXPECT_EQ(EscapeFormatText("日付#"), "日付\\#");
  EXPECT_EQ(EscapeFormatText(""), "");
}

TEST(DateFormatter, DefaultPatternAsTheClockShowsIt) {
  testing::FakeClock clock;
  clock.local = kTuesday;
  Settings settings;
  EXPECT_EQ(ClockText(settings, clock, RegionalSettings{}), " <1984/01/17(Tue) 17:30:30>");
}

TEST(DateFormatter, EveryElementOfTheDialog) {
  // Elements are strings 101-138; expected values at Tuesday 1984-01-17 17:30:30.
  const char* expected[38] = {":",
                              "/",
                              "1984/01/17 17:30:30",
                              "17",
                              "17",
                              "Tue",
                              "火",
                              "Tuesday",
                              "火曜日",
                              "1984/01/17",
                              "1984年1月17日",
                              "3",
                              "3",
                              "1",
                              "01",
                              "Jan",
                              "January",
                              "1",
                              "S",
                              "昭",
                              "昭和",
                              "59",
                              "59",
                              "17",
                              "84",
                              "1984",
                              "17",
                              "17",
                              "30",
                              "30",
                              "30",
                              "30",
                              "17:30:30 ",
                              "PM",
                              "pm",
                              "P",
                              "p",
                              "午後"};
  for (int r = 0; r < 38; ++r) {
    const std::string element(ResString(101 + r));
    EXPECT_EQ(DateFormatter(kTuesday, element, {}), expected[r]) << "element \"" << element << "\"";
  }
}

TEST(DateFormatter, PresetsGiveTheirOwnExamples) {
  // Strings 401-412 end, after their CR LF, in the text preset 301-312 gives.
  for (int r = 0; r < 12; ++r) {
    const std::string example(ResString(401 + r));
    const size_t lineBreak = example.find("\r\n");
    ASSERT_NE(lineBreak, std::string::npos) << 401 + r;
    const DateTime& value = (r >= 4 && r <= 7) ? kSunday : kTuesday;
    EXPECT_EQ(DateFormatter(value, ResString(301 + r), {}), example.substr(lineBreak + 2)) << 301 + r;
  }
}

TEST(DateFormatter, LongestTokenWinsAndRunsSplit) {
  ExpectAll(kTuesday, {{"ddddddd", "1984年1月17日17"},
                       {"yyy", "8417"},
                       {"yyyyy", "198417"},
                       {"mmmmm", "January1"},
                       {"hhh", "1717"},
                       {"eee", "5959"},
                       {"gggg", "昭和S"},
                       {"www", "33"},
                       {"aa", "aa"},
                       {"aaaaa", "火曜日a"},
                       {"tttt", "tttt"},
                       {"tttttt", "17:30:30t"}});
}

TEST(DateFormatter, LettersMatchInEitherCase) {
  ExpectAll(kTuesday, {{"YYYY/MM/DD", "1984/01/17"},
                       {"HH:NN:SS", "17:30:30"},
                       {"HH:MM", "17:30"},
                       {"DDD AAA", "Tue 火"},
                       {"Q W WW", "1 3 3"},
                       {"GGG EE", "昭和 59"}});
}

TEST(DateFormatter, MonthTokenAfterHourIsMinute) {
  ExpectAll(kTuesday, {{"hh:mm", "17:30"},
                       {"h時m分", "17時30分"},
                       {"hmm", "1730"},
                       {"mm/hh", "01/17"},
                       {"hh mm mm", "17 30 01"},
                       {"hh:nn mm", "17:30 01"},
                       {"hh mmm", "17 Jan"},
                       {"hh\\xmm", "17x30"},
                       {"hh dd mm", "17 17 01"}});
}

TEST(DateFormatter, TwelveHourClock) {
  struct {
    DateTime value;
    const char* pattern;
    const char* expected;
  } cases[] = {
      {kTuesday, "h AM/PM", "5 PM"},
      {kTuesday, "am/pm hh:nn", "pm 05:30"},
      {kTuesday, "A/P h", "P 5"},
      {kTuesday, "a/p h", "p 5"},
      {kTuesday, "AMPM h時", "午後 5時"},
      {kTuesday, "ampm h", "午後 5"},
      {kTuesday, "Am/pm h", "PM 5"},
      {{1984, 1, 17, 0, 5, 0}, "h:nn AM/PM", "12:05 AM"},
      {{1984, 1, 17, 11, 59, 59}, "h a/p", "11 a"},
      {{1984, 1, 17, 12, 0, 0}, "hh AMPM", "12 午後"},
      // Escaped, the letters are text and the clock stays at 24 hours.
      {kTuesday, "\\A\\M/\\P\\M h", "AM/PM 17"},
  };
  for (const auto& c : cases) EXPECT_EQ(DateFormatter(c.value, c.pattern, {}), c.expected) << c.pattern;
}

TEST(DateFormatter, EscapesAndLiterals) {
  ExpectAll(kTuesday, {{"\\d\\\\d", "d\\17"},
                       {"dd\\", "17"},
                       {"\\", ""},
                       {"\\日", "日"},
                       {"#%@!\"'", "#%@!\"'"},
                       {"xyz", "x17z"},
                       {"", ""}});
  // What the clock shows of characters the user cannot use as codes.
  testing::FakeClock clock;
  clock.local = kTuesday;
  Settings settings;
  settings.FormatText = "#% @ \\d 'dd' \"m\"";
  EXPECT_EQ(ClockText(settings, clock, {}), "#% @ \\17 '17' \"1\"");
}

TEST(DateFormatter, RegionalSeparators) {
  RegionalSettings regional;
  regional.dateSeparator = "-";
  regional.timeSeparator = ".";
  ExpectAll(kTuesday, {{"yyyy/mm/dd hh:nn", "1984-01-17 17.30"}, {"\\/\\:", "/:"}}, regional);
}

TEST(DateFormatter, JapaneseEras) {
  struct {
    DateTime value;
    const char* expected;
  } cases[] = {
      {{1868, 9, 7}, "|||1868|1868"},  // before the first era: no name, the plain year
      {{1868, 9, 8}, "M|明|明治|1|01"},   {{1912, 7, 29}, "M|明|明治|45|45"},
      {{1912, 7, 30}, "T|大|大正|1|01"},  {{1926, 12, 24}, "T|大|大正|15|15"},
      {{1926, 12, 25}, "S|昭|昭和|1|01"}, {{1989, 1, 7}, "S|昭|昭和|64|64"},
      {{1989, 1, 8}, "H|平|平成|1|01"},   {{2019, 4, 30}, "H|平|平成|31|31"},
      {{2019, 5, 1}, "R|令|令和|1|01"},   {{2130, 1, 1}, "R|令|令和|112|112"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DateFormatter(c.value, "g|gg|ggg|e|ee", {}), c.expected)
        << c.value.year << "-" << c.value.month;
  }
  // A table from the host replaces the built-in one.
  RegionalSettings regional;
  regional.eras.push_back({2100, 1, 1, "新元", "新", "N"});
  EXPECT_EQ(DateFormatter({2100, 6, 1}, "ggg e g", regional), "新元 1 N");
}

TEST(DateFormatter, WeekDayYearAndQuarterNumbers) {
  struct {
    DateTime value;
    const char* expected;  // "w ww y q"
  } cases[] = {
      {{2022, 1, 1}, "7 1 1 1"},       // Saturday 1 January: week 1
      {{2022, 1, 2}, "1 2 2 1"},       // the next Sunday starts week 2
      {{2000, 12, 31}, "1 54 366 4"},  // leap year starting on a Saturday
      {{2023, 12, 31}, "1 53 365 4"}, {{1984, 4, 1}, "1 14 92 2"}, {{1984, 9, 30}, "1 40 274 3"},
  };
  for (const auto& c : cases) EXPECT_EQ(DateFormatter(c.value, "w ww y q", {}), c.expected);
}

TEST(DateFormatter, DateAndTimeOfTheRegionalSettings) {
  const DateTime dateOnly{1984, 1, 17, 0, 0, 0};
  const DateTime timeOnly{1899, 12, 30, 17, 30, 30};
  EXPECT_EQ(DateFormatter(dateOnly, "c", {}), "1984/01/17");
  EXPECT_EQ(DateFormatter(timeOnly, "c", {}), "17:30:30");
  EXPECT_EQ(DateFormatter(DateTime{}, "c", {}), "0:00:00");
  EXPECT_EQ(DateFormatter(dateOnly, "ttttt", {}), "0:00:00");

  RegionalSettings empty;
  empty.shortDate.clear();
  empty.longDate.clear();
  empty.timeFormat.clear();
  ExpectAll(kTuesday,
            {{"ddddd", "1/17/84"},
             {"dddddd", "January 17, 1984"},
             {"ttttt", "17:30:30"},
             {"c", "1/17/84 17:30:30"}},
            empty);
}

TEST(DateFormatter, HostPictureSyntax) {
  struct {
    const char* shortDate;
    const char* timeFormat;
    DateTime value;
    const char* expected;  // of "ddddd|ttttt"
  } cases[] = {
      {"d/M/y", "H:mm:ss", kTuesday, "17/1/84|17:30:30"},
      {"dd MMM yyyy", "HH", {1984, 1, 7, 7, 5, 9}, "07 1月 1984|07"},
      {"ddd dddd MMMM", "h:m:s", kTuesday, "火 火曜日 1月|5:30:30"},
      {"y yy yyy yyyyy", "hh tt", {2005, 1, 1}, "05 05 2005 2005|12 午前"},
      {"'yy'yy ''d'' 'a''b", "t", kTuesday, "yy84 '17' a'b|午"},
      {"gg yyyy", "'H'H mm", kTuesday, "西暦 1984|H17 30"},
      {"yyyy-MM-dd hh:mm", "dd/MM/yyyy H", kTuesday, "1984-01-17 hh:mm|dd/MM/yyyy 17"},
  };
  for (const auto& c : cases) {
    RegionalSettings regional;
    regional.shortDate = c.shortDate;
    regional.timeFormat = c.timeFormat;
    EXPECT_EQ(DateFormatter(c.value, "ddddd|ttttt", regional), c.expected)
        << c.shortDate << " / " << c.timeFormat;
  }
  RegionalSettings wareki;
  wareki.japaneseCalendar = true;
  wareki.longDate = "gg y'年'M'月'd'日'";
  EXPECT_EQ(DateFormatter(kTuesday, "dddddd", wareki), "昭和 59年1月17日");
}

// Hand-made values outside the calendar: no name for a month that has none,
// the plain year where no era has begun, nothing read outside the tables.
TEST(DateFormatter, OddValuesGiveNoNamesTheyDoNotHave) {
  struct OddCase {
    DateTime value;
    const char* pattern;
    const char* expected;
  } cases[] = {
      {{1984, 13, 40, 25, 61, 61}, "[mmmm|mmm|MMMM]", "[||]"},
      {{1984, 0, 1}, "[mmmm|mmm]", "[|]"},
      {{1984, 13, 1}, "[dddddd]", "[1984年13月1日]"},
      {{-5, 1, 1}, "[ggg|gg|g|e|ee]", "[|||-5|-05]"},
      {{1868, 9, 7}, "[ggg|e]", "[|1868]"},
      {{1868, 9, 8}, "[ggg|gg|g|e]", "[明治|明|M|1]"},
      {{99999, 1, 1}, "[yyyy|ggg|e]", "[99999|令和|97981]"},
  };
  for (const OddCase& c : cases) EXPECT_EQ(DateFormatter(c.value, c.pattern, {}), c.expected) << c.pattern;
}

}  // namespace
}  // namespace kestrova
