// Menus built from the portable data read back from the real HMENUs.
#include "shell/win32/menu_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/text_win.h"

namespace kestrova::win32 {
namespace {

// Each item as "caption#id" with [x] for a check mark, (off) for greyed, "-" for a separator.
std::vector<std::string> ReadBack(HMENU menu) {
  std::vector<std::string> out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (state & MF_SEPARATOR) {
      out.push_back("-");
      continue;
    }
    wchar_t caption[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), caption, 128, MF_BYPOSITION);
    std::string item = Narrow(caption);
    if (GetSubMenu(menu, i) == nullptr) item += "#" + std::to_string(GetMenuItemID(menu, i));
    if (state & MF_CHECKED) item += " [x]";
    if (state & MF_GRAYED) item += " (off)";
    out.push_back(item);
  }
  return out;
}

TEST(MenuWinTest, IconMenuReadsBackWithIdsAndCheckMark) {
  HMENU menu = BuildMenu(IconMenu({.paused = true}), true);
  EXPECT_EQ(ReadBack(menu), (std::vector<std::string>{
                                "一時停止(&P)#300 [x]", "設定(&S)#301", "メッセージアラーム設定(&M)#302",
                                "現在時刻をコピー(&C)#303", "システム情報をコピー(&I)#304",
                                "バージョン情報(&A)#305", "-", "終了(&X)#306"}));
  DestroyMenu(menu);
}

TEST(MenuWinTest, MenuBarReadsBackWithItsDropDowns) {
  HMENU bar = BuildMenu(MenuBar({.startupRegistered = true, .startupAvailable = false}), false);
  EXPECT_EQ(ReadBack(bar), (std::vector<std::string>{"ファイル(&F)", "設定(&S)", "ヘルプ(&H)"}));
  EXPECT_EQ(
      ReadBack(GetSubMenu(bar, 0)),
      (std::vector<std::string>{"現在時刻をコピー(&C)#400", "システム情報をコピー(&I)#401", "終了(&X)#402"}));
  EXPECT_EQ(
      ReadBack(GetSubMenu(bar, 1)),
      (std::vector<std::string>{"スタートアップから削除(&S)#403 (off)", "-", "メッセージアラーム設定(&M)#404",
                                "ホットキーの設定(&K)...#409", "-", "設定を保存して閉じる(&O)#405", "設定を保存せずに閉じる(&C)#406"}));
  EXPECT_EQ(ReadBack(GetSubMenu(bar, 2)),
            (std::vector<std::string>{"お読み下さい(&R)#407", "バージョン情報(&A)#408"}));
  DestroyMenu(bar);
}

}  // namespace
}  // namespace kestrova::win32
