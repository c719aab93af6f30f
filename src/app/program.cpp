#include "app/program.h"

#include "ui/settings_window.h"
#include "ui/settings_window_view.h"

namespace kestrova {

namespace {
std::string WithBackslash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}
}  // namespace

Program::Program(Platform& platform) : platform_(platform) {}

Program::~Program() = default;

bool Program::StartUp(const std::string& exeFolder, const ViewFactory& createView,
                      const SettingsHooks& hooks) {
  appPath_ = WithBackslash(exeFolder);
  ini_ = std::make_unique<IniFile>(platform_.profile, platform_.codePage, SettingsPath(appPath_));

  if (platform_.shell.AnotherInstanceRunning()) {
    const int handle = ini_->IniReadInt("Main", "WindowHandle", 0);
    if (handle != 0) platform_.shell.SendWakeUp(static_cast<WindowHandle>(static_cast<unsigned int>(handle)));
    return false;
  }

  // Titles a killed or crashed run left decorated go back before any tick.
  std::vector<LastTarget> notTaken;
  if (platform_.files != nullptr) {
    record_ = std::make_unique<TitleRecord>(*platform_.files, appPath_ + kTitleRecordName);
    record_->onChange = platform_.keepForCrash;
    notTaken = RestoreRecordedTitles(platform_.windows, record_->Load());
    record_->Clear();
  }

  platform_.startSamplers();
  startupFolder_ = WithBackslash(platform_.shell.GetSpecialFolderPath(kStartupFolderId));
  platform_.shell.ExtractAppIcons(appPath_ + kExeName);
  LoadSettings(*ini_, settings_);

  window_ = std::make_unique<SettingsWindow>(SettingsWindowContext{
      platform_.windows, platform_.clock, platform_.locale, platform_.sysinfo, platform_.shell,
      platform_.prompts, settings_, *ini_, appPath_, startupFolder_, [this] { ShutDown(); }, hooks});
  window_->AttachView(createView(*window_));
  if (record_ != nullptr) {
    TitleWriter& titles = window_->tick().titles();
    titles.AdoptGiveBacks(std::move(notTaken));
    titles.SetRecord(record_.get());
  }
  window_->Load();
  window_->ApplyWindowMode(!(settings_.Use == 1 && settings_.WindowHide == 1));
  return true;
}

void Program::ShutDown() {
  platform_.shell.DestroyAppIcons();
  if (settings_.TaskIcon != 0) platform_.shell.RemoveTrayIcon();
  platform_.stopSamplers();
  ini_->IniWriteString("Main", "WindowHandle", "");
}

}  // namespace kestrova
