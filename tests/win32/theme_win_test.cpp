// The dark palette on real windows: every kind of control is painted dark
// with readable text, Windows' dark parts are asked for, and a change of
// Windows' colour mode repaints an open window. Windows' answers (the
// registry value, high contrast, DWM, uxtheme) are injected: Wine has none.
#include "form/win32/theme_win.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <vector>

#include "form/form.h"
#include "form/palette.h"
#include "form/win32/form_win.h"

namespace kestrova::win32 {
namespace {

enum : int { kOk = 1, kTab = 10, kCheck, kOption, kFrame, kLabel, kText, kList, kCombo, kLink, kScroll };

constexpr ControlSpec kRows[] = {
    {.id = kTab, .kind = ControlKind::kTab, .rect = {60, 60, 4200, 1500}, .caption = "一般|詳細"},
    {.id = kCheck,
     .kind = ControlKind::kCheckBox,
     .page = 0,
     .rect = {120, 100, 2400, 300},
     .caption = "チェックボックス",
     .flags = kTabStop},
    {.id = kOption,
     .kind = ControlKind::kOptionButton,
     .page = 0,
     .rect = {120, 450, 2400, 300},
     .caption = "オプション",
     .flags = kTabStop},
    {.id = kLabel, .kind = ControlKind::kLabel, .page = 0, .rect = {120, 800, 2400, 240}, .caption = "ラベルの文字"},
    {.id = kFrame, .kind = ControlKind::kFrame, .rect = {60, 1650, 4200, 900}, .caption = "枠の見出し"},
    {.id = kText, .kind = ControlKind::kTextBox, .rect = {180, 1950, 2000, 300}, .flags = kTabStop},
    {.id = kList, .kind = ControlKind::kListBox, .rect = {2300, 1950, 1800, 500}, .flags = kTabStop},
    {.id = kCombo, .kind = ControlKind::kComboList, .rect = {120, 2650, 2000, 300}, .flags = kTabStop},
    {.id = kLink,
     .kind = ControlKind::kLabel,
     .rect = {2300, 2650, 1800, 255},
     .caption = "リンクの文字",
     .flags = kLink,
     .color = 0x0000FF},
    {.id = kScroll, .kind = ControlKind::kHScroll, .rect = {120, 3050, 1200, 255}, .flags = kTabStop},
    {.id = kOk,
     .kind = ControlKind::kButton,
     .rect = {1500, 3050, 1200, 375},
     .caption = "OK",
     .flags = kTabStop | kDefaultButton},
};
constexpr FormSpec kSpec{.caption = "色のテスト", .clientWidth = 4400, .clientHeight = 3600, .controls = kRows};

// What the injected Windows says and what it was asked.
WindowsTheme windowsSays;
std::vector<std::pair<DWORD, BOOL>> titleAttributes;
std::vector<int> appModes;

WindowsTheme FakeRead() { return windowsSays; }
HRESULT WINAPI FakeSetAttribute(HWND, DWORD attribute, LPCVOID value, DWORD) {
  titleAttributes.emplace_back(attribute, *static_cast<const BOOL*>(value));
  return S_OK;
}
int WINAPI FakeSetAppMode(int mode) {
  appModes.push_back(mode);
  return 0;
}

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

unsigned Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

double Luma(unsigned rgb) { return ((rgb >> 16 & 0xFF) * 0.2126 + (rgb >> 8 & 0xFF) * 0.7152 + (rgb & 0xFF) * 0.0722) / 255; }

struct Sample {
  double meanLuma = 0;
  double bestContrast = 1;  // of any pixel against the commonest colour
};

Sample SampleOf(HWND control) {
  RECT r = {};
  GetClientRect(control, &r);
  HDC dc = GetDC(control);
  std::map<unsigned, int> counts;
  std::vector<unsigned> pixels;
  for (int y = 0; y < r.bottom; ++y) {
    for (int x = 0; x < r.right; ++x) {
      const unsigned p = Rgb(GetPixel(dc, x, y));
      pixels.push_back(p);
      ++counts[p];
    }
  }
  ReleaseDC(control, dc);
  Sample s;
  if (pixels.empty()) return s;
  const unsigned back =
      std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  for (unsigned p : pixels) {
    s.meanLuma += Luma(p);
    s.bestContrast = std::max(s.bestContrast, ContrastRatio(p, back));
  }
  s.meanLuma /= static_cast<double>(pixels.size());
  return s;
}

class ThemeWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = Themes();
    Themes().read = &FakeRead;
    Themes().build = 19045;
    Themes().setWindowAttribute = &FakeSetAttribute;
    Themes().setPreferredAppMode = &FakeSetAppMode;
    Themes().flushMenuThemes = nullptr;
    Themes().allowDarkModeForWindow = nullptr;
    Themes().setWindowTheme = nullptr;
    titleAttributes.clear();
    appModes.clear();
    form.SetItems(kList, {"一行目", "二行目"});
    form.SetItems(kCombo, {"選択肢"});
    form.SetValue(kCombo, 0);
    form.SetValue(kCheck, 1);
    form.SetRange(kScroll, 0, 100, 1, 10);
    form.SetValue(kScroll, 30);
  }
  void TearDown() override {
    if (window.Hwnd() != nullptr) DestroyWindow(window.Hwnd());
    Themes() = saved;
    windowsSays = {};
    ThemeState::Get().SetSetting(kThemeFollowWindows);
    ThemeState::Get().SetWindows(ReadWindowsTheme());
  }
  // Windows' reading as the program takes it in (the setting change it broadcasts).
  void WindowsSays(long long apps, bool highContrast = false) {
    windowsSays = {apps, highContrast};
    ThemeState::Get().SetWindows(windowsSays);
  }
  void Open() {
    ASSERT_TRUE(window.Create(nullptr));
    ShowWindow(window.Hwnd(), SW_SHOWNA);
    UpdateWindow(window.Hwnd());
    Pump(150);
  }
  void ExpectDark(bool dark) {
    const struct {
      int id;
      bool text;
    } controls[] = {{kTab, true},  {kCheck, true}, {kOption, true}, {kLabel, true}, {kFrame, true},
                    {kText, false}, {kList, true}, {kCombo, true},  {kLink, true},  {kOk, true},
                    {kScroll, false}};
    for (const auto& c : controls) {
      const Sample s = SampleOf(window.Control(c.id));
      if (dark) {
        EXPECT_LT(s.meanLuma, 0.35) << "control " << c.id << " is not dark";
      } else {
        EXPECT_GT(s.meanLuma, 0.6) << "control " << c.id << " is not light";
      }
      if (c.text) {
        EXPECT_GE(s.bestContrast, 4.5) << "control " << c.id << ": its text cannot be read";
      }
    }
    // The tooltip is a pop-up of the window's own, not a child.
    HWND tip = nullptr;
    for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
      wchar_t cls[32] = {};
      GetClassNameW(h, cls, 32);
      if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && GetWindow(h, GW_OWNER) == window.Hwnd()) tip = h;
    }
    ASSERT_NE(tip, nullptr);
    const auto bright = [tip](UINT msg) {
      const COLORREF c = static_cast<COLORREF>(SendMessageW(tip, msg, 0, 0));
      return (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
    };
    EXPECT_EQ(bright(TTM_GETTIPBKCOLOR) < 0x80, dark) << "the tooltip's background";
    EXPECT_EQ(bright(TTM_GETTIPTEXTCOLOR) < 0x80, !dark) << "the tooltip's text";
  }

  ThemeCalls saved;
  FormModel form{kSpec};
  FormWindow window{form};
};

