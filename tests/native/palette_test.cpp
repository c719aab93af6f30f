// Which palette applies, and that every text of both palettes can be read.
#include "form/palette.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(Palette, ChosenFromTheSettingWindowsModeAndHighContrast) {
  using P = PaletteKind;
  constexpr long long kMissing = -1;
  const struct {
    int setting;
    long long apps;  // AppsUseLightTheme
    bool highContrast;
    P kind;
  } cases[] = {
      {kThemeFollowWindows, 0, false, P::kDark},  {kThemeFollowWindows, 1, false, P::kLight},
      {kThemeFollowWindows, kMissing, false, P::kLight},
      {kThemeLight, 0, false, P::kLight},         {kThemeLight, 1, false, P::kLight},
      {kThemeDark, 1, false, P::kDark},           {kThemeDark, kMissing, false, P::kDark},
      {kThemeFollowWindows, 0, true, P::kHighContrast}, {kThemeLight, 1, true, P::kHighContrast},
      {kThemeDark, 0, true, P::kHighContrast},
      {7, 0, false, P::kDark},  // an unknown setting follows Windows
      {-1, 1, false, P::kLight},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChoosePalette(c.setting, {c.apps, c.highContrast}), c.kind)
        << c.setting << " " << c.apps << " " << c.highContrast;
  }
}

TEST(Palette, ContrastRatioFollowsTheFormula) {
  EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(0xFFFFFF, 0x000000), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(0x777777, 0x777777), 1.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(0x767676, 0xFFFFFF), 4.54, 0.01);  // the usual grey on white
  EXPECT_NEAR(ContrastRatio(0x0000FF, 0xFFFFFF), 8.59, 0.01);
}

TEST(Palette, EveryTextReadableOnItsBackgroundInBothPalettes) {
  for (PaletteKind kind : {PaletteKind::kLight, PaletteKind::kDark}) {
    const Palette& p = PaletteOf(kind);
    const struct {
      const char* name;
      unsigned text, back;
      double least;
    } pairs[] = {
        {"text", p.text, p.window, 4.5},
        {"text on a tab", p.text, p.tab, 4.5},
        {"disabled", p.disabledText, p.window, 3.0},
        {"disabled field", p.disabledText, p.field, 3.0},
        {"field", p.fieldText, p.field, 4.5},
        {"button", p.buttonText, p.button, 4.5},
        {"pressed button", p.buttonText, p.buttonPressed, 4.5},
        {"disabled button", p.disabledText, p.button, 3.0},
        {"selection", p.selectionText, p.selection, 4.5},
        {"link", p.link, p.window, 4.5},
        {"preview", p.previewText, p.previewBack, 4.5},
        {"focus on the window", p.focus, p.window, 3.0},
        {"focus on a button", p.focus, p.button, 3.0},
    };
    for (const auto& c : pairs) {
      EXPECT_GE(ContrastRatio(c.text, c.back), c.least) << static_cast<int>(kind) << " " << c.name;
    }
  }
  EXPECT_LT(ContrastRatio(PaletteOf(PaletteKind::kDark).window, 0x000000), 2.0) << "the dark palette is dark";
}

TEST(Palette, ColouredLabelsMoveAwayFromTheBackgroundOnlyAsFarAsNeeded) {
  const unsigned dark = PaletteOf(PaletteKind::kDark).window;
  const unsigned light = PaletteOf(PaletteKind::kLight).window;
  // The about window's title (navy) and link (blue), its shadow, an alarm's red.
  for (unsigned colour : {0x000080u, 0x0000FFu, 0xA0A0A0u, 0xFF0000u, 0x202020u, 0xFFFF00u}) {
    for (unsigned back : {dark, light}) {
      const unsigned shown = Readable(colour, back);
      EXPECT_GE(ContrastRatio(shown, back), 4.5) << std::hex << colour << " on " << back;
      if (ContrastRatio(colour, back) >= 4.5) {
        EXPECT_EQ(shown, colour) << "already readable: kept";
      }
    }
  }
  EXPECT_NE(Readable(0x000080, dark), 0xFFFFFFu) << "navy is lightened, not turned white";
}

TEST(Palette, StateTellsItsListenerOnlyWhenThePaletteChanges) {
  ThemeState& state = ThemeState::Get();
  state.SetSetting(kThemeFollowWindows);
  state.SetWindows({1, false});
  int calls = 0;
  state.OnChange([&] { ++calls; });
  state.SetWindows({-1, false});  // still light
  EXPECT_EQ(calls, 0);
  state.SetWindows({0, false});
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(state.Kind(), PaletteKind::kDark);
  state.SetSetting(kThemeDark);  // dark already
  EXPECT_EQ(calls, 1);
  state.SetSetting(kThemeLight);
  EXPECT_EQ(calls, 2);
  state.SetWindows({0, true});
  EXPECT_EQ(state.Kind(), PaletteKind::kHighContrast);
  EXPECT_EQ(calls, 3);
  state.OnChange(nullptr);
  state.SetSetting(kThemeFollowWindows);
  state.SetWindows({});
}

}  // namespace
}  // namespace kestrova
