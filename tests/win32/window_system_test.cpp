// The real window calls on real windows: titles through the Unicode calls,
// class names, MDI children, and a window whose thread does not answer.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "engine/win32/window_system_win.h"
#include "form/win32/form_win.h"
#include "overlay/win32/overlay_win.h"
#include "platform/win32/text_win.h"
#include "ui/time_format_dialog.h"

namespace kestrova::win32 {
namespace {

HWND MakeWindow(const wchar_t* className, const wchar_t* title) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = className;
  RegisterClassW(&wc);
  return CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

TEST(Win32WindowSystem, TitlesSurviveOutsideTheAnsiCodePage) {
  Win32WindowSystem ws;
  HWND w = MakeWindow(L"KestrovaWsTest", L"x");
  const WindowHandle h = reinterpret_cast<WindowHandle>(w);
  const std::string titles[] = {"Memo 😀 <2026/12/08(Tue) 10:30:00>", "表示するメッセージ", "ü€ ñ", ""};
  for (const std::string& title : titles) {
    ASSERT_TRUE(ws.WriteTitle(h, title));
    EXPECT_EQ(ws.ReadTitle(h), title);
  }
  EXPECT_EQ(ws.ReadClassName(h), "KestrovaWsTest");
  EXPECT_TRUE(ws.Exists(h));
  // Titles longer than the read bound come back cut to 1023 UTF-16 units.
  ASSERT_TRUE(ws.WriteTitle(h, std::string(1500, 'a')));
  EXPECT_EQ(ws.ReadTitle(h).size(), 1023u);
  DestroyWindow(w);
  EXPECT_EQ(ws.ReadTitle(h), "");
  EXPECT_FALSE(ws.WriteTitle(h, "gone"));
  EXPECT_FALSE(ws.Exists(h));
  EXPECT_FALSE(ws.Exists(0));
  EXPECT_EQ(ws.ReadTitle(0), "");
}

TEST(Win32WindowSystem, FindsTheActiveMdiChild) {
  Win32WindowSystem ws;
  HWND frame = MakeWindow(L"KestrovaMdiFrame", L"Frame");
  CLIENTCREATESTRUCT ccs = {};
  HWND client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, frame,
                                nullptr, GetModuleHandleW(nullptr), &ccs);
  ASSERT_NE(client, nullptr);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefMDIChildProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KestrovaMdiChild";
  RegisterClassW(&wc);
  HWND child = CreateMDIWindowW(L"KestrovaMdiChild", L"子ウインドウ", WS_VISIBLE, 0, 0, 100, 50, client,
                                GetModuleHandleW(nullptr), 0);
  ASSERT_NE(child, nullptr);
  const WindowHandle f = reinterpret_cast<WindowHandle>(frame);
  EXPECT_EQ(ws.FindChild(f, "mdiclient"), reinterpret_cast<WindowHandle>(client));
  EXPECT_EQ(ws.ActiveMdiChild(reinterpret_cast<WindowHandle>(client)), reinterpret_cast<WindowHandle>(child));
  EXPECT_EQ(ws.ReadTitle(reinterpret_cast<WindowHandle>(child)), "子ウインドウ");
  EXPECT_EQ(ws.FindChild(reinterpret_cast<WindowHandle>(child), "mdiclient"), 0u);
  DestroyWindow(frame);
}

TEST(Win32WindowSystem, WriteToAWindowThatDoesNotAnswerTimesOut) {
  std::atomic<HWND> hung{nullptr};
  std::atomic<bool> release{false};
  std::thread owner([&] {
    hung = MakeWindow(L"KestrovaHungWindow", L"Hung");
    while (!release) Sleep(10);  // owns a window but never reads its messages
    DestroyWindow(hung);
  });
  while (hung == nullptr) Sleep(5);
  Win32WindowSystem ws(200);
  const DWORD start = GetTickCount();
  EXPECT_FALSE(ws.WriteTitle(reinterpret_cast<WindowHandle>(hung.load()), "new"));
  EXPECT_LT(GetTickCount() - start, 5000u) << "the caller must not freeze";
  release = true;
  owner.join();
}

TEST(Win32WindowSystem, WindowThatTimedOutGetsNoSecondTitleAndIsWrittenOnceItAnswers) {
  std::atomic<HWND> slow{nullptr};
  std::atomic<int> stage{0};  // 0 not answering, 1 answering, 2 done
  std::thread owner([&] {
    slow = MakeWindow(L"KestrovaSlowWindow", L"Slow");
    while (stage == 0) Sleep(10);
    MSG msg;
    while (stage == 1) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(5);
    }
    DestroyWindow(slow);
  });
  while (slow == nullptr) Sleep(5);
  Win32WindowSystem ws(100);
  const auto h = reinterpret_cast<WindowHandle>(slow.load());
  EXPECT_FALSE(ws.WriteTitle(h, "first"));
  EXPECT_FALSE(ws.WriteTitle(h, "second"));
  stage = 1;
  Sleep(200);
  // Windows delivers a timed-out message late, Wine drops it; the second title
  // was never sent either way.
  EXPECT_NE(ws.ReadTitle(h), "second");
  EXPECT_TRUE(ws.WriteTitle(h, "third")) << "a window that answers again is written";
  EXPECT_TRUE(ws.WriteTitle(h, "fourth"));
  EXPECT_EQ(ws.ReadTitle(h), "fourth");
  stage = 2;
  owner.join();
}

