#pragma once
// The owner's side of the dark menus (ThemeMenu in theme_win.h).
#include <windows.h>

namespace kestrova::win32 {

// True when the item is one of ThemeMenu's.
bool MeasureMenuItem(HWND owner, MEASUREITEMSTRUCT& m);
bool DrawMenuItem(HWND owner, const DRAWITEMSTRUCT& d);
// The bar right of its last item, which Windows fills in the light system
// colour whatever the menu's background says; after the default frame painting.
void PaintMenuBarRest(HWND owner);

}  // namespace kestrova::win32
