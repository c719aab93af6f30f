#ifndef _WIN32

#include "settings/codepage_iconv.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <stdexcept>

namespace kestrova {
namespace {

constexpr char kMiddleDot[] = "\xE3\x83\xBB";  // U+30FB, what Windows reads for a broken double-byte code

// Characters that glibc's table gives a code but Windows' does not (it has
// them only as "best fit" look-alikes, which this program never uses).
constexpr std::uint32_t kWindowsLacks[] = {0x00A2, 0x00A3, 0x00A5, 0x00AC, 0x2014,
                                           0x2016, 0x203E, 0x2212, 0x301C};

// Single bytes that glibc leaves undefined and Windows maps one to one.
struct ByteAndChar {
  unsigned char byte;
  std::uint32_t cp;
};
constexpr ByteAndChar kSingleByteExtras[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};

bool WindowsLacks(std::uint32_t cp) {
  return std::find(std::begin(kWindowsLacks), std::end(kWindowsLacks), cp) != std::end(kWindowsLacks);
}

const ByteAndChar* SingleByteExtra(unsigned char byte) {
  for (const ByteAndChar& extra : kSingleByteExtras) {
    if (extra.byte == byte) return &extra;
  }
  return nullptr;
}

const ByteAndChar* AnsiExtra(std::uint32_t cp) {
  for (const ByteAndChar& extra : kSingleByteExtras) {
    if (extra.cp == cp) return &extra;
  }
  return nullptr;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Length of the well-formed UTF-8 sequence at `i` and its code point; 0 when
// the bytes there are not one.
std::size_t DecodeUtf8(const std::string& s, std::size_t i, std::uint32_t& cp) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = b(i);
  std::size_t len;
  std::uint32_t min;
  if (lead < 0x80) {
    cp = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    len = 2, cp = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    len = 3, cp = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    len = 4, cp = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// Converts one character; false when iconv has no code for it.
bool ConvertOne(iconv_t cd, const char* in, std::size_t inLen, std::string& out) {
  char buffer[8];
  char* inPtr = const_cast<char*>(in);
  char* outPtr = buffer;
  std::size_t outLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLen, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLen != 0) {
    return false;
  }
  out.append(buffer, sizeof buffer - outLeft);
  return true;
}

iconv_t Open(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP932 converter");
  return cd;
}

}  // namespace

Cp932CodePage::Cp932CodePage() : toAnsi_(Open("CP932", "UTF-8")), fromAnsi_(Open("UTF-8", "CP932")) {}

Cp932CodePage::~Cp932CodePage() {
  iconv_close(toAnsi_);
  iconv_close(fromAnsi_);
}

bool Cp932CodePage::IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string Cp932CodePage::ToAnsi(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    std::uint32_t cp = 0;
    const std::size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0) {
      out += '?';
      ++i;
      continue;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (const ByteAndChar* extra = AnsiExtra(cp)) {
      out += static_cast<char>(extra->byte);
    } else if (cp > 0xFFFF) {
      out += "??";  // a surrogate pair, one "?" per half
    } else if (WindowsLacks(cp) || !ConvertOne(toAnsi_, utf8.data() + i, len, out)) {
      out += '?';
    }
    i += len;
  }
  return out;
}

std::string Cp932CodePage::FromAnsi(const std::string& ansi) {
  std::string out;
  out.reserve(ansi.size() * 3 / 2);
  for (std::size_t i = 0; i < ansi.size();) {
    const auto b = static_cast<unsigned char>(ansi[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
    } else if (const ByteAndChar* extra = SingleByteExtra(b)) {
      AppendUtf8(out, extra->cp);
      ++i;
    } else if (IsLeadByte(b)) {
      // Like Windows, the lead byte takes the next byte whatever it is.
      if (i + 1 >= ansi.size() || !ConvertOne(fromAnsi_, ansi.data() + i, 2, out)) out += kMiddleDot;
      i += 2;
    } else {
      if (!ConvertOne(fromAnsi_, ansi.data() + i, 1, out)) out += kMiddleDot;
      ++i;
    }
  }
  return out;
}

}  // namespace kestrova

#endif  // _WIN32
