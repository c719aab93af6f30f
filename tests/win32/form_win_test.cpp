// The renderer on real windows: placement, keyboard, and both directions
// between the model and the controls.
#include "form/win32/form_win.h"

#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <string>
#include <vector>

#include "form/form.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace kestrova::win32 {
namespace {

enum : int {
  kOk = 1,
  kCancel = 2,
  kText = 10,
  kCheck,
  kCombo,
  kLabel,
  kScroll,
  kTab,
  kOnPage0,
  kOnPage1,
  kOptA,
  kOptB
};

constexpr ControlSpec kRows[] = {
    {.id = kTab,
     .kind = ControlKind::kTab,
     .rect = {60, 60, 4200, 1800},
     .caption = "一|二",
     .flags = kTabStop},
    {.id = kOnPage0, .kind = ControlKind::kLabel, .page = 0, .rect = {240, 480, 1200, 240}, .caption = "p0"},
    {.id = kOnPage1, .kind = ControlKind::kLabel, .page = 1, .rect = {240, 480, 1200, 240}, .caption = "p1"},
    {.id = kText,
     .kind = ControlKind::kTextBox,
     .rect = {120, 1920, 3000, 300},
     .tooltip = "説明",
     .flags = kTabStop},
    {.id = kCheck,
     .kind = ControlKind::kCheckBox,
     .rect = {120, 2280, 3000, 300},
     .caption = "表示する(&D)",
     .flags = kTabStop},
    {.id = kLabel,
     .kind = ControlKind::kLabel,
     .rect = {120, 2640, 3000, 240},
     .caption = "ラベル",
     .fontName = "ＭＳ Ｐゴシック",
     .fontTenthPoints = 83},
    {.id = kCombo, .kind = ControlKind::kComboList, .rect = {120, 2940, 2000, 300}, .flags = kTabStop},
    {.id = kScroll, .kind = ControlKind::kHScroll, .rect = {120, 3300, 3000, 255}, .flags = kTabStop},
    {.id = kOptA,
     .kind = ControlKind::kOptionButton,
     .name = "Option1",
     .index = 0,
     .rect = {120, 3600, 1500, 300},
     .caption = "A",
     .flags = kTabStop | kGroupStart},
    {.id = kOptB,
     .kind = ControlKind::kOptionButton,
     .name = "Option1",
     .index = 1,
     .rect = {1700, 3600, 1500, 300},
     .caption = "B"},
    {.id = kOk,
     .kind = ControlKind::kButton,
     .rect = {1200, 4000, 1095, 375},
     .caption = "OK",
     .flags = kTabStop | kDefaultButton | kGroupStart},
    {.id = kCancel,
     .kind = ControlKind::kButton,
     .rect = {2400, 4000, 1095, 375},
     .caption = "キャンセル",
     .flags = kTabStop | kCancelButton},
};
constexpr FormSpec kSpec{.caption = "フォーム", .clientWidth = 4500, .clientHeight = 4500, .controls = kRows};

// The same window without a cancel button: Esc asks to close it.
constexpr ControlSpec kNoCancelRows[] = {
    {.id = kText, .kind = ControlKind::kTextBox, .rect = {120, 120, 3000, 300}, .flags = kTabStop},
    {.id = kOk,
     .kind = ControlKind::kButton,
     .rect = {120, 600, 1095, 375},
     .caption = "OK",
     .flags = kTabStop | kDefaultButton},
};

RECT ClientRectOf(HWND control) {
  RECT r = {};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetWindowTextW(hwnd, buffer, 256);
  return buffer;
}

void Key(HWND hwnd, HWND focus, WPARAM key) {
  MSG msg = {focus, WM_KEYDOWN, key, 0, 0, {}};
  IsDialogMessageW(hwnd, &msg);
}

class FormWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetItems(kCombo, {"なし", "タイトル", "時計"});
    form.SetRange(kScroll, 1, 6553, 1, 10);
    ASSERT_TRUE(window.Create(nullptr));
    hwnd = window.Hwnd();
    form.OnChange(kScroll, [&](Cause c) { causes.push_back(c); });
    form.OnClick(kOk, [&](Cause) { clicks.push_back(kOk); });
    form.OnClick(kCancel, [&](Cause) { clicks.push_back(kCancel); });
  }
  void ExpectAt(int id, TwipRect r, int dpi) {
    const RECT got = ClientRectOf(window.Control(id));
    EXPECT_EQ(got.left, MulDiv(r.left, dpi, 1440)) << id << " at " << dpi;
    EXPECT_EQ(got.top, MulDiv(r.top, dpi, 1440)) << id;
    EXPECT_EQ(got.right - got.left, MulDiv(r.width, dpi, 1440)) << id;
    EXPECT_EQ(got.bottom - got.top, MulDiv(r.height, dpi, 1440)) << id;
  }

  FormModel form{kSpec};
  FormWindow window{form};
  HWND hwnd = nullptr;
  std::vector<Cause> causes;
  std::vector<int> clicks;
};

