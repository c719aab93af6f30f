#include "platform/locale.h"

#include "resources/strings.h"

namespace kestrova {

std::array<std::string, 7> JapaneseDayNames(bool full) {
  std::array<std::string, 7> names;
  for (int d = 0; d < 7; ++d)
    names[static_cast<std::size_t>(d)] = full ? WeekdayFullName(d) : std::string(WeekdayName(d));
  return names;
}

}  // namespace kestrova