TEST_F(ThemeWinTest, DarkSettingPaintsEveryControlDarkWithReadableTextAndAsksForTheDarkTitleBar) {
  WindowsSays(1);
  ThemeState::Get().SetSetting(kThemeDark);
  Open();
  ExpectDark(true);
  ASSERT_FALSE(titleAttributes.empty());
  EXPECT_EQ(titleAttributes.back(), std::make_pair(DWORD{20}, BOOL{TRUE}));
  ASSERT_FALSE(appModes.empty());
  EXPECT_EQ(appModes.back(), 2) << "menus and scroll bars: ForceDark";
}

TEST_F(ThemeWinTest, FollowingWindowsTurnsAnOpenWindowDarkAndBackOnTheSettingChange) {
  WindowsSays(1);
  Open();
  ExpectDark(false);
  EXPECT_EQ(titleAttributes.back().second, FALSE);
  windowsSays = {0, false};
  SendMessageW(window.Hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
  Pump(150);
  ExpectDark(true);
  EXPECT_EQ(titleAttributes.back(), std::make_pair(DWORD{20}, BOOL{TRUE}));
  windowsSays = {-1, false};  // the value removed: light
  SendMessageW(window.Hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
  Pump(150);
  ExpectDark(false);
  EXPECT_EQ(appModes.back(), 3);
}

TEST_F(ThemeWinTest, HighContrastKeepsTheSystemColoursAndALightSettingStaysLight) {
  WindowsSays(0, true);
  ThemeState::Get().SetSetting(kThemeDark);
  Open();
  EXPECT_FALSE(OwnPainting());
  EXPECT_EQ(titleAttributes.back().second, FALSE);
  EXPECT_EQ(appModes.back(), 0) << "the default mode: the high-contrast scheme";
  WindowsSays(0);
  ThemeState::Get().SetSetting(kThemeLight);
  Pump(150);
  ExpectDark(false);
}

TEST_F(ThemeWinTest, MenuBarIsDarkRightOfItsItemsToo) {
  WindowsSays(1);
  ThemeState::Get().SetSetting(kThemeDark);
  Open();
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"ファイル(&F)");
  ThemeMenu(bar, true);
  window.SetMenu(bar);
  SendMessageW(window.Hwnd(), WM_NCACTIVATE, TRUE, 0);  // Windows repaints the bar here too
  Pump(150);
  MENUBARINFO info = {};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetMenuBarInfo(window.Hwnd(), OBJID_MENU, 0, &info));
  RECT frame = {};
  GetWindowRect(window.Hwnd(), &frame);
  HDC dc = GetWindowDC(window.Hwnd());
  const int y = (info.rcBar.top + info.rcBar.bottom) / 2 - frame.top;
  for (int x : {info.rcBar.left + 4, info.rcBar.right - 4}) {  // an item, then the empty rest
    EXPECT_LT(Luma(Rgb(GetPixel(dc, x - frame.left, y))), 0.35) << "the bar at " << x;
  }
  ReleaseDC(window.Hwnd(), dc);
}

