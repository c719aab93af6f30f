// DateFormatter over arbitrary patterns, values and regional pictures.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "format/format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  kestrova::DateTime value;
  value.year = 1 + ((data[0] << 8) | data[1]) % 9999;
  value.month = data[2] % 14;  // 0 and 13 as a hand-made value could hold
  value.day = data[3] % 33;
  value.hour = data[4] % 25;
  value.minute = data[5] % 61;
  value.second = data[6] % 61;
  const uint8_t flags = data[7];
  const std::string_view pattern(reinterpret_cast<const char*>(data + 8), size - 8);

  kestrova::RegionalSettings regional;
  if (flags & 1) {
    // The same bytes as the host's pictures.
    regional.shortDate = std::string(pattern);
    regional.longDate = std::string(pattern);
    regional.timeFormat = std::string(pattern);
  }
  if (flags & 2) regional.japaneseCalendar = true;
  if (flags & 4) regional.eras.clear();
  if (flags & 8) {
    regional.shortDate.clear();
    regional.timeFormat.clear();
    regional.longDate.clear();
  }
  (void)kestrova::DateFormatter(value, pattern, regional);
  (void)kestrova::DateFormatter(value, kestrova::EscapeFormatText(pattern), regional);

  // Every character escaped comes back as itself.
  std::string escaped;
  for (char c : pattern) {
    escaped += '\\';
    escaped += c;
  }
  if (kestrova::DateFormatter(value, escaped, regional) != pattern) std::abort();
  return 0;
}
