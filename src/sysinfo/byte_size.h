#pragma once
// Byte counts in the wording of the Windows shell's byte-size formatter on a
// Japanese system, for builds without that formatter.
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova {

// Three significant digits, truncated, 1024-based units: "532 バイト",
// "1.50 KB", "10.0 KB", "999 KB", "0.97 MB", "1.81 TB".
std::string FormatByteSizePortable(std::uint64_t bytes);

// Drops every space: "1.23 GB" -> "1.23GB" (network and disk texts).
std::string RemoveSpaces(std::string_view text);

}  // namespace kestrova
