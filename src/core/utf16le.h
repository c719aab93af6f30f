#pragma once
// UTF-16LE, the form the shortcut format and a Unicode Kestrova.ini keep their texts in.
#include <string>
#include <string_view>

namespace kestrova {

// The UTF-16LE bytes of UTF-8 text; each byte that starts no well-formed
// sequence becomes U+FFFD.
std::string Utf16Le(std::string_view utf8);

// UTF-8 text of UTF-16LE bytes; an unpaired surrogate becomes U+FFFD and an
// odd last byte is dropped.
std::string Utf8FromUtf16Le(std::string_view utf16);

}  // namespace kestrova
