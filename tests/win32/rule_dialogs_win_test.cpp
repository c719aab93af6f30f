// The rule editor and the countdown picker as real modal windows, the drag
// pick over real windows, and the target cursor linked into Kestrova.exe.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "form/win32/prompts_win.h"
#include "resources/resource_ids.h"
#include "settings/win32/codepage_win.h"
#include "ui/countdown_picker.h"
#include "ui/rule_editor.h"
#include "ui/win32/window_picker_win.h"
#include "when_shown.h"

namespace kestrova::win32 {
namespace {

void SetText(HWND dialog, int id, const wchar_t* text) { SetWindowTextW(GetDlgItem(dialog, id), text); }
void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
std::wstring Text(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A top-level window with a child control, standing in for another program.
class TargetWindow {
 public:
  explicit TargetWindow(const wchar_t* title, HWND owner = nullptr) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestrovaPickTarget";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, L"KestrovaPickTarget", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 320,
                           200, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    child = CreateWindowExW(0, L"BUTTON", L"child", WS_CHILD | WS_VISIBLE, 20, 20, 120, 40, hwnd, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
  }
  ~TargetWindow() { DestroyWindow(hwnd); }
  POINT ChildCentre() const {
    RECT rc = {};
    GetWindowRect(child, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }
  HWND hwnd = nullptr;
  HWND child = nullptr;
};

void Pump() {
  MSG msg;
  for (int i = 0; i < 20; ++i) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

TEST(WindowPick, ClimbsFromAChildToItsTopLevelWindowAndSkipsOurOwn) {
  TargetWindow target(L"ピック対象 - Café");
  Pump();
  const POINT point = target.ChildCentre();
  ASSERT_EQ(GetAncestor(WindowFromPoint(point), GA_ROOT), target.hwnd) << "the target is on top";
  const auto picked = PickTopLevelAt(point, 0);
  ASSERT_TRUE(picked.has_value());
  EXPECT_EQ(picked->title, "ピック対象 - Café");
  EXPECT_EQ(picked->className, "KestrovaPickTarget");
  EXPECT_FALSE(PickTopLevelAt(point, GetCurrentProcessId()).has_value()) << "our own windows are skipped";
}

TEST(WindowPick, AnOwnedPopupCountsAsItsOwner) {
  TargetWindow owner(L"持ち主");
  TargetWindow popup(L"ダイアログ", owner.hwnd);
  SetWindowLongPtrW(popup.hwnd, GWL_STYLE, WS_POPUP | WS_CAPTION | WS_VISIBLE);
  SetWindowPos(popup.hwnd, HWND_TOP, 60, 60, 320, 200, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
  Pump();
  const auto picked = PickTopLevelAt(popup.ChildCentre(), 0);
  ASSERT_TRUE(picked.has_value());
  EXPECT_EQ(picked->title, "持ち主");
}

TEST(WindowPick, LongTitlesAreCutWithoutSplittingACharacter) {
  std::wstring title = L"a";
  title.append(700, L'あ');  // 1401 bytes in code page 932
  TargetWindow target(title.c_str());
  Pump();
  const auto picked = PickTopLevelAt(target.ChildCentre(), 0);
  ASSERT_TRUE(picked.has_value());
  std::string expected = "a";
  for (int i = 0; i < 511; ++i) expected += "あ";
  EXPECT_EQ(picked->title, expected);
}

// Picks what lies under the pointer as the real picker does, our own windows included.
class AnyWindowPicker : public WindowPicker {
 public:
  std::optional<PickedWindow> PickUnderCursor() override {
    POINT point = {};
    GetCursorPos(&point);
    return PickTopLevelAt(point, 0);
  }
};

TEST(RuleEditorWindow, DraggingTheIconFillsTheBoxesAndOkReturnsTheRule) {
  TargetWindow target(L"無題 - メモ帳");
  Pump();
  Win32Prompts prompts(nullptr, nullptr);
  AnyWindowPicker picker;
  WindowRule rule{true, "古い", "", 0, ""};
  std::wstring caption;
  std::wstring pickedTitle;
  const bool accepted = WhenShown(
      L"Kestrova-除外/許可ウインドウの編集",
      [&](HWND dialog) {
        caption = Text(dialog);
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, kRuleAllow), BM_GETCHECK, 0, 0), BST_CHECKED);
        HWND icon = GetDlgItem(dialog, kRuleTarget);
        SendMessageW(icon, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        EXPECT_EQ(GetCapture(), icon) << "the drag keeps the mouse";
        const POINT over = target.ChildCentre();
        SetCursorPos(over.x, over.y);
        SendMessageW(icon, WM_MOUSEMOVE, MK_LBUTTON, 0);
        pickedTitle = Text(GetDlgItem(dialog, kRuleTitle));
        SendMessageW(icon, WM_LBUTTONUP, 0, 0);
        EXPECT_NE(GetCapture(), icon);
        SetText(dialog, kRuleName, L" メモ帳 ");
        Click(dialog, kRuleExclude);
        Click(dialog, kRuleOk);
      },
      [&] {
        WinCodePage codePage;
        return EditRule(prompts, picker, codePage, rule);
      });
  ASSERT_TRUE(accepted);
  EXPECT_EQ(caption, L"Kestrova-除外/許可ウインドウの編集");
  EXPECT_EQ(pickedTitle, L"無題 - メモ帳");
  EXPECT_EQ(rule, (WindowRule{false, "メモ帳", "無題 - メモ帳", 0, "KestrovaPickTarget"}));
}

TEST(CountdownPickerWindow, ListsTheAlarmsPreviewsAndAnswersThePick) {
  AlarmList alarms(2);
  alarms[0].Title = "年末";
  alarms[0].Type = 8;
  alarms[0].Month = 12;
  alarms[0].Day = 24;
  alarms[0].Hour = 18;
  alarms[0].Minute = 0;
  alarms[0].Second = 0;
  alarms[1].Title = "毎週";
  alarms[1].Type = 4;
  Win32Prompts prompts(nullptr, nullptr);
  for (const bool ok : {true, false}) {
    std::wstring first;
    std::wstring second;
    LRESULT count = 0;
    const int picked = WhenShown(
        L"Kestrova-メッセージアラームより取得",
        [&](HWND dialog) {
          HWND combo = GetDlgItem(dialog, kPickerAlarms);
          count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
          first = Text(GetDlgItem(dialog, kPickerPreview));
          SendMessageW(combo, CB_SETCURSEL, 1, 0);
          SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kPickerAlarms, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
          second = Text(GetDlgItem(dialog, kPickerPreview));
          if (ok) {
            Click(dialog, kPickerOk);
          } else {
            PostMessageW(dialog, WM_CLOSE, 0, 0);
          }
        },
        [&] { return PickAlarm(prompts, alarms, 2); });
    EXPECT_EQ(picked, ok ? 1 : -1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(first, L"Now/12/24 18:00:00");
    EXPECT_EQ(second, L"Now/Now/Now Now:Now:Now");
  }
}

std::wstring KestrovaPath() {
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Kestrova.exe";
}

TEST(TargetCursor, IsA32By32CursorWithItsHotSpotAt15x15) {
  HMODULE module = LoadLibraryExW(KestrovaPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(IDC_KESTROVA_TARGET), RT_GROUP_CURSOR);
  ASSERT_NE(group, nullptr);
  auto* dir = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
  const int id = LookupIconIdFromDirectoryEx(dir, FALSE, 32, 32, LR_MONOCHROME);
  HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), RT_CURSOR);
  ASSERT_NE(image, nullptr);
  const auto* data = static_cast<const WORD*>(LockResource(LoadResource(module, image)));
  EXPECT_EQ(data[0], 15);
  EXPECT_EQ(data[1], 15);
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(data + 2);
  EXPECT_EQ(header->biWidth, 32);
  EXPECT_EQ(header->biHeight, 64);  // the image and its mask
  EXPECT_EQ(header->biBitCount, 1);
  FreeLibrary(module);
}

}  // namespace
}  // namespace kestrova::win32
