#pragma once
// UTF-16LE, the form the shortcut format keeps its Unicode texts in.
#include <string>
#include <string_view>

namespace kestrova {

// The UTF-16LE bytes of UTF-8 text; each byte that starts no well-formed
// sequence becomes U+FFFD.
std::string Utf16Le(std::string_view utf8);

}  // namespace kestrova
