// The settings window's table on the real renderer: seven tabs, every page
// control made, exactly one page shown, pages inside the display area.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <set>

#include "form/form.h"
#include "form/win32/form_win.h"
#include "ui/settings_form.h"

namespace kestrova::win32 {
namespace {

bool Visible(HWND control) { return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

TEST(SettingsFormWin, SevenTabsAndOnePageAtATimeInsideTheDisplayArea) {
  FormModel form(SettingsFormSpec());
  FormWindow window(form);
  ASSERT_TRUE(window.Create(nullptr));
  HWND tab = window.Control(kTabStrip);
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), kSettingsPageCount);

  RECT display = {};
  GetClientRect(tab, &display);
  SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  MapWindowPoints(tab, window.Hwnd(), reinterpret_cast<POINT*>(&display), 2);

  std::set<int> pages;
  for (int page = kSettingsPageCount - 1; page >= 0; --page) {
    form.UserValue(kTabStrip, page);
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), page);
    for (const ControlSpec& c : SettingsFormSpec().controls) {
      HWND control = window.Control(c.id);
      ASSERT_NE(control, nullptr) << c.name << c.index;
      if (c.page < 0) continue;
      pages.insert(c.page);
      EXPECT_EQ(Visible(control), c.page == page) << c.name << "(" << c.index << ") with page " << page;
      RECT r = {};
      GetWindowRect(control, &r);
      MapWindowPoints(nullptr, window.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
      EXPECT_GE(r.top, display.top) << c.name << "(" << c.index << ") below the tab headers";
      EXPECT_GE(r.left, display.left) << c.name << "(" << c.index << ")";
      EXPECT_LE(r.right, display.right + 1) << c.name << "(" << c.index << ")";
      // A drop-down's window reaches down to its open list.
      if (c.kind != ControlKind::kComboList) {
        EXPECT_LE(r.bottom, display.bottom + 1) << c.name << "(" << c.index << ") above the preview";
      }
    }
  }
  EXPECT_EQ(pages.size(), static_cast<size_t>(kSettingsPageCount));
}

TEST(SettingsFormWin, PreviewAndButtonsCarryTheirTooltipsAndCaptions) {
  FormModel form(SettingsFormSpec());
  FormWindow window(form);
  ASSERT_TRUE(window.Create(nullptr));
  wchar_t text[64] = {};
  GetWindowTextW(window.Control(kCommand2Cancel), text, 64);
  EXPECT_STREQ(text, L"キャンセル");
  GetWindowTextW(window.Hwnd(), text, 64);
  EXPECT_STREQ(text, L"Kestrova-設定画面");
  RECT client = {};
  GetClientRect(window.Hwnd(), &client);
  EXPECT_EQ(client.right, MulDiv(4470, window.Dpi(), 1440));
  EXPECT_EQ(client.bottom, MulDiv(4800, window.Dpi(), 1440));
}

}  // namespace
}  // namespace kestrova::win32
