#include "resources/strings.h"

#include <algorithm>
#include <array>

namespace kestrova {

namespace {

struct Entry {
  int id;
  std::string_view text;
};

#define KESTROVA_STRING(id, text) Entry{id, std::string_view(text, sizeof(text) - 1)},
constexpr Entry kEntries[] = {
#include "resources/strings.inc"
};
#undef KESTROVA_STRING

constexpr bool Ascending() {
  for (size_t i = 1; i < std::size(kEntries); ++i) {
    if (kEntries[i - 1].id >= kEntries[i].id) return false;
  }
  return true;
}
static_assert(Ascending(), "strings.inc must list each number once, in ascending order");

}  // namespace

std::string_view ResString(int id) {
  const auto* end = std::end(kEntries);
  const auto* it =
      std::lower_bound(std::begin(kEntries), end, id, [](const Entry& e, int v) { return e.id < v; });
  return it != end && it->id == id ? it->text : std::string_view();
}

std::string_view WeekdayName(int dayOfWeek) {
  constexpr int kFirstWeekday = 500;
  return dayOfWeek >= 0 && dayOfWeek < 7 ? ResString(kFirstWeekday + dayOfWeek) : std::string_view();
}

std::string WeekdayFullName(int dayOfWeek) {
  const std::string_view name = WeekdayName(dayOfWeek);
  return name.empty() ? std::string() : std::string(name) + "曜日";
}

}  // namespace kestrova
