#include "settings/win32/codepage_win.h"

#include <windows.h>

#include "platform/win32/text_win.h"

namespace kestrova {
using win32::Narrow;
using win32::ToWide;

WinCodePage::WinCodePage() : codePage_(GetACP()) {}

// No "best fit": a character the code page lacks becomes "?" rather than a
// look-alike that could change the meaning of the text in the file.
std::string WinCodePage::ToAnsi(const std::string& utf8) {
  return win32::ToCodePage(codePage_, ToWide(CP_UTF8, utf8), convert_);
}

std::string WinCodePage::FromAnsi(const std::string& ansi) { return Narrow(ToWide(codePage_, ansi)); }

bool WinCodePage::IsLeadByte(unsigned char byte) { return IsDBCSLeadByteEx(codePage_, byte) != FALSE; }

}  // namespace kestrova
