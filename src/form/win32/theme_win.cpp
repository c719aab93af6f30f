#include "form/win32/theme_win.h"

#include <commctrl.h>

#include <map>

#include "form/win32/theme_menu_win.h"
#include "form/win32/theme_paint_win.h"
#include "platform/win32/system_library_win.h"

namespace kestrova::win32 {

namespace {

constexpr wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr wchar_t kFormClass[] = L"KestrovaForm";
// uxtheme's preferred app modes (Windows 10 1903 and later).
constexpr int kAppModeDefault = 0;
constexpr int kAppModeForceDark = 2;
constexpr int kAppModeForceLight = 3;
constexpr DWORD kFirstPreferredModeBuild = 18362;
constexpr DWORD kFirstDarkModeBuild = 17763;



// GetVersionEx lies to programs without a compatibility entry; ntdll does not.
DWORD WindowsBuild() {
  struct VersionInfo {
    ULONG size, major, minor, build, platform;
    WCHAR csd[128];
  };
  using RtlGetVersionFn = LONG(WINAPI*)(VersionInfo*);
  const auto fn = LookUp<RtlGetVersionFn>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
  VersionInfo info = {};
  info.size = sizeof(info);
  if (fn == nullptr || fn(&info) != 0 || info.major < 10) return 0;
  return info.build;
}

ThemeCalls RealCalls() {
  ThemeCalls calls;
  calls.read = &ReadWindowsTheme;
  calls.build = WindowsBuild();
  HMODULE dwm = SystemLibrary(L"dwmapi.dll");
  calls.setWindowAttribute = LookUp<decltype(calls.setWindowAttribute)>(dwm, "DwmSetWindowAttribute");
  HMODULE ux = SystemLibrary(L"uxtheme.dll");
  calls.setWindowTheme = LookUp<decltype(calls.setWindowTheme)>(ux, "SetWindowTheme");
  // Exported by number only, and meaning these from the builds named.
  if (calls.build >= kFirstPreferredModeBuild) {
    calls.setPreferredAppMode = LookUp<decltype(calls.setPreferredAppMode)>(ux, MAKEINTRESOURCEA(135));
    calls.flushMenuThemes = LookUp<decltype(calls.flushMenuThemes)>(ux, MAKEINTRESOURCEA(136));
  }
  if (calls.build >= kFirstDarkModeBuild) {
    calls.allowDarkModeForWindow = LookUp<decltype(calls.allowDarkModeForWindow)>(ux, MAKEINTRESOURCEA(133));
  }
  return calls;
}

bool listening = false;

void Listen() {
  if (listening) return;
  listening = true;
  ThemeState& state = ThemeState::Get();
  if (Themes().read != nullptr) state.SetWindows(Themes().read());
  state.OnChange([] { RepaintAllWindows(); });
}

void SetAppMode(PaletteKind kind) {
  const ThemeCalls& calls = Themes();
  if (calls.setPreferredAppMode == nullptr) return;
  calls.setPreferredAppMode(kind == PaletteKind::kDark    ? kAppModeForceDark
                            : kind == PaletteKind::kLight ? kAppModeForceLight
                                                          : kAppModeDefault);
  if (calls.flushMenuThemes != nullptr) calls.flushMenuThemes();
}

// Windows' dark control themes where they exist; nullptr puts the class's own back.
const wchar_t* DarkThemeName(HWND control) {
  wchar_t cls[32] = {};
  GetClassNameW(control, cls, 32);
  if (lstrcmpiW(cls, L"COMBOBOX") == 0) return L"DarkMode_CFD";
  if (lstrcmpiW(cls, L"EDIT") == 0 || lstrcmpiW(cls, L"LISTBOX") == 0 || lstrcmpiW(cls, L"SCROLLBAR") == 0 ||
      lstrcmpiW(cls, L"BUTTON") == 0 || lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) {
    return L"DarkMode_Explorer";
  }
  return nullptr;
}

BOOL CALLBACK ThemeChild(HWND control, LPARAM dark) {
  const ThemeCalls& calls = Themes();
  if (calls.allowDarkModeForWindow != nullptr) calls.allowDarkModeForWindow(control, dark != 0);
  if (calls.setWindowTheme != nullptr) {
    const wchar_t* name = dark != 0 ? DarkThemeName(control) : nullptr;
    calls.setWindowTheme(control, name, nullptr);
  }
  SendMessageW(control, WM_THEMECHANGED, 0, 0);
  return TRUE;
}

// A form's tooltip is a pop-up it owns, not a child: Windows' dark tooltip theme
// answers on Windows, the colours below where no theme draws it (as under Wine).
BOOL CALLBACK ThemeTooltip(HWND hwnd, LPARAM owner) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (lstrcmpiW(cls, TOOLTIPS_CLASSW) != 0 || GetWindow(hwnd, GW_OWNER) != reinterpret_cast<HWND>(owner)) {
    return TRUE;
  }
  const bool own = OwnPainting();
  const Palette& p = CurrentPalette();
  ThemeChild(hwnd, own ? TRUE : FALSE);
  SendMessageW(hwnd, TTM_SETTIPBKCOLOR, own ? ToColorRef(p.field) : GetSysColor(COLOR_INFOBK), 0);
  SendMessageW(hwnd, TTM_SETTIPTEXTCOLOR, own ? ToColorRef(p.fieldText) : GetSysColor(COLOR_INFOTEXT), 0);
  return TRUE;
}

BOOL CALLBACK RepaintForm(HWND hwnd, LPARAM) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (lstrcmpW(cls, kFormClass) == 0) ApplyTheme(hwnd);
  return TRUE;
}

}  // namespace