// Every kind of window the program makes is its own; the system's are not.
TEST(Win32WindowSystem, TellsTheProgramsOwnWindowsFromOthers) {
  Win32WindowSystem ws;
  const auto own = [&ws](HWND w) { return ws.IsOwnWindow(reinterpret_cast<WindowHandle>(w)); };
  HWND plain = MakeWindow(L"KestrovaOwnTest", L"plain");
  EXPECT_TRUE(own(plain));

  // A window of another thread of ours (the overlay's events and the watch run on threads).
  std::atomic<HWND> threaded{nullptr};
  std::atomic<bool> done{false};
  std::thread other([&] {
    threaded = MakeWindow(L"KestrovaOwnTest", L"threaded");
    while (!done) Sleep(5);
    DestroyWindow(threaded);
  });
  while (threaded == nullptr) Sleep(5);
  EXPECT_TRUE(own(threaded));
  done = true;
  other.join();

  // The editors and dialogs: a form of the renderer.
  TimeFormatDialog dialog;
  FormWindow form(dialog.Form());
  ASSERT_TRUE(form.Create(nullptr));
  EXPECT_TRUE(own(form.Hwnd()));
  form.Close();

  // The caption overlay.
  Win32OverlaySurface overlay;
  OverlayPlacement placement;
  placement.bounds = {10, 10, 200, 30};
  placement.fontPixels = 12;
  overlay.Show(reinterpret_cast<WindowHandle>(plain), placement, "<2026/12/09 12:00:00>");
  ASSERT_NE(overlay.Hwnd(), nullptr);
  EXPECT_TRUE(own(overlay.Hwnd()));
  overlay.Hide();

  // A message box, looked at from its own loop.
  static bool boxOwn = false;
  static bool boxSeen = false;
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"#32770", L"Kestrova-own-box");
    if (box == nullptr) return;
    KillTimer(nullptr, id);
    boxSeen = true;
    Win32WindowSystem inner;
    boxOwn = inner.IsOwnWindow(reinterpret_cast<WindowHandle>(box));
    PostMessageW(box, WM_CLOSE, 0, 0);
  });
  MessageBoxW(nullptr, L"x", L"Kestrova-own-box", MB_OK);
  EXPECT_TRUE(boxSeen);
  EXPECT_TRUE(boxOwn);

  EXPECT_FALSE(own(GetDesktopWindow())) << "the desktop belongs to the system";
  EXPECT_FALSE(ws.IsOwnWindow(0));
  DestroyWindow(plain);
  EXPECT_FALSE(own(plain)) << "a window that is gone";
}

}  // namespace
}  // namespace kestrova::win32
