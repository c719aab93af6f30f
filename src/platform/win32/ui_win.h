#pragma once
// DPI and font helpers shared by the program's windows.
#include <windows.h>

namespace kestrova::win32 {

// The DPI of the window's monitor (the system DPI for no window or an older system).
int WindowDpi(HWND hwnd);
// The system's message font, scaled for `dpi`.
HFONT CreateUiFont(int dpi);
// The menus' font, likewise.
HFONT CreateMenuFont(int dpi);
// Twips to pixels at `dpi`.
inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// A user32 export that older systems lack; nullptr there.
template <typename Fn>
Fn User32Function(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace kestrova::win32
