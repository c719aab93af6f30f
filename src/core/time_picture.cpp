#include "core/time_picture.h"

namespace kestrova {

std::string FormatTimePicture(std::string_view picture, int hour, int minute, int second, std::string_view am,
                              std::string_view pm) {
  std::string out;
  WalkPicture(out, picture, [&](std::string& o, char letter, size_t count) {
    return AppendTimeField(o, letter, count, hour, minute, second, am, pm);
  });
  return out;
}

}  // namespace kestrova
