#pragma once
// The alarm popup on screen: a modal window owned by the settings window.
#include <windows.h>

#include <string>

#include "alarms/alarm_check.h"

namespace kestrova {
struct Settings;
class IniFile;
}  // namespace kestrova

namespace kestrova::win32 {

class Win32AlarmPopupHost : public AlarmPopupHost {
 public:
  Win32AlarmPopupHost(HWND owner, HICON icon, Settings& settings, IniFile& ini);

  // The settings window may be made after the alarm check that needs this host.
  void SetOwner(HWND owner) { owner_ = owner; }

  // Shows the popup modally (timers and other windows go on) until it closes.
  // Without a window the entry keeps its Box: the user was never asked.
  void ShowAlarmPopup(int entry, const std::string& message) override;

  // The popup on screen, or nullptr.
  HWND PopupWindow() const { return popup_; }

 private:
  HWND owner_;
  HICON icon_;
  Settings& settings_;
  IniFile& ini_;
  HWND popup_ = nullptr;
};

}  // namespace kestrova::win32
