// The caption overlay on real windows: a window that paints its own title strip
// gets it left of where its buttons would be, with the clock; it follows a move
// through the window events alone, and goes when the window is minimised or a
// window with a standard caption comes forward; notepad never gets it.
#include "overlay/win32/overlay_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <regex>
#include <thread>

#include "overlay/overlay.h"
#include "engine/tick.h"
#include "format/win32/clock_win.h"
#include "engine/win32/crash_giveback_win.h"
#include "format/win32/locale_win.h"
#include "engine/win32/window_system_win.h"
#include "platform/win32/text_win.h"
#include "settings/settings.h"
#include "sysinfo/sources.h"

namespace kestrova::win32 {
namespace {

class NoSysInfo : public SysInfoSources {
 public:
  std::string MemoryText(int, bool) override { return {}; }
  std::string CpuUsageText(bool&, bool) override { return {}; }
  std::string BatteryText() override { return {}; }
  std::string UptimeText() override { return {}; }
  std::string CursorText() override { return {}; }
  std::string NetworkText(int) override { return {}; }
  std::string DiskText(char, int) override { return {}; }
};

class NoPopups : public AlarmPopupHost {
 public:
  void ShowAlarmPopup(int, const std::string&) override {}
};

constexpr int kStrip = 30;

LRESULT CALLBACK SelfDrawnProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCALCSIZE:
      // The captioned kind takes the whole window as its client area.
      if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) return 0;
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      r.bottom = kStrip;
      HBRUSH strip = CreateSolidBrush(RGB(222, 225, 230));
      FillRect(dc, &r, strip);
      DeleteObject(strip);
      wchar_t title[256];
      GetWindowTextW(hwnd, title, 256);
      SetBkMode(dc, TRANSPARENT);
      r.left += 8;
      DrawTextW(dc, title, -1, &r, DT_SINGLELINE | DT_VCENTER);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// Windows made and pumped by a thread of their own, as another program's would be.
class WindowThread {
 public:
  WindowThread() {
    thread_ = std::thread([this] {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
      id_ = GetCurrentThreadId();
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_APP) {
          (*reinterpret_cast<std::function<void()>*>(msg.lParam))();
          continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    });
    while (id_ == 0) Sleep(1);
  }
  ~WindowThread() {
    PostThreadMessageW(id_, WM_QUIT, 0, 0);
    thread_.join();
  }
  // Runs `fn` on the thread and waits for it, pumping this thread meanwhile.
  void Run(std::function<void()> fn) {
    std::atomic<bool> done{false};
    std::function<void()> call = [&] {
      fn();
      done = true;
    };
    PostThreadMessageW(id_, WM_APP, 0, reinterpret_cast<LPARAM>(&call));
    while (!done) Pump(1);
  }
  // `plain`: the system draws the caption.
  HWND Make(DWORD style, const wchar_t* title, int x, int y, int w, int h, bool plain = false) {
    HWND made = nullptr;
    Run([&] {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = plain ? DefWindowProcW : SelfDrawnProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      wc.lpszClassName = plain ? L"KestrovaOverlayPlain" : L"KestrovaOverlayTarget";
      RegisterClassW(&wc);
      made = CreateWindowExW(0, wc.lpszClassName, title, style | WS_VISIBLE, x, y, w, h, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    });
    return made;
  }
  static void Pump(DWORD ms) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (ms) MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
  }

 private:
  std::thread thread_;
  std::atomic<DWORD> id_{0};
};

// Pumps this thread (the overlay's) until `done`, for at most `ms`.
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 8000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    WindowThread::Pump(10);
  }
  return true;
}

bool Front(HWND w) {
  return PumpUntil([w] {
    if (GetForegroundWindow() == w) return true;
    SetForegroundWindow(w);
    return false;
  });
}

// The test's windows are in this process, which the real tick never decorates:
// here they stand for another program's.
struct ForeignWindows : Win32WindowSystem {
  bool IsOwnWindow(WindowHandle) override { return false; }
};

struct Rig {
  ForeignWindows windows;
  Win32Clock clock;
  Win32Locale locale;
  NoSysInfo sysinfo;
  NoPopups popups;
  Settings settings;
  MainTick tick{windows, clock, locale, sysinfo, settings, popups};
  Win32WindowGeometry geometry;
  Win32OverlaySurface surface;
  CaptionOverlay overlay{geometry, surface};
  Rig() {
    surface.onFollow = [this] { overlay.Follow(); };
    tick.SetOverlay(&overlay);
  }
  void Tick() { tick.Run({0, false, {}}); }
  HWND Overlay() const { return surface.Hwnd(); }
  bool Visible() const { return Overlay() != nullptr && IsWindowVisible(Overlay()); }
  RECT Rect() const {
    RECT r = {};
    GetWindowRect(Overlay(), &r);
    return r;
  }
  std::wstring Text() const {
    wchar_t text[256] = {};
    GetWindowTextW(Overlay(), text, 256);
    return text;
  }
};

