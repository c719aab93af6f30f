#include <gtest/gtest.h>

#include "core/datetime.h"

namespace kestrova {
namespace {

TEST(DateTime, CivilRoundTripAndCarry) {
  struct Case {
    DateTime in;
    DateTime out;
  } cases[] = {
      {{2026, 4, 31, 0, 0, 0}, {2026, 5, 1, 0, 0, 0}},    // day 31 of a 30-day month
      {{2024, 2, 30, 0, 0, 0}, {2024, 3, 1, 0, 0, 0}},    // leap year
      {{2023, 2, 29, 0, 0, 0}, {2023, 3, 1, 0, 0, 0}},
      {{2026, 13, 1, 0, 0, 0}, {2027, 1, 1, 0, 0, 0}},
      {{2026, 12, 31, 23, 59, 60}, {2027, 1, 1, 0, 0, 0}},
      {{1899, 12, 30, 0, 0, 0}, {1899, 12, 30, 0, 0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(FromSeconds(ToSeconds(c.in)), c.out);
}

TEST(DateTime, WeekdayAndDayOfYear) {
  EXPECT_EQ(DayOfWeek({1984, 1, 17}), 2);  // Tuesday
  EXPECT_EQ(DayOfWeek({2026, 12, 6}), 0);  // Sunday
  EXPECT_EQ(DayOfWeek({1899, 12, 30}), 6);
  // Every day from 1600 to 2400, and days 0 and 32 that carry into the next month.
  for (std::int64_t z = DaysFromCivil(1600, 1, 1); z <= DaysFromCivil(2400, 12, 31); ++z) {
    int y = 0, m = 0, d = 0;
    CivilFromDays(z, y, m, d);
    const int expected = static_cast<int>(((z % 7) + 7 + 4) % 7);
    ASSERT_EQ(DayOfWeek({y, m, d}), expected) << y << "-" << m << "-" << d;
    if (d == 1) {
      ASSERT_EQ(DayOfWeek({y, m, 0}), (expected + 6) % 7) << y << "-" << m << "-0";
    }
    if (d == 28) {
      ASSERT_EQ(DayOfWeek({y, m, 32}), (expected + 4) % 7) << y << "-" << m << "-32";
    }
  }
  EXPECT_EQ(DayOfYear({2024, 12, 31}), 366);
  EXPECT_EQ(DayOfYear({2026, 1, 1}), 1);
}

}  // namespace
}  // namespace kestrova
