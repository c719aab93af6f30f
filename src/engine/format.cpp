// Pattern escaping, world clock, countdown and the texts of the clock pieces.
#include "engine/format.h"

#include <cmath>

#include "engine/format_text.h"
#include "resources/strings.h"
#include "settings/settings.h"

namespace kestrova {

namespace {

constexpr int kZoneCaptionBase = 800;
constexpr int kZoneOffsetBase = 900;

bool NeedsEscape(char c) {
  switch (c) {
    case '\\':
    case '!':
    case '"':
    case '#':
    case '$':
    case '%':
    case '&':
    case '\'':
    case '=':
    case '~':
    case '^':
    case '@':
    case '{':
    case '[':
    case '<':
      return true;
    default:
      return false;
  }
}

// Leading blanks, a sign, digits and a fraction; 0 when no digit comes.
double ReadDecimal(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  double value = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') value = value * 10 + (s[i++] - '0');
  if (i < s.size() && s[i] == '.') {
    double scale = 0.1;
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, scale /= 10) value += (s[i] - '0') * scale;
  }
  return negative ? -value : value;
}

int ReadInt(std::string_view s, size_t& i) {
  int v = 0;
  bool any = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && v < 100000) {
    v = v * 10 + (s[i++] - '0');
    any = true;
  }
  return any ? v : -1;
}

}  // namespace

std::string EscapeFormatText(std::string_view pattern) {
  std::string out;
  out.reserve(pattern.size() + 8);
  for (char c : pattern) {
    if (NeedsEscape(c)) out += '\\';
    out += c;
  }
  return out;
}

double WorldZoneOffsetHours(int zone) {
  if (zone < 0 || zone >= kWorldZoneCount) return 0;
  return ReadDecimal(ResString(kZoneOffsetBase + zone));
}

int ZoneMinutes(int zone) { return static_cast<int>(std::lround(WorldZoneOffsetHours(zone) * 60)); }

std::string ZoneCaption(int zone) {
  if (zone < 0 || zone >= kWorldZoneCount) return {};
  return std::string(ResString(kZoneCaptionBase + zone));
}

std::string ZoneListText(int zone, const RegionalSettings& regional) {
  if (zone < 0 || zone >= kWorldZoneCount) return {};
  const int minutes = ZoneMinutes(zone);
  const int magnitude = std::abs(minutes);
  std::string out = minutes < 0 ? "(GMT-" : minutes == 0 ? "(GMT " : "(GMT+";
  DateTime offset;
  offset.hour = magnitude / 60;
  offset.minute = magnitude % 60;
  out += DateFormatter(offset, "hh:mm):", regional);
  out += ZoneCaption(zone);
  return out;
}

DateTime GetWorldTime(const DateTime& utcNow, double offsetHours, int dst) {
  const std::int64_t minutes = std::llround(offsetHours * 60) + static_cast<std::int64_t>(dst) * 60;
  return AddSeconds(utcNow, minutes * 60);
}

DateTime CountdownTarget(const DateTime& now, int year, int month, int day, int hour, int minute,
                         int second) {
  // Position 0 (and anything below, which no list offers) keeps the current value.
  const int y = year >= 1 ? 1999 + year : now.year;
  const int mo = month >= 1 ? month : now.month;
  const int d = day >= 1 ? day : now.day;
  const std::int64_t h = hour >= 1 ? hour - 1 : now.hour;
  const std::int64_t mi = minute >= 1 ? minute - 1 : now.minute;
  const std::int64_t s = second >= 1 ? second - 1 : now.second;
  return FromSeconds(DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s);
}

std::string FormatCountdown(const DateTime& now, const DateTime& target) {
  const std::int64_t nowSec = ToSeconds(now);
  const std::int64_t targetSec = ToSeconds(target);
  const char sign = nowSec < targetSec ? '+' : nowSec > targetSec ? '-' : '0';
  const std::int64_t today = DaysFromCivil(now.year, now.month, now.day);
  std::int64_t days = DaysFromCivil(target.year, target.month, target.day) - today;
  // x: today at the target's time of day
  std::int64_t x = today * 86400 + SecondOfDay(target);
  if (sign == '+' && nowSec > x) {
    --days;
    x += 86400;
  } else if (sign == '-' && nowSec < x) {
    ++days;
    x -= 86400;
  }
  const std::int64_t secs = x - nowSec;
  const std::int64_t parts[] = {days, secs / 3600, (secs % 3600) / 60, secs % 60};
  static constexpr std::string_view kUnits[] = {"日", "時間", "分", "秒"};
  std::string out(1, sign);
  for (int k = 0; k < 4; ++k) {
    if (parts[k] == 0) continue;
    AppendNumber(out, parts[k] < 0 ? -parts[k] : parts[k], 1);
    out += kUnits[k];
  }
  return out;
}

std::string FormatSeconds(std::int64_t seconds) {
  std::string out;
  AppendNumber(out, seconds / 3600, 2);
  out += ':';
  AppendNumber(out, (seconds % 3600) / 60, 2);
  out += ':';
  AppendNumber(out, seconds % 60, 2);
  return out;
}

bool ParseJapaneseEra(std::string_view name, std::string_view value, JapaneseEra& era) {
  // name "2019 05 01", value "令和_令_Reiwa_R"
  size_t i = 0;
  const int y = ReadInt(name, i);
  while (i < name.size() && name[i] == ' ') ++i;
  const int m = ReadInt(name, i);
  while (i < name.size() && name[i] == ' ') ++i;
  const int d = ReadInt(name, i);
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > 31 || i != name.size()) return false;
  std::string_view fields[4];
  size_t count = 0;
  for (size_t start = 0; count < 4;) {
    const size_t end = value.find('_', start);
    fields[count++] =
        value.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  if (count < 4 || fields[0].empty()) return false;
  era = JapaneseEra{y, m, d, std::string(fields[0]), std::string(fields[1]), std::string(fields[3])};
  return true;
}

std::string ClockText(const Settings& settings, Clock& clock, const RegionalSettings& regional) {
  return DateFormatter(clock.LocalNow(), EscapeFormatText(settings.FormatText), regional);
}

std::string WorldClockText(const Settings& settings, Clock& clock, const RegionalSettings& regional) {
  const DateTime t =
      GetWorldTime(clock.UtcNow(), WorldZoneOffsetHours(settings.WorldTimeZone), settings.WorldTimeDST);
  return DateFormatter(t, EscapeFormatText(settings.WorldTimeFormatText), regional);
}

std::string CountdownText(const Settings& settings, Clock& clock) {
  const DateTime now = clock.LocalNow();
  const DateTime target =
      CountdownTarget(now, settings.CountDownYear, settings.CountDownMonth, settings.CountDownDay,
                      settings.CountDownHour, settings.CountDownMinute, settings.CountDownSecond);
  return FormatCountdown(now, target);
}

}  // namespace kestrova
