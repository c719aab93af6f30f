#pragma once
// The renderer's side of the palette (form/palette.h): Windows' colour mode
// and high contrast read, Windows' dark parts where they exist (title bar,
// menus and scroll bars, control themes), loaded at run time, and the
// renderer's own painting of what Windows has no dark look for.
#include <windows.h>

#include "form/form_spec.h"
#include "form/palette.h"

namespace kestrova::win32 {

// Windows' answers the dark look depends on. Each is looked up at run time
// (older systems lack them, Wine answers none); tests replace them.
struct ThemeCalls {
  WindowsTheme (*read)() = nullptr;  // the registry value and high contrast
  DWORD build = 0;                   // Windows' build number
  HRESULT(WINAPI* setWindowAttribute)(HWND, DWORD, LPCVOID, DWORD) = nullptr;  // dwmapi
  HRESULT(WINAPI* setWindowTheme)(HWND, LPCWSTR, LPCWSTR) = nullptr;           // uxtheme
  int(WINAPI* setPreferredAppMode)(int) = nullptr;                            // uxtheme #135
  void(WINAPI* flushMenuThemes)() = nullptr;                                  // uxtheme #136
  BOOL(WINAPI* allowDarkModeForWindow)(HWND, BOOL) = nullptr;                 // uxtheme #133
};
ThemeCalls& Themes();
// The registry and SystemParametersInfo, as Windows answers them.
WindowsTheme ReadWindowsTheme();

// The title bar's dark attribute: 20, and 19 on Windows 10 before 2004 (build 19041).
DWORD DarkTitleAttribute(DWORD build);

// The palette in force, and whether the renderer paints the controls itself.
PaletteKind CurrentKind();
const Palette& CurrentPalette();
bool OwnPainting();
COLORREF ToColorRef(unsigned rgb);
HBRUSH PaletteBrush(unsigned rgb);  // kept for the life of the process

// Sent to every window of the program after the palette changed; a
// window's message hook may answer it too (the menu bar is rebuilt there).
UINT ThemeChangedMessage();

// Called by the renderer: after a control is made, after the window and its
// controls are made, and with every message of the window first (true: answered).
void ThemeControl(HWND control, ControlKind kind);
void ApplyTheme(HWND window);
bool ThemeMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
// The page background in the dark palette (nullptr: the renderer's own).
HBRUSH ThemePageBrush();
// A label's colour (0xRRGGBB) made readable on the current background.
COLORREF ThemeLabelColor(COLORREF color, bool enabled);
// The fill of a coloured picture (a line, a shape), kept visible on dark.
COLORREF ThemeFillColor(COLORREF color);

// Menus in the dark palette: the items of `menu` (and its submenus) drawn by
// the owner window, which answers WM_MEASUREITEM and WM_DRAWITEM through
// ThemeMessage. Nothing changes in the other palettes.
void ThemeMenu(HMENU menu, bool bar);

// Every window of the program (the renderer's class) on this thread, again.
void RepaintAllWindows();

}  // namespace kestrova::win32
