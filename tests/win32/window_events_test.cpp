// The foreground watch on real windows: a message for each change of the
// front window, none while it stays, and a clean stop.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/win32/window_events_win.h"

namespace kestrova::win32 {
namespace {

constexpr UINT kChanged = WM_APP + 1;

HWND MakeWindow(const wchar_t* title, DWORD style) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KestrovaWatchTest";
  RegisterClassW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, title, style, 0, 0, 200, 100, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// Pumps this thread's messages for `ms`, or until `until` messages arrived.
int CountPosted(HWND notify, DWORD ms, int until) {
  int count = 0;
  const ULONGLONG end = GetTickCount64() + ms;
  while (GetTickCount64() < end && count < until) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.hwnd == notify && msg.message == kChanged) ++count;
      DispatchMessageW(&msg);
    }
    Sleep(2);
  }
  return count;
}

TEST(Win32ForegroundWatch, PostsOnceForEachChangeOfTheFrontWindow) {
  HWND notify = MakeWindow(L"notify", WS_OVERLAPPEDWINDOW);
  HWND a = MakeWindow(L"A", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND b = MakeWindow(L"B", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  SetForegroundWindow(a);
  CountPosted(notify, 200, 1000);
  ASSERT_EQ(GetForegroundWindow(), a);
  {
    Win32ForegroundWatch watch(notify, kChanged);
    watch.Start(5);
    EXPECT_TRUE(watch.Running());
    EXPECT_EQ(CountPosted(notify, 150, 1), 0) << "nothing while the front window stays";
    SetForegroundWindow(b);
    EXPECT_EQ(CountPosted(notify, 5000, 1), 1);
    EXPECT_EQ(CountPosted(notify, 150, 2), 0) << "one message per change";
    SetForegroundWindow(a);
    EXPECT_EQ(CountPosted(notify, 5000, 1), 1);
    watch.Stop();
    EXPECT_FALSE(watch.Running());
    SetForegroundWindow(b);
    EXPECT_EQ(CountPosted(notify, 150, 1), 0) << "stopped";
  }
  for (HWND w : {a, b, notify}) DestroyWindow(w);
}

TEST(Win32ForegroundWatch, StopsAtOnceAndLooksLessOftenWhenQuiet) {
  HWND notify = MakeWindow(L"notify", WS_OVERLAPPEDWINDOW);
  {
    Win32ForegroundWatch watch(notify, kChanged);
    watch.Start(10000);
    Sleep(50);
    const ULONGLONG before = GetTickCount64();
    watch.Stop();
    EXPECT_LT(GetTickCount64() - before, 1000u) << "Stop waited out the period";
    EXPECT_FALSE(watch.Running());

    // 5 ms for the first 200 ms without a switch, 100 ms after.
    watch.Start(5, 100, 200);
    Sleep(150);
    const long busy = watch.Looks();
    Sleep(300);
    const long quiet = watch.Looks() - busy;
    Sleep(1000);
    const long quieter = watch.Looks() - busy - quiet;
    watch.Stop();
    EXPECT_GE(busy, 8) << "looked too seldom after a start";
    EXPECT_LE(quieter, 15) << "looked as often as ever after a second without a switch";
  }
  DestroyWindow(notify);
}

}  // namespace
}  // namespace kestrova::win32
