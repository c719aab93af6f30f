#pragma once
// The owner's side of the dark menus (ThemeMenu in theme_win.h).
#include <windows.h>

namespace kestrova::win32 {

// True when the item is one of ThemeMenu's.
bool MeasureMenuItem(HWND owner, MEASUREITEMSTRUCT& m);
bool DrawMenuItem(HWND owner, const DRAWITEMSTRUCT& d);

}  // namespace kestrova::win32
