#include "core/utf16le.h"

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
    // An overlong form ("C0 80" for NUL) is no character, as the code-page calls have it.
    const bool overlong = (len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (len == 0 || overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
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

std::string Utf8FromUtf16Le(std::string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  const auto unit = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(utf16[i])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(utf16[i + 1])) << 8);
  };
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    std::uint32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < utf16.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace kestrova
