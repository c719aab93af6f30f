#include "engine/tick.h"

#include "engine/rules.h"
#include "settings/settings.h"

namespace kestrova {

MainTick::MainTick(WindowSystem& windows, Clock& clock, Locale& locale, SysInfoSources& sysinfo,
                   Settings& settings, AlarmPopupHost& popups)
    : windows_(windows),
      locale_(locale),
      settings_(settings),
      alarms_(settings, clock, popups),
      titles_(windows, clock, locale, sysinfo, settings,
              [this](const std::string& clockText, bool clockPiece) {
                return alarms_.CheckAlarm(clockText, clockPiece ? AlarmCall::kClockPiece : tickCall_);
              }) {}

void MainTick::Run(const SettingsWindowState& settingsWindow, TickCause cause) {
  if (ended_) return;
  // A popup's nested loop may run ticks of the other kind inside this one.
  struct Restore {
    AlarmCall& call;
    AlarmCall saved;
    ~Restore() { call = saved; }
  } restore{tickCall_, tickCall_};
  tickCall_ = cause == TickCause::kEvent ? AlarmCall::kEventTick : AlarmCall::kTick;
  titles_.Settle();
  const WindowHandle target = titles_.GetTargetWindow();
  if (target == 0) return;
  if (target == settingsWindow.handle) {
    if (titles_.Last().Handle != 0) titles_.ChangeTitle(0);
    alarms_.CheckAlarm(std::string(), tickCall_);
    if (settingsWindow.preview) settingsWindow.preview();
    return;
  }
  if (settingsWindow.visible) {
    // Shown without coming to the front: no window keeps a clock that stopped.
    if (titles_.Last().Handle != 0) titles_.ChangeTitle(0);
    return;
  }
  if (paused_) {
    alarms_.CheckAlarm(std::string(), tickCall_);
    return;
  }
  if (target == titles_.Last().Handle) {
    titles_.ChangeTitle(target);
    return;
  }
  if (titles_.Last().Handle != 0) titles_.ChangeTitle(0);
  if (!IsWindowFiltered(windows_, locale_, settings_.WindowRules, settings_.AntiType, target)) {
    titles_.ChangeTitle(target);
  }
}

void MainTick::TogglePause() {
  paused_ = !paused_;
  if (paused_) titles_.ChangeTitle(0);
}

void MainTick::End() {
  if (ended_) return;
  ended_ = true;
  titles_.ChangeTitle(0);
  titles_.Settle();
}

}  // namespace kestrova
