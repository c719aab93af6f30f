#pragma once
// The user's regional settings and the system locale's upper-casing.
#include "platform/locale.h"

namespace kestrova {

class Win32Locale : public Locale {
 public:
  // Read on first use and kept: the formatter asks on every tick. Call
  // Reload when the user changes the regional settings (WM_SETTINGCHANGE "intl").
  RegionalSettings Regional() override;
  void Reload();
  std::string ToUpper(std::string_view text) override;
  bool ContainsNoCase(std::string_view text, std::string_view part) override;
  std::string AnsiRendering(std::string_view text) override;

 private:
  bool loaded_ = false;
  RegionalSettings regional_;
};

}  // namespace kestrova
