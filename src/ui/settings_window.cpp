#include "ui/settings_window.h"

#include "resources/version.h"
#include "settings/ini_file.h"

namespace kestrova {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kLnkName = "Kestrova.lnk";

std::string Joined(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) {
    if (!text.empty()) text += kCrLf;
    text += line;
  }
  return text;
}

}  // namespace

std::string TrayTipText() {
  return "Kestrova Ver." + std::to_string(KESTROVA_VERSION_MAJOR) + "." +
         std::to_string(KESTROVA_VERSION_MINOR) + "." + std::to_string(KESTROVA_VERSION_REVISION);
}

int TimingToInterval(int timing) {
  // Timing counts 2 ms steps when negative; presets 0.5 s, 1 s, 3 s, 1 min.
  int steps = 500;
  switch (timing) {
    case 0:
      steps = 250;
      break;
    case 1:
      steps = 500;
      break;
    case 2:
      steps = 1500;
      break;
    case 3:
      steps = 30000;
      break;
    default:
      if (timing < 0) steps = timing >= -32767 ? -timing : 32767;
      break;
  }
  return steps * 2;
}

SettingsWindow::SettingsWindow(SettingsWindowContext context)
    : c_(std::move(context)), form_(SettingsFormSpec()), bindings_(SettingsBindings(workingRules_)) {
  form_.SetRange(kVScroll1, -1, 255);
  form_.SetRange(kHScroll1, 1, 32767, 1, 50);
  form_.SetRange(kHScroll2, 1, 10);
  WireHandlers();
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::AttachView(SettingsWindowView& view) {
  view_ = &view;
  tick_ = std::make_unique<MainTick>(c_.windows, c_.clock, c_.locale, c_.sysinfo, c_.settings,
                                     view.AlarmPopups());
  view_->SetTimerInterval(timerInterval_);
}

void SettingsWindow::Load() {
  FillLists();
  NowSetting();
  if (c_.settings.Use == -1 && c_.hooks.welcome) c_.hooks.welcome();
  RefreshStartup();
  RefreshMessagePosition();
  form_.SetValue(kTabStrip, 0);
  loaded_ = true;
  // The ticks held back while loading: the front window gets its clock now.
  Tick();
}

void SettingsWindow::RefreshStartup() {
  startupRegistered_ = c_.hooks.startupRegistered ? c_.hooks.startupRegistered()
                                                  : c_.shell.FileExists(c_.startupFolder + kLnkName);
  if (view_ != nullptr) view_->MenusChanged();
}

void SettingsWindow::Tick(TickCause cause) {
  // Not before the load has finished: its welcome question is ours.
  if (ended_ || view_ == nullptr || !loaded_) return;
  tick_->Run({view_->Handle(), view_->IsVisible(), [this] { Preview(); }}, cause);
}

void SettingsWindow::ApplyWindowMode(bool show) {
  Settings& s = c_.settings;
  if (show) {
    if (s.Hide && s.TaskIcon != 0) c_.shell.RemoveTrayIcon();
    ClearWindowHandle(c_.ini);
    view_->Show(true);
    // Nothing is decorated while it shows: the last target's clock must not stand still until the next tick.
    Tick();
  } else {
    wentResident_ = true;
    WriteWindowHandle(c_.ini, static_cast<std::int64_t>(view_->CallbackHandle()));
    view_->Show(false);
    if (s.TaskIcon != 0) c_.shell.AddTrayIcon(view_->CallbackHandle(), TrayTipText());
  }
}

void SettingsWindow::TaskbarCreated() {
  const Settings& s = c_.settings;
  // The icon is first added when the program goes resident; before that (a
  // first run, or "WindowHide" 0) there is none to put back.
  if (ended_ || !wentResident_ || s.TaskIcon == 0 || (view_->IsVisible() && s.Hide)) return;
  c_.shell.AddTrayIcon(view_->CallbackHandle(), TrayTipText());
}

void SettingsWindow::ShowFirstRunNotice(const char* title, const char* firstLine) {
  c_.settings.Use = 1;
  c_.ini.IniWriteString("Main", "Use", "1");
  c_.prompts.Ask(
      PromptKind::kInformation, title,
      Joined({firstLine, "設定を変更するにはタスクバーの『Kestrova』アイコンをクリックして下さい。"}));
}

void SettingsWindow::Save(const Settings& s) {
  if (!SaveSettings(c_.ini, s)) c_.prompts.Ask(PromptKind::kExclamation, "Kestrova", kSettingsNotSaved);
}

void SettingsWindow::Command2Click(Command2 button) {
  Settings& s = c_.settings;
  if (button == Command2::kCancel) {
    NowSetting();
    if (s.Use == -1) {
      Save(s);
      ShowFirstRunNotice(
          "デフォルトの設定",
          "デフォルトの設定で保存されました。アクティブなウインドウに日時などが表示されるようになります。");
    }
    ApplyWindowMode(false);
    return;
  }
  s = Edited();
  Save(s);
  if (s.Use == -1) {
    ShowFirstRunNotice("設定完了！", "これで、アクティブなウインドウに日時などが表示されるようになります。");
  }
  if (button == Command2::kOk) ApplyWindowMode(false);
}

bool SettingsWindow::QueryUnload(UnloadMode mode) {
  if (ended_) return false;
  if (mode == UnloadMode::kUser) {
    Command2Click(Command2::kCancel);
    return true;
  }
  ended_ = true;
  if (tick_ != nullptr) tick_->End();
  if (c_.shutDown) c_.shutDown();
  if (view_ != nullptr) view_->Close();
  return false;
}

}  // namespace kestrova