TEST_F(FormWinTest, ControlsAndClientAreaArePlacedInTwipsAtTheWindowsDpi) {
  const int dpi = window.Dpi();
  for (int id : {kText, kCheck, kLabel, kScroll, kOk}) ExpectAt(id, form.Find(id)->rect, dpi);
  RECT client = {};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, MulDiv(4500, dpi, 1440));
  EXPECT_EQ(client.bottom, MulDiv(4500, dpi, 1440));

  // Moved to a 192-dpi monitor: laid out again, with fonts to match.
  RECT suggested = {0, 0, 1000, 1000};
  SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(window.Dpi(), 192);
  for (int id : {kText, kCheck, kOk}) ExpectAt(id, form.Find(id)->rect, 192);

  LOGFONTW label = {}, text = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window.Control(kLabel), WM_GETFONT, 0, 0)), sizeof(label),
             &label);
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window.Control(kText), WM_GETFONT, 0, 0)), sizeof(text),
             &text);
  EXPECT_STREQ(label.lfFaceName, L"ＭＳ Ｐゴシック");
  EXPECT_EQ(label.lfHeight, -MulDiv(83, 192, 720));
  EXPECT_STRNE(text.lfFaceName, L"ＭＳ Ｐゴシック") << "the others keep the UI font";
}

