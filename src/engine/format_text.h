#pragma once
// Small text helpers shared by the format expansion files.
#include <cstdint>
#include <string>

namespace kestrova {

// Decimal with at least `minDigits` digits, a minus sign in front of them.
inline void AppendNumber(std::string& out, std::int64_t value, int minDigits) {
  char buf[24];
  int n = 0;
  std::uint64_t u = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    buf[n++] = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  while (n < minDigits && n < 20) buf[n++] = '0';
  if (value < 0) buf[n++] = '-';
  while (n > 0) out += buf[--n];
}

}  // namespace kestrova
