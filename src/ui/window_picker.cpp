#include "ui/window_picker.h"

namespace kestrova {

namespace {

std::size_t CodePointBytes(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  return 2;
}

}  // namespace

std::string CutToAnsiBytes(CodePage& codePage, const std::string& utf8, std::size_t maxBytes) {
  if (codePage.ToAnsi(utf8).size() <= maxBytes) return utf8;
  // Character by character: each one costs one or two bytes (an emoji two "?").
  std::size_t used = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t n = CodePointBytes(static_cast<unsigned char>(utf8[i]));
    const std::size_t cost = codePage.ToAnsi(utf8.substr(i, n)).size();
    if (used + cost > maxBytes) break;
    used += cost;
    i += n;
  }
  return utf8.substr(0, i);
}

}  // namespace kestrova
