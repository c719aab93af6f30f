#include "shell/menus.h"

namespace kestrova {

namespace {

MenuItem Item(int command, const char* caption) {
  MenuItem item;
  item.command = command;
  item.caption = caption;
  return item;
}
MenuItem Separator() { return MenuItem(); }

}  // namespace

std::vector<MenuItem> IconMenu(const MenuState& state) {
  std::vector<MenuItem> menu = {
      Item(kCmdIconPause, "一時停止(&P)"),
      Item(kCmdIconSetup, "設定(&S)"),
      Item(kCmdIconSetupAlarm, "メッセージアラーム設定(&M)"),
      Item(kCmdIconTimeCopy, "現在時刻をコピー(&C)"),
      Item(kCmdIconSysInfoCopy, "システム情報をコピー(&I)"),
      Item(kCmdIconVersion, "バージョン情報(&A)"),
      Separator(),
      Item(kCmdIconExit, "終了(&X)"),
  };
  menu[0].checked = state.paused;
  return menu;
}

std::vector<MenuItem> MenuBar(const MenuState& state) {
  MenuItem startup = Item(
      kCmdSetupStartup, state.startupRegistered ? "スタートアップから削除(&S)" : "スタートアップに登録(&S)");
  startup.enabled = state.startupAvailable;
  MenuItem file = Item(kCmdNone, "ファイル(&F)");
  file.children = {Item(kCmdFileTimeCopy, "現在時刻をコピー(&C)"),
                   Item(kCmdFileSysInfoCopy, "システム情報をコピー(&I)"), Item(kCmdMenuExit, "終了(&X)")};
  MenuItem setup = Item(kCmdNone, "設定(&S)");
  setup.children = {startup,
                    Separator(),
                    Item(kCmdSetupAlarm, "メッセージアラーム設定(&M)"),
                    Item(kCmdSetupHotkey, "ホットキーの設定(&K)..."),
                    Separator(),
                    Item(kCmdSetupCloseSave, "設定を保存して閉じる(&O)"),
                    Item(kCmdSetupCloseDiscard, "設定を保存せずに閉じる(&C)")};
  MenuItem help = Item(kCmdNone, "ヘルプ(&H)");
  help.children = {Item(kCmdHelpReadme, "お読み下さい(&R)"), Item(kCmdHelpVersion, "バージョン情報(&A)")};
  return {file, setup, help};
}

MenuAction ActionFor(int command) {
  switch (command) {
    case kCmdIconPause:
      return MenuAction::kTogglePause;
    case kCmdIconSetup:
      return MenuAction::kOpenSettings;
    case kCmdIconSetupAlarm:
    case kCmdSetupAlarm:
      return MenuAction::kAlarmEditor;
    case kCmdIconTimeCopy:
      return MenuAction::kCopyTime;
    case kCmdIconSysInfoCopy:
      return MenuAction::kCopySystemInfo;
    case kCmdFileTimeCopy:
      return MenuAction::kCopyTimeFromBox;
    case kCmdFileSysInfoCopy:
      return MenuAction::kCopySystemInfoFromBox;
    case kCmdIconVersion:
    case kCmdHelpVersion:
      return MenuAction::kAbout;
    case kCmdHelpReadme:
      return MenuAction::kReadme;
    case kCmdSetupHotkey:
      return MenuAction::kHotkeys;
    case kCmdSetupStartup:
      return MenuAction::kStartup;
    case kCmdSetupCloseSave:
      return MenuAction::kCloseSave;
    case kCmdSetupCloseDiscard:
      return MenuAction::kCloseDiscard;
    case kCmdIconExit:
    case kCmdMenuExit:
      return MenuAction::kExit;
    default:
      return MenuAction::kNone;
  }
}

TrayAction TrayClick(int mouseMessage, int showSetting) {
  switch (mouseMessage) {
    case kTrayLeftUp:
      return showSetting == 1 ? TrayAction::kOpenSettings : TrayAction::kNone;
    case kTrayLeftDoubleClick:
      return showSetting == 2 ? TrayAction::kOpenSettings : TrayAction::kNone;
    case kTrayRightUp:
      return TrayAction::kShowMenu;
    default:
      return TrayAction::kNone;
  }
}

}  // namespace kestrova
