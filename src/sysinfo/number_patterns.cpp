#include "sysinfo/number_patterns.h"

#include <cmath>
#include <cstdlib>

namespace kestrova {
namespace {

// Decimal digits of |value| padded with zeros to `minDigits`, sign in front.
std::string Digits(std::int64_t value, int minDigits) {
  // Work on the unsigned magnitude so that INT64_MIN does not overflow.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::string digits;
  while (magnitude != 0) {
    digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  }
  if (static_cast<int>(digits.size()) < minDigits) digits.insert(0, minDigits - digits.size(), '0');
  if (value < 0) digits.insert(digits.begin(), '-');
  return digits;
}

// Rounds halves away from zero, keeping the result inside int64.
std::int64_t RoundToInt64(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLimit = 9.0e18;
  if (value >= kLimit) return static_cast<std::int64_t>(kLimit);
  if (value <= -kLimit) return -static_cast<std::int64_t>(kLimit);
  return std::llround(value);
}

}  // namespace

std::string FormatPercentNoZeroDigit(std::int64_t value) { return Digits(value, 0) + "%"; }

std::string FormatPercentThreeDigits(std::int64_t value) { return Digits(value, 3) + "%"; }

std::string FormatPercentOneDigit(std::int64_t value) { return Digits(value, 1) + "%"; }

std::string FormatOneOrTwoDecimals(double value) {
  const std::int64_t hundredths = RoundToInt64(value * 100.0);
  const std::int64_t whole = std::llabs(hundredths / 100);
  const std::int64_t fraction = std::llabs(hundredths % 100);
  std::string text = hundredths < 0 ? "-" : "";
  text += Digits(whole, 1);
  text += '.';
  text += static_cast<char>('0' + fraction / 10);
  if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
  return text;
}

std::string FormatRatioPercent(double ratio) {
  if (!std::isfinite(ratio)) return std::string(kNotAvailableText);
  return Digits(RoundToInt64(ratio * 100.0), 1) + "%";
}

std::string FormatAxisValue(char axis, std::int64_t value) {
  std::string text(1, axis);
  text += ':';
  text += Digits(value, 0);
  text += ' ';
  return text;
}

}  // namespace kestrova
