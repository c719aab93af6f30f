#pragma once
// The fixed number renderings of the system-information texts. Each function
// is named after the picture it reproduces.
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova {

// Shown where a percentage cannot be measured (CPU unknown, 0 / 0 ratios).
inline constexpr std::string_view kNotAvailableText = "---%";

// "###\%": digits without leading zeros, 0 gives "%" alone.
std::string FormatPercentNoZeroDigit(std::int64_t value);
// "000\%": at least three digits.
std::string FormatPercentThreeDigits(std::int64_t value);
// "0\%": at least one digit.
std::string FormatPercentOneDigit(std::int64_t value);
// "0.0#": rounded to two decimals (halves away from zero), the second decimal
// only when it is not 0: 12.5 -> "12.5", 3 -> "3.0", 98.764 -> "98.76".
std::string FormatOneOrTwoDecimals(double value);
// "0%": ratio times 100 rounded to an integer (0.456 -> "46%"); a ratio that
// is not a number (0 / 0) gives kNotAvailableText.
std::string FormatRatioPercent(double ratio);
// "\X\:# ": axis letter, colon, digits without leading zeros, one space
// (0 -> "X: "). A negative value keeps its sign after the colon: "X:-5 ".
std::string FormatAxisValue(char axis, std::int64_t value);

}  // namespace kestrova
