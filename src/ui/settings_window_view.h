#pragma once
// The settings window's duties beyond its controls (the real window, or a fake in tests).
#include <vector>

#include "platform/window_system.h"
#include "shell/menus.h"

namespace kestrova {

class AlarmPopupHost;

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
  // The menu bar is built again from the model (a caption or a check changed).
  virtual void MenusChanged() = 0;
  // Shows the tray icon's pop-up menu at the pointer; the chosen command, or kCmdNone.
  virtual int TrackIconMenu(const std::vector<MenuItem>& items) = 0;
  virtual AlarmPopupHost& AlarmPopups() = 0;
  // Destroys the window and ends the message loop.
  virtual void Close() = 0;
};

}  // namespace kestrova
