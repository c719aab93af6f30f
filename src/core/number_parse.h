#pragma once
// Numbers read from text: the settings file, the string table, the registry
// and the program's own tags all come through here.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrova {

struct DigitRun {
  std::uint64_t value = 0;  // wraps modulo 2^64, as a fixed-width accumulator does
  std::size_t digits = 0;
};

// The digits of `base` (2..36; letters in either case) from text[pos] on;
// `pos` moves past them.
DigitRun ReadDigits(std::string_view text, std::size_t& pos, unsigned base = 10);

// A "+" or "-" at text[pos] is taken; true for "-".
bool ReadSign(std::string_view text, std::size_t& pos);

// The whole text as one decimal number with an optional sign. False, and
// `value` untouched, for anything else or a number outside 32 bits.
bool ParseInt32(std::string_view text, std::int32_t& value);

// Leading blanks, a sign, digits and a decimal fraction ("+5.5"), up to the
// first character that fits none of them; 0 when no digit comes.
double ReadLeadingDecimal(std::string_view text);

}  // namespace kestrova
