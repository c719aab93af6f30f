#pragma once
// Calendar date and time of day, to the second, with the arithmetic the
// clock, countdown and alarms need. Proleptic Gregorian calendar.
#include <cstdint>

namespace kestrova {

struct DateTime {
  int year = 1899;  // 1899-12-30 00:00:00 is the "no date" value, as in OLE dates
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;

  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// Days since 1970-01-01 for a civil date (month and day may be out of range:
// they carry, so day 31 of a 30-day month is the 1st of the next).
std::int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(std::int64_t days, int& year, int& month, int& day);

// Seconds since 1970-01-01 00:00:00 of the (possibly out-of-range) fields.
std::int64_t ToSeconds(const DateTime& t);
DateTime FromSeconds(std::int64_t seconds);
DateTime AddSeconds(const DateTime& t, std::int64_t seconds);

// 0 = Sunday .. 6 = Saturday.
int DayOfWeek(const DateTime& t);
// 1 .. 366.
int DayOfYear(const DateTime& t);
int DaysInMonth(int year, int month);
bool IsLeapYear(int year);

// Seconds since midnight.
inline int SecondOfDay(const DateTime& t) { return t.hour * 3600 + t.minute * 60 + t.second; }
inline bool HasDatePart(const DateTime& t) { return !(t.year == 1899 && t.month == 12 && t.day == 30); }
inline bool HasTimePart(const DateTime& t) { return SecondOfDay(t) != 0; }

}  // namespace kestrova
