#include "shell/utf16le.h"

#include <cstdint>

namespace kestrova {
namespace {

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

}  // namespace

std::string Utf16Le(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t len = lead < 0x80             ? 1
                      : (lead & 0xE0) == 0xC0 ? 2
                      : (lead & 0xF0) == 0xE0 ? 3
                      : (lead & 0xF8) == 0xF0 ? 4
                                              : 0;
    std::uint32_t cp = len == 1   ? lead
                       : len == 2 ? (lead & 0x1Fu)
                       : len == 3 ? (lead & 0x0Fu)
                                  : (lead & 0x07u);
    for (std::size_t k = 1; k < len; ++k) {
      const auto next = i + k < utf8.size() ? static_cast<unsigned char>(utf8[i + k]) : 0;
      if ((next & 0xC0) != 0x80) {
        len = 0;
        break;
      }
      cp = (cp << 6) | (next & 0x3Fu);
    }
    if (len == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      cp = 0xFFFD;
      len = 1;
    }
    if (cp >= 0x10000) {
      Put16(out, 0xD800 + ((cp - 0x10000) >> 10));
      Put16(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      Put16(out, cp);
    }
    i += len;
  }
  return out;
}

}  // namespace kestrova
