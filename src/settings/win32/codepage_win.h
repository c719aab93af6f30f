#pragma once
// The system's ANSI code page through the Win32 conversion calls.
#include <string>

#include "platform/profile_store.h"

namespace kestrova {

class WinCodePage : public CodePage {
 public:
  std::string ToAnsi(const std::string& utf8) override;
  std::string FromAnsi(const std::string& ansi) override;
  bool IsLeadByte(unsigned char byte) override;
};

}  // namespace kestrova
