#include "settings/settings.h"

#include <cstdio>
#include <limits>
#include <string>
#include <variant>

#include "alarms/alarm_store.h"
#include "core/text.h"
#include "settings/ini_file.h"

namespace kestrova {
namespace {

// How a value is written: N with a sign column (" 1", "-1"), D plain
// decimal, Q text in double quotes (so its outer blanks survive).
enum class Encoding { kSigned, kPlain, kQuoted };

using FieldRef = std::variant<std::int32_t Settings::*, std::int16_t Settings::*, std::uint8_t Settings::*,
                              std::string Settings::*>;

struct Field {
  const char* section;
  const char* key;
  FieldRef field;
  Encoding encoding;
  int def = 0;
  const char* textDef = "";
  bool saved = true;
};

// Asks "was the key there?": no stored value is ever 56.
constexpr int kWindowHideUnset = 56;
constexpr int kMaxRules = 999;

// Every stored field, in the order of the file.
const Field kFields[] = {
    {"Main", "LeftText", &Settings::LeftText, Encoding::kSigned, 1},
    {"Main", "MiddleText", &Settings::MiddleText, Encoding::kSigned, 2},
    {"Main", "RightText", &Settings::RightText, Encoding::kSigned, 0},
    // Written by the settings window on the first acceptance, never here.
    {"Main", "Use", &Settings::Use, Encoding::kPlain, -1, "", false},
    {"Main", "WindowHide", &Settings::WindowHide, Encoding::kSigned, kWindowHideUnset},
    {"Main", "TaskIcon", &Settings::TaskIcon, Encoding::kSigned, 1},
    {"Main", "MDIChild", &Settings::MDIChild, Encoding::kSigned, 0},
    {"Main", "TitleLenght", &Settings::TitleLenght, Encoding::kSigned, -1},
    {"Main", "AntiType", &Settings::AntiType, Encoding::kSigned, 0},
    {"Clock", "FormatText", &Settings::FormatText, Encoding::kQuoted, 0, kDefaultFormatText},
    {"Clock", "Alarm", &Settings::AlarmCount, Encoding::kSigned, 0},
    {"Clock", "MessagePosition", &Settings::MessagePosition, Encoding::kSigned, 0},
    {"WorldClock", "WorldTimeFormatText", &Settings::WorldTimeFormatText, Encoding::kQuoted, 0,
     kDefaultFormatText},
    {"WorldClock", "WorldTimeZone", &Settings::WorldTimeZone, Encoding::kSigned, 0},
    {"WorldClock", "WorldTimeDST", &Settings::WorldTimeDST, Encoding::kSigned, 0},
    {"CountDown", "Year", &Settings::CountDownYear, Encoding::kPlain, 0},
    {"CountDown", "Month", &Settings::CountDownMonth, Encoding::kPlain, 0},
    {"CountDown", "Day", &Settings::CountDownDay, Encoding::kPlain, 0},
    {"CountDown", "Hour", &Settings::CountDownHour, Encoding::kPlain, 0},
    {"CountDown", "Minute", &Settings::CountDownMinute, Encoding::kPlain, 0},
    {"CountDown", "Second", &Settings::CountDownSecond, Encoding::kPlain, 0},
    {"SystemInfo", "SysInfStr", &Settings::SysInfStr, Encoding::kQuoted, 0, ""},
    {"Timing", "Timing", &Settings::Timing, Encoding::kSigned, 1},
    {"Timing", "ChangeTiming", &Settings::ChangeTiming, Encoding::kSigned, 1},
};

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

// A number that does not fit its field is taken as absent: its default
// (a countdown part then means "the current one", a flag "off").
template <class T>
T Narrow(int value, int def) {
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
    return static_cast<T>(def);
  return static_cast<T>(value);
}

std::string EncodeNumber(int value, Encoding encoding) {
  return encoding == Encoding::kSigned ? SignColumn(value) : std::to_string(value);
}

std::string RuleSection(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "AntiKestrova%03d", number);
  return name;
}

void LoadRules(IniFile& ini, WindowRuleList& rules) {
  rules.clear();
  for (int i = 1; i <= kMaxRules; ++i) {
    const std::string section = RuleSection(i);
    WindowRule rule;
    rule.Name = ini.IniReadString(section, "Name", "");
    if (rule.Name.empty()) break;
    rule.WindowTitle = ini.IniReadString(section, "WindowTitle", "");
    rule.InTitle = Narrow<std::uint8_t>(ini.IniReadInt(section, "InTitle", 0), 0);
    rule.WindowClass = ini.IniReadString(section, "WindowClass", "");
    rule.AntiType = ini.IniReadInt(section, "AntiType", 0) == 1;
    rules.push_back(std::move(rule));
  }
}

void SaveRules(IniFile& ini, const WindowRuleList& rules) {
  int number = 1;
  for (const WindowRule& rule : rules) {
    const std::string section = RuleSection(number++);
    ini.IniWriteString(section, "Name", rule.Name);
    ini.IniWriteString(section, "WindowTitle", rule.WindowTitle);
    ini.IniWriteString(section, "InTitle", EncodeNumber(rule.InTitle, Encoding::kSigned));
    ini.IniWriteString(section, "WindowClass", rule.WindowClass);
    ini.IniWriteString(section, "AntiType", rule.AntiType ? "1" : "0");
  }
  // Loading stops here; older sections after it stay in the file unread.
  ini.IniWriteString(RuleSection(number), "Name", "");
}

}  // namespace

std::string SettingsPath(const std::string& appPath) { return appPath + "Kestrova.ini"; }

void LoadSettings(IniFile& ini, Settings& settings) {
  for (const Field& f : kFields) {
    std::visit(
        Overloaded{
            [&](std::int32_t Settings::*m) { settings.*m = ini.IniReadInt(f.section, f.key, f.def); },
            [&](std::int16_t Settings::*m) {
              settings.*m = Narrow<std::int16_t>(ini.IniReadInt(f.section, f.key, f.def), f.def);
            },
            [&](std::uint8_t Settings::*m) {
              settings.*m = Narrow<std::uint8_t>(ini.IniReadInt(f.section, f.key, f.def), f.def);
            },
            [&](std::string Settings::*m) { settings.*m = ini.IniReadString(f.section, f.key, f.textDef); },
        },
        f.field);
  }
  if (settings.WindowHide == kWindowHideUnset) settings.WindowHide = settings.Use != -1 ? settings.Use : 0;

  LoadRules(ini, settings.WindowRules);

  // Tray options exist only when added to the file by hand.
  const std::string click = AsciiUpper(ini.IniReadString("NotifyIcon", "ShowSetting", "lClick"));
  settings.ShowSetting = 1;
  if (click == "LCLICK") {
    settings.ShowSetting = 1;
  } else if (click == "LDBLCLICK") {
    settings.ShowSetting = 2;
  } else if (click == "NONE") {
    settings.ShowSetting = 0;
  }
  settings.Hide = AsciiUpper(ini.IniReadString("NotifyIcon", "Hide", "Yes")) == "YES";

  LoadAlarms(ini, settings);
}

void SaveSettings(IniFile& ini, const Settings& settings) {
  for (const Field& f : kFields) {
    if (!f.saved) continue;
    const std::string value =
        std::visit(Overloaded{
                       [&](std::string Settings::*m) { return "\"" + settings.*m + "\""; },
                       [&](auto m) { return EncodeNumber(static_cast<int>(settings.*m), f.encoding); },
                   },
                   f.field);
    ini.IniWriteString(f.section, f.key, value);
  }
  SaveRules(ini, settings.WindowRules);
  SaveAlarms(ini, settings);
}

}  // namespace kestrova
