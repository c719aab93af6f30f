#pragma once
// The clock's commands on system-wide hotkeys: their keys in [Hotkey], and
// hotkeys as readable text ("Ctrl+Alt+T").
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/hotkeys.h"

namespace kestrova {

class IniFile;

enum class HotkeyCommand { kPause, kTimeCopy, kSysInfoCopy, kTimeType, kSetting };
inline constexpr int kHotkeyCount = 5;
inline constexpr const char* kHotkeySection = "Hotkey";

// "Pause", "TimeCopy", "SysInfoCopy", "TimeType", "Setting".
const char* HotkeyKey(HotkeyCommand command);
// The command as the user knows it: "一時停止", "現在時刻をコピー", ...
const char* HotkeyLabel(HotkeyCommand command);

// "Ctrl+Alt+T": modifiers in any order, case ignored, blanks around '+'
// allowed, the key last. Nothing for an empty or unreadable text.
std::optional<Hotkey> ParseHotkey(std::string_view text);
// Modifiers in the order Ctrl, Alt, Shift, Win; "" for none or an unknown key.
std::string HotkeyText(const Hotkey& hotkey);

// A hot-key control's value: the virtual key in the low byte, HOTKEYF_* in the next.
Hotkey FromHotkeyField(int value);
int ToHotkeyField(const Hotkey& hotkey);

// The texts of [Hotkey], as stored ("" for none).
using HotkeyTexts = std::array<std::string, kHotkeyCount>;
HotkeyTexts LoadHotkeys(IniFile& ini);
void SaveHotkeys(IniFile& ini, const HotkeyTexts& texts);

// "Ctrl+Alt+T は他のプログラムが使用中です"
std::string HotkeyInUseText(const std::string& combination);

}  // namespace kestrova
