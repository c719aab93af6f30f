#include "core/datetime.h"

namespace kestrova {

namespace {
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}
}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 30;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::int64_t DaysFromCivil(int yearIn, int monthIn, int dayIn) {
  // Normalise the month first so that month 13 or 0 carries into the year.
  std::int64_t m0 = static_cast<std::int64_t>(monthIn) - 1;
  std::int64_t y = yearIn + FloorDiv(m0, 12);
  std::int64_t m = m0 - FloorDiv(m0, 12) * 12 + 1;
  y -= m <= 2;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + (static_cast<std::int64_t>(dayIn) - 1);
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<int>(yoe + era * 400 + (m <= 2));
  month = static_cast<int>(m);
  day = static_cast<int>(d);
}

std::int64_t ToSeconds(const DateTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * 86400 + static_cast<std::int64_t>(t.hour) * 3600 +
         static_cast<std::int64_t>(t.minute) * 60 + t.second;
}

DateTime FromSeconds(std::int64_t s) {
  DateTime t;
  const std::int64_t days = FloorDiv(s, 86400);
  std::int64_t rest = s - days * 86400;
  CivilFromDays(days, t.year, t.month, t.day);
  t.hour = static_cast<int>(rest / 3600);
  rest %= 3600;
  t.minute = static_cast<int>(rest / 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

DateTime AddSeconds(const DateTime& t, std::int64_t seconds) { return FromSeconds(ToSeconds(t) + seconds); }

int DayOfWeek(const DateTime& t) {
  // Every clock text asks for it: plain dates take a short way without 64-bit division.
  if (t.year > 0 && t.year < 100000 && t.month >= 1 && t.month <= 12 && t.day >= 0 && t.day < 100000) {
    static constexpr int kMonthShift[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int y = t.year - (t.month < 3 ? 1 : 0);
    return (y + y / 4 - y / 100 + y / 400 + kMonthShift[t.month - 1] + t.day) % 7;
  }
  // 1970-01-01 was a Thursday (4).
  const std::int64_t days = DaysFromCivil(t.year, t.month, t.day);
  return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

int DayOfYear(const DateTime& t) {
  return static_cast<int>(DaysFromCivil(t.year, t.month, t.day) - DaysFromCivil(t.year, 1, 1)) + 1;
}

}  // namespace kestrova
