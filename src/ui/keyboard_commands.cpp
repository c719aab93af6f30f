#include "ui/keyboard_commands.h"

#include "format/format.h"
#include "settings/ini_file.h"
#include "shell/menus.h"
#include "ui/settings_window.h"

namespace kestrova {

namespace {
constexpr const char* kBalloonTitle = "Kestrova";
}  // namespace

std::string TypedClockText(const Settings& settings, Clock& clock, const RegionalSettings& regional) {
  std::string text = ClockText(settings, clock, regional);
  // The full-width blank U+3000 is E3 80 80: only a whole one is dropped.
  size_t cut = 0;
  while (cut < text.size()) {
    if (text[cut] == ' ' || text[cut] == '\t') {
      ++cut;
    } else if (text.compare(cut, 3, "\xE3\x80\x80") == 0) {
      cut += 3;
    } else {
      break;
    }
  }
  return text.substr(cut);
}

KeyboardCommands::KeyboardCommands(SettingsWindow& window, HotkeyService& service, IniFile& ini,
                                   Settings& settings, Clock& clock, Locale& locale)
    : window_(window), service_(service), ini_(ini), settings_(settings), clock_(clock), locale_(locale) {}

void KeyboardCommands::Load() {
  texts_ = LoadHotkeys(ini_);
  RegisterAll(true);
}

void KeyboardCommands::Release() {
  for (int i = 0; i < kHotkeyCount; ++i) {
    if (statuses_[static_cast<size_t>(i)] == HotkeyStatus::kRegistered) {
      service_.Unregister(HotkeyId(static_cast<HotkeyCommand>(i)));
    }
  }
}

void KeyboardCommands::RegisterAll(bool balloon) {
  Release();
  std::string held;
  for (int i = 0; i < kHotkeyCount; ++i) {
    const auto command = static_cast<HotkeyCommand>(i);
    const std::string& text = texts_[static_cast<size_t>(i)];
    HotkeyStatus& status = statuses_[static_cast<size_t>(i)];
    const std::optional<Hotkey> hotkey = ParseHotkey(text);
    if (text.empty()) {
      status = HotkeyStatus::kNone;
    } else if (!hotkey) {
      status = HotkeyStatus::kUnreadable;
    } else if (service_.Register(HotkeyId(command), *hotkey)) {
      status = HotkeyStatus::kRegistered;
    } else {
      status = HotkeyStatus::kInUse;
      if (!held.empty()) held += "\r\n";
      held += HotkeyInUseText(text) + "（" + HotkeyLabel(command) + "）";
    }
  }
  if (balloon && !held.empty()) service_.ShowBalloon(kBalloonTitle, held);
}

void KeyboardCommands::Change(const HotkeyTexts& texts) {
  texts_ = texts;
  SaveHotkeys(ini_, texts_);
  RegisterAll(true);
}

void KeyboardCommands::Pressed(int id) {
  switch (static_cast<HotkeyCommand>(id - 1)) {
    case HotkeyCommand::kPause:
      window_.RunCommand(kCmdIconPause);
      break;
    case HotkeyCommand::kTimeCopy:
      window_.RunCommand(kCmdIconTimeCopy);
      break;
    case HotkeyCommand::kSysInfoCopy:
      window_.RunCommand(kCmdIconSysInfoCopy);
      break;
    case HotkeyCommand::kTimeType:
      TypeTime(0);
      break;
    case HotkeyCommand::kSetting:
      window_.RunCommand(kCmdIconSetup);
      break;
  }
}

bool KeyboardCommands::Run(RemoteCommand command) {
  if (window_.Ended()) return false;
  switch (command) {
    case RemoteCommand::kPause:
    case RemoteCommand::kResume:
      if (window_.Paused() != (command == RemoteCommand::kPause)) window_.RunCommand(kCmdIconPause);
      break;
    case RemoteCommand::kToggle:
      window_.RunCommand(kCmdIconPause);
      break;
    case RemoteCommand::kTimeCopy:
      window_.RunCommand(kCmdIconTimeCopy);
      break;
    case RemoteCommand::kSysInfoCopy:
      window_.RunCommand(kCmdIconSysInfoCopy);
      break;
    case RemoteCommand::kTimeType:
      TypeTime(kTimeTypeDelayMs);
      break;
    case RemoteCommand::kSetting:
      window_.RunCommand(kCmdIconSetup);
      break;
    case RemoteCommand::kExit:
      window_.RunCommand(kCmdIconExit);
      break;
  }
  return true;
}

void KeyboardCommands::TypeTime(int delayMs) {
  service_.TypeText(TypedClockText(settings_, clock_, locale_.Regional()), delayMs);
}

}  // namespace kestrova
