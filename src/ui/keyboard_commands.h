#pragma once
// The clock's commands from the keyboard (hotkeys) and from a second copy's
// command line, run by the same code as the tray menu's items.
#include <array>
#include <string>

#include "platform/clock.h"
#include "platform/hotkeys.h"
#include "platform/locale.h"
#include "shell/command_line.h"
#include "shell/hotkeys.h"

namespace kestrova {

class IniFile;
class SettingsWindow;
struct Settings;

enum class HotkeyStatus { kNone, kRegistered, kUnreadable, kInUse };
using HotkeyStatuses = std::array<HotkeyStatus, kHotkeyCount>;

// WM_HOTKEY's id of a command's hotkey.
inline constexpr int HotkeyId(HotkeyCommand command) { return static_cast<int>(command) + 1; }

class KeyboardCommands {
 public:
  KeyboardCommands(SettingsWindow& window, HotkeyService& service, IniFile& ini, Settings& settings,
                   Clock& clock, Locale& locale);

  // Reads [Hotkey] and registers what it names.
  void Load();
  // Registers every hotkey anew; a balloon names each combination held elsewhere.
  void RegisterAll(bool balloon);
  // Stores new texts and registers them.
  void Change(const HotkeyTexts& texts);
  // Lets the keys go while the hotkey dialog is open, or pressing a
  // registered combination in its field would run the command instead.
  void Suspend() { Release(); }

  // A registered hotkey was pressed.
  void Pressed(int id);
  // A command from the command line; false when it cannot run now.
  bool Run(RemoteCommand command);

  const HotkeyTexts& Texts() const { return texts_; }
  const HotkeyStatuses& Statuses() const { return statuses_; }

 private:
  void TypeTime(int delayMs);
  void Release();

  SettingsWindow& window_;
  HotkeyService& service_;
  IniFile& ini_;
  Settings& settings_;
  Clock& clock_;
  Locale& locale_;
  HotkeyTexts texts_;
  HotkeyStatuses statuses_ = {};
};

// The clock text as typed: the copy's text without its leading blanks.
std::string TypedClockText(const Settings& settings, Clock& clock, const RegionalSettings& regional);

}  // namespace kestrova
