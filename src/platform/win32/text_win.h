#pragma once
// Text conversions at the boundary with the Win32 calls: UTF-8 inside,
// UTF-16 for the Unicode calls, the ANSI code page where a file keeps it.
#include <windows.h>

#include <climits>
#include <optional>
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

// WideCharToMultiByte, or a stand-in that answers as Windows does where Wine
// is more lenient (the tests).
using WideToMultiByteCall = int(WINAPI*)(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL);

// Nothing when Windows refuses: a zero return for a text that is not empty is a failure.
inline std::optional<std::string> TryFromWide(UINT codePage, DWORD flags, std::wstring_view text,
                                              WideToMultiByteCall convert = &WideCharToMultiByte) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX) return std::nullopt;
  const int size = static_cast<int>(text.size());
  const int n = convert(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  if (convert(codePage, flags, text.data(), size, out.data(), n, nullptr, nullptr) != n) return std::nullopt;
  return out;
}

inline std::string FromWide(UINT codePage, DWORD flags, std::wstring_view text) {
  return TryFromWide(codePage, flags, text).value_or(std::string());
}

// WC_NO_BEST_FIT_CHARS where the code page takes it. Windows refuses every
// flag but WC_ERR_INVALID_CHARS for UTF-8 (65001, the system code page under
// "Beta: Unicode UTF-8 for worldwide language support"), and any flag for
// UTF-7, Symbol (42) and the ISO-2022 and ISCII code pages.
inline DWORD NoBestFitFlags(UINT codePage) {
  if (codePage == CP_ACP) codePage = GetACP();
  const bool noFlags = codePage == CP_UTF8 || codePage == CP_UTF7 || codePage == 42 ||
                       (codePage >= 50220 && codePage <= 50229) || (codePage >= 57002 && codePage <= 57011);
  return noFlags ? 0 : WC_NO_BEST_FIT_CHARS;
}

// The code page's bytes for `text`, without look-alikes: a character it lacks
// becomes "?". Should Windows fail the conversion, one "?" per UTF-16 unit, so
// that the text counts as not fitting rather than as empty.
inline std::string ToCodePage(UINT codePage, std::wstring_view text,
                              WideToMultiByteCall convert = &WideCharToMultiByte) {
  if (auto bytes = TryFromWide(codePage, NoBestFitFlags(codePage), text, convert)) return *bytes;
  return std::string(text.size(), '?');
}

inline std::wstring Widen(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }
inline std::string Narrow(std::wstring_view utf16) { return FromWide(CP_UTF8, 0, utf16); }

}  // namespace kestrova::win32
