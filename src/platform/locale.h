#pragma once
// The host's regional settings and its locale's letter case.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/japanese_era.h"

namespace kestrova {

// "日" .. "土" (short) or "日曜日" .. "土曜日", Sunday first: what a Japanese
// Windows calls the weekdays.
std::array<std::string, 7> JapaneseDayNames(bool full);

// Regional settings used by the date formatter. Picture strings use the
// host's own syntax (d, M, y, g, H, h, m, s, t and 'quoted' text).
// The defaults are those of a Japanese Windows.
struct RegionalSettings {
  std::string timeSeparator = ":";
  std::string dateSeparator = "/";
  std::string shortDate = "yyyy/MM/dd";
  std::string longDate = "yyyy'年'M'月'd'日'";
  std::string timeFormat = "H:mm:ss";
  std::string am = "午前";
  std::string pm = "午後";
  // Names the pictures' ddd/dddd and MMM/MMMM give, Sunday and January first.
  std::array<std::string, 7> abbrevDayNames = JapaneseDayNames(false);
  std::array<std::string, 7> dayNames = JapaneseDayNames(true);
  std::array<std::string, 12> abbrevMonthNames = {"1月", "2月", "3月", "4月",  "5月",  "6月",
                                                  "7月", "8月", "9月", "10月", "11月", "12月"};
  std::array<std::string, 12> monthNames = {"1月", "2月", "3月", "4月",  "5月",  "6月",
                                            "7月", "8月", "9月", "10月", "11月", "12月"};
  // What the pictures' g gives under the Gregorian calendar.
  std::string calendarEra = "西暦";
  // The user chose the Japanese calendar: the pictures' y and g follow the eras.
  bool japaneseCalendar = false;
  std::vector<JapaneseEra> eras = DefaultJapaneseEras();
};

class Locale {
 public:
  virtual ~Locale() = default;
  virtual RegionalSettings Regional() = 0;
  // Upper case by the system locale's rules (full-width Latin included).
  virtual std::string ToUpper(std::string_view text) = 0;
  // Whether `text` contains `part` as the system locale's text comparison
  // sees it on a Japanese system: letter case, character width (ＡＢＣ = ABC,
  // ﾒﾓ = メモ) and kana type (めも = メモ) do not count.
  virtual bool ContainsNoCase(std::string_view text, std::string_view part) = 0;
  // `text` as it comes back through the system's ANSI code page: a character
  // the code page lacks comes back as "?", as it would from the settings file.
  virtual std::string AnsiRendering(std::string_view text) = 0;
};

}  // namespace kestrova
