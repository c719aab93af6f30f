#pragma once
// What the settings window's model asks of its view (the real window, or a fake in tests).
#include <string>

#include "platform/window_system.h"

namespace kestrova {
class AlarmPopupHost;
}

namespace kestrova {

class SettingsWindowView {
 public:
  virtual ~SettingsWindowView() = default;
  virtual WindowHandle Handle() = 0;
  // The small hidden window that receives the tray callbacks and the wake-up of a second copy.
  virtual WindowHandle CallbackHandle() = 0;
  virtual void Show(bool show) = 0;
  virtual bool IsVisible() = 0;
  // Restarts Timer1 with the interval in milliseconds.
  virtual void SetTimerInterval(int milliseconds) = 0;
  virtual void SetPreview(const std::string& text) = 0;
  virtual void SetStartupMenuCaption(const std::string& caption) = 0;
  // Modal boxes captioned `title`: a Yes/No question, and a notice.
  virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
  virtual void ShowInformation(const std::string& title, const std::string& text) = 0;
  // Shows the alarm popup, owned by this window.
  virtual AlarmPopupHost& AlarmPopups() = 0;
  // Destroys the window and ends the message loop.
  virtual void Close() = 0;
};

}  // namespace kestrova
