#pragma once
// Decimal numbers as text, the one writer behind every number the program shows or stores.
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova {

// Decimal with at least `minDigits` digits and a minus sign in front of them.
// A `minDigits` of 0 shows no digit for 0, as a "#" picture does. `Out` is
// std::string or any sink taking `+= char` and `+= std::string_view`.
template <class Out>
void AppendDecimal(Out& out, std::int64_t value, int minDigits = 1) {
  if (value >= 0 && value < 100 && minDigits <= 2) {  // nearly every clock field
    if (value == 0 && minDigits <= 0) return;
    if (value >= 10 || minDigits == 2) out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
    return;
  }
  if (value >= 1000 && value < 10000 && minDigits <= 4) {  // years
    const char digits[4] = {static_cast<char>('0' + value / 1000), static_cast<char>('0' + value / 100 % 10),
                            static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
    out += std::string_view(digits, 4);
    return;
  }
  // The magnitude as unsigned, so that INT64_MIN does not overflow.
  std::uint64_t u = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char text[24];
  int n = 0;
  do {
    text[sizeof text - 1 - n++] = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  while (n < minDigits && n < 20) text[sizeof text - 1 - n++] = '0';
  if (value < 0) text[sizeof text - 1 - n++] = '-';
  out += std::string_view(text + sizeof text - n, static_cast<std::size_t>(n));
}

inline std::string DecimalText(std::int64_t value, int minDigits = 1) {
  std::string out;
  AppendDecimal(out, value, minDigits);
  return out;
}

// h:mm:ss with at least two digits each; hours do not wrap.
std::string FormatSeconds(std::int64_t seconds);

}  // namespace kestrova
