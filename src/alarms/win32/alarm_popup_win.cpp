#include "alarms/win32/alarm_popup_win.h"

#include "alarms/alarm_popup.h"
#include "form/win32/modal_win.h"

namespace kestrova::win32 {

Win32AlarmPopupHost::Win32AlarmPopupHost(HWND owner, HICON icon, Settings& settings, IniFile& ini)
    : owner_(owner), icon_(icon), settings_(settings), ini_(ini) {}

void Win32AlarmPopupHost::ShowAlarmPopup(int entry, const std::string& message) {
  AlarmPopup popup(settings_, ini_);
  popup.Fill(entry, message);
  FormWindow window(popup.Form(), icon_);
  HWND anchor = owner_ != nullptr && IsWindowVisible(owner_) ? owner_ : GetForegroundWindow();
  if (!window.Create(owner_, anchor)) return;
  HWND previous = popup_;
  popup_ = window.Hwnd();
  RunModal(window, owner_);
  popup_ = previous;
}

}  // namespace kestrova::win32
