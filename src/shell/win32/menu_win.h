#pragma once
// Win32 menus made from the portable menu data.
#include <windows.h>

#include <vector>

#include "shell/menus.h"

namespace kestrova::win32 {

// A menu bar (CreateMenu) or a pop-up menu (CreatePopupMenu) holding `items`.
HMENU BuildMenu(const std::vector<MenuItem>& items, bool popup);

// Shows `items` as a pop-up menu at `at` for `owner` and answers the chosen
// command, kCmdNone when the menu was dismissed.
int TrackMenu(HWND owner, const std::vector<MenuItem>& items, POINT at);

}  // namespace kestrova::win32
