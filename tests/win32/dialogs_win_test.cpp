// The alarm editor and the time format dialog as real modal windows: driven
// through their controls, they hand their results back through the renderer.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "alarms/alarm_editor.h"
#include "format/win32/clock_win.h"
#include "format/win32/locale_win.h"
#include "form/win32/prompts_win.h"
#include "platform/win32/text_win.h"
#include "settings/alarm_store.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "settings/win32/codepage_win.h"
#include "settings/win32/profile_store_win.h"
#include "ui/time_format_dialog.h"
#include "when_shown.h"

namespace kestrova::win32 {
namespace {

std::wstring Text(HWND window) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(window, buffer, 1024);
  return buffer;
}

// The host's own rendering of a time of day in the user's time format.
std::wstring HostTime(int seconds) {
  SYSTEMTIME st = {};
  st.wYear = 2000;
  st.wMonth = 1;
  st.wDay = 1;
  st.wHour = static_cast<WORD>(seconds / 3600);
  st.wMinute = static_cast<WORD>(seconds / 60 % 60);
  st.wSecond = static_cast<WORD>(seconds % 60);
  wchar_t buffer[64] = {};
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, 64);
  return buffer;
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Type(HWND dialog, int id, const std::string& text) {
  SetWindowTextW(GetDlgItem(dialog, id), Widen(text).c_str());  // EN_CHANGE reaches the model
}

void SelectRow(HWND dialog, int id, int row) {
  HWND list = GetDlgItem(dialog, id);
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

class DialogsWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
  }
  void TearDown() override { DestroyWindow(owner); }

  // Runs `open` (which shows a dialog captioned `caption`); `act` runs once it is on screen.
  void Drive(const char* caption, std::function<void(HWND)> act, const std::function<void()>& open) {
    WhenShown(Widen(caption), std::move(act), open);
    EXPECT_TRUE(IsWindowEnabled(owner));
  }

  HWND owner = nullptr;
  Win32Prompts prompts{nullptr, nullptr};
};

TEST_F(DialogsWinTest, AlarmEditorAddsAnEntryAndOkSavesIt) {
  char dir[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  const std::string path = std::string(dir) + "kestrova_alarm_editor_test.ini";
  DeleteFileA(path.c_str());
  WinProfileStore store;
  WinCodePage codePage;
  IniFile ini(store, codePage, path);
  Settings settings;
  settings.Alarms.resize(1);
  settings.Alarms[0].Title = "朝会";
  settings.AlarmCount = 1;
  Win32Locale locale;
  Win32Clock clock;
  AlarmIds ids;
  prompts.SetOwner(owner);

  int linesAtOpen = 0, linesAfterAdd = 0;
  std::wstring firstLine, duration, durationAfterStep;
  bool hourEnabledBefore = true, hourEnabledAfter = false;
  bool saved = false, focusBackOnList = false;
  Drive(
      kAlarmEditorCaption,
      [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, kEditorList1);
        linesAtOpen = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        wchar_t line[64] = {};
        SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
        firstLine = line;
        hourEnabledBefore = IsWindowEnabled(GetDlgItem(dialog, kEditorHour)) != FALSE;
        Type(dialog, kEditorText1, "休憩");
        Type(dialog, kEditorText4, "お茶の時間です");
        Click(dialog, kEditorTimeBox);
        hourEnabledAfter = IsWindowEnabled(GetDlgItem(dialog, kEditorHour)) != FALSE;
        duration = Text(GetDlgItem(dialog, kEditorLabel2));
        HWND bar = GetDlgItem(dialog, kEditorHScroll1);
        for (int i = 0; i < 3; ++i) {
          SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), reinterpret_cast<LPARAM>(bar));
        }
        durationAfterStep = Text(GetDlgItem(dialog, kEditorLabel2));
        Click(dialog, kEditorAdd);
        linesAfterAdd = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        // ↓ on the last line moves nothing; the focus goes back to the list in every case.
        SelectRow(dialog, kEditorList1, 1);
        SetFocus(GetDlgItem(dialog, kEditorDown));
        Click(dialog, kEditorDown);
        focusBackOnList = GetFocus() == list;
        Click(dialog, kEditorOk);
      },
      [&] { saved = EditAlarms(prompts, locale, clock, ini, codePage, settings, ids); });

  EXPECT_EQ(linesAtOpen, 1);
  EXPECT_EQ(firstLine, L"朝会");
  EXPECT_FALSE(hourEnabledBefore);
  EXPECT_TRUE(hourEnabledAfter);
  EXPECT_EQ(duration, HostTime(0));
  EXPECT_EQ(durationAfterStep, HostTime(3));
  EXPECT_EQ(linesAfterAdd, 2);
  EXPECT_TRUE(focusBackOnList);
  ASSERT_TRUE(saved);
  ASSERT_EQ(settings.AlarmCount, 2);
  EXPECT_EQ(settings.Alarms[1].Title, "休憩");
  EXPECT_EQ(settings.Alarms[1].Message, "お茶の時間です");
  EXPECT_EQ(settings.Alarms[1].Type, 5);
  EXPECT_EQ(settings.Alarms[1].Time, 3);
  EXPECT_EQ(ini.IniReadString("Clock", "Alarm", ""), "2");
  EXPECT_EQ(ini.IniReadString("Alarm0001", "Message", ""), "お茶の時間です");
  DeleteFileA(path.c_str());
}

TEST_F(DialogsWinTest, TimeFormatDialogReturnsThePatternBuiltFromElements) {
  prompts.SetOwner(owner);
  int rows = 0;
  std::wstring help, pattern;
  std::optional<std::string> result;
  Drive(
      kTimeFormatCaption,
      [&](HWND dialog) {
        Click(dialog, kFormatDetailed);
        rows = static_cast<int>(SendMessageW(GetDlgItem(dialog, kFormatList1), LB_GETCOUNT, 0, 0));
        SelectRow(dialog, kFormatList1, 3);
        help = Text(GetDlgItem(dialog, kFormatText1));
        Click(dialog, kFormatReplace);
        Click(dialog, kFormatAdd);
        pattern = Text(GetDlgItem(dialog, kFormatText2));
        Click(dialog, kFormatOk);
      },
      [&] { result = EditTimeFormat(prompts); });
  EXPECT_EQ(rows, 38);
  EXPECT_EQ(help.rfind(L"日を表示します。(1～31)\r\n", 0), 0u) << "the line break stays in the box";
  EXPECT_EQ(pattern, L"dd");
  EXPECT_EQ(result, std::optional<std::string>("dd"));
}

}  // namespace
}  // namespace kestrova::win32