const std::wregex kClockText(LR"(<\d{4}/\d\d/\d\d\(\w{3}\) \d\d:\d\d:\d\d>)");

TEST(OverlayWin, SelfDrawnCaptionsGetTheClockThatFollowsThemAndGoesWhenItShould) {
  WindowThread other;
  Rig rig;
  const struct {
    const char* name;
    DWORD style;
  } kinds[] = {{"popup with a sizing frame", WS_POPUP | WS_THICKFRAME},
               {"caption taken over as client area", WS_OVERLAPPEDWINDOW}};
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.name);
    HWND target = other.Make(kind.style, L"自分で描くタイトル", 60, 80, 640, 360);
    ASSERT_NE(target, nullptr);
    ASSERT_TRUE(Front(target));
    rig.Tick();
    ASSERT_TRUE(PumpUntil([&] { return rig.Visible(); }))
        << "no overlay: verdict " << static_cast<int>(rig.overlay.LastVerdict());
    EXPECT_EQ(rig.overlay.LastVerdict(), OverlayVerdict::kShow);

    const LONG_PTR ex = GetWindowLongPtrW(rig.Overlay(), GWL_EXSTYLE);
    for (LONG_PTR flag : std::initializer_list<LONG_PTR>{WS_EX_LAYERED, WS_EX_TRANSPARENT, WS_EX_NOACTIVATE,
                                                         WS_EX_TOOLWINDOW, WS_EX_TOPMOST}) {
      EXPECT_EQ(ex & flag, flag) << std::hex << flag;
    }
    EXPECT_EQ(GetWindowLongPtrW(rig.Overlay(), GWL_STYLE) & WS_POPUP, WS_POPUP);
    EXPECT_EQ(GetForegroundWindow(), target) << "the overlay took the focus";
    const std::wstring text = rig.Text();
    EXPECT_TRUE(std::regex_search(text, kClockText)) << Narrow(text);
    EXPECT_EQ(text.find(L"自分で描くタイトル"), std::wstring::npos) << "the own title is not repeated";

    RECT frame = {};
    GetWindowRect(target, &frame);
    const int buttons = 3 * GetSystemMetrics(SM_CXSIZE);
    const int strip = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME) +
                      GetSystemMetrics(SM_CXPADDEDBORDER);
    RECT r = rig.Rect();
    EXPECT_GE(r.top, frame.top);
    EXPECT_LE(r.bottom, frame.top + strip);
    EXPECT_GT(r.left, frame.left);
    EXPECT_LE(r.right, frame.right - buttons) << "over the buttons";
    EXPECT_GT(r.right - r.left, 40);
    EXPECT_GT(r.bottom - r.top, 8);

    // A move is followed by the window events, without a tick.
    other.Run(
        [&] { SetWindowPos(target, nullptr, 160, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); });
    EXPECT_TRUE(PumpUntil([&] {
      const RECT now = rig.Rect();
      return now.left == r.left + 100 && now.top == r.top + 50;
    })) << "did not follow the move";
    // A wider window: the overlay stays by the buttons.
    other.Run(
        [&] { SetWindowPos(target, nullptr, 0, 0, 740, 360, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); });
    EXPECT_TRUE(PumpUntil([&] { return rig.Rect().right == r.right + 200; })) << "did not follow the resize";

    other.Run([&] { ShowWindow(target, SW_MINIMIZE); });
    EXPECT_TRUE(PumpUntil([&] { return !rig.Visible(); })) << "still shown over a minimised window";
    other.Run([&] { ShowWindow(target, SW_RESTORE); });
    ASSERT_TRUE(Front(target));
    rig.Tick();
    EXPECT_TRUE(PumpUntil([&] { return rig.Visible(); })) << "not back after the restore";

    // A standard-caption window in front: the overlay goes at once, and the
    // next tick decorates that window with its title only.
    HWND plain = other.Make(WS_OVERLAPPEDWINDOW, L"標準のタイトル", 300, 200, 400, 300, true);
    ASSERT_TRUE(Front(plain));
    EXPECT_TRUE(PumpUntil([&] { return !rig.Visible(); })) << "left over the window behind";
    EXPECT_EQ(GetWindowLongPtrW(rig.Overlay(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "topmost while hidden";
    rig.Tick();
    WindowThread::Pump(50);
    EXPECT_FALSE(rig.Visible());
    EXPECT_EQ(rig.overlay.LastVerdict(), OverlayVerdict::kStandardCaption);
    EXPECT_TRUE(
        std::regex_search(Widen(rig.windows.ReadTitle(reinterpret_cast<WindowHandle>(plain))), kClockText));

    // Closing the target while it is shown.
    ASSERT_TRUE(Front(target));
    rig.Tick();
    ASSERT_TRUE(PumpUntil([&] { return rig.Visible(); }));
    other.Run([&] { DestroyWindow(target); });
    EXPECT_TRUE(PumpUntil([&] { return !rig.Visible(); })) << "left behind a closed window";
    other.Run([&] { DestroyWindow(plain); });
  }

  // Pause, the setting and the end of the program hide it; so does a crash.
  HWND target = other.Make(WS_POPUP | WS_THICKFRAME, L"もう一つ", 60, 80, 640, 360);
  const auto shown = [&] {
    Front(target);
    rig.Tick();
    return PumpUntil([&] { return rig.Visible(); });
  };
  ASSERT_TRUE(shown());
  rig.tick.TogglePause();
  EXPECT_FALSE(rig.Visible()) << "pause";
  rig.tick.TogglePause();
  ASSERT_TRUE(shown());
  rig.settings.Overlay = 0;
  rig.Tick();
  EXPECT_FALSE(rig.Visible()) << "setting off";
  rig.settings.Overlay = 1;
  ASSERT_TRUE(shown());
  rig.tick.End();
  EXPECT_FALSE(rig.Visible()) << "end";
  {
    Rig crashing;
    Front(target);
    crashing.Tick();
    ASSERT_TRUE(PumpUntil([&] { return crashing.Visible(); }));
    GiveBackForCrash();
    EXPECT_FALSE(crashing.Visible()) << "crash";
  }
  other.Run([&] { DestroyWindow(target); });
}

// Figures, not a test of speed: a window dragged in circles reports many more
// moves than the overlay redraws.
TEST(OverlayWin, ADragCostsAtMostOnePlacementPerFrame) {
  WindowThread other;
  Rig rig;
  HWND target = other.Make(WS_POPUP | WS_THICKFRAME, L"ドラッグ", 200, 200, 500, 300);
  ASSERT_TRUE(Front(target));
  rig.Tick();
  ASSERT_TRUE(PumpUntil([&] { return rig.Visible(); }));
  const long before = rig.surface.Moves();
  std::atomic<bool> stop{false};
  std::atomic<long> steps{0};
  // Moved from a third thread so that this one only pumps.
  std::thread drag([&] {
    for (long i = 0; !stop; ++i) {
      const double a = i * 0.05;
      SetWindowPos(target, nullptr, 200 + static_cast<int>(100 * std::cos(a)),
                   200 + static_cast<int>(100 * std::sin(a)), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      ++steps;
    }
  });
  const DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= 2000; }, 3000);
  stop = true;
  drag.join();
  PumpUntil([&] { return false; }, 100);
  const DWORD elapsed = GetTickCount() - start;
  const long moves = rig.surface.Moves() - before;
  std::printf("overlay drag: %ld window moves in %lu ms, %ld overlay placements (%.0f per second)\n",
              steps.load(), static_cast<unsigned long>(elapsed), moves, moves * 1000.0 / elapsed);
  EXPECT_GT(moves, 0) << "never followed";
  EXPECT_LE(moves, static_cast<long>(elapsed / 10) + 2) << "more than one placement per timer period";
  RECT frame = {};
  GetWindowRect(target, &frame);
  const RECT r = rig.Rect();
  EXPECT_TRUE(r.left > frame.left && r.right < frame.right && r.top >= frame.top) << "left behind the drag";
  other.Run([&] { DestroyWindow(target); });
}

TEST(OverlayWin, NotepadKeepsItsStandardCaptionAlone) {
  Rig rig;
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  wchar_t command[] = L"notepad.exe";
  ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HWND notepad = nullptr;
  const auto find = [&] {
    notepad = nullptr;
    for (HWND w = FindWindowW(L"Notepad", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"Notepad", nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == pi.dwProcessId && IsWindowVisible(w)) notepad = w;
    }
    return notepad != nullptr;
  };
  ASSERT_TRUE(PumpUntil(find, 30000)) << "notepad did not open";
  ASSERT_TRUE(Front(notepad));
  rig.Tick();
  WindowThread::Pump(100);
  EXPECT_FALSE(rig.Visible());
  EXPECT_EQ(rig.overlay.LastVerdict(), OverlayVerdict::kStandardCaption);
  EXPECT_TRUE(
      std::regex_search(Widen(rig.windows.ReadTitle(reinterpret_cast<WindowHandle>(notepad))), kClockText))
      << "the title is written as before";
  rig.tick.End();
  PostMessageW(notepad, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 0);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace
}  // namespace kestrova::win32
