#include "core/time_picture.h"

#include <algorithm>

namespace kestrova {

namespace {

void AppendField(std::string& out, int value, bool twoDigits) {
  if (twoDigits && value >= 0 && value < 10) out += '0';
  out += std::to_string(value);
}

// Bytes of the UTF-8 character at the start of `s`.
size_t FirstCharLength(std::string_view s) {
  if (s.empty()) return 0;
  const auto c = static_cast<unsigned char>(s[0]);
  const size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  return std::min(n, s.size());
}

}  // namespace

std::string FormatTimePicture(std::string_view picture, int hour, int minute, int second, std::string_view am,
                              std::string_view pm) {
  std::string out;
  size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    if (c == '\'') {
      // 'text' is literal; '' inside or outside it is one quote.
      if (++i < picture.size() && picture[i] == '\'') {
        out += '\'';
        ++i;
        continue;
      }
      for (; i < picture.size(); ++i) {
        if (picture[i] != '\'') {
          out += picture[i];
        } else if (i + 1 < picture.size() && picture[i + 1] == '\'') {
          out += '\'';
          ++i;
        } else {
          ++i;
          break;
        }
      }
      continue;
    }
    size_t n = 1;
    while (i + n < picture.size() && picture[i + n] == c) ++n;
    const bool two = n >= 2;
    switch (c) {
      case 'H':
        AppendField(out, hour, two);
        break;
      case 'h':
        AppendField(out, hour % 12 == 0 ? 12 : hour % 12, two);
        break;
      case 'm':
        AppendField(out, minute, two);
        break;
      case 's':
        AppendField(out, second, two);
        break;
      case 't': {
        const std::string_view marker = hour < 12 ? am : pm;
        out += two ? marker : marker.substr(0, FirstCharLength(marker));
        break;
      }
      default:
        out.append(picture.substr(i, n));
        break;
    }
    i += n;
  }
  return out;
}

}  // namespace kestrova
