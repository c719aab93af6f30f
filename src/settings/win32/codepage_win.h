#pragma once
// The system's ANSI code page through the Win32 conversion calls.
#include <windows.h>

#include <string>

#include "platform/profile_store.h"
#include "platform/win32/text_win.h"

namespace kestrova {

class WinCodePage : public CodePage {
 public:
  // The system's ANSI code page (GetACP), or another one for the tests.
  WinCodePage();
  explicit WinCodePage(UINT codePage, win32::WideToMultiByteCall convert = &WideCharToMultiByte)
      : codePage_(codePage), convert_(convert) {}

  std::string ToAnsi(const std::string& utf8) override;
  std::string FromAnsi(const std::string& ansi) override;
  bool IsLeadByte(unsigned char byte) override;

 private:
  UINT codePage_;
  win32::WideToMultiByteCall convert_ = &WideCharToMultiByte;
};

}  // namespace kestrova
