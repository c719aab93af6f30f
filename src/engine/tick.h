#pragma once
// The main tick: follows the foreground window, asks the rules, runs the alarm
// check, writes and gives back titles, and holds the pause flag.
#include <functional>
#include <string>

#include "alarms/alarm_check.h"
#include "engine/overlay_sink.h"
#include "engine/title.h"

namespace kestrova {

struct Settings;
class SysInfoSources;

// What one tick must know of the settings window.
struct SettingsWindowState {
  WindowHandle handle = 0;
  bool visible = false;
  // Refreshes the preview; runs while the settings window is in front.
  std::function<void()> preview;
};

// A tick of Timer1, or one that a window event (another window in front)
// runs at once between them.
enum class TickCause { kTimer, kEvent };

class MainTick {
 public:
  MainTick(WindowSystem& windows, Clock& clock, Locale& locale, SysInfoSources& sysinfo, Settings& settings,
           AlarmPopupHost& popups);

  void Run(const SettingsWindowState& settingsWindow, TickCause cause = TickCause::kTimer);

  bool Paused() const { return paused_; }
  // Pausing gives the window in front its own title back at once.
  void TogglePause();
  // The program ends: titles go back and no tick runs after this.
  void End();
  bool Ended() const { return ended_; }

  // Told after every run, pause and end what the caption overlay should show; may be null.
  void SetOverlay(OverlaySink* overlay) { overlay_ = overlay; }

  TitleWriter& titles() { return titles_; }
  AlarmChecker& alarms() { return alarms_; }

 private:
  WindowSystem& windows_;
  Locale& locale_;
  Settings& settings_;
  AlarmChecker alarms_;
  TitleWriter titles_;
  AlarmCall tickCall_ = AlarmCall::kTick;
  void ReportOverlay(const SettingsWindowState* settingsWindow);

  OverlaySink* overlay_ = nullptr;
  // The target of the last run.
  WindowHandle front_ = 0;
  bool paused_ = false;
  bool ended_ = false;
};

}  // namespace kestrova
