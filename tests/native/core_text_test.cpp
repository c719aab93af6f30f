// The shared number and text helpers of core/.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "core/decimal.h"
#include "core/number_parse.h"
#include "core/text.h"

namespace kestrova {
namespace {

TEST(DecimalText, DigitsPaddingAndSign) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  struct Case {
    std::int64_t value;
    int minDigits;
    const char* expected;
  } cases[] = {
      {0, 1, "0"},
      {0, 0, ""},
      {0, 2, "00"},
      {0, 3, "000"},
      {7, 0, "7"},
      {7, 2, "07"},
      {42, 1, "42"},
      {99, 2, "99"},
      {100, 2, "100"},
      {5, 4, "0005"},
      {999, 4, "0999"},
      {1984, 4, "1984"},
      {1984, 1, "1984"},
      {1984, 6, "001984"},
      {10000, 4, "10000"},
      {-1, 1, "-1"},
      {-5, 3, "-005"},
      {-1984, 4, "-1984"},
      {-7, 0, "-7"},
      {std::numeric_limits<std::int64_t>::max(), 1, "9223372036854775807"},
      {kMin, 1, "-9223372036854775808"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecimalText(c.value, c.minDigits), c.expected) << c.value << "/" << c.minDigits;
}

TEST(DecimalText, AppendsToWhatIsThere) {
  std::string out = "X:";
  AppendDecimal(out, 5, 2);
  AppendDecimal(out, 0, 0);
  AppendDecimal(out, 2026, 1);
  EXPECT_EQ(out, "X:052026");
}

TEST(FormatSeconds, TwoDigitsAndNoWrap) {
  struct {
    std::int64_t seconds;
    const char* expected;
  } cases[] = {
      {0, "00:00:00"},     {59, "00:00:59"},      {3723, "01:02:03"},
      {86399, "23:59:59"}, {360000, "100:00:00"}, {2147483647, "596523:14:07"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSeconds(c.seconds), c.expected) << c.seconds;
}

TEST(ParseInt32, WholeTextOnly) {
  struct Case {
    const char* text;
    bool ok;
    std::int32_t value;
  } cases[] = {
      {"0", true, 0},
      {"12", true, 12},
      {"+12", true, 12},
      {"-1", true, -1},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, std::numeric_limits<std::int32_t>::min()},
      {"000000000000042", true, 42},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"99999999999999999999", false, 0},  // wraps a 64-bit accumulator
      {"18446744073709551617", false, 0},  // 2^64 + 1: wraps to 1
      {"", false, 0},
      {"-", false, 0},
      {"+", false, 0},
      {" 1", false, 0},
      {"1 ", false, 0},
      {"1x", false, 0},
      {"0x10", false, 0},
      {"--1", false, 0},
      {"１", false, 0},  // full-width digit
  };
  for (const Case& c : cases) {
    std::int32_t value = 77;
    EXPECT_EQ(ParseInt32(c.text, value), c.ok) << c.text;
    EXPECT_EQ(value, c.ok ? c.value : 77) << c.text << ": untouched when refused";
  }
}

TEST(ReadDigits, BaseLettersAndPosition) {
  struct Case {
    const char* text;
    std::size_t start;
    unsigned base;
    std::uint64_t value;
    std::size_t digits;
    std::size_t end;
  } cases[] = {
      {"123abc", 0, 10, 123, 3, 3},
      {"x1Ff", 1, 16, 0x1FF, 3, 4},
      {"0b101", 2, 2, 5, 3, 5},
      {"1012", 0, 2, 5, 3, 3},
      {"zz", 0, 36, 35 * 36 + 35, 2, 2},
      {"abc", 0, 10, 0, 0, 0},
      {"12", 2, 10, 0, 0, 2},
      {"18446744073709551617", 0, 10, 1, 20, 20},
  };
  for (const Case& c : cases) {
    std::size_t pos = c.start;
    const DigitRun run = ReadDigits(c.text, pos, c.base);
    EXPECT_EQ(run.value, c.value) << c.text;
    EXPECT_EQ(run.digits, c.digits) << c.text;
    EXPECT_EQ(pos, c.end) << c.text;
  }
}

TEST(ReadLeadingDecimal, TableOffsets) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {{"+5.5", 5.5}, {"-3.5", -3.5}, {"  9", 9}, {"0", 0},    {"+10", 10}, {"-10.25x", -10.25},
               {"abc", 0},    {"", 0},        {"-", 0},   {".5", 0.5}, {"12.", 12}, {"+0.75", 0.75}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(ReadLeadingDecimal(c.text), c.value) << c.text;
}

TEST(AsciiCase, OnlyLatinLettersChange) {
  EXPECT_EQ(AsciiUpper("lDblClick-09_zZ"), "LDBLCLICK-09_ZZ");
  EXPECT_EQ(AsciiUpper("ｙｅｓ はい"), "ｙｅｓ はい") << "full-width letters and kana stay";
  EXPECT_EQ(AsciiUpper("écoleß"), "éCOLEß") << "bytes above 0x7F are never letters";
  EXPECT_EQ(AsciiLower('Q'), 'q');
  EXPECT_EQ(AsciiLower('['), '[');
  EXPECT_EQ(AsciiLower('@'), '@');
  EXPECT_EQ(AsciiUpper('`'), '`');
  EXPECT_EQ(AsciiUpper('{'), '{');
}

TEST(Utf8CharLength, WholeAndBrokenSequences) {
  struct Case {
    std::string text;
    std::size_t pos;
    std::size_t length;
  } cases[] = {
      {"a", 0, 1},
      {"é", 0, 2},
      {"午", 0, 3},
      {"😀", 0, 4},
      {"x午", 1, 3},
      {"午", 3, 0},                     // past the end
      {std::string("\xE5\x8D"), 0, 2},  // cut by the end of the text
      {std::string("\xE5"
                   "ab"),
       0, 1},  // lead byte without continuation
      {std::string("\xF0\x9F"
                   "a"),
       0, 2},
      {std::string("\x80\x80"), 0, 1},  // stray continuation bytes
      {std::string("\xC3\xA9\xA9"), 0, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8CharLength(c.text, c.pos), c.length) << c.pos;
}

}  // namespace
}  // namespace kestrova
