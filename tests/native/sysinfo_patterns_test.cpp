#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "sysinfo/byte_size.h"
#include "sysinfo/number_patterns.h"

namespace kestrova {
namespace {

TEST(NumberPatterns, Percentages) {
  struct Case {
    std::int64_t value;
    const char* noZeroDigit;  // "###\%"
    const char* threeDigits;  // "000\%"
    const char* oneDigit;     // "0\%"
  } cases[] = {
      {0, "%", "000%", "0%"},        {5, "5%", "005%", "5%"},           {42, "42%", "042%", "42%"},
      {100, "100%", "100%", "100%"}, {1234, "1234%", "1234%", "1234%"}, {-7, "-7%", "-007%", "-7%"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatPercentNoZeroDigit(c.value), c.noZeroDigit) << c.value;
    EXPECT_EQ(FormatPercentThreeDigits(c.value), c.threeDigits) << c.value;
    EXPECT_EQ(FormatPercentOneDigit(c.value), c.oneDigit) << c.value;
  }
  EXPECT_EQ(FormatPercentOneDigit(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808%");
}

TEST(NumberPatterns, OneOrTwoDecimals) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {12.5, "12.5"},
      {3, "3.0"},
      {98.764, "98.76"},
      {0, "0.0"},
      {0.05, "0.05"},
      {0.004, "0.0"},
      {0.005, "0.01"},
      {0.995, "1.0"},
      {12345.0 / 1024, "12.06"},
      {12345.0 * 8 / 1000, "98.76"},
      {-1.5, "-1.5"},
      {-0.004, "0.0"},
      {-12.345, "-12.35"},
      {1e6, "1000000.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatOneOrTwoDecimals(c.value), c.text) << c.value;
}

TEST(NumberPatterns, RatioPercent) {
  struct Case {
    double ratio;
    const char* text;
  } cases[] = {
      {0.456, "46%"}, {0.0, "0%"},     {1.0, "100%"}, {0.005, "1%"},
      {0.0049, "0%"}, {0.999, "100%"}, {0.25, "25%"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatRatioPercent(c.ratio), c.text) << c.ratio;
  // 0 / 0 never reaches the title as "nan".
  EXPECT_EQ(FormatRatioPercent(std::nan("")), kNotAvailableText);
  EXPECT_EQ(FormatRatioPercent(std::numeric_limits<double>::infinity()), kNotAvailableText);
}

TEST(NumberPatterns, AxisValue) {
  EXPECT_EQ(FormatAxisValue('X', 640), "X:640 ");
  EXPECT_EQ(FormatAxisValue('Y', 480), "Y:480 ");
  EXPECT_EQ(FormatAxisValue('X', 0), "X: ");  // no digit for 0
  EXPECT_EQ(FormatAxisValue('X', -5), "X:-5 ");
  EXPECT_EQ(FormatAxisValue('Y', -1080), "Y:-1080 ");
}

// The wording and truncation of the Windows shell's formatter on a Japanese
// system; the Windows tests compare the two over the same spread.
TEST(ByteSize, ShellWording) {
  constexpr std::uint64_t KB = 1024, MB = KB * KB, GB = MB * KB, TB = GB * KB, PB = TB * KB, EB = PB * KB;
  struct Case {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 バイト"},
      {1, "1 バイト"},
      {532, "532 バイト"},
      {1000, "1000 バイト"},
      {1023, "1023 バイト"},
      {KB, "1.00 KB"},
      {1536, "1.50 KB"},
      {2047, "1.99 KB"},  // truncated, not rounded
      {10 * KB - 1, "9.99 KB"},
      {10 * KB, "10.0 KB"},
      {100 * KB - 1, "99.9 KB"},
      {100 * KB, "100 KB"},
      {1000 * KB - 1, "999 KB"},
      {1000 * KB, "0.97 MB"},
      {MB - 1, "0.99 MB"},
      {MB, "1.00 MB"},
      {10 * MB, "10.0 MB"},
      {100 * MB, "100 MB"},
      {GB - 1, "0.99 GB"},
      {GB, "1.00 GB"},
      {4294967296ULL + 1000, "4.00 GB"},
      {16 * GB, "16.0 GB"},
      {TB - 1, "0.99 TB"},
      {TB, "1.00 TB"},
      {2000000000000ULL, "1.81 TB"},
      {5 * TB, "5.00 TB"},
      {PB - 1, "0.99 PB"},
      {PB, "1.00 PB"},
      {EB, "1.00 EB"},
      {9223372036854775807ULL, "7.99 EB"},
      {std::numeric_limits<std::uint64_t>::max(), "15.99 EB"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatByteSizePortable(c.bytes), c.text) << c.bytes;
}

TEST(ByteSize, RemoveSpaces) {
  EXPECT_EQ(RemoveSpaces("1.23 GB"), "1.23GB");
  EXPECT_EQ(RemoveSpaces("0 バイト"), "0バイト");
  EXPECT_EQ(RemoveSpaces(" a b "), "ab");
  EXPECT_EQ(RemoveSpaces(""), "");
}

}  // namespace
}  // namespace kestrova
