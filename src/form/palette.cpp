#include "form/palette.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

PaletteKind ChoosePalette(int themeSetting, const WindowsTheme& windows) {
  // High contrast is a need, not a taste: it wins over the setting.
  if (windows.highContrast) return PaletteKind::kHighContrast;
  switch (themeSetting) {
    case kThemeLight:
      return PaletteKind::kLight;
    case kThemeDark:
      return PaletteKind::kDark;
    default:
      // An unknown value in the file follows Windows, like 0.
      return windows.appsUseLightTheme == 0 ? PaletteKind::kDark : PaletteKind::kLight;
  }
}

namespace {

constexpr Palette kLightPalette = {
    .window = 0xF0F0F0,
    .text = 0x000000,
    .disabledText = 0x6D6D6D,
    .field = 0xFFFFFF,
    .fieldText = 0x000000,
    .button = 0xE1E1E1,
    .buttonText = 0x000000,
    .buttonPressed = 0xCCE4F7,
    .border = 0xADADAD,
    .tab = 0xF0F0F0,
    .selection = 0x0067C0,
    .selectionText = 0xFFFFFF,
    .focus = 0x000000,
    .link = 0x0000FF,
    .previewBack = 0x99B4D1,
    .previewText = 0x000000,
};

constexpr Palette kDarkPalette = {
    .window = 0x202020,
    .text = 0xF0F0F0,
    .disabledText = 0x8A8A8A,
    .field = 0x2B2B2B,
    .fieldText = 0xF0F0F0,
    .button = 0x3A3A3A,
    .buttonText = 0xF0F0F0,
    .buttonPressed = 0x505050,
    .border = 0x7A7A7A,
    .tab = 0x2B2B2B,
    .selection = 0x0063B1,
    .selectionText = 0xFFFFFF,
    .focus = 0xF0F0F0,
    .link = 0x6CB4FF,
    .previewBack = 0x1F3A5F,
    .previewText = 0xF0F0F0,
};

double Channel(unsigned value) {
  const double c = static_cast<double>(value & 0xFF) / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(unsigned rgb) {
  return 0.2126 * Channel(rgb >> 16) + 0.7152 * Channel(rgb >> 8) + 0.0722 * Channel(rgb);
}

unsigned Mix(unsigned from, unsigned to, int step, int steps) {
  unsigned out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int a = static_cast<int>((from >> shift) & 0xFF);
    const int b = static_cast<int>((to >> shift) & 0xFF);
    out |= static_cast<unsigned>(a + (b - a) * step / steps) << shift;
  }
  return out;
}

}  // namespace

const Palette& PaletteOf(PaletteKind kind) { return kind == PaletteKind::kDark ? kDarkPalette : kLightPalette; }

double ContrastRatio(unsigned a, unsigned b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

unsigned Readable(unsigned color, unsigned background, double ratio) {
  // Away from the background: towards white on a dark one, black on a light one.
  const unsigned target = Luminance(background) < 0.18 ? 0xFFFFFF : 0x000000;
  constexpr int kSteps = 32;
  for (int step = 0; step <= kSteps; ++step) {
    const unsigned c = Mix(color, target, step, kSteps);
    if (ContrastRatio(c, background) >= ratio) return c;
  }
  return target;
}

ThemeState& ThemeState::Get() {
  static ThemeState state;
  return state;
}

void ThemeState::SetSetting(int setting) {
  const PaletteKind before = Kind();
  setting_ = setting;
  Changed(before);
}

void ThemeState::SetWindows(const WindowsTheme& windows) {
  const PaletteKind before = Kind();
  windows_ = windows;
  Changed(before);
}

void ThemeState::Changed(PaletteKind before) {
  if (Kind() != before && listener_) listener_();
}

}  // namespace kestrova
