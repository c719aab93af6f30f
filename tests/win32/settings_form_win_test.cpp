// The settings window's table on the real renderer: seven tabs, every page
// control made, exactly one page shown, pages inside the display area.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <set>

#include "form/form.h"
#include "form/win32/form_win.h"
#include "platform/win32/text_win.h"
#include "resources/strings.h"
#include "ui/settings_form.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

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

// The longest texts of the piece lists and of the count label, measured in
// the font each control draws with, fit on one line at 96 and 144 dpi.
TEST(SettingsFormWin, LongestTextsFitTheirControls) {
  const wchar_t* const kPiece = L"時計・メッセージ";
  const wchar_t* const kCount = L"10カウント（655.34秒）";
  FormModel form(SettingsFormSpec());
  FormWindow window(form);
  ASSERT_TRUE(window.Create(nullptr));
  for (const int dpi : {96, 144}) {
    RECT suggested = {0, 0, 1000, 1000};
    SendMessageW(window.Hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    for (const int id : {kCombo1 + 0, kCombo1 + 1, kCombo1 + 2, int{kLabel4}}) {
      HWND control = window.Control(id);
      const wchar_t* text = id == kLabel4 ? kCount : kPiece;
      HDC dc = GetDC(control);
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
      SIZE size = {};
      GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
      SelectObject(dc, old);
      ReleaseDC(control, dc);
      RECT room = {};
      GetClientRect(control, &room);
      int margin = 0;
      if (id != kLabel4) {
        // The closed list draws its item beside the button, a little inset.
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetComboBoxInfo(control, &info));
        room = info.rcItem;
        margin = MulDiv(4, dpi, 96);
      }
      EXPECT_LE(size.cx + margin, room.right - room.left) << id << " at " << dpi << " dpi";
      EXPECT_LE(size.cy, room.bottom - room.top) << id << " at " << dpi << " dpi";
    }
    // The descriptions beside the lists keep to their two lines.
    HWND label = window.Control(kLabel5);
    RECT room = {};
    GetClientRect(label, &room);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    for (int choice = 0; choice < 6; ++choice) {
      const std::wstring text = Widen(ResString(610 + choice));
      RECT need = {0, 0, room.right, 0};
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, DT_CALCRECT | DT_WORDBREAK);
      EXPECT_LE(need.bottom, room.bottom) << choice << " at " << dpi << " dpi";
    }
    SelectObject(dc, old);
    ReleaseDC(label, dc);
  }
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
