#include "app/program.h"

#include "alarms/alarm_editor.h"
#include "shell/about_window.h"
#include "ui/countdown_picker.h"
#include "ui/hotkey_dialog.h"
#include "ui/keyboard_commands.h"
#include "ui/rule_list.h"
#include "ui/settings_window.h"
#include "ui/settings_window_view.h"
#include "ui/time_format_dialog.h"

namespace kestrova {

namespace {
std::string WithBackslash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}
}  // namespace

Program::Program(Platform& platform)
    : platform_(platform),
      picker_(platform.picker, platform.codePage, platform.windows, [this]() -> const TitleWriter* {
        return window_ != nullptr ? &window_->tick().titles() : nullptr;
      }) {}

Program::~Program() = default;

bool Program::StartUp(const std::string& exeFolder, const ViewFactory& createView) {
  appPath_ = WithBackslash(exeFolder);
  ini_ = std::make_unique<IniFile>(platform_.profile, platform_.codePage, SettingsPath(appPath_));

  if (platform_.shell.AnotherInstanceRunning()) {
    const int handle = ReadWindowHandle(*ini_);
    if (handle != 0) platform_.shell.SendWakeUp(static_cast<WindowHandle>(static_cast<unsigned int>(handle)));
    return false;
  }

  ini_->FinishInterruptedRewrite();
  if (!CanSaveIn(platform_.files, appPath_)) {
    platform_.prompts.Ask(PromptKind::kExclamation, "Kestrova", kFolderNotWritable);
  }
  // Titles a killed or crashed run left decorated go back before any tick.
  std::vector<LastTarget> notTaken;
  if (platform_.recordFiles != nullptr) {
    record_ = std::make_unique<TitleRecord>(*platform_.recordFiles, appPath_ + kTitleRecordName);
    record_->onChange = platform_.keepForCrash;
    notTaken = RestoreRecordedTitles(platform_.windows, record_->Load());
    record_->Clear();
  }

  platform_.startSamplers();
  const std::string startupFolder = platform_.shell.GetSpecialFolderPath(kStartupFolderId);
  startupFolder_ = WithBackslash(startupFolder);
  platform_.shell.ExtractAppIcons(appPath_ + kExeName);
  LoadSettings(*ini_, settings_);
  startup_ = std::make_unique<StartupCommand>(platform_.prompts, platform_.files, platform_.codePage,
                                              appPath_, startupFolder);

  window_ = std::make_unique<SettingsWindow>(SettingsWindowContext{
      platform_.windows, platform_.clock, platform_.locale, platform_.sysinfo, platform_.shell,
      platform_.prompts, settings_, *ini_, appPath_, startupFolder_, [this] { ShutDown(); }, DialogHooks()});
  window_->AttachView(createView(*window_));
  if (record_ != nullptr) {
    TitleWriter& titles = window_->tick().titles();
    titles.AdoptGiveBacks(std::move(notTaken));
    titles.SetRecord(record_.get());
  }
  window_->Load();
  window_->ApplyWindowMode(!(settings_.Use == 1 && settings_.WindowHide == 1));
  if (platform_.hotkeys != nullptr) {
    // After the tray icon is there, for the balloon of a combination held elsewhere.
    keys_ = std::make_unique<KeyboardCommands>(*window_, *platform_.hotkeys, *ini_, settings_, platform_.clock,
                                               platform_.locale);
    keys_->Load();
  }
  return true;
}

SettingsHooks Program::DialogHooks() {
  Platform& p = platform_;
  // Runs `open` unless a dialog is open already; otherwise answers `none`.
  const auto alone = [this](auto open, auto none) {
    return [this, open, none](auto&&... args) {
      if (dialogOpen_) return none;
      dialogOpen_ = true;
      auto outcome = open(args...);
      dialogOpen_ = false;
      return outcome;
    };
  };
  SettingsHooks h;
  h.alarmEditor = alone(
      [this, &p] {
        // The tick's ids: a popup open meanwhile stays with its own alarm.
        return EditAlarms(p.prompts, p.locale, p.clock, *ini_, p.codePage, settings_,
                          window_->tick().alarms().Ids());
      },
      false);
  h.about = alone(
      [&p] {
        ShowAbout(p.prompts, p.shell, p.version);
        return true;
      },
      false);
  if (startup_->Available()) {
    h.startup = alone(
        [this] {
          startup_->Run();
          return true;
        },
        false);
  }
  if (p.hotkeys != nullptr) {
    h.hotkeys = alone(
        [this, &p] {
          if (keys_ == nullptr) return false;
          keys_->Suspend();
          if (auto texts = EditHotkeys(p.prompts, keys_->Texts(), keys_->Statuses())) {
            keys_->Change(*texts);
          } else {
            keys_->RegisterAll(false);
          }
          return true;
        },
        false);
  }
  h.welcome = [this] { startup_->Welcome(); };
  h.startupRegistered = [this] {
    startup_->Refresh();
    return startup_->Registered();
  };
  h.formatDialog = alone([&p] { return EditTimeFormat(p.prompts); }, std::optional<std::string>());
  h.pickAlarm =
      alone([this, &p] { return PickAlarm(p.prompts, settings_.Alarms, settings_.AlarmCount); }, -1);
  h.addRule = alone(
      [this, &p](WorkingRules& working, WindowRule& edited) {
        return AddRule(p.prompts, picker_, p.codePage, working, edited);
      },
      false);
  h.editRule = alone(
      [this, &p](WorkingRules& working, WindowRule& edited, int row) {
        return EditRuleAt(p.prompts, picker_, p.codePage, working, edited, row);
      },
      false);
  return h;
}

void Program::ShutDown() {
  platform_.shell.DestroyAppIcons();
  if (settings_.TaskIcon != 0) platform_.shell.RemoveTrayIcon();
  platform_.stopSamplers();
  ClearWindowHandle(*ini_);
}

}  // namespace kestrova
