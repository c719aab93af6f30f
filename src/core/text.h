#pragma once
// Byte-level text helpers: ASCII letter case, UTF-8 character bounds, line breaks.
#include <cstddef>
#include <string>
#include <string_view>

namespace kestrova {

constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Only a..z change; UTF-8 beyond ASCII stays, its bytes being all above 0x7F.
std::string AsciiUpper(std::string_view text);

// Bytes of the UTF-8 character that starts at text[pos]: its lead byte's
// length, cut short where the text ends or a byte is no continuation byte,
// so a broken sequence never swallows the character after it. A stray
// continuation byte counts as one character. 0 at or past the end.
std::size_t Utf8CharLength(std::string_view text, std::size_t pos = 0);

// Whether `bytes` is UTF-8 without overlong forms, surrogates or values past U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Each line break (CR LF, CR or LF) as one blank: a value of the settings
// file is one line, and a break in it would start new keys.
std::string LineBreaksAsBlanks(std::string_view text);

}  // namespace kestrova
