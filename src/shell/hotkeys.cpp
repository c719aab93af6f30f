#include "shell/hotkeys.h"

#include <cctype>
#include <vector>

#include "settings/ini_file.h"

namespace kestrova {

namespace {

struct NamedKey {
  const char* name;
  int key;
};

// Keys beyond letters, digits and F1-F24 that a hotkey is commonly put on.
constexpr NamedKey kNamedKeys[] = {
    {"Space", 0x20},    {"PageUp", 0x21}, {"PageDown", 0x22}, {"End", 0x23},    {"Home", 0x24},
    {"Left", 0x25},     {"Up", 0x26},     {"Right", 0x27},    {"Down", 0x28},   {"Insert", 0x2D},
    {"Delete", 0x2E},   {"Pause", 0x13},  {"Num0", 0x60},     {"Num1", 0x61},   {"Num2", 0x62},
    {"Num3", 0x63},     {"Num4", 0x64},   {"Num5", 0x65},     {"Num6", 0x66},   {"Num7", 0x67},
    {"Num8", 0x68},     {"Num9", 0x69},
};

constexpr NamedKey kModifiers[] = {
    {"Ctrl", kModCtrl}, {"Alt", kModAlt}, {"Shift", kModShift}, {"Win", kModWin}};

constexpr const char* kKeys[kHotkeyCount] = {"Pause", "TimeCopy", "SysInfoCopy", "TimeType", "Setting"};
constexpr const char* kLabels[kHotkeyCount] = {"一時停止", "現在時刻をコピー", "システム情報をコピー",
                                               "現在時刻を入力", "設定画面を開く"};

constexpr int kF1 = 0x70;
constexpr int kFunctionKeys = 24;
constexpr int kFieldShift = 1, kFieldCtrl = 2, kFieldAlt = 4;

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The virtual key a name stands for, 0 for none.
int KeyOf(std::string_view name) {
  if (name.size() == 1) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return 0;
  }
  if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
    int n = 0;
    for (char c : name.substr(1)) {
      if (c < '0' || c > '9') return 0;
      n = n * 10 + (c - '0');
    }
    if (name[1] != '0' && n >= 1 && n <= kFunctionKeys) return kF1 + n - 1;
    return 0;
  }
  for (const NamedKey& k : kNamedKeys) {
    if (SameName(name, k.name)) return k.key;
  }
  return 0;
}

std::string NameOf(int key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  if (key >= kF1 && key < kF1 + kFunctionKeys) return "F" + std::to_string(key - kF1 + 1);
  for (const NamedKey& k : kNamedKeys) {
    if (k.key == key) return k.name;
  }
  return "";
}

}  // namespace

const char* HotkeyKey(HotkeyCommand command) { return kKeys[static_cast<int>(command)]; }
const char* HotkeyLabel(HotkeyCommand command) { return kLabels[static_cast<int>(command)]; }

std::optional<Hotkey> ParseHotkey(std::string_view text) {
  std::vector<std::string_view> parts;
  for (;;) {
    const size_t plus = text.find('+');
    parts.push_back(Trim(text.substr(0, plus)));
    if (plus == std::string_view::npos) break;
    text.remove_prefix(plus + 1);
  }
  Hotkey hotkey;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    unsigned bit = 0;
    for (const NamedKey& m : kModifiers) {
      if (SameName(parts[i], m.name)) bit = static_cast<unsigned>(m.key);
    }
    if (SameName(parts[i], "Control")) bit = kModCtrl;
    // Each modifier once.
    if (bit == 0 || (hotkey.modifiers & bit) != 0) return std::nullopt;
    hotkey.modifiers |= bit;
  }
  if (parts.back().empty()) return std::nullopt;
  hotkey.key = KeyOf(parts.back());
  if (hotkey.key == 0) return std::nullopt;
  return hotkey;
}

std::string HotkeyText(const Hotkey& hotkey) {
  const std::string key = NameOf(hotkey.key);
  if (key.empty()) return "";
  std::string text;
  for (const NamedKey& m : kModifiers) {
    if ((hotkey.modifiers & static_cast<unsigned>(m.key)) != 0) text.append(m.name).append("+");
  }
  return text + key;
}

Hotkey FromHotkeyField(int value) {
  Hotkey hotkey;
  hotkey.key = value & 0xFF;
  const int flags = (value >> 8) & 0xFF;
  if ((flags & kFieldCtrl) != 0) hotkey.modifiers |= kModCtrl;
  if ((flags & kFieldAlt) != 0) hotkey.modifiers |= kModAlt;
  if ((flags & kFieldShift) != 0) hotkey.modifiers |= kModShift;
  return hotkey;
}

int ToHotkeyField(const Hotkey& hotkey) {
  int flags = 0;
  if ((hotkey.modifiers & kModCtrl) != 0) flags |= kFieldCtrl;
  if ((hotkey.modifiers & kModAlt) != 0) flags |= kFieldAlt;
  if ((hotkey.modifiers & kModShift) != 0) flags |= kFieldShift;
  return (hotkey.key & 0xFF) | (flags << 8);
}

HotkeyTexts LoadHotkeys(IniFile& ini) {
  HotkeyTexts texts;
  for (int i = 0; i < kHotkeyCount; ++i) {
    texts[static_cast<size_t>(i)] = std::string(Trim(ini.IniReadString(kHotkeySection, kKeys[i], "")));
  }
  return texts;
}

void SaveHotkeys(IniFile& ini, const HotkeyTexts& texts) {
  for (int i = 0; i < kHotkeyCount; ++i) ini.IniWriteString(kHotkeySection, kKeys[i], texts[static_cast<size_t>(i)]);
}

std::string HotkeyInUseText(const std::string& combination) { return combination + " は他のプログラムが使用中です"; }

}  // namespace kestrova
