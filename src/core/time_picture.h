#pragma once
// Pictures of the host's date and time formats: runs of one letter are
// fields, 'quoted' text is literal and '' is one quote, inside quotes or not.
// The time fields: H/HH (0-23), h/hh (1-12), m/mm, s/ss, t (first character
// of the morning/afternoon string) and tt (all of it).
#include <cstddef>
#include <string>
#include <string_view>

#include "core/decimal.h"
#include "core/text.h"

namespace kestrova {

// Gives each run of one letter to `field(out, letter, count)`; a run it
// answers false for is copied as it stands. `Out` takes `+= char` and
// `+= std::string_view`, as for AppendDecimal.
template <class Out, class Field>
void WalkPicture(Out& out, std::string_view pic, Field&& field) {
  size_t i = 0;
  while (i < pic.size()) {
    const char c = pic[i];
    if (c == '\'') {
      if (++i < pic.size() && pic[i] == '\'') {
        out += '\'';
        ++i;
        continue;
      }
      for (; i < pic.size(); ++i) {
        if (pic[i] != '\'') {
          out += pic[i];
        } else if (i + 1 < pic.size() && pic[i + 1] == '\'') {
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
    while (i + n < pic.size() && pic[i + n] == c) ++n;
    if (!field(out, c, n)) out += pic.substr(i, n);
    i += n;
  }
}

// One time field of a picture; false for a letter that is not one.
template <class Out>
bool AppendTimeField(Out& out, char letter, size_t count, int hour, int minute, int second,
                     std::string_view am, std::string_view pm) {
  const int digits = count >= 2 ? 2 : 1;
  switch (letter) {
    case 'H':
      AppendDecimal(out, hour, digits);
      return true;
    case 'h':
      AppendDecimal(out, hour % 12 == 0 ? 12 : hour % 12, digits);
      return true;
    case 'm':
      AppendDecimal(out, minute, digits);
      return true;
    case 's':
      AppendDecimal(out, second, digits);
      return true;
    case 't': {
      const std::string_view marker = hour < 12 ? am : pm;
      out += count >= 2 ? marker : marker.substr(0, Utf8CharLength(marker));
      return true;
    }
    default:
      return false;
  }
}

std::string FormatTimePicture(std::string_view picture, int hour, int minute, int second, std::string_view am,
                              std::string_view pm);

}  // namespace kestrova
