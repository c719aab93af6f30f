// The host's clock and regional data, run on a Japanese system (Wine with
// LC_ALL=ja_JP.UTF-8, or a Japanese Windows).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "format/format.h"
#include "format/win32/clock_win.h"
#include "format/win32/locale_win.h"

namespace kestrova {
namespace {

std::string Narrow(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring Widen(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
  return out;
}

SYSTEMTIME ToSystemTime(const DateTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(t));
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  return st;
}

// The host's own text of a date picture (nullptr: the flags' format).
std::string HostDate(const DateTime& t, const wchar_t* picture, DWORD flags = 0) {
  const SYSTEMTIME st = ToSystemTime(t);
  wchar_t buf[256];
  return GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, flags, &st, picture, buf, 256, nullptr) > 0 ? Narrow(buf)
                                                                                               : "?";
}

std::string HostTime(const DateTime& t, const wchar_t* picture) {
  const SYSTEMTIME st = ToSystemTime(t);
  wchar_t buf[256];
  return GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, picture, buf, 256) > 0 ? Narrow(buf) : "?";
}

const DateTime kValues[] = {
    {1984, 1, 17, 17, 30, 30}, {2019, 5, 1, 0, 5, 9}, {2000, 12, 31, 12, 0, 0}, {1989, 1, 7, 9, 59, 0}};

TEST(Win32Locale, RegionalDataIsJapanese) {
  Win32Locale locale;
  const RegionalSettings r = locale.Regional();
  EXPECT_EQ(r.dateSeparator, "/");
  EXPECT_EQ(r.timeSeparator, ":");
  EXPECT_EQ(r.timeFormat, "H:mm:ss");
  EXPECT_EQ(r.am, "午前");
  EXPECT_EQ(r.pm, "午後");
  EXPECT_EQ(r.shortDate.rfind("yyyy/M", 0), 0u) << r.shortDate;
  EXPECT_EQ(r.dayNames[0], "日曜日");
  EXPECT_EQ(r.abbrevDayNames[6], "土");
  EXPECT_EQ(r.monthNames[11], "12月");
  EXPECT_EQ(r.calendarEra, "西暦");
  EXPECT_FALSE(r.japaneseCalendar);
  ASSERT_FALSE(r.eras.empty());
  EXPECT_EQ(r.eras.back().name, "令和");
}

TEST(Win32Locale, FormatterAgreesWithTheJapaneseDefaults) {
  Win32Locale locale;
  const RegionalSettings host = locale.Regional();
  const RegionalSettings fake;
  const char* patterns[] = {" <yyyy/mm/dd(ddd) hh:mm:ss>",
                            "ggge年m月d日",
                            "gg ee",
                            "aaaa（aaa）",
                            "dddd mmmm",
                            "AMPM h:nn",
                            "ttttt",
                            "t t t t t ",
                            "w ww y q",
                            "h時m分s秒",
                            "a/p hh"};
  for (const DateTime& t : kValues) {
    for (const char* p : patterns) {
      EXPECT_EQ(DateFormatter(t, p, host), DateFormatter(t, p, fake))
          << p << " at " << t.year << "-" << t.month;
    }
  }
}

TEST(Win32Locale, RegionalPicturesGiveTheHostsText) {
  Win32Locale locale;
  const RegionalSettings host = locale.Regional();
  for (const DateTime& t : kValues) {
    EXPECT_EQ(DateFormatter(t, "ddddd", host), HostDate(t, nullptr, DATE_SHORTDATE));
    EXPECT_EQ(DateFormatter(t, "dddddd", host), HostDate(t, nullptr, DATE_LONGDATE));
    EXPECT_EQ(DateFormatter(t, "ttttt", host), HostTime(t, nullptr));
    EXPECT_EQ(DateFormatter(t, "c", host), HostDate(t, nullptr, DATE_SHORTDATE) + " " + HostTime(t, nullptr));
  }
  // Other pictures the user may choose, read by the formatter as the host reads them.
  const char* datePictures[] = {"d/M/y",     "dd.MM.yy", "ddd dddd", "MMM MMMM", "yyyy'年'M'月'd'日'",
                                "'It''s' d", "g yyyy",   "yyy yyyyy"};
  const char* timePictures[] = {"h:m:s tt", "HH'時'mm'分'ss'秒'", "t hh", "tt H:mm"};
  for (const DateTime& t : kValues) {
    RegionalSettings custom = host;
    for (const char* picture : datePictures) {
      custom.shortDate = picture;
      EXPECT_EQ(DateFormatter(t, "ddddd", custom), HostDate(t, Widen(picture).c_str())) << picture;
    }
    for (const char* picture : timePictures) {
      custom.timeFormat = picture;
      EXPECT_EQ(DateFormatter(t, "ttttt", custom), HostTime(t, Widen(picture).c_str())) << picture;
    }
  }
}

TEST(Win32Locale, UpperCaseFoldsFullWidthLatinOnly) {
  Win32Locale locale;
  EXPECT_EQ(locale.ToUpper("abcａｂｃxyzｘｙｚ日本"), "ABCＡＢＣXYZＸＹＺ日本");
  EXPECT_EQ(locale.ToUpper(""), "");
  EXPECT_TRUE(locale.ContainsNoCase("ａｂｃ", "ＡＢ"));
  EXPECT_TRUE(locale.ContainsNoCase("メモ帳 - Untitled", "untitled"));
  EXPECT_TRUE(locale.ContainsNoCase("anything", ""));
  EXPECT_FALSE(locale.ContainsNoCase("abc", "abd"));
  // Width and kana type do not count, as in the system's comparison.
  EXPECT_TRUE(locale.ContainsNoCase("ABC", "ａｂ"));
  EXPECT_TRUE(locale.ContainsNoCase("ﾒﾓ帳 - 無題", "メモ"));
  EXPECT_TRUE(locale.ContainsNoCase("メモ帳", "めも"));
  EXPECT_TRUE(locale.ContainsNoCase("ｶﾞｲﾄﾞ", "ガイド"));
  EXPECT_FALSE(locale.ContainsNoCase("メモ帳", "メモ用"));
  EXPECT_FALSE(locale.ContainsNoCase("カタカナ", "かだ"));
  EXPECT_FALSE(locale.ContainsNoCase("co-op", "coop"));
}

// What a rule stored through the settings file reads back as.
TEST(Win32Locale, AnsiRenderingIsTheCodePageRoundTrip) {
  Win32Locale locale;
  EXPECT_EQ(locale.AnsiRendering("Café - メモ帳"), "Caf? - メモ帳");
  EXPECT_EQ(locale.AnsiRendering("ü😀"), "???");
  EXPECT_EQ(locale.AnsiRendering("ﾒﾓ ＡＢＣ ①"), "ﾒﾓ ＡＢＣ ①");
  EXPECT_EQ(locale.AnsiRendering(""), "");
}

TEST(Win32Clock, LocalAndUtcAgreeWithTheHost) {
  Win32Clock clock;
  const DateTime local = clock.LocalNow();
  const DateTime utc = clock.UtcNow();
  EXPECT_GE(local.year, 2020);
  TIME_ZONE_INFORMATION zone;
  const DWORD mode = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias + (mode == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : 0);
  const long long drift = ToSeconds(local) - ToSeconds(utc) + static_cast<long long>(bias) * 60;
  EXPECT_LE(std::llabs(drift), 2);
}

}  // namespace
}  // namespace kestrova