TEST_F(FormWinTest, TabMovesAlongTheTableAndPagesShowOneAtATime) {
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  form.SetGroupValue(kOptA, 0);  // Tab enters a group at its set member
  SetFocus(window.Control(kText));
  const int order[] = {kCheck, kCombo, kScroll, kOptA, kOk, kCancel, kTab, kText};
  for (int next : order) {
    Key(hwnd, GetFocus(), VK_TAB);
    EXPECT_EQ(GetFocus(), window.Control(next)) << "after Tab, expected " << next;
  }
  EXPECT_EQ(GetNextDlgTabItem(hwnd, window.Control(kCheck), TRUE), window.Control(kText)) << "Shift+Tab";

  EXPECT_TRUE(IsWindowVisible(window.Control(kOnPage0)));
  EXPECT_FALSE(IsWindowVisible(window.Control(kOnPage1)));
  form.SetValue(kTab, 1);
  EXPECT_EQ(SendMessageW(window.Control(kTab), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_FALSE(IsWindowVisible(window.Control(kOnPage0)));
  EXPECT_TRUE(IsWindowVisible(window.Control(kOnPage1)));
}

// The window is no dialog: a focus move must not rely on the dialog manager.
TEST_F(FormWinTest, FocusMovesOnScreenToAShownControlOnly) {
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  SetFocus(window.Control(kText));
  form.Focus(kScroll);
  EXPECT_EQ(GetFocus(), window.Control(kScroll));
  form.Focus(kOnPage1);  // on a page not shown
  EXPECT_EQ(GetFocus(), window.Control(kScroll));
}

TEST_F(FormWinTest, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  SetFocus(window.Control(kText));
  Key(hwnd, window.Control(kText), VK_RETURN);
  Key(hwnd, window.Control(kText), VK_ESCAPE);
  EXPECT_EQ(clicks, (std::vector<int>{kOk, kCancel}));

  FormModel plain({.caption = "x", .clientWidth = 3000, .clientHeight = 1200, .controls = kNoCancelRows});
  int unloads = 0;
  plain.OnUnload([&] { ++unloads; });
  FormWindow other(plain);
  ASSERT_TRUE(other.Create(nullptr));
  ShowWindow(other.Hwnd(), SW_SHOW);
  SetForegroundWindow(other.Hwnd());
  HWND otherHwnd = other.Hwnd();
  Key(otherHwnd, other.Control(kText), VK_ESCAPE);
  EXPECT_EQ(unloads, 1) << "Esc without a cancel button closes like the close box";
  EXPECT_FALSE(IsWindow(otherHwnd));
}

TEST_F(FormWinTest, ModelChangesReachTheControls) {
  form.SetText(kText, "日本語のテキスト");
  form.SetSelection(kText, 3, 6);  // bytes: the second and third characters
  form.SetValue(kCheck, 2);
  form.SetValue(kCombo, 2);
  form.SetValue(kScroll, 900);
  form.SetGroupValue(kOptA, 1);
  form.SetEnabled(kOk, false);
  form.SetVisible(kLabel, false);
  EXPECT_EQ(TextOf(window.Control(kText)), L"日本語のテキスト");
  DWORD start = 0, end = 0;
  SendMessageW(window.Control(kText), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 3u);
  EXPECT_EQ(SendMessageW(window.Control(kCheck), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(SendMessageW(window.Control(kCombo), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(window.Control(kCombo), CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(GetScrollPos(window.Control(kScroll), SB_CTL), 900);
  EXPECT_EQ(SendMessageW(window.Control(kOptA), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(window.Control(kOptB), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(IsWindowEnabled(window.Control(kOk)));
  EXPECT_FALSE(IsWindowVisible(window.Control(kLabel)));
  EXPECT_TRUE(causes.size() == 1 && causes[0] == Cause::kProgram);
}

TEST_F(FormWinTest, UserActionsReachTheModelWithTheirCause) {
  SendMessageW(window.Control(kCheck), BM_CLICK, 0, 0);
  EXPECT_EQ(form.Value(kCheck), 1);
  SendMessageW(window.Control(kCheck), BM_CLICK, 0, 0);
  EXPECT_EQ(form.Value(kCheck), 0);
  SendMessageW(window.Control(kOptB), BM_CLICK, 0, 0);
  EXPECT_EQ(form.GroupValue(kOptA), 1);
  SendMessageW(window.Control(kOk), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, (std::vector<int>{kOk}));

  SetWindowTextW(window.Control(kText), L"打った");
  EXPECT_EQ(form.Text(kText), "打った");
  // Typing in the middle: the caret stays where the user left it, and the model knows it.
  SendMessageW(window.Control(kText), EM_SETSEL, 1, 1);
  SendMessageW(window.Control(kText), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"ち込"));
  DWORD caret = 0;
  SendMessageW(window.Control(kText), EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
  EXPECT_EQ(caret, 3u);
  EXPECT_EQ(form.Text(kText), "打ち込った");
  EXPECT_EQ(form.State(kText).selStart, 9) << "bytes of UTF-8";

  SendMessageW(window.Control(kCombo), CB_SETCURSEL, 1, 0);
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(kCombo, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(window.Control(kCombo)));
  EXPECT_EQ(form.Value(kCombo), 1);

  HWND bar = window.Control(kScroll);
  form.SetValue(kScroll, 100);
  causes.clear();
  SendMessageW(hwnd, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), reinterpret_cast<LPARAM>(bar));
  SendMessageW(hwnd, WM_HSCROLL, MAKEWPARAM(SB_PAGELEFT, 0), reinterpret_cast<LPARAM>(bar));
  SendMessageW(hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 4000), reinterpret_cast<LPARAM>(bar));
  EXPECT_EQ(form.Value(kScroll), 4000);
  EXPECT_EQ(causes, (std::vector<Cause>{Cause::kUser, Cause::kUser, Cause::kThumbDrag}));

  NMHDR change = {window.Control(kTab), static_cast<UINT_PTR>(kTab), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(window.Control(kTab), TCM_SETCURSEL, 1, 0);
  SendMessageW(hwnd, WM_NOTIFY, kTab, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(form.Value(kTab), 1);
  EXPECT_TRUE(IsWindowVisible(window.Control(kOnPage1)) || !IsWindowVisible(hwnd));
}

BOOL CALLBACK FindTooltip(HWND hwnd, LPARAM found) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) *reinterpret_cast<HWND*>(found) = hwnd;
  return TRUE;
}

// A replaced tooltip (List2's follows the row under the pointer) reaches the
// one tool; a control made without a tooltip does not get one.
TEST_F(FormWinTest, ControlsWithATooltipHaveOneAndItsTextCanChange) {
  HWND tooltip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
  ASSERT_NE(tooltip, nullptr);
  const auto onlyTip = [&] {
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[128] = {};
    TOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.lpszText = text;
    EXPECT_TRUE(SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(reinterpret_cast<HWND>(ti.uId), window.Control(kText));
    return std::wstring(text);
  };
  EXPECT_EQ(onlyTip(), L"説明");
  window.SetTooltip(kText, "除外:タイトル:無題を含む/クラス名:Notepad");
  EXPECT_EQ(onlyTip(), L"除外:タイトル:無題を含む/クラス名:Notepad");
  window.SetTooltip(kCheck, "別");
  EXPECT_EQ(onlyTip(), L"除外:タイトル:無題を含む/クラス名:Notepad");
}

TEST_F(FormWinTest, CloseBoxAsksTheModelAndDestroyingUnloadsOnce) {
  bool allow = false;
  int unloads = 0;
  form.OnQueryClose([&] { return allow; });
  form.OnUnload([&] { ++unloads; });
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd)) << "refused";
  allow = true;
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(window.Hwnd(), nullptr);
  form.Close();
  EXPECT_EQ(unloads, 1);
}

}  // namespace
}  // namespace kestrova::win32
