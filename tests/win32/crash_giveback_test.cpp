// What the crash handlers do, on real windows: a window still showing a text
// of ours gets its own title back; one that retitled itself or is gone does not.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine/win32/crash_giveback_win.h"
#include "platform/win32/text_win.h"

namespace kestrova::win32 {
namespace {

HWND MakeWindow(const std::string& title) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KestrovaCrashTest";
  RegisterClassW(&wc);
  return CreateWindowExW(0, L"KestrovaCrashTest", Widen(title).c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

std::string Title(HWND w) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(w, buffer, 1024);
  return Narrow(buffer);
}

WindowHandle Handle(HWND w) { return reinterpret_cast<WindowHandle>(w); }

TEST(CrashGiveBack, OnlyWindowsStillShowingOurTextGetTheirTitleBack) {
  const char* clock = " <2026/12/08(Tue) 10:30:00>";
  HWND ours = MakeWindow("メモ 😀 <2026/12/08(Tue) 10:31:59>");
  HWND retitled = MakeWindow("ブラウザ - 別のページ");
  HWND gone = MakeWindow("x");
  HWND full = MakeWindow("全角 <１２時>");
  const WindowHandle goneHandle = Handle(gone);
  DestroyWindow(gone);
  KeepForCrash(
      {{Handle(ours), "メモ 😀", {"メモ 😀 <2026/12/07(Mon) 10:00:00>", std::string("メモ 😀") + clock}},
       {Handle(retitled), "ブラウザ", {std::string("ブラウザ") + clock}},
       {goneHandle, "消えた", {std::string("x")}},
       {Handle(full), "全角", {"全角 <９時>"}}});
  GiveBackForCrash();
  EXPECT_EQ(Title(ours), "メモ 😀");
  EXPECT_EQ(Title(retitled), "ブラウザ - 別のページ");
  EXPECT_EQ(Title(full), "全角");

  // Once the record is empty there is nothing to give back.
  SetWindowTextW(ours, Widen(std::string("メモ 😀") + clock).c_str());
  KeepForCrash({});
  GiveBackForCrash();
  EXPECT_EQ(Title(ours), std::string("メモ 😀") + clock);
  for (HWND w : {ours, retitled, full}) DestroyWindow(w);
}

}  // namespace
}  // namespace kestrova::win32
