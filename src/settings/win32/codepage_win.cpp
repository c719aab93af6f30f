#include "settings/win32/codepage_win.h"

#include <windows.h>

#include <climits>

namespace kestrova {
namespace {

std::wstring ToWide(UINT codePage, const std::string& text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int size = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(needed > 0 ? needed : 0), L'\0');
  if (needed > 0) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), needed);
  return wide;
}

std::string FromWide(UINT codePage, DWORD flags, const std::wstring& wide) {
  if (wide.empty() || wide.size() > INT_MAX) return {};
  const int size = static_cast<int>(wide.size());
  const int needed = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
  if (needed > 0)
    WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), needed, nullptr, nullptr);
  return text;
}

}  // namespace

// No "best fit": a character the code page lacks becomes "?" rather than a
// look-alike that could change the meaning of the text in the file.
std::string WinCodePage::ToAnsi(const std::string& utf8) {
  return FromWide(CP_ACP, WC_NO_BEST_FIT_CHARS, ToWide(CP_UTF8, utf8));
}

std::string WinCodePage::FromAnsi(const std::string& ansi) {
  return FromWide(CP_UTF8, 0, ToWide(CP_ACP, ansi));
}

bool WinCodePage::IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace kestrova
