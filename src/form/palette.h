#pragma once
// The colours every window of the program is drawn in, and which set of them
// applies: from the "Theme" setting, the apps' colour mode Windows reports and
// high contrast. The renderer is the only place that turns them into brushes.
#include <functional>

namespace kestrova {

// Values of the "Theme" key.
enum ThemeSetting : int { kThemeFollowWindows = 0, kThemeLight = 1, kThemeDark = 2 };

enum class PaletteKind {
  kLight,         // Windows' own look: the system colours, controls drawn by Windows
  kDark,          // drawn by the renderer from the dark palette
  kHighContrast,  // the system colours of the high-contrast scheme, nothing of our own
};

// What Windows says. `appsUseLightTheme` is the DWORD of that name (-1 when
// the value is missing, which means light).
struct WindowsTheme {
  long long appsUseLightTheme = -1;
  bool highContrast = false;
};

PaletteKind ChoosePalette(int themeSetting, const WindowsTheme& windows);

// Colours are 0xRRGGBB.
struct Palette {
  unsigned window;        // window and page background
  unsigned text;          // labels, check and option texts, group captions
  unsigned disabledText;  // any text of a disabled control
  unsigned field;         // text boxes, lists, drop-downs
  unsigned fieldText;
  unsigned button;  // push buttons, the tab under the page
  unsigned buttonText;
  unsigned buttonPressed;
  unsigned border;         // frames, boxes, tab edges
  unsigned tab;            // tabs not shown
  unsigned selection;      // the selected row of a list, highlighted menu items
  unsigned selectionText;
  unsigned focus;          // the focus rectangle
  unsigned link;           // links and coloured labels that fail on this background move towards it
  unsigned previewBack;    // the preview bar, drawn like an active title bar
  unsigned previewText;
};

// The light palette is the default scheme of Windows 10 and 11 (what the
// system colours give there); high contrast has no palette of its own and
// reads the system colours, so it answers the light one.
const Palette& PaletteOf(PaletteKind kind);

// WCAG 2 contrast ratio of two 0xRRGGBB colours, 1 to 21.
double ContrastRatio(unsigned a, unsigned b);
// `color`, or the nearest colour towards white (dark background) or black
// (light one) that reaches `ratio` against `background`.
unsigned Readable(unsigned color, unsigned background, double ratio = 4.5);

// The program's current choice: the setting shown in the settings window
// (preview included) and Windows' last reading. Changing either tells the
// listener, which repaints every window.
class ThemeState {
 public:
  static ThemeState& Get();
  void SetSetting(int setting);
  void SetWindows(const WindowsTheme& windows);
  int Setting() const { return setting_; }
  const WindowsTheme& Windows() const { return windows_; }
  PaletteKind Kind() const { return ChoosePalette(setting_, windows_); }
  void OnChange(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  void Changed(PaletteKind before);
  int setting_ = kThemeFollowWindows;
  WindowsTheme windows_;
  std::function<void()> listener_;
};

}  // namespace kestrova
