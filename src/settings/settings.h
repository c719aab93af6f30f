#pragma once
// The program-wide settings record and its transfer to and from Kestrova.ini.
#include <cstdint>
#include <string>

#include "alarms/alarm_entry.h"
#include "settings/window_rule.h"

namespace kestrova {

class IniFile;

inline constexpr const char* kDefaultFormatText = " <yyyy/mm/dd(ddd) hh:mm:ss>";

struct Settings {
  std::int32_t LeftText = 1;
  std::int32_t MiddleText = 2;
  std::int32_t RightText = 0;
  std::int32_t Use = -1;
  std::int32_t WindowHide = 0;
  std::int32_t TaskIcon = 1;
  std::int32_t MDIChild = 0;
  std::int32_t TitleLenght = -1;
  std::uint8_t AntiType = 0;
  std::string FormatText = kDefaultFormatText;
  std::int32_t AlarmCount = 0;
  std::int32_t MessagePosition = 0;
  std::string WorldTimeFormatText = kDefaultFormatText;
  std::int32_t WorldTimeZone = 0;
  std::int32_t WorldTimeDST = 0;
  std::int16_t CountDownYear = 0;
  std::int16_t CountDownMonth = 0;
  std::int16_t CountDownDay = 0;
  std::int16_t CountDownHour = 0;
  std::int16_t CountDownMinute = 0;
  std::int16_t CountDownSecond = 0;
  std::string SysInfStr;
  std::int32_t Timing = 1;
  std::int32_t ChangeTiming = 1;
  std::uint8_t ShowSetting = 1;
  bool Hide = true;
  WindowRuleList WindowRules;
  AlarmList Alarms;
};

// Kestrova.ini in the program folder; `appPath` ends with its separator.
std::string SettingsPath(const std::string& appPath);

// Fills every field from the file (missing keys give the defaults), then the alarms.
void LoadSettings(IniFile& ini, Settings& settings);
// Writes every stored field, the rules and their terminator, then the alarms.
void SaveSettings(IniFile& ini, const Settings& settings);

}  // namespace kestrova
