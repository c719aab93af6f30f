#include "sysinfo/byte_size.h"

#include "core/decimal.h"

namespace kestrova {
namespace {

constexpr const char* kUnitLetters = "KMGTPE";

}  // namespace

std::string FormatByteSizePortable(std::uint64_t bytes) {
  if (bytes < 1024) return DecimalText(static_cast<std::int64_t>(bytes)) + " バイト";

  // Unit and decimals as the shell picks them: below 10 units two decimals,
  // below 100 one, below 1000 none; from 1000 units on the next unit shows
  // "0.97". Exabytes catch everything above.
  int unit = 1;  // 1 = KB ... 6 = EB
  int decimals = 2;
  for (;; ++unit) {
    if (unit == 6) break;
    const std::uint64_t unitBytes = std::uint64_t{1} << (10 * unit);
    if (bytes < 10 * unitBytes) {
      decimals = 2;
      break;
    }
    if (bytes < 100 * unitBytes) {
      decimals = 1;
      break;
    }
    if (bytes < 1000 * unitBytes) {
      decimals = 0;
      break;
    }
  }
  const std::uint64_t scale = decimals == 2 ? 100 : decimals == 1 ? 10 : 1;

  // Truncated, never rounded up. From terabytes on the shell drops whole
  // megabytes first, which can shift the last digit; so do the same.
  std::uint64_t amount = bytes;
  int shift = 10 * unit;
  if (unit >= 4) {
    amount >>= 20;
    shift -= 20;
  }
  const std::uint64_t scaled = amount * scale >> shift;

  std::string text = DecimalText(static_cast<std::int64_t>(scaled / scale));
  if (decimals > 0) {
    std::string fraction = DecimalText(static_cast<std::int64_t>(scaled % scale));
    fraction.insert(0, decimals - fraction.size(), '0');
    text += '.';
    text += fraction;
  }
  text += ' ';
  text += kUnitLetters[unit - 1];
  text += 'B';
  return text;
}

std::string RemoveSpaces(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c != ' ') result += c;
  }
  return result;
}

}  // namespace kestrova
