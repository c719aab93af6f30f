#include "ui/window_picker.h"

#include "core/text.h"

namespace kestrova {

std::string CutToAnsiBytes(CodePage& codePage, const std::string& utf8, std::size_t maxBytes) {
  if (codePage.ToAnsi(utf8).size() <= maxBytes) return utf8;
  // Character by character: each one costs one or two bytes (an emoji two "?").
  std::size_t used = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t n = Utf8CharLength(utf8, i);
    const std::size_t cost = codePage.ToAnsi(utf8.substr(i, n)).size();
    if (used + cost > maxBytes) break;
    used += cost;
    i += n;
  }
  return utf8.substr(0, i);
}

}  // namespace kestrova
