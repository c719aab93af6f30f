#pragma once
// The settings window (Form1): its pages on the form kernel, OK / Apply /
// Cancel, the preview, both menus, and Timer1, which runs the main tick.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/tick.h"
#include "form/binding.h"
#include "form/form.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "platform/window_system.h"
#include "settings/settings.h"
#include "shell/menus.h"
#include "ui/rule_list.h"
#include "ui/settings_form.h"
#include "ui/settings_window_view.h"

namespace kestrova {

class IniFile;
class SysInfoSources;

// Windows that other parts of the program open from here. An empty hook greys
// its menu item or button.
struct SettingsHooks {
  std::function<void()> alarmEditor;  // modal; the count label follows afterwards
  std::function<void()> about;        // modal
  std::function<void()> hotkeys;      // modal
  std::function<void()> startup;      // registers or removes the shortcut
  // The first-run question; Yes registers. Without it the first run asks nothing.
  std::function<void()> welcome;
  // Reads the Startup folder again; without it the shell is asked for the file.
  std::function<bool()> startupRegistered;
  // The pattern for the box the dialog was opened from; nothing when cancelled.
  std::function<std::optional<std::string>()> formatDialog;
  std::function<int()> pickAlarm;  // the alarm's position, -1 when cancelled
  // The rule editor on the window's working rules; true when they changed.
  // `edited` is EditedRule: its allow/exclude choice opens the next add.
  std::function<bool(WorkingRules& working, WindowRule& edited)> addRule;
  std::function<bool(WorkingRules& working, WindowRule& edited, int row)> editRule;
};

// What the settings window reaches of the running program.
struct SettingsWindowContext {
  WindowSystem& windows;
  Clock& clock;
  Locale& locale;
  SysInfoSources& sysinfo;
  Shell& shell;
  Prompts& prompts;
  Settings& settings;
  IniFile& ini;
  std::string appPath;
  std::string startupFolder;
  // Releases what start-up took (icons, tray icon, samplers, "WindowHandle").
  std::function<void()> shutDown;
  SettingsHooks hooks;
};

// "Kestrova Ver.major.minor.revision"
std::string TrayTipText();

// How the window is being unloaded.
enum class UnloadMode { kUser = 0, kCode = 1, kFromOutside = 2, kSessionEnd = 3 };

// Timer1's interval in milliseconds for a stored Timing value.
int TimingToInterval(int timing);
// "00秒500": HScroll1's position as the interval text.
std::string IntervalText(int position);
// "3カウント（1.5秒）": the alternation count n at HScroll1's position.
std::string AlternationText(int count, int position);
// The rows between the pages and Settings; the rule list row works on `workingRules`.
std::vector<Binding<Settings>> SettingsBindings(WorkingRules& workingRules);

class SettingsWindow {
 public:
  explicit SettingsWindow(SettingsWindowContext context);
  ~SettingsWindow();
  // The handlers and binding rows hold `this`.
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;

  FormModel& Form() { return form_; }
  void AttachView(SettingsWindowView& view);

  // The window load: lists, NowSetting, the welcome question, the first page.
  void Load();
  // A timer tick, or one a window event runs at once.
  void Tick(TickCause cause = TickCause::kTimer);
  void ApplyWindowMode(bool show);
  // Returns true when the unload is cancelled (the window only hides).
  bool QueryUnload(UnloadMode mode);
  void Command2Click(Command2 button);
  void NowSetting();
  void Preview();

  // Menus and the tray icon.
  std::vector<MenuItem> MenuBarItems() const;
  std::vector<MenuItem> IconMenuItems() const;
  void RunCommand(int command);
  void TrayNotify(int mouseMessage);
  // A second copy asks to open the settings, whatever ShowSetting says.
  void WakeUp() { ApplyWindowMode(true); }
  // Explorer restarted: the tray icon is put back where it should be shown.
  void TaskbarCreated();
  // Ctrl+Tab (+1) and Ctrl+Shift+Tab (-1).
  void SwitchPage(int step);

  bool Paused() const { return tick_ != nullptr && tick_->Paused(); }
  MainTick& tick() { return *tick_; }
  const WindowRuleList& WorkingRules() const { return workingRules_.list; }
  // List2's tooltip with the pointer over `row` (-1: over no row).
  std::string RuleTooltipAt(int row) const;
  bool StartupRegistered() const { return startupRegistered_; }
  bool Loaded() const { return loaded_; }
  int TimerInterval() const { return timerInterval_; }
  bool Ended() const { return ended_; }

 private:
  void FillLists();
  void WireHandlers();
  void OnInterval(Cause cause);
  void RefreshAlternation();
  void RefreshMessagePosition();
  void RefreshAlarmCount();
  void RefreshStartup();
  void CountdownFromAlarm();
  void FormatDialog(int target);
  // Runs one of the rule buttons; List2 shows the rules again when they changed.
  void RuleCommand(int button);
  void Accept(Command2 button);
  void ShowFirstRunNotice(const char* title, const char* firstLine);
  // Saves `s`, telling the user when the file could not take all of it.
  void Save(const Settings& s);
  Settings Edited() const;

  SettingsWindowContext c_;
  FormModel form_;
  kestrova::WorkingRules workingRules_;
  WindowRule editedRule_;
  std::vector<Binding<Settings>> bindings_;
  SettingsWindowView* view_ = nullptr;
  std::unique_ptr<MainTick> tick_;
  bool startupRegistered_ = false;
  bool loaded_ = false;
  bool ended_ = false;
  bool wentResident_ = false;
  int timerInterval_ = 1000;
};

}  // namespace kestrova
