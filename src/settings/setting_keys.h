#pragma once
// The keys of the Settings record: the only place that names a key of the
// file's fixed sections, its encoding and its default.
#include <cstddef>
#include <cstdint>

#include "settings/key_table.h"

namespace kestrova {

// Every key in file order; also the way a settings page names what it edits.
enum class SettingKey : unsigned char {
  kLeftText,
  kMiddleText,
  kRightText,
  kUse,
  kWindowHide,
  kTaskIcon,
  kMDIChild,
  kTitleLenght,
  kAntiType,
  kOverlay,
  kTheme,
  kFormatText,
  kAlarmCount,
  kMessagePosition,
  kWorldTimeFormatText,
  kWorldTimeZone,
  kWorldTimeDST,
  kCountDownYear,
  kCountDownMonth,
  kCountDownDay,
  kCountDownHour,
  kCountDownMinute,
  kCountDownSecond,
  kSysInfStr,
  kTiming,
  kChangeTiming,
  kShowSetting,
  kHide,
  kWindowHandle,
};

inline constexpr const char* kDefaultFormatText = " <yyyy/mm/dd(ddd) hh:mm:ss>";

inline constexpr TextChoice kShowSettingWords[] = {{"LCLICK", 1}, {"LDBLCLICK", 2}, {"NONE", 0}};
inline constexpr TextChoice kHideWords[] = {{"YES", 1}};

inline constexpr KeyRow<SettingKey> kSettingKeys[] = {
    {SettingKey::kLeftText, "Main", "LeftText", Encoding::kSigned, 1},
    {SettingKey::kMiddleText, "Main", "MiddleText", Encoding::kSigned, 2},
    {SettingKey::kRightText, "Main", "RightText", Encoding::kSigned, 0},
    // -1 until the user first accepts the settings; the settings window writes it.
    {SettingKey::kUse, "Main", "Use", Encoding::kPlain, -1, "", {}, false},
    // A missing key follows "Use" (see LoadSettings).
    {SettingKey::kWindowHide, "Main", "WindowHide", Encoding::kSigned, 0},
    {SettingKey::kTaskIcon, "Main", "TaskIcon", Encoding::kSigned, 1},
    {SettingKey::kMDIChild, "Main", "MDIChild", Encoding::kSigned, 0},
    {SettingKey::kTitleLenght, "Main", "TitleLenght", Encoding::kSigned, -1},
    {SettingKey::kAntiType, "Main", "AntiType", Encoding::kSigned, 0},
    // The clock over title bars that programs draw themselves; files from before it load as on.
    {SettingKey::kOverlay, "Main", "Overlay", Encoding::kSigned, 1},
    // 0 follows Windows' colour mode, 1 light, 2 dark.
    {SettingKey::kTheme, "Main", "Theme", Encoding::kSigned, 0},
    {SettingKey::kFormatText, "Clock", "FormatText", Encoding::kQuoted, 0, kDefaultFormatText},
    {SettingKey::kAlarmCount, "Clock", "Alarm", Encoding::kSigned, 0},
    {SettingKey::kMessagePosition, "Clock", "MessagePosition", Encoding::kSigned, 0},
    {SettingKey::kWorldTimeFormatText, "WorldClock", "WorldTimeFormatText", Encoding::kQuoted, 0,
     kDefaultFormatText},
    {SettingKey::kWorldTimeZone, "WorldClock", "WorldTimeZone", Encoding::kSigned, 0},
    {SettingKey::kWorldTimeDST, "WorldClock", "WorldTimeDST", Encoding::kSigned, 0},
    {SettingKey::kCountDownYear, "CountDown", "Year", Encoding::kPlain, 0},
    {SettingKey::kCountDownMonth, "CountDown", "Month", Encoding::kPlain, 0},
    {SettingKey::kCountDownDay, "CountDown", "Day", Encoding::kPlain, 0},
    {SettingKey::kCountDownHour, "CountDown", "Hour", Encoding::kPlain, 0},
    {SettingKey::kCountDownMinute, "CountDown", "Minute", Encoding::kPlain, 0},
    {SettingKey::kCountDownSecond, "CountDown", "Second", Encoding::kPlain, 0},
    {SettingKey::kSysInfStr, "SystemInfo", "SysInfStr", Encoding::kQuoted, 0, ""},
    {SettingKey::kTiming, "Timing", "Timing", Encoding::kSigned, 1},
    {SettingKey::kChangeTiming, "Timing", "ChangeTiming", Encoding::kSigned, 1},
    // Tray options exist only when the user adds them by hand.
    {SettingKey::kShowSetting, "NotifyIcon", "ShowSetting", Encoding::kChoice, 1, "lClick", kShowSettingWords,
     false},
    {SettingKey::kHide, "NotifyIcon", "Hide", Encoding::kChoice, 0, "Yes", kHideWords, false},
    // The running copy's tray window, for a second start to wake; no field holds it.
    {SettingKey::kWindowHandle, "Main", "WindowHandle", Encoding::kSigned, 0, "", {}, false},
};
static_assert(InIdOrder(kSettingKeys), "kSettingKeys lists every SettingKey once, in the enum's order");

constexpr const KeyRow<SettingKey>& SettingRow(SettingKey key) {
  return kSettingKeys[static_cast<std::size_t>(key)];
}

template <class T>
constexpr T SettingDefault(SettingKey key) {
  return DefaultOf<T>(SettingRow(key));
}

}  // namespace kestrova
