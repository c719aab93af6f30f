#include "ui/settings_window.h"

#include "engine/format.h"
#include "resources/version.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "ui/settings_window_view.h"

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
  // The timing page's scroll position counts 2 ms steps; presets 0.5 s, 1 s, 3 s, 1 min.
  int steps = 500;
  switch (timing) {
    case 0: steps = 250; break;
    case 1: steps = 500; break;
    case 2: steps = 1500; break;
    case 3: steps = 30000; break;
    default:
      if (timing < 0 && timing >= -32767) steps = -timing;
      break;
  }
  return steps * 2;
}

SettingsWindow::SettingsWindow(SettingsWindowContext context) : c_(std::move(context)) {}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::AttachView(SettingsWindowView& view) {
  view_ = &view;
  tick_ = std::make_unique<MainTick>(c_.windows, c_.clock, c_.locale, c_.sysinfo, c_.settings,
                                     view.AlarmPopups());
}

void SettingsWindow::Load() {
  Settings& s = c_.settings;
  NowSetting();

  if (s.Use == -1) {
    const bool yes = view_->AskYesNo(
        "ようこそ！", Joined({"『Kestrova』をお使い頂きありがとうございます。",
                           "このプログラムをスタートアップに登録すると、次回からWindows起動時にプログラムを開始出来るようになります。",
                           "スタートアップに登録しますか？", "※この設定は、設定画面で変更可能です。"}));
    // Registering the startup shortcut comes with the shortcut writer.
    (void)yes;
  }

  startupRegistered_ = c_.shell.FileExists(c_.startupFolder + kLnkName);
  view_->SetStartupMenuCaption(startupRegistered_ ? "スタートアップから削除(&S)" : "スタートアップに登録(&S)");
  loaded_ = true;
}

void SettingsWindow::NowSetting() {
  timerInterval_ = TimingToInterval(c_.settings.Timing);
  view_->SetTimerInterval(timerInterval_);
  Tick();
}

void SettingsWindow::Preview() {
  const Settings& s = c_.settings;
  const RegionalSettings regional = c_.locale.Regional();
  bool cpuSampled = false;
  std::string text;
  // A window's title is stood in for by the word, and the clock carries no message.
  for (int selector : {s.LeftText, s.MiddleText, s.RightText}) {
    text += selector == kPieceTitle ? std::string("タイトル")
                                    : PieceText(selector, s, c_.clock, regional, c_.sysinfo, cpuSampled);
  }
  view_->SetPreview(text);
}

void SettingsWindow::Tick() {
  if (ended_ || view_ == nullptr) return;
  tick_->Run({view_->Handle(), view_->IsVisible(), [this] { Preview(); }});
}

void SettingsWindow::ApplyWindowMode(bool show) {
  Settings& s = c_.settings;
  Shell& shell = c_.shell;
  IniFile& ini = c_.ini;
  if (show) {
    if (s.Hide && s.TaskIcon != 0) shell.RemoveTrayIcon();
    ini.IniWriteString("Main", "WindowHandle", "");
    view_->Show(true);
  } else {
    wentResident_ = true;
    ini.IniWriteString("Main", "WindowHandle", SignColumn(static_cast<long long>(view_->CallbackHandle())));
    view_->Show(false);
    if (s.TaskIcon != 0) shell.AddTrayIcon(view_->CallbackHandle(), TrayTipText());
  }
}

void SettingsWindow::OpenSettings() { ApplyWindowMode(true); }

void SettingsWindow::TaskbarCreated() {
  const Settings& s = c_.settings;
  // The icon is first added when the program goes resident; before that (a
  // first run, or "WindowHide" 0) there is none to put back.
  if (ended_ || !wentResident_ || s.TaskIcon == 0 || (view_->IsVisible() && s.Hide)) return;
  c_.shell.AddTrayIcon(view_->CallbackHandle(), TrayTipText());
}

void SettingsWindow::CopyTime() {
  c_.shell.SetClipboardText(view_->Handle(), ClockText(c_.settings, c_.clock, c_.locale.Regional()));
}

void SettingsWindow::CopySystemInfo() {
  bool cpuSampled = false;
  c_.shell.SetClipboardText(view_->Handle(), ExpandFormat(c_.settings.SysInfStr, cpuSampled, c_.sysinfo));
}

void SettingsWindow::TogglePause() {
  if (tick_ != nullptr) tick_->TogglePause();
}

void SettingsWindow::ShowFirstRunNotice(const char* title, const char* firstLine) {
  Settings& s = c_.settings;
  s.Use = 1;
  c_.ini.IniWriteString("Main", "Use", "1");
  view_->ShowInformation(title, Joined({firstLine, "設定を変更するにはタスクバーの『Kestrova』アイコンをクリックして下さい。"}));
}

void SettingsWindow::Command2Click(int index) {
  Settings& s = c_.settings;
  if (index == 1) {
    NowSetting();
    if (s.Use == -1) {
      SaveSettings(c_.ini, s);
      ShowFirstRunNotice("デフォルトの設定",
                         "デフォルトの設定で保存されました。アクティブなウインドウに日時などが表示されるようになります。");
    }
    ApplyWindowMode(false);
    return;
  }
  // The pages write their controls into the settings here once they exist.
  SaveSettings(c_.ini, s);
  if (s.Use == -1) {
    ShowFirstRunNotice("設定完了！", "これで、アクティブなウインドウに日時などが表示されるようになります。");
  }
  if (index == 0) ApplyWindowMode(false);
}

bool SettingsWindow::QueryUnload(UnloadMode mode) {
  if (ended_) return false;
  if (mode == UnloadMode::kUser) {
    Command2Click(1);
    return true;
  }
  ended_ = true;
  if (tick_ != nullptr) tick_->End();
  if (c_.shutDown) c_.shutDown();
  view_->Close();
  return false;
}

}  // namespace kestrova
