#include "core/number_parse.h"

#include <cmath>

namespace kestrova {

DigitRun ReadDigits(std::string_view text, std::size_t& pos, unsigned base) {
  DigitRun run;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    unsigned digit = base;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'z') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'Z') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    }
    if (digit >= base) break;
    run.value = run.value * base + digit;
    ++run.digits;
  }
  return run;
}

bool ReadSign(std::string_view text, std::size_t& pos) {
  if (pos >= text.size() || (text[pos] != '+' && text[pos] != '-')) return false;
  return text[pos++] == '-';
}

bool ParseInt32(std::string_view text, std::int32_t& value) {
  std::size_t pos = 0;
  const bool negative = ReadSign(text, pos);
  const DigitRun run = ReadDigits(text, pos);
  // More than 10 digits may have wrapped; none of them fits anyway (leading zeros aside).
  std::size_t significant = run.digits;
  for (std::size_t i = pos - run.digits; significant > 1 && text[i] == '0'; ++i) --significant;
  if (run.digits == 0 || pos != text.size() || significant > 10) return false;
  const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
  if (run.value > limit) return false;
  value = negative ? static_cast<std::int32_t>(0 - run.value) : static_cast<std::int32_t>(run.value);
  return true;
}

double ReadLeadingDecimal(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  const bool negative = ReadSign(text, pos);
  double value = static_cast<double>(ReadDigits(text, pos).value);
  if (pos < text.size() && text[pos] == '.') {
    const DigitRun fraction = ReadDigits(text, ++pos);
    value += static_cast<double>(fraction.value) / std::pow(10.0, static_cast<double>(fraction.digits));
  }
  return negative ? -value : value;
}

}  // namespace kestrova
