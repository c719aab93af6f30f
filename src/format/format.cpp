// Pattern escaping, world clock, countdown and the texts of the clock pieces.
#include "format/format.h"

#include <cmath>

#include "core/decimal.h"
#include "core/number_parse.h"
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
  return ReadLeadingDecimal(ResString(kZoneOffsetBase + zone));
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
    AppendDecimal(out, parts[k] < 0 ? -parts[k] : parts[k], 1);
    out += kUnits[k];
  }
  return out;
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
