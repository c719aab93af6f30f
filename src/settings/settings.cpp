#include "settings/settings.h"

#include "settings/alarm_store.h"
#include "settings/ini_file.h"
#include "settings/rule_store.h"

namespace kestrova {
namespace {

// Read in place of a missing "WindowHide"; no stored value means 56, so a 56
// in the file counts as missing too.
constexpr int kWindowHideUnset = 56;

const KeyRow<SettingKey>& HandleRow() { return SettingRow(SettingKey::kWindowHandle); }

}  // namespace

FieldRef<Settings> SettingField(SettingKey key) {
  switch (key) {
    case SettingKey::kLeftText:
      return &Settings::LeftText;
    case SettingKey::kMiddleText:
      return &Settings::MiddleText;
    case SettingKey::kRightText:
      return &Settings::RightText;
    case SettingKey::kUse:
      return &Settings::Use;
    case SettingKey::kWindowHide:
      return &Settings::WindowHide;
    case SettingKey::kTaskIcon:
      return &Settings::TaskIcon;
    case SettingKey::kMDIChild:
      return &Settings::MDIChild;
    case SettingKey::kTitleLenght:
      return &Settings::TitleLenght;
    case SettingKey::kAntiType:
      return &Settings::AntiType;
    case SettingKey::kOverlay:
      return &Settings::Overlay;
    case SettingKey::kTheme:
      return &Settings::Theme;
    case SettingKey::kFormatText:
      return &Settings::FormatText;
    case SettingKey::kAlarmCount:
      return &Settings::AlarmCount;
    case SettingKey::kMessagePosition:
      return &Settings::MessagePosition;
    case SettingKey::kWorldTimeFormatText:
      return &Settings::WorldTimeFormatText;
    case SettingKey::kWorldTimeZone:
      return &Settings::WorldTimeZone;
    case SettingKey::kWorldTimeDST:
      return &Settings::WorldTimeDST;
    case SettingKey::kCountDownYear:
      return &Settings::CountDownYear;
    case SettingKey::kCountDownMonth:
      return &Settings::CountDownMonth;
    case SettingKey::kCountDownDay:
      return &Settings::CountDownDay;
    case SettingKey::kCountDownHour:
      return &Settings::CountDownHour;
    case SettingKey::kCountDownMinute:
      return &Settings::CountDownMinute;
    case SettingKey::kCountDownSecond:
      return &Settings::CountDownSecond;
    case SettingKey::kSysInfStr:
      return &Settings::SysInfStr;
    case SettingKey::kTiming:
      return &Settings::Timing;
    case SettingKey::kChangeTiming:
      return &Settings::ChangeTiming;
    case SettingKey::kShowSetting:
      return &Settings::ShowSetting;
    case SettingKey::kHide:
      return &Settings::Hide;
    case SettingKey::kWindowHandle:
      return std::monostate{};
  }
  return std::monostate{};
}

std::string SettingsPath(const std::string& appPath) { return appPath + "Kestrova.ini"; }

// A file of its own, made and removed again: Kestrova.ini may be writable
// where new files (the side file of a rewrite) cannot be made.
bool CanSaveIn(Files& files, const std::string& appPath) {
  const std::string probe = appPath + "Kestrova.ini.check";
  if (files.WriteFileChunk(probe, "", Files::kCreate) < 0) return false;
  files.Delete(probe);
  return true;
}

void LoadSettings(IniFile& ini, Settings& settings) {
  for (KeyRow<SettingKey> row : kSettingKeys) {
    if (row.id == SettingKey::kWindowHide) row.number = kWindowHideUnset;
    ReadKey(ini, row.section, row, SettingField(row.id), settings, NumberReading::kProfileInt);
  }
  // Missing: hidden once the user has accepted the settings.
  if (settings.WindowHide == kWindowHideUnset) settings.WindowHide = settings.Use != -1 ? settings.Use : 0;
  LoadRules(ini, settings.WindowRules);
  LoadAlarms(ini, settings);
}

bool SaveSettings(IniFile& ini, const Settings& settings) {
  bool saved = true;
  for (const KeyRow<SettingKey>& row : kSettingKeys) {
    if (row.savedWithRecord) saved = WriteKey(ini, row.section, row, SettingField(row.id), settings) && saved;
  }
  saved = SaveRules(ini, settings.WindowRules) && saved;
  return SaveAlarms(ini, settings) && saved;
}

bool WriteSetting(IniFile& ini, const Settings& settings, SettingKey key) {
  const KeyRow<SettingKey>& row = SettingRow(key);
  const FieldRef<Settings> field = SettingField(key);
  // Words the user adds by hand are never written, nor a key no field holds.
  if (row.encoding == Encoding::kChoice || std::holds_alternative<std::monostate>(field)) return true;
  return WriteKey(ini, row.section, row, field, settings);
}

void WriteWindowHandle(IniFile& ini, std::int64_t handle) {
  ini.IniWriteString(HandleRow().section, HandleRow().key, EncodeNumber(handle, HandleRow().encoding));
}

void ClearWindowHandle(IniFile& ini) { ini.IniWriteString(HandleRow().section, HandleRow().key, ""); }

std::int32_t ReadWindowHandle(IniFile& ini) {
  return ini.IniReadInt(HandleRow().section, HandleRow().key, HandleRow().number);
}

}  // namespace kestrova
