#pragma once
// The program-wide settings record and its transfer to and from Kestrova.ini.
#include <cstdint>
#include <string>

#include "platform/files.h"
#include "settings/alarm_entry.h"
#include "settings/setting_keys.h"
#include "settings/window_rule.h"

namespace kestrova {

class IniFile;

struct Settings {
  std::int32_t LeftText = SettingDefault<std::int32_t>(SettingKey::kLeftText);
  std::int32_t MiddleText = SettingDefault<std::int32_t>(SettingKey::kMiddleText);
  std::int32_t RightText = SettingDefault<std::int32_t>(SettingKey::kRightText);
  std::int32_t Use = SettingDefault<std::int32_t>(SettingKey::kUse);
  std::int32_t WindowHide = SettingDefault<std::int32_t>(SettingKey::kWindowHide);
  std::int32_t TaskIcon = SettingDefault<std::int32_t>(SettingKey::kTaskIcon);
  std::int32_t MDIChild = SettingDefault<std::int32_t>(SettingKey::kMDIChild);
  std::int32_t TitleLenght = SettingDefault<std::int32_t>(SettingKey::kTitleLenght);
  std::uint8_t AntiType = SettingDefault<std::uint8_t>(SettingKey::kAntiType);
  std::int32_t Overlay = SettingDefault<std::int32_t>(SettingKey::kOverlay);
  std::int32_t Theme = SettingDefault<std::int32_t>(SettingKey::kTheme);
  std::string FormatText = SettingDefault<std::string>(SettingKey::kFormatText);
  std::int32_t AlarmCount = SettingDefault<std::int32_t>(SettingKey::kAlarmCount);
  std::int32_t MessagePosition = SettingDefault<std::int32_t>(SettingKey::kMessagePosition);
  std::string WorldTimeFormatText = SettingDefault<std::string>(SettingKey::kWorldTimeFormatText);
  std::int32_t WorldTimeZone = SettingDefault<std::int32_t>(SettingKey::kWorldTimeZone);
  std::int32_t WorldTimeDST = SettingDefault<std::int32_t>(SettingKey::kWorldTimeDST);
  std::int16_t CountDownYear = SettingDefault<std::int16_t>(SettingKey::kCountDownYear);
  std::int16_t CountDownMonth = SettingDefault<std::int16_t>(SettingKey::kCountDownMonth);
  std::int16_t CountDownDay = SettingDefault<std::int16_t>(SettingKey::kCountDownDay);
  std::int16_t CountDownHour = SettingDefault<std::int16_t>(SettingKey::kCountDownHour);
  std::int16_t CountDownMinute = SettingDefault<std::int16_t>(SettingKey::kCountDownMinute);
  std::int16_t CountDownSecond = SettingDefault<std::int16_t>(SettingKey::kCountDownSecond);
  std::string SysInfStr = SettingDefault<std::string>(SettingKey::kSysInfStr);
  std::int32_t Timing = SettingDefault<std::int32_t>(SettingKey::kTiming);
  std::int32_t ChangeTiming = SettingDefault<std::int32_t>(SettingKey::kChangeTiming);
  std::uint8_t ShowSetting = SettingDefault<std::uint8_t>(SettingKey::kShowSetting);
  bool Hide = SettingDefault<bool>(SettingKey::kHide);
  WindowRuleList WindowRules;
  AlarmList Alarms;
};

// The member a key is kept in; std::monostate for "WindowHandle".
FieldRef<Settings> SettingField(SettingKey key);

// Kestrova.ini in the program folder; `appPath` ends with its separator.
std::string SettingsPath(const std::string& appPath);

// Whether a file can be made in the program folder (`appPath` ends with its
// separator): under Program Files, on a read-only medium or a locked-down
// share nothing could ever be saved, and the user is told so at start.
bool CanSaveIn(Files& files, const std::string& appPath);
inline constexpr const char* kFolderNotWritable =
    "Kestrova.exe のあるフォルダーに書き込めないため、設定を保存できません。\n"
    "Program Files の中などではなく、書き込めるフォルダー（たとえばドキュメントの中）に "
    "Kestrova.exe を置いて下さい。winget ではユーザーごとのインストールを使って下さい。";

// Fills every field from the file (missing keys give the defaults), then the alarms.
void LoadSettings(IniFile& ini, Settings& settings);
// Told when a save could not store everything.
inline constexpr const char* kSettingsNotSaved =
    "設定の一部を Kestrova.ini に保存できませんでした。保存できなかったアラームや除外・許可の設定は、"
    "半端に残さないよう、まるごと保存していません。\n"
    "Kestrova.exe のあるフォルダーに書き込めるか、ディスクの空きが足りているか、"
    "ほかのプログラムが Kestrova.ini.new を開いたままにしていないかを確かめて下さい。";

// Writes every stored field, the rules and their terminator, then the
// alarms. False when something could not be saved (a rule or an alarm the
// file cannot take is left out whole).
bool SaveSettings(IniFile& ini, const Settings& settings);

// Writes one field's key in its encoding; the way to store a key that
// SaveSettings leaves to its owner ("Use"). Keys the program never writes
// ("ShowSetting", "Hide") and "WindowHandle" are left alone.
bool WriteSetting(IniFile& ini, const Settings& settings, SettingKey key);

// "Main"/"WindowHandle": the running copy's tray window while its settings
// window is hidden (written with the sign column), empty otherwise.
void WriteWindowHandle(IniFile& ini, std::int64_t handle);
void ClearWindowHandle(IniFile& ini);
// 0 when the key is missing or empty.
std::int32_t ReadWindowHandle(IniFile& ini);

}  // namespace kestrova
