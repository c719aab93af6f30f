#pragma once
// Code page 932 (Shift-JIS as Windows has it) through iconv, for builds that
// have no Windows code page: the native tests and tools.
#ifndef _WIN32

#include <iconv.h>

#include <string>

#include "platform/profile_store.h"

namespace kestrova {

// Converts exactly as Windows does with code page 932: characters that have
// no code become "?" (one per UTF-16 unit, so two for an emoji, and no
// "best fit" look-alikes); undefined double-byte codes and a lead byte
// without its trail byte read as "・"; the single bytes 0x80, 0xA0 and
// 0xFD..0xFF survive a round trip.
class Cp932CodePage : public CodePage {
 public:
  Cp932CodePage();
  ~Cp932CodePage() override;
  Cp932CodePage(const Cp932CodePage&) = delete;
  Cp932CodePage& operator=(const Cp932CodePage&) = delete;

  std::string ToAnsi(const std::string& utf8) override;
  std::string FromAnsi(const std::string& ansi) override;
  bool IsLeadByte(unsigned char byte) override;

 private:
  iconv_t toAnsi_;
  iconv_t fromAnsi_;
};

}  // namespace kestrova

#endif  // _WIN32
