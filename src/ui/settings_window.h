#pragma once
// The settings window (its model): owner of Timer1, the last target, the
// pause flag and the alarm evaluation; the main tick lives here.
#include <memory>
#include <string>

#include "engine/title.h"

namespace kestrova {

class Program;
class SettingsWindowView;
class AlarmChecker;

inline constexpr const char* kSettingsCaption = "Kestrova-設定画面";

// How the window is being unloaded.
enum class UnloadMode { kUser = 0, kCode = 1, kFromOutside = 2, kSessionEnd = 3 };

// Timer1's interval in milliseconds for a stored Timing value.
int TimingToInterval(int timing);

class SettingsWindow {
 public:
  explicit SettingsWindow(Program& program);
  ~SettingsWindow();

  void AttachView(SettingsWindowView& view);
  SettingsWindowView& view() { return *view_; }

  void Load();
  void Tick();
  void ApplyWindowMode(bool show);
  // Returns true when the unload is cancelled (the window only hides).
  bool QueryUnload(UnloadMode mode);
  // OK (0), Cancel (1), Apply (2).
  void Command2Click(int index);
  void NowSetting();
  void Preview();

  // The pause item of the tray menu.
  bool Paused() const { return paused_; }
  void TogglePause();
  // Explorer restarted: the tray icon is put back where it should be shown.
  void TaskbarCreated();
  // A second copy, or the tray icon, asks to open the settings.
  void OpenSettings();
  // The tray menu's copy commands: the clock text of the saved pattern (no
  // message), and the system-information text.
  void CopyTime();
  void CopySystemInfo();

  TitleWriter& titles() { return *titles_; }
  AlarmChecker& alarms() { return *alarms_; }
  bool StartupRegistered() const { return startupRegistered_; }
  bool Loaded() const { return loaded_; }
  int TimerInterval() const { return timerInterval_; }
  bool Ended() const { return ended_; }

 private:
  std::string CheckAlarm(const std::string& clockText);
  void ShowFirstRunNotice(const char* title, const char* firstLine);

  Program& program_;
  SettingsWindowView* view_ = nullptr;
  std::unique_ptr<TitleWriter> titles_;
  std::unique_ptr<AlarmChecker> alarms_;
  bool paused_ = false;
  bool startupRegistered_ = false;
  bool loaded_ = false;
  bool ended_ = false;
  int timerInterval_ = 1000;
};

}  // namespace kestrova
