#include "sysinfo/number_patterns.h"

#include <cmath>
#include <cstdlib>

#include "core/decimal.h"

namespace kestrova {
namespace {

// Rounds halves away from zero, keeping the result inside int64.
std::int64_t RoundToInt64(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLimit = 9.0e18;
  if (value >= kLimit) return static_cast<std::int64_t>(kLimit);
  if (value <= -kLimit) return -static_cast<std::int64_t>(kLimit);
  return std::llround(value);
}

}  // namespace

std::string FormatPercentNoZeroDigit(std::int64_t value) { return DecimalText(value, 0) + "%"; }

std::string FormatPercentThreeDigits(std::int64_t value) { return DecimalText(value, 3) + "%"; }

std::string FormatPercentOneDigit(std::int64_t value) { return DecimalText(value, 1) + "%"; }

std::string FormatOneOrTwoDecimals(double value) {
  const std::int64_t hundredths = RoundToInt64(value * 100.0);
  const std::int64_t whole = std::llabs(hundredths / 100);
  const std::int64_t fraction = std::llabs(hundredths % 100);
  std::string text = hundredths < 0 ? "-" : "";
  text += DecimalText(whole, 1);
  text += '.';
  text += static_cast<char>('0' + fraction / 10);
  if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
  return text;
}

std::string FormatRatioPercent(double ratio) {
  if (!std::isfinite(ratio)) return std::string(kNotAvailableText);
  return DecimalText(RoundToInt64(ratio * 100.0), 1) + "%";
}

std::string FormatAxisValue(char axis, std::int64_t value) {
  std::string text(1, axis);
  text += ':';
  text += DecimalText(value, 0);
  text += ' ';
  return text;
}

}  // namespace kestrova