ThemeCalls& Themes() {
  static ThemeCalls calls = RealCalls();
  return calls;
}

WindowsTheme ReadWindowsTheme() {
  WindowsTheme windows;
  DWORD value = 0, size = sizeof(value), type = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersonalize, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    if (RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD) {
      windows.appsUseLightTheme = value;
    }
    RegCloseKey(key);
  }
  HIGHCONTRASTW hc = {};
  hc.cbSize = sizeof(hc);
  windows.highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
  return windows;
}

DWORD DarkTitleAttribute(DWORD build) { return build >= 19041 ? 20 : 19; }

PaletteKind CurrentKind() {
  Listen();
  return ThemeState::Get().Kind();
}

const Palette& CurrentPalette() { return PaletteOf(CurrentKind()); }

bool OwnPainting() { return CurrentKind() == PaletteKind::kDark; }

COLORREF ToColorRef(unsigned rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

HBRUSH PaletteBrush(unsigned rgb) {
  static std::map<unsigned, HBRUSH> brushes;
  HBRUSH& brush = brushes[rgb];
  if (brush == nullptr) brush = CreateSolidBrush(ToColorRef(rgb));
  return brush;
}

UINT ThemeChangedMessage() {
  static const UINT message = RegisterWindowMessageW(L"Kestrova.ThemeChanged");
  return message;
}

void ThemeControl(HWND control, ControlKind kind) {
  Listen();
  SubclassForPainting(control, kind);
}

void ApplyTheme(HWND window) {
  const PaletteKind kind = CurrentKind();
  const ThemeCalls& calls = Themes();
  SetAppMode(kind);
  const BOOL dark = kind == PaletteKind::kDark;
  if (calls.allowDarkModeForWindow != nullptr) calls.allowDarkModeForWindow(window, dark);
  if (calls.setWindowAttribute != nullptr && calls.build >= kFirstDarkModeBuild) {
    calls.setWindowAttribute(window, DarkTitleAttribute(calls.build), &dark, sizeof(dark));
  }
  EnumChildWindows(window, &ThemeChild, dark);
  EnumThreadWindows(GetCurrentThreadId(), &ThemeTooltip, reinterpret_cast<LPARAM>(window));
  SendMessageW(window, ThemeChangedMessage(), 0, 0);
  // The frame too: Windows 10 draws the new caption colour only when it is repainted.
  RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void RepaintAllWindows() { EnumThreadWindows(GetCurrentThreadId(), &RepaintForm, 0); }

bool ThemeMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_SETTINGCHANGE: {
      const auto* area = reinterpret_cast<const wchar_t*>(lParam);
      const bool colours = area != nullptr && lstrcmpiW(area, L"ImmersiveColorSet") == 0;
      if ((colours || wParam == SPI_SETHIGHCONTRAST) && Themes().read != nullptr) {
        ThemeState::Get().SetWindows(Themes().read());
      }
      return false;
    }
    case WM_MEASUREITEM:
      if (!MeasureMenuItem(window, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return false;
      result = TRUE;
      return true;
    case WM_DRAWITEM:
      if (!DrawMenuItem(window, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return false;
      result = TRUE;
      return true;
    case WM_NCPAINT:
    case WM_NCACTIVATE:
      if (!OwnPainting() || GetMenu(window) == nullptr) return false;
      result = DefWindowProcW(window, msg, wParam, lParam);
      PaintMenuBarRest(window);
      return true;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      if (Themes().read != nullptr) ThemeState::Get().SetWindows(Themes().read());
      return false;
    default:
      break;
  }
  if (!OwnPainting()) return false;
  return PaletteColors(window, msg, wParam, lParam, result);
}

HBRUSH ThemePageBrush() { return OwnPainting() ? PaletteBrush(CurrentPalette().window) : nullptr; }

COLORREF ThemeLabelColor(COLORREF color, bool enabled) {
  if (!OwnPainting()) return enabled ? color : GetSysColor(COLOR_GRAYTEXT);
  const Palette& p = CurrentPalette();
  if (!enabled) return ToColorRef(p.disabledText);
  const unsigned rgb = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
  // Black text (a label of the system colour drawn here) becomes the palette's text.
  if (rgb == 0) return ToColorRef(p.text);
  return ToColorRef(Readable(rgb, p.window));
}

COLORREF ThemeFillColor(COLORREF color) {
  if (!OwnPainting()) return color;
  const unsigned rgb = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
  return ToColorRef(Readable(rgb, CurrentPalette().window, 3.0));
}

}  // namespace kestrova::win32
