#include "ui/settings_window.h"

#include "alarms/alarm_check.h"
#include "engine/format.h"
#include "engine/rules.h"
#include "engine/program.h"
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

SettingsWindow::SettingsWindow(Program& program) : program_(program) {
  Platform& p = program_.platform();
  titles_ = std::make_unique<TitleWriter>(p.windows, p.clock, p.locale, p.sysinfo, program_.settings(),
                                          [this](const std::string& clock, bool clockPiece) {
                                            return alarms_->CheckAlarm(clock, clockPiece ? AlarmCall::kClockPiece
                                                                                         : AlarmCall::kTick);
                                          });
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::AttachView(SettingsWindowView& view) {
  view_ = &view;
  alarms_ = std::make_unique<AlarmChecker>(program_.settings(), program_.platform().clock, view.AlarmPopups());
}

std::string SettingsWindow::CheckAlarm(const std::string& clockText) { return alarms_->CheckAlarm(clockText); }

void SettingsWindow::Load() {
  Settings& s = program_.settings();
  NowSetting();

  if (s.Use == -1) {
    const bool yes = view_->AskYesNo(
        "ようこそ！", Joined({"『Kestrova』をお使い頂きありがとうございます。",
                           "このプログラムをスタートアップに登録すると、次回からWindows起動時にプログラムを開始出来るようになります。",
                           "スタートアップに登録しますか？", "※この設定は、設定画面で変更可能です。"}));
    // Registering the startup shortcut comes with the shortcut writer.
    (void)yes;
  }

  startupRegistered_ = program_.platform().shell.FileExists(program_.StartupFolder() + kLnkName);
  view_->SetStartupMenuCaption(startupRegistered_ ? "スタートアップから削除(&S)" : "スタートアップに登録(&S)");
  loaded_ = true;
}

void SettingsWindow::NowSetting() {
  timerInterval_ = TimingToInterval(program_.settings().Timing);
  view_->SetTimerInterval(timerInterval_);
  Tick();
}

void SettingsWindow::Preview() {
  const Settings& s = program_.settings();
  Platform& p = program_.platform();
  const RegionalSettings regional = p.locale.Regional();
  bool cpuSampled = false;
  std::string text;
  // A window's title is stood in for by the word, and the clock carries no message.
  for (int selector : {s.LeftText, s.MiddleText, s.RightText}) {
    text += selector == kPieceTitle ? std::string("タイトル")
                                    : PieceText(selector, s, p.clock, regional, p.sysinfo, cpuSampled);
  }
  view_->SetPreview(text);
}

void SettingsWindow::Tick() {
  if (ended_ || view_ == nullptr) return;
  const WindowHandle target = titles_->GetTargetWindow();
  if (target == 0) return;
  if (target == view_->Handle()) {
    if (titles_->Last().Handle != 0) titles_->ChangeTitle(0);
    CheckAlarm(std::string());
    Preview();
    return;
  }
  if (view_->IsVisible()) return;
  if (paused_) {
    CheckAlarm(std::string());
    return;
  }
  if (target == titles_->Last().Handle) {
    titles_->ChangeTitle(target);
    return;
  }
  if (titles_->Last().Handle != 0) titles_->ChangeTitle(0);
  const Settings& s = program_.settings();
  Platform& p = program_.platform();
  if (!IsWindowFiltered(p.windows, p.locale, s.WindowRules, s.AntiType, target)) titles_->ChangeTitle(target);
}

void SettingsWindow::ApplyWindowMode(bool show) {
  Settings& s = program_.settings();
  Shell& shell = program_.platform().shell;
  IniFile& ini = program_.ini();
  if (show) {
    if (s.Hide && s.TaskIcon != 0) shell.RemoveTrayIcon();
    ini.IniWriteString("Main", "WindowHandle", "");
    view_->Show(true);
  } else {
    ini.IniWriteString("Main", "WindowHandle", SignColumn(static_cast<long long>(view_->CallbackHandle())));
    view_->Show(false);
    if (s.TaskIcon != 0) shell.AddTrayIcon(view_->CallbackHandle(), TrayTipText());
  }
}

void SettingsWindow::OpenSettings() { ApplyWindowMode(true); }

void SettingsWindow::TaskbarCreated() {
  const Settings& s = program_.settings();
  if (ended_ || s.TaskIcon == 0 || (view_->IsVisible() && s.Hide)) return;
  program_.platform().shell.AddTrayIcon(view_->CallbackHandle(), TrayTipText());
}

void SettingsWindow::CopyTime() {
  Platform& p = program_.platform();
  p.shell.SetClipboardText(view_->Handle(), ClockText(program_.settings(), p.clock, p.locale.Regional()));
}

void SettingsWindow::CopySystemInfo() {
  Platform& p = program_.platform();
  bool cpuSampled = false;
  p.shell.SetClipboardText(view_->Handle(), ExpandFormat(program_.settings().SysInfStr, cpuSampled, p.sysinfo));
}

void SettingsWindow::TogglePause() {
  paused_ = !paused_;
  if (paused_) titles_->ChangeTitle(0);
}

void SettingsWindow::ShowFirstRunNotice(const char* title, const char* firstLine) {
  Settings& s = program_.settings();
  s.Use = 1;
  program_.ini().IniWriteString("Main", "Use", "1");
  view_->ShowInformation(title, Joined({firstLine, "設定を変更するにはタスクバーの『Kestrova』アイコンをクリックして下さい。"}));
}

void SettingsWindow::Command2Click(int index) {
  Settings& s = program_.settings();
  if (index == 1) {
    NowSetting();
    if (s.Use == -1) {
      SaveSettings(program_.ini(), s);
      ShowFirstRunNotice("デフォルトの設定",
                         "デフォルトの設定で保存されました。アクティブなウインドウに日時などが表示されるようになります。");
    }
    ApplyWindowMode(false);
    return;
  }
  // The pages write their controls into the settings here once they exist.
  SaveSettings(program_.ini(), s);
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
  titles_->ChangeTitle(0);
  program_.ShutDown();
  view_->Close();
  return false;
}

}  // namespace kestrova
