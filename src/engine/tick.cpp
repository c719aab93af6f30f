#include "engine/tick.h"

#include <utility>

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

namespace {
// Runs `atExit` however the scope ends.
template <class F>
struct ScopeEnd {
  explicit ScopeEnd(F f) : atExit(std::move(f)) {}
  ~ScopeEnd() { atExit(); }
  F atExit;
};
}  // namespace

void MainTick::Run(const SettingsWindowState& settingsWindow, TickCause cause) {
  if (ended_) return;
  // A popup's nested loop may run ticks of the other kind inside this one.
  const ScopeEnd restore{[this, saved = tickCall_] { tickCall_ = saved; }};
  tickCall_ = cause == TickCause::kEvent ? AlarmCall::kEventTick : AlarmCall::kTick;
  const ScopeEnd span{[this, outer = alarms_.OpenTickSpan()] { alarms_.CloseTickSpan(outer); }};
  const ScopeEnd report{[this, &settingsWindow] { ReportOverlay(&settingsWindow); }};
  titles_.Settle();
  const WindowHandle target = front_ = titles_.GetTargetWindow();
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
  if (windows_.IsOwnWindow(target)) {
    // Our question and message boxes, the alarm popup, the editors and the
    // overlay keep their captions; the window left behind gets its own back.
    if (titles_.Last().Handle != 0) titles_.ChangeTitle(0);
    alarms_.CheckAlarm(std::string(), tickCall_);
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
  ReportOverlay(nullptr);
}

void MainTick::End() {
  if (ended_) return;
  ended_ = true;
  titles_.ChangeTitle(0);
  titles_.Settle();
  ReportOverlay(nullptr);
}

void MainTick::ReportOverlay(const SettingsWindowState* settingsWindow) {
  if (overlay_ == nullptr) return;
  const WindowHandle decorated = titles_.Last().Handle;
  // Only over the window that carries our text and is still in front; a
  // window the rules keep plain never becomes Last().
  const bool show =
      settings_.Overlay != 0 && !paused_ && !ended_ && decorated != 0 &&
      (settingsWindow == nullptr || (!settingsWindow->visible && decorated != settingsWindow->handle)) &&
      decorated == front_;
  overlay_->Update(show ? decorated : 0, show ? titles_.WrittenPieces() : std::string());
}

}  // namespace kestrova
