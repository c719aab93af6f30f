#include "shell/win32/menu_win.h"

#include "form/win32/theme_win.h"
#include "platform/win32/text_win.h"

namespace kestrova::win32 {

HMENU BuildMenu(const std::vector<MenuItem>& items, bool popup) {
  HMENU menu = popup ? CreatePopupMenu() : CreateMenu();
  for (const MenuItem& item : items) {
    if (item.IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (item.checked ? MF_CHECKED : 0) | (item.enabled ? 0 : MF_GRAYED);
    UINT_PTR id = static_cast<UINT_PTR>(item.command);
    if (!item.children.empty()) {
      flags |= MF_POPUP;
      id = reinterpret_cast<UINT_PTR>(BuildMenu(item.children, true));
    }
    AppendMenuW(menu, flags, id, Widen(item.caption).c_str());
  }
  if (!popup) ThemeMenu(menu, true);  // the bar; its popups with it
  return menu;
}

int TrackMenu(HWND owner, const std::vector<MenuItem>& items, POINT at) {
  HMENU menu = BuildMenu(items, true);
  ThemeMenu(menu, false);
  // The owner must be in front, or the menu stays open after a click elsewhere.
  SetForegroundWindow(owner);
  const int chosen = static_cast<int>(
      TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
  DestroyMenu(menu);
  PostMessageW(owner, WM_NULL, 0, 0);
  return chosen;
}

}  // namespace kestrova::win32
