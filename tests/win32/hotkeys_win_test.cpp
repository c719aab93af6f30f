// Hotkeys, the command window a second copy reaches, the typing and the
// hot-key field, on real windows.
#include "shell/win32/hotkeys_win.h"

#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <vector>

#include "form/win32/form_win.h"
#include "shell/hotkeys.h"
#include "shell/win32/command_client_win.h"
#include "ui/hotkey_dialog.h"

namespace kestrova::win32 {
namespace {

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (static_cast<int>(end - GetTickCount()) > 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

TEST(HotkeysWin, ACombinationHeldElsewhereIsRefusedUntilReleased) {
  const Hotkey hotkey = *ParseHotkey("Ctrl+Alt+Shift+F11");
  Win32Hotkeys first, second;
  ASSERT_TRUE(first.Register(1, hotkey));
  EXPECT_FALSE(second.Register(1, hotkey));
  EXPECT_TRUE(second.Register(2, *ParseHotkey("Ctrl+Alt+Shift+F10"))) << "another combination still works";
  first.Unregister(1);
  EXPECT_TRUE(second.Register(1, hotkey));
}

TEST(HotkeysWin, OptionsReachTheCommandWindowAndTheExitCodeFollowsItsAnswer) {
  const std::vector<std::string> none;
  EXPECT_TRUE(RunCommandLine(none).start) << "no option: today's start";
  std::vector<RemoteCommand> got;
  bool answer = true;
  {
    Win32Hotkeys commands;
    commands.onCommand = [&](RemoteCommand c) {
      got.push_back(c);
      return answer;
    };
    commands.Open();
    ASSERT_NE(FindWindowW(kCommandWindowClass, nullptr), nullptr);
    CommandLineRun run = RunCommandLine({"/Toggle"});
    EXPECT_FALSE(run.start);
    EXPECT_EQ(run.exitCode, 0);
    run = RunCommandLine({"/setting"});
    EXPECT_FALSE(run.start) << "a running copy opens its own settings";
    answer = false;
    EXPECT_EQ(RunCommandLine({"/exit"}).exitCode, 1) << "a copy already ending did nothing";
    EXPECT_EQ(got, (std::vector<RemoteCommand>{RemoteCommand::kToggle, RemoteCommand::kSetting,
                                               RemoteCommand::kExit}));
  }
  const CommandLineRun alone = RunCommandLine({"/timecopy"});
  EXPECT_FALSE(alone.start);
  EXPECT_EQ(alone.exitCode, 1);
  const CommandLineRun setting = RunCommandLine({"/setting"});
  EXPECT_TRUE(setting.start && setting.openSettings) << "/setting starts Kestrova when none runs";
}

TEST(HotkeysWin, UnicodeKeystrokesReachTheFocusedEdit) {
  HWND top = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 80, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(top, nullptr);
  SetForegroundWindow(top);
  SetFocus(top);
  Pump(200);
  if (GetFocus() != top) {
    DestroyWindow(top);
    GTEST_SKIP() << "no keyboard focus on this display";
  }
  const std::wstring text = L"<2026/12/09(Wed) 03:04:05> é😀";
  EXPECT_EQ(SendUnicodeText(text), text.size() * 2);
  Pump(500);
  wchar_t got[128] = {};
  GetWindowTextW(top, got, 128);
  EXPECT_EQ(std::wstring(got), text);
  DestroyWindow(top);
}

TEST(HotkeysWin, TheHotKeyFieldAndTheModelAgree) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  const HotkeyTexts texts = {"Ctrl+Alt+P", "", "", "", ""};
  HotkeyDialog dialog(texts, HotkeyStatuses{});
  FormWindow window(dialog.Form());
  ASSERT_TRUE(window.Create(nullptr));
  HWND field = window.Control(kHotkeyFieldBase + 0);
  wchar_t cls[64] = {};
  GetClassNameW(field, cls, 64);
  EXPECT_EQ(lstrcmpiW(cls, HOTKEY_CLASSW), 0);
  EXPECT_EQ(LOWORD(SendMessageW(field, HKM_GETHOTKEY, 0, 0)), 'P' | (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8);
  dialog.Form().SetValue(kHotkeyFieldBase + 0, 0);
  EXPECT_EQ(LOWORD(SendMessageW(field, HKM_GETHOTKEY, 0, 0)), 0) << "cleared on screen too";
  // A combination pressed in the field: the control reports EN_CHANGE.
  SendMessageW(field, HKM_SETHOTKEY, MAKEWORD(VK_F12, HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0);
  SendMessageW(window.Hwnd(), WM_COMMAND, MAKEWPARAM(kHotkeyFieldBase + 0, EN_CHANGE), reinterpret_cast<LPARAM>(field));
  dialog.Form().UserClick(kHotkeyOk);
  ASSERT_TRUE(dialog.Result().has_value());
  EXPECT_EQ((*dialog.Result())[0], "Ctrl+Shift+F12");
}

}  // namespace
}  // namespace kestrova::win32
