#include <gtest/gtest.h>

#include "core/datetime.h"

TEST(WindowsBuild, CoreLinks) { EXPECT_EQ(kestrova::DayOfWeek({1984, 1, 17}), 2); }
