#pragma once
// The settings window on screen: the renderer draws its pages; this adds
// Timer1, the tray callback window Picture1, the menus and the system messages.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "alarms/win32/alarm_popup_win.h"
#include "engine/switch_follow.h"
#include "engine/tick_schedule.h"
#include "engine/win32/window_events_win.h"
#include "form/win32/form_win.h"
#include "ui/settings_window_view.h"

namespace kestrova {
class SettingsWindow;
struct Settings;
class IniFile;
}  // namespace kestrova

namespace kestrova::win32 {

class Win32SettingsWindow : public SettingsWindowView {
 public:
  Win32SettingsWindow(SettingsWindow& model, Settings& settings, IniFile& ini, HICON largeIcon,
                      WindowSystem& windows);
  ~Win32SettingsWindow() override;

  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(window_.Hwnd()); }
  WindowHandle CallbackHandle() override { return reinterpret_cast<WindowHandle>(callback_); }
  void Show(bool show) override;
  bool IsVisible() override;
  void SetTimerInterval(int milliseconds) override;
  void MenusChanged() override;
  int TrackIconMenu(const std::vector<MenuItem>& items) override;
  AlarmPopupHost& AlarmPopups() override { return *popups_; }
  void Close() override;

  HWND hwnd() const { return window_.Hwnd(); }
  FormWindow& form() { return window_; }
  // Keys no dialog manager knows: Ctrl+Tab and Ctrl+Shift+Tab turn the pages.
  bool PreTranslate(const MSG& msg);

  // Runs when the user changes the regional settings.
  std::function<void()> onRegionalChange;

 private:
  static LRESULT CALLBACK CallbackProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // One handler a group of messages; each returns whether the message is done.
  bool OnSetCursor(WPARAM wParam, LPARAM lParam);
  // TaskbarCreated and the program's own posted messages.
  bool OnTickMessage(UINT msg);
  bool OnTimerMessage(UINT msg, WPARAM wParam);
  bool OnCommandMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  bool OnSessionMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Timer1 fired: the tick runs, and the timer is set for the next one.
  void TimerFired();
  // Sets the timer as `step` says, then runs the tick it asks for.
  void RunStep(const TimerStep& step);
  // Arms Timer1 for its first tick from now.
  void StartTimer();
  // After any tick: the destroy event follows the target, the watch runs
  // only where events are missing.
  void AfterTick(bool timer);
  void StartOrStopWatch();
  void StopFollowing();
  // List2's tooltip names the rule under the pointer.
  void FollowRuleUnderPointer();

  SettingsWindow& model_;
  FormWindow window_;
  HWND callback_ = nullptr;  // Picture1
  UINT taskbarCreated_ = 0;
  std::string ruleTip_;  // List2's tooltip as last set
  std::unique_ptr<Win32AlarmPopupHost> popups_;
  TickSchedule schedule_;
  SwitchFollow follow_;
  std::unique_ptr<Win32WindowEvents> events_;
  std::unique_ptr<Win32ForegroundWatch> watch_;
};

}  // namespace kestrova::win32
