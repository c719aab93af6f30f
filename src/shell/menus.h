#pragma once
// The tray icon's pop-up menu and the settings window's menu bar as data,
// their command ids, and which tray click opens the settings.
#include <string>
#include <vector>

namespace kestrova {

// Command ids, also the Win32 menu item ids.
enum MenuCommand : int {
  kCmdNone = 0,
  kCmdIconPause = 300,
  kCmdIconSetup,
  kCmdIconSetupAlarm,
  kCmdIconTimeCopy,
  kCmdIconSysInfoCopy,
  kCmdIconVersion,
  kCmdIconExit,
  kCmdFileTimeCopy = 400,
  kCmdFileSysInfoCopy,
  kCmdMenuExit,
  kCmdSetupStartup,
  kCmdSetupAlarm,
  kCmdSetupCloseSave,     // Menu_Setup_Close(0)
  kCmdSetupCloseDiscard,  // Menu_Setup_Close(1)
  kCmdHelpReadme,
  kCmdHelpVersion,
  kCmdSetupHotkey,
};

struct MenuItem {
  int command = kCmdNone;  // kCmdNone with no children: a separator
  std::string caption;
  bool checked = false;
  bool enabled = true;
  std::vector<MenuItem> children;  // a drop-down of the menu bar

  bool IsSeparator() const { return command == kCmdNone && children.empty(); }
};

struct MenuState {
  bool paused = false;
  bool startupRegistered = false;  // the shortcut exists
  bool startupAvailable = true;    // the shortcut writer can be used
};

std::vector<MenuItem> IconMenu(const MenuState& state);
std::vector<MenuItem> MenuBar(const MenuState& state);

// What a command does, for the handlers that share one behaviour.
enum class MenuAction {
  kNone,
  kTogglePause,
  kOpenSettings,
  kAlarmEditor,
  kCopyTime,         // saved clock pattern
  kCopySystemInfo,   // saved system information text
  kCopyTimeFromBox,  // the settings window's unsaved pattern
  kCopySystemInfoFromBox,
  kAbout,
  kReadme,
  kStartup,
  kCloseSave,
  kCloseDiscard,
  kExit,
  kHotkeys,  // the hotkey dialog
};
MenuAction ActionFor(int command);

// Mouse messages the tray icon reports, and what each does under `ShowSetting`.
inline constexpr int kTrayLeftUp = 0x0202;
inline constexpr int kTrayLeftDoubleClick = 0x0203;
inline constexpr int kTrayRightUp = 0x0205;
enum class TrayAction { kNone, kOpenSettings, kShowMenu };
TrayAction TrayClick(int mouseMessage, int showSetting);

}  // namespace kestrova
