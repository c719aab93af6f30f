#include "shell/menus.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace kestrova {
namespace {

std::vector<std::string> Captions(const std::vector<MenuItem>& items) {
  std::vector<std::string> out;
  for (const MenuItem& item : items) out.push_back(item.IsSeparator() ? "-" : item.caption);
  return out;
}

TEST(MenusTest, TrayClickFollowsShowSetting) {
  struct Case {
    int message;
    int showSetting;
    TrayAction action;
  };
  const Case cases[] = {
      {kTrayLeftUp, 1, TrayAction::kOpenSettings},
      {kTrayLeftDoubleClick, 1, TrayAction::kNone},
      {kTrayLeftUp, 2, TrayAction::kNone},
      {kTrayLeftDoubleClick, 2, TrayAction::kOpenSettings},
      {kTrayLeftUp, 0, TrayAction::kNone},
      {kTrayLeftDoubleClick, 0, TrayAction::kNone},
      {kTrayRightUp, 0, TrayAction::kShowMenu},
      {kTrayRightUp, 1, TrayAction::kShowMenu},
      {kTrayRightUp, 2, TrayAction::kShowMenu},
      {0x0201, 1, TrayAction::kNone},
      {0x0200, 1, TrayAction::kNone},
      {0x0204, 1, TrayAction::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TrayClick(c.message, c.showSetting), c.action) << std::hex << c.message << " " << c.showSetting;
  }
}

TEST(MenusTest, IconMenuItemsAndPauseMark) {
  for (bool paused : {false, true}) {
    const std::vector<MenuItem> menu = IconMenu({.paused = paused});
    EXPECT_EQ(Captions(menu),
              (std::vector<std::string>{"一時停止(&P)", "設定(&S)", "メッセージアラーム設定(&M)",
                                        "現在時刻をコピー(&C)", "システム情報をコピー(&I)",
                                        "バージョン情報(&A)", "-", "終了(&X)"}));
    for (const MenuItem& item : menu) {
      EXPECT_EQ(item.checked, paused && item.command == kCmdIconPause) << item.caption;
    }
  }
}

TEST(MenusTest, MenuBarItemsAndStartupCaption) {
  struct Case {
    MenuState state;
    const char* startup;
    bool enabled;
  };
  const Case cases[] = {
      {{.startupRegistered = false}, "スタートアップに登録(&S)", true},
      {{.startupRegistered = true}, "スタートアップから削除(&S)", true},
      {{.startupAvailable = false}, "スタートアップに登録(&S)", false},
  };
  for (const Case& c : cases) {
    const std::vector<MenuItem> bar = MenuBar(c.state);
    ASSERT_EQ(Captions(bar), (std::vector<std::string>{"ファイル(&F)", "設定(&S)", "ヘルプ(&H)"}));
    EXPECT_EQ(Captions(bar[0].children),
              (std::vector<std::string>{"現在時刻をコピー(&C)", "システム情報をコピー(&I)", "終了(&X)"}));
    EXPECT_EQ(Captions(bar[1].children),
              (std::vector<std::string>{c.startup, "-", "メッセージアラーム設定(&M)",
                                        "ホットキーの設定(&K)...", "-", "設定を保存して閉じる(&O)", "設定を保存せずに閉じる(&C)"}));
    EXPECT_EQ(bar[1].children[0].enabled, c.enabled);
    EXPECT_EQ(Captions(bar[2].children),
              (std::vector<std::string>{"お読み下さい(&R)", "バージョン情報(&A)"}));
  }
}

// Every item of both menus leads to its command; tray and menu-bar twins share one.
TEST(MenusTest, EveryItemHasItsAction) {
  std::vector<MenuItem> all = IconMenu({});
  for (const MenuItem& top : MenuBar({})) all.insert(all.end(), top.children.begin(), top.children.end());
  std::map<std::string, std::set<MenuAction>> byCaption;
  std::set<int> ids;
  for (const MenuItem& item : all) {
    if (item.IsSeparator()) continue;
    EXPECT_NE(ActionFor(item.command), MenuAction::kNone) << item.caption;
    EXPECT_TRUE(ids.insert(item.command).second) << "one id per item: " << item.caption;
    byCaption[item.caption].insert(ActionFor(item.command));
  }
  EXPECT_EQ(byCaption["メッセージアラーム設定(&M)"], std::set<MenuAction>{MenuAction::kAlarmEditor});
  EXPECT_EQ(byCaption["バージョン情報(&A)"], std::set<MenuAction>{MenuAction::kAbout});
  EXPECT_EQ(byCaption["終了(&X)"], std::set<MenuAction>{MenuAction::kExit});
  // The tray copies the saved patterns, the File menu the unsaved boxes.
  EXPECT_EQ(byCaption["現在時刻をコピー(&C)"],
            (std::set<MenuAction>{MenuAction::kCopyTime, MenuAction::kCopyTimeFromBox}));
  EXPECT_EQ(ActionFor(kCmdIconTimeCopy), MenuAction::kCopyTime);
  EXPECT_EQ(ActionFor(kCmdFileSysInfoCopy), MenuAction::kCopySystemInfoFromBox);
  EXPECT_EQ(ActionFor(kCmdSetupCloseSave), MenuAction::kCloseSave);
  EXPECT_EQ(ActionFor(kCmdSetupCloseDiscard), MenuAction::kCloseDiscard);
  EXPECT_EQ(ActionFor(kCmdIconPause), MenuAction::kTogglePause);
  EXPECT_EQ(ActionFor(kCmdIconSetup), MenuAction::kOpenSettings);
  EXPECT_EQ(ActionFor(kCmdSetupHotkey), MenuAction::kHotkeys);
  EXPECT_EQ(ActionFor(kCmdNone), MenuAction::kNone);
}

}  // namespace
}  // namespace kestrova
