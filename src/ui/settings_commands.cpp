// The menu bar, the tray icon's menu and its clicks.
#include "format/format.h"
#include "ui/settings_window.h"

namespace kestrova {

namespace {

// Items whose window is not there are shown greyed.
void Grey(std::vector<MenuItem>& items, const SettingsHooks& hooks) {
  for (MenuItem& item : items) {
    Grey(item.children, hooks);
    switch (ActionFor(item.command)) {
      case MenuAction::kAlarmEditor:
        item.enabled = static_cast<bool>(hooks.alarmEditor);
        break;
      case MenuAction::kAbout:
        item.enabled = static_cast<bool>(hooks.about);
        break;
      case MenuAction::kHotkeys:
        item.enabled = static_cast<bool>(hooks.hotkeys);
        break;
      default:
        break;
    }
  }
}

}  // namespace

std::vector<MenuItem> SettingsWindow::MenuBarItems() const {
  std::vector<MenuItem> items = MenuBar({Paused(), startupRegistered_, static_cast<bool>(c_.hooks.startup)});
  Grey(items, c_.hooks);
  return items;
}

std::vector<MenuItem> SettingsWindow::IconMenuItems() const {
  std::vector<MenuItem> items = IconMenu({Paused(), startupRegistered_, static_cast<bool>(c_.hooks.startup)});
  Grey(items, c_.hooks);
  return items;
}

void SettingsWindow::RunCommand(int command) {
  const SettingsHooks& h = c_.hooks;
  const WindowHandle owner = view_ != nullptr ? view_->Handle() : 0;
  bool cpuSampled = false;
  switch (ActionFor(command)) {
    case MenuAction::kTogglePause:
      if (tick_ != nullptr) tick_->TogglePause();
      break;
    case MenuAction::kOpenSettings:
      ApplyWindowMode(true);
      break;
    case MenuAction::kAlarmEditor:
      if (!h.alarmEditor) break;
      h.alarmEditor();
      RefreshAlarmCount();
      break;
    case MenuAction::kCopyTime:
      c_.shell.SetClipboardText(owner, ClockText(c_.settings, c_.clock, c_.locale.Regional()));
      break;
    case MenuAction::kCopyTimeFromBox: {
      // The pattern on screen, saved or not.
      Settings shown = c_.settings;
      shown.FormatText = form_.Text(kText1 + 0);
      c_.shell.SetClipboardText(owner, ClockText(shown, c_.clock, c_.locale.Regional()));
      break;
    }
    case MenuAction::kCopySystemInfo:
      c_.shell.SetClipboardText(owner, ExpandFormat(c_.settings.SysInfStr, cpuSampled, c_.sysinfo));
      break;
    case MenuAction::kCopySystemInfoFromBox:
      c_.shell.SetClipboardText(owner, ExpandFormat(form_.Text(kText2), cpuSampled, c_.sysinfo));
      break;
    case MenuAction::kAbout:
      if (h.about) h.about();
      break;
    case MenuAction::kHotkeys:
      if (h.hotkeys) h.hotkeys();
      break;
    case MenuAction::kReadme:
      c_.shell.OpenDocument(owner, c_.appPath + "Readme.txt", c_.appPath);
      break;
    case MenuAction::kStartup:
      if (!h.startup) break;
      h.startup();
      RefreshStartup();
      break;
    case MenuAction::kCloseSave:
      Command2Click(Command2::kOk);
      break;
    case MenuAction::kCloseDiscard:
      Command2Click(Command2::kCancel);
      break;
    case MenuAction::kExit:
      QueryUnload(UnloadMode::kCode);
      break;
    case MenuAction::kNone:
      break;
  }
}

void SettingsWindow::TrayNotify(int mouseMessage) {
  switch (TrayClick(mouseMessage, c_.settings.ShowSetting)) {
    case TrayAction::kOpenSettings:
      ApplyWindowMode(true);
      break;
    case TrayAction::kShowMenu:
      if (view_ != nullptr) RunCommand(view_->TrackIconMenu(IconMenuItems()));
      break;
    case TrayAction::kNone:
      break;
  }
}

}  // namespace kestrova