TEST_F(ThemeWinTest, ALongListsScrollBarIsDarkWhereverItIs) {
  form.SetItems(kList, std::vector<std::string>(30, "行"));
  WindowsSays(1);
  ThemeState::Get().SetSetting(kThemeDark);
  Open();
  HWND list = window.Control(kList);
  SetWindowPos(list, nullptr, 0, 0, 120, 100, SWP_NOMOVE | SWP_NOZORDER);  // room for a track
  for (int top : {0, 20}) {
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    Pump(150);
    SCROLLBARINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetScrollBarInfo(list, OBJID_VSCROLL, &info));
    ASSERT_EQ(info.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u) << "thirty rows need a scroll bar";
    RECT frame = {};
    GetWindowRect(list, &frame);
    HDC dc = GetWindowDC(list);
    double sum = 0;
    int count = 0;
    for (LONG y = info.rcScrollBar.top; y < info.rcScrollBar.bottom; ++y) {
      for (LONG x = info.rcScrollBar.left; x < info.rcScrollBar.right; ++x, ++count) {
        sum += Luma(Rgb(GetPixel(dc, x - frame.left, y - frame.top)));
      }
    }
    ReleaseDC(list, dc);
    EXPECT_LT(sum / std::max(count, 1), 0.35) << "the list's scroll bar is light, scrolled to " << top;
  }
}

TEST(ThemeAttribute, TwentyFromWindows10Version2004NineteenBefore) {
  const std::pair<DWORD, DWORD> cases[] = {{17763, 19}, {18362, 19}, {19040, 19}, {19041, 20}, {22631, 20}};
  for (const auto& [build, attribute] : cases) EXPECT_EQ(DarkTitleAttribute(build), attribute) << build;
}

}  // namespace
}  // namespace kestrova::win32
