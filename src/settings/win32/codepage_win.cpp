#include "settings/win32/codepage_win.h"

#include <windows.h>

#include "platform/win32/text_win.h"

namespace kestrova {
using win32::FromWide;
using win32::ToWide;

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
