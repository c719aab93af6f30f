#pragma once
// The composition root: start-up, the resident settings window, shutdown.
#include <functional>
#include <memory>
#include <string>

#include "engine/title_record.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/profile_store.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "platform/version_info.h"
#include "platform/window_system.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "shell/startup_command.h"
#include "sysinfo/sources.h"
#include "ui/window_picker.h"

namespace kestrova {

class KeyboardCommands;
class SettingsWindow;
class SettingsWindowView;
struct SettingsHooks;

// The platform as the program reaches it.
struct Platform {
  WindowSystem& windows;
  Clock& clock;
  Locale& locale;
  ProfileStore& profile;
  CodePage& codePage;
  SysInfoSources& sysinfo;
  Shell& shell;
  Prompts& prompts;
  Files& files;
  VersionInfo& version;
  WindowPicker& picker;
  // Start and stop the system-information samplers.
  std::function<void()> startSamplers = [] {};
  std::function<void()> stopSamplers = [] {};
  // Where the record of decorated windows is kept; none keeps no record.
  Files* recordFiles = nullptr;
  // Told each time the record changes, so that a crash can still give titles back.
  std::function<void(const std::vector<DecoratedWindow>&)> keepForCrash = {};
  // System-wide hotkeys and typing; none leaves the keyboard commands out.
  HotkeyService* hotkeys = nullptr;
};

inline constexpr int kStartupFolderId = 7;
inline constexpr const char* kExeName = "Kestrova.exe";

class Program {
 public:
  using ViewFactory = std::function<SettingsWindowView&(SettingsWindow& model)>;

  explicit Program(Platform& platform);
  ~Program();

  // Runs the start-up steps. False when this copy must end at once (another copy runs).
  bool StartUp(const std::string& exeFolder, const ViewFactory& createView);
  void ShutDown();

  Platform& platform() { return platform_; }
  Settings& settings() { return settings_; }
  IniFile& ini() { return *ini_; }
  SettingsWindow& window() { return *window_; }
  // The hotkeys and the commands of a second copy's command line; null without a hotkey service.
  KeyboardCommands* keys() { return keys_.get(); }
  const std::string& AppPath() const { return appPath_; }
  const std::string& StartupFolder() const { return startupFolder_; }

 private:
  // The dialogs the settings window opens, bound to the platform.
  SettingsHooks DialogHooks();

  Platform& platform_;
  Settings settings_;
  std::string appPath_;
  std::string startupFolder_;
  std::unique_ptr<IniFile> ini_;
  // Outlives the window, whose title writer reports to it to the end.
  std::unique_ptr<TitleRecord> record_;
  std::unique_ptr<StartupCommand> startup_;
  std::unique_ptr<SettingsWindow> window_;
  std::unique_ptr<KeyboardCommands> keys_;
  // The rule editor's pick, which knows the titles this program wrote.
  OwnTitlePicker picker_;
  // A dialog is open: the tray menu stays reachable meanwhile, and a second
  // alarm editor over the same list would let the first one's OK undo it.
  bool dialogOpen_ = false;
};

}  // namespace kestrova
