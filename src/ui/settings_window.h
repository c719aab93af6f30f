#pragma once
// The settings window (its model): owner of Timer1, which runs the main tick.
#include <functional>
#include <memory>
#include <string>

#include "engine/tick.h"
#include "platform/clock.h"
#include "platform/shell.h"
#include "platform/window_system.h"

namespace kestrova {

class IniFile;
class SettingsWindowView;
class SysInfoSources;
struct Settings;

// What the settings window reaches of the running program.
struct SettingsWindowContext {
  WindowSystem& windows;
  Clock& clock;
  Locale& locale;
  SysInfoSources& sysinfo;
  Shell& shell;
  Settings& settings;
  IniFile& ini;
  std::string startupFolder;
  // Releases what start-up took (icons, tray icon, samplers, "WindowHandle").
  std::function<void()> shutDown;
};

// "Kestrova Ver.major.minor.revision"
std::string TrayTipText();

inline constexpr const char* kSettingsCaption = "Kestrova-設定画面";

// How the window is being unloaded.
enum class UnloadMode { kUser = 0, kCode = 1, kFromOutside = 2, kSessionEnd = 3 };

// Timer1's interval in milliseconds for a stored Timing value.
int TimingToInterval(int timing);

class SettingsWindow {
 public:
  explicit SettingsWindow(SettingsWindowContext context);
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
  bool Paused() const { return tick_ != nullptr && tick_->Paused(); }
  void TogglePause();
  // Explorer restarted: the tray icon is put back where it should be shown.
  void TaskbarCreated();
  // A second copy, or the tray icon, asks to open the settings.
  void OpenSettings();
  // The tray menu's copy commands: the clock text of the saved pattern (no
  // message), and the system-information text.
  void CopyTime();
  void CopySystemInfo();

  MainTick& tick() { return *tick_; }
  bool StartupRegistered() const { return startupRegistered_; }
  bool Loaded() const { return loaded_; }
  int TimerInterval() const { return timerInterval_; }
  bool Ended() const { return ended_; }

 private:
  void ShowFirstRunNotice(const char* title, const char* firstLine);

  SettingsWindowContext c_;
  SettingsWindowView* view_ = nullptr;
  std::unique_ptr<MainTick> tick_;
  bool startupRegistered_ = false;
  bool loaded_ = false;
  bool ended_ = false;
  bool wentResident_ = false;
  int timerInterval_ = 1000;
};

}  // namespace kestrova
