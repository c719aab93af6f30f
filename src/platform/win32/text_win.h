#pragma once
// Text conversions at the boundary with the Win32 calls: UTF-8 inside,
// UTF-16 for the Unicode calls, the ANSI code page where a file keeps it.
#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

namespace kestrova::win32 {

inline std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), n);
  return out;
}

inline std::string FromWide(UINT codePage, DWORD flags, std::wstring_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int size = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

inline std::wstring Widen(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }
inline std::string Narrow(std::wstring_view utf16) { return FromWide(CP_UTF8, 0, utf16); }

}  // namespace kestrova::win32
