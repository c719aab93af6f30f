// The caption overlay on real windows: a window that paints its own title strip
// gets it left of where its buttons would be, with the clock, directly above it
// in the z-order; it goes when the window is minimised or a window with a
// standard caption comes forward; notepad never gets it. The calls Wine cannot
// answer (the compositor, window events) get their answers from the tests.
#include "overlay/win32/overlay_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <regex>
#include <thread>

#include "overlay/overlay.h"
#include "engine/tick.h"
#include "format/win32/clock_win.h"
#include "engine/win32/crash_giveback_win.h"
#include "format/win32/locale_win.h"
#include "engine/win32/window_system_win.h"
#include "platform/win32/text_win.h"
#include "platform/win32/ui_win.h"
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
// How a test window's strip answers a hit test (a window property).
constexpr wchar_t kStripKind[] = L"KestrovaStripKind";
enum StripKind { kEmptyStrip = 0, kTabsUpToButtons = 1, kDragBarChild = 2 };

LRESULT CALLBACK DragBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCHITTEST) return HTCAPTION;
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK SelfDrawnProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCHITTEST: {
      POINT p = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      ScreenToClient(hwnd, &p);
      RECT client;
      GetClientRect(hwnd, &client);
      const auto kind = reinterpret_cast<INT_PTR>(GetPropW(hwnd, kStripKind));
      if (p.y >= kStrip) return HTCLIENT;
      if (kind == kTabsUpToButtons && p.x < client.right - 3 * 46) return HTCLIENT;
      // Under a drag bar child the child answers; the strip itself is tabs.
      return kind == kDragBarChild ? HTCLIENT : HTCAPTION;
    }
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
  HWND Make(DWORD style, const wchar_t* title, int x, int y, int w, int h, bool plain = false,
            DWORD exStyle = 0, StripKind strip = kEmptyStrip) {
    HWND made = nullptr;
    Run([&] {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = plain ? DefWindowProcW : SelfDrawnProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      wc.lpszClassName = plain ? L"KestrovaOverlayPlain" : L"KestrovaOverlayTarget";
      RegisterClassW(&wc);
      made = CreateWindowExW(exStyle, wc.lpszClassName, title, style | (strip ? 0 : WS_VISIBLE), x, y, w, h,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
      if (made == nullptr || strip == kEmptyStrip) return;
      SetPropW(made, kStripKind, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(strip)));
      if (strip == kDragBarChild) {
        // A drag bar between the tabs and the buttons, as terminals have.
        WNDCLASSW bar = {};
        bar.lpfnWndProc = DragBarProc;
        bar.hInstance = GetModuleHandleW(nullptr);
        bar.lpszClassName = L"KestrovaDragBar";
        RegisterClassW(&bar);
        RECT client;
        GetClientRect(made, &client);
        CreateWindowExW(0, bar.lpszClassName, L"", WS_CHILD | WS_VISIBLE, client.right / 3, 0,
                        client.right - client.right / 3 - 3 * 46, kStrip, made, nullptr, GetModuleHandleW(nullptr),
                        nullptr);
      }
      ShowWindow(made, SW_SHOW);
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

// Counts the full reads of a window's geometry, which a placement starts with.
struct CountingGeometry : Win32WindowGeometry {
  long reads = 0;
  bool Read(WindowHandle window, WindowGeometry& geometry) override {
    ++reads;
    return Win32WindowGeometry::Read(window, geometry);
  }
};

struct Rig {
  ForeignWindows windows;
  Win32Clock clock;
  Win32Locale locale;
  NoSysInfo sysinfo;
  NoPopups popups;
  Settings settings;
  MainTick tick{windows, clock, locale, sysinfo, settings, popups};
  CountingGeometry geometry;
  Win32OverlaySurface surface;
  Win32CaptionHitTest hits;
  CaptionOverlay overlay{geometry, surface, hits};
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
                                                         WS_EX_TOOLWINDOW}) {
      EXPECT_EQ(ex & flag, flag) << std::hex << flag;
    }
    EXPECT_EQ(ex & WS_EX_TOPMOST, 0) << "topmost over a window that is not";
    EXPECT_EQ(GetWindow(target, GW_HWNDPREV), rig.Overlay()) << "not directly above its target";
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

    // A move is followed without a tick (here by the poll: Wine sends no events).
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

// The calls Wine cannot answer, answered by the test: window events go only to
// the hooks whose range and process/thread filter take them, as the system
// delivers them; the compositor answers from a table per window.
struct FakeSystem {
  struct Hook {
    DWORD first, last, process, thread;
    WINEVENTPROC proc;
    bool live;
  };
  static inline std::vector<Hook> hooks;
  static inline std::map<HWND, DWORD> cloaked;
  static inline std::map<HWND, RECT> frames, buttons;  // buttons relative to the window rectangle
  static inline bool hung = false;
  OverlayCalls saved = OverlaySystemCalls();

  FakeSystem() {
    hooks.clear();
    cloaked.clear();
    frames.clear();
    buttons.clear();
    hung = false;
    OverlayCalls& calls = OverlaySystemCalls();
    calls.setWinEventHook = [](DWORD first, DWORD last, HMODULE, WINEVENTPROC proc, DWORD process, DWORD thread,
                               DWORD) {
      hooks.push_back({first, last, process, thread, proc, true});
      return reinterpret_cast<HWINEVENTHOOK>(hooks.size());
    };
    calls.unhookWinEvent = [](HWINEVENTHOOK hook) {
      hooks[reinterpret_cast<size_t>(hook) - 1].live = false;
      return TRUE;
    };
    calls.dwmGetWindowAttribute = [](HWND hwnd, DWORD attribute, PVOID value, DWORD size) -> HRESULT {
      const auto answer = [&](const auto& table) -> HRESULT {
        auto it = table.find(hwnd);
        if (it == table.end() || size != sizeof(it->second)) return E_FAIL;
        std::memcpy(value, &it->second, size);
        return S_OK;
      };
      if (attribute == 14) return answer(cloaked);  // DWMWA_CLOAKED
      if (attribute == 9) return answer(frames);    // DWMWA_EXTENDED_FRAME_BOUNDS
      if (attribute == 5) return answer(buttons);   // DWMWA_CAPTION_BUTTON_BOUNDS
      return E_INVALIDARG;
    };
    calls.sendMessageTimeout = [](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT flags, UINT timeout,
                                  PDWORD_PTR result) -> LRESULT {
      if (hung) return 0;
      return SendMessageTimeoutW(hwnd, msg, wp, lp, flags, timeout, result);
    };
  }
  ~FakeSystem() { OverlaySystemCalls() = saved; }
  // Delivers an event of `hwnd`'s thread (given, for a window already gone);
  // the number of hooks that took it.
  static int Deliver(DWORD event, HWND hwnd, LONG object = OBJID_WINDOW, LONG child = CHILDID_SELF,
                     DWORD thread = 0, DWORD process = 0) {
    if (thread == 0) thread = GetWindowThreadProcessId(hwnd, &process);
    int taken = 0;
    for (size_t i = 0; i < hooks.size(); ++i) {
      const Hook h = hooks[i];
      if (!h.live || event < h.first || event > h.last) continue;
      if ((h.process != 0 && h.process != process) || (h.thread != 0 && h.thread != thread)) continue;
      h.proc(reinterpret_cast<HWINEVENTHOOK>(i + 1), event, hwnd, object, child, thread, GetTickCount());
      ++taken;
    }
    return taken;
  }
};

TEST(OverlayWin, WindowEventsOfTheTargetAreFollowedAndOthersAreNot) {
  FakeSystem fake;
  WindowThread other;
  Rig rig;
  HWND target = other.Make(WS_POPUP | WS_THICKFRAME, L"イベント", 60, 80, 640, 360);
  HWND stranger = other.Make(WS_POPUP | WS_THICKFRAME, L"よその窓", 700, 500, 300, 200);
  const auto shown = [&] {
    Front(target);
    rig.Tick();
    return PumpUntil([&] { return rig.Visible(); });
  };
  ASSERT_TRUE(shown());
  EXPECT_TRUE(rig.surface.Polling()) << "no event seen yet: the poll stands in";
  const auto moveBy = [&](int dx) {
    RECT w;
    GetWindowRect(target, &w);
    other.Run([&] { SetWindowPos(target, nullptr, w.left + dx, w.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); });
  };
  const auto followedWithin = [&](LONG left, DWORD ms) {
    return PumpUntil([&] { return rig.Rect().left == left; }, ms);
  };
  // Events that are not the target window's own move nothing; the first one
  // still shows that events come, and the poll stops.
  LONG left = rig.Rect().left;
  moveBy(30);
  EXPECT_GE(FakeSystem::Deliver(EVENT_OBJECT_LOCATIONCHANGE, target, OBJID_CARET), 1);
  EXPECT_FALSE(rig.surface.Polling()) << "events come: the poll goes on";
  FakeSystem::Deliver(EVENT_OBJECT_LOCATIONCHANGE, stranger);
  EXPECT_FALSE(followedWithin(left + 30, 400)) << "followed a caret or another window";
  EXPECT_EQ(FakeSystem::Deliver(EVENT_OBJECT_LOCATIONCHANGE, target), 1) << "no hook takes the target's moves";
  EXPECT_TRUE(followedWithin(left + 30, 100)) << "the move event was not followed";

  // Each event that takes the plate away reaches a hook.
  const struct {
    const char* name;
    DWORD event;
    std::function<void()> act, undo;
  } gone[] = {
      {"minimised", EVENT_SYSTEM_MINIMIZESTART, [&] { other.Run([&] { ShowWindow(target, SW_MINIMIZE); }); },
       [&] { other.Run([&] { ShowWindow(target, SW_RESTORE); }); }},
      {"hidden", EVENT_OBJECT_HIDE, [&] { other.Run([&] { ShowWindow(target, SW_HIDE); }); },
       [&] { other.Run([&] { ShowWindow(target, SW_SHOW); }); }},
      {"cloaked", 0x8017, [&] { FakeSystem::cloaked[target] = 2; }, [&] { FakeSystem::cloaked.erase(target); }},
      {"another window in front", EVENT_SYSTEM_FOREGROUND, [&] { Front(stranger); }, [] {}},
  };
  for (const auto& g : gone) {
    SCOPED_TRACE(g.name);
    ASSERT_TRUE(shown());
    g.act();
    EXPECT_GE(FakeSystem::Deliver(g.event, g.event == EVENT_SYSTEM_FOREGROUND ? stranger : target), 1);
    EXPECT_TRUE(PumpUntil([&] { return !rig.Visible(); }, 100)) << "not followed";
    g.undo();
  }
  ASSERT_TRUE(shown());
  // Destroyed: only the object event tells, before any tick; another
  // window's destruction on the same thread moves nothing.
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(target, &process);
  HWND sibling = other.Make(WS_POPUP | WS_THICKFRAME, L"兄弟", 700, 100, 200, 100);
  other.Run([&] { DestroyWindow(sibling); });
  FakeSystem::Deliver(EVENT_OBJECT_DESTROY, sibling, OBJID_WINDOW, CHILDID_SELF, thread, process);
  WindowThread::Pump(300);
  ASSERT_TRUE(rig.Visible()) << "another window's destruction was taken for the target's";
  other.Run([&] { DestroyWindow(target); });
  EXPECT_GE(FakeSystem::Deliver(EVENT_OBJECT_DESTROY, target, OBJID_WINDOW, CHILDID_SELF, thread, process), 1);
  EXPECT_TRUE(PumpUntil([&] { return !rig.Visible(); }, 100)) << "left behind a closed window";
  rig.tick.End();
  other.Run([&] { DestroyWindow(stranger); });
}

// Figures, and a bound: a drag reporting a move every millisecond costs at
// most one placement per timer period, and keeps up (a 5 Hz poll would not).
TEST(OverlayWin, ADragIsFollowedOncePerFrameThroughTheEvents) {
  FakeSystem fake;
  WindowThread other;
  Rig rig;
  HWND target = other.Make(WS_POPUP | WS_THICKFRAME, L"ドラッグ", 200, 200, 500, 300);
  ASSERT_TRUE(Front(target));
  rig.Tick();
  ASSERT_TRUE(PumpUntil([&] { return rig.Visible(); }));
  FakeSystem::Deliver(EVENT_SYSTEM_FOREGROUND, target);
  ASSERT_FALSE(rig.surface.Polling());
  const long before = rig.surface.Moves();
  const DWORD start = GetTickCount();
  long steps = 0;
  while (GetTickCount() - start < 2000) {
    const double a = steps * 0.05;
    const int x = 200 + static_cast<int>(100 * std::cos(a)), y = 200 + static_cast<int>(100 * std::sin(a));
    other.Run([&] { SetWindowPos(target, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); });
    FakeSystem::Deliver(EVENT_OBJECT_LOCATIONCHANGE, target);
    ++steps;
    WindowThread::Pump(1);
  }
  PumpUntil([] { return false; }, 100);
  const DWORD elapsed = GetTickCount() - start;
  const long moves = rig.surface.Moves() - before;
  std::printf("overlay drag: %ld window moves in %lu ms, %ld overlay placements (%.0f per second)\n", steps,
              static_cast<unsigned long>(elapsed), moves, moves * 1000.0 / elapsed);
  EXPECT_LE(moves, static_cast<long>(elapsed / USER_TIMER_MINIMUM) + 2) << "more than one placement per period";
  EXPECT_GE(moves, std::min<long>(steps / 2, static_cast<long>(elapsed / 40))) << "fell behind the drag";
  RECT frame = {};
  GetWindowRect(target, &frame);
  const RECT r = rig.Rect();
  EXPECT_TRUE(r.left > frame.left && r.right < frame.right && r.top >= frame.top) << "left behind the drag";
  rig.tick.End();
  other.Run([&] { DestroyWindow(target); });
}

// Where no event ever comes (Wine), the poll goes on for good: a target that
// stays put costs no placement between ticks, a move is followed at the poll.
TEST(OverlayWin, ThePollPlacesOnlyWhenTheTargetChanged) {
  FakeSystem fake;
  WindowThread other;
  Rig rig;
  HWND target = other.Make(WS_POPUP | WS_THICKFRAME, L"見張り", 60, 80, 640, 360);
  ASSERT_TRUE(Front(target));
  rig.Tick();
  ASSERT_TRUE(PumpUntil([&] { return rig.Visible(); }));
  ASSERT_TRUE(rig.surface.Polling());
  const auto idle = [](DWORD ms) { PumpUntil([] { return false; }, ms); };
  idle(450);  // the first poll takes its look
  const long reads = rig.geometry.reads;
  idle(1000);
  EXPECT_LE(rig.geometry.reads - reads, 1) << "the poll placed the plate again with nothing changed";
  const LONG left = rig.Rect().left;
  const struct {
    const char* what;
    std::function<void()> act;
    std::function<bool()> followed;
  } changes[] = {
      {"moved",
       [&] {
         other.Run([&] { SetWindowPos(target, nullptr, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); });
       },
       [&] { return rig.Rect().left == left + 40; }},
      {"raised over the plate",
       [&] { other.Run([&] { SetWindowPos(target, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }); },
       [&] { return GetWindow(target, GW_HWNDPREV) == rig.Overlay(); }},
  };
  for (const auto& c : changes) {
    c.act();
    EXPECT_TRUE(PumpUntil(c.followed, 600)) << c.what << ": not followed at the poll";
  }
  rig.tick.End();
  other.Run([&] { DestroyWindow(target); });
}

TEST(OverlayWin, TheCompositorsFrameButtonsAndCloakingAreBelieved) {
  FakeSystem fake;
  WindowThread other;
  Rig rig;
  HWND target = other.Make(WS_POPUP | WS_THICKFRAME, L"合成", 60, 80, 640, 360);
  RECT w;
  GetWindowRect(target, &w);
  // An invisible resize border of 7 pixels, and buttons 100 pixels wide
  // starting 20 pixels in from the frame's right.
  FakeSystem::frames[target] = {w.left + 7, w.top, w.right - 7, w.bottom - 7};
  const int width = w.right - w.left;
  FakeSystem::buttons[target] = {width - 7 - 120, 1, width - 7 - 20, kStrip - 1};
  ASSERT_TRUE(Front(target));
  rig.Tick();
  ASSERT_TRUE(PumpUntil([&] { return rig.Visible(); }));
  const RECT r = rig.Rect();
  const int gap = MulDiv(8, WindowDpi(nullptr), 96);
  EXPECT_EQ(r.right, w.left + width - 7 - 120 - gap) << "not by the compositor's buttons";
  EXPECT_GT(r.top, w.top + 1);
  EXPECT_LT(r.bottom, w.top + kStrip - 1);
  FakeSystem::cloaked[target] = 1;
  rig.Tick();
  EXPECT_FALSE(rig.Visible());
  EXPECT_EQ(rig.overlay.LastVerdict(), OverlayVerdict::kCloaked);
  rig.tick.End();
  other.Run([&] { DestroyWindow(target); });
}

TEST(OverlayWin, OnlyOverEmptyCaptionAskedOfTheWindowAndItsChildren) {
  FakeSystem fake;
  WindowThread other;
  Rig rig;
  const struct {
    const char* name;
    StripKind strip;
    bool shown;
  } kinds[] = {{"tabs up to the buttons", kTabsUpToButtons, false},
               {"a drag bar child by the buttons", kDragBarChild, true},
               {"empty strip", kEmptyStrip, true}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.name);
    HWND target = other.Make(WS_POPUP | WS_THICKFRAME, L"タブ", 60, 80, 640, 360, false, 0, k.strip);
    ASSERT_TRUE(Front(target));
    rig.Tick();
    EXPECT_EQ(PumpUntil([&] { return rig.Visible(); }, k.shown ? 8000 : 300), k.shown);
    EXPECT_EQ(rig.overlay.LastVerdict(), k.shown ? OverlayVerdict::kShow : OverlayVerdict::kNoFreeCaption);
    if (k.shown) {
      // Hung: the last answer stands.
      FakeSystem::hung = true;
      rig.Tick();
      EXPECT_TRUE(rig.Visible()) << "a hung window lost its plate";
      FakeSystem::hung = false;
    }
    other.Run([&] { DestroyWindow(target); });
  }
  FakeSystem::hung = true;
  HWND silent = other.Make(WS_POPUP | WS_THICKFRAME, L"無言", 60, 80, 640, 360);
  ASSERT_TRUE(Front(silent));
  rig.Tick();
  WindowThread::Pump(100);
  EXPECT_FALSE(rig.Visible()) << "a window that never answered got a plate";
  FakeSystem::hung = false;
  rig.tick.End();
  other.Run([&] { DestroyWindow(silent); });
}

// The z-order as Wine keeps it: directly above the target, under another
// program's topmost window, topmost only with a topmost target; nothing is
// called, made or set again while nothing changes.
TEST(OverlayWin, DirectlyAboveItsTargetInTheZOrder) {
  WindowThread other;
  Rig rig;
  HWND target = other.Make(WS_POPUP | WS_THICKFRAME, L"重なり", 60, 80, 640, 360);
  ASSERT_TRUE(Front(target));
  rig.Tick();
  ASSERT_TRUE(PumpUntil([&] { return rig.Visible(); }));
  const auto directlyAbove = [&] { return GetWindow(target, GW_HWNDPREV) == rig.Overlay(); };
  const auto topmost = [](HWND w) { return (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  EXPECT_TRUE(directlyAbove());
  EXPECT_FALSE(topmost(rig.Overlay()));

  const long zOrder = rig.surface.ZOrderCalls(), bitmaps = rig.surface.Bitmaps();
  for (int i = 0; i < 3; ++i) rig.Tick();
  EXPECT_EQ(rig.surface.ZOrderCalls(), zOrder) << "z-order set again with nothing changed";
  EXPECT_EQ(rig.surface.Bitmaps(), bitmaps) << "a new bitmap for the same size";
  EXPECT_LE(rig.surface.TextsSet(), 3) << "the window text set again for the same text";

  // Another program's topmost window over the caption stays above the plate.
  HWND pinned = other.Make(WS_POPUP | WS_THICKFRAME, L"最前面", 300, 60, 200, 120, true, WS_EX_TOPMOST | WS_EX_NOACTIVATE);
  ASSERT_TRUE(Front(target));  // Wine activates a new window even so
  rig.Tick();
  bool pinnedFirst = false;
  for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == pinned) pinnedFirst = true;
    if (w == rig.Overlay()) break;
  }
  EXPECT_TRUE(pinnedFirst) << "the plate went over a topmost window";
  EXPECT_TRUE(directlyAbove());

  // A topmost target: the plate is topmost with it, and back when it is not.
  const auto order = [&] {
    WindowGeometry g;
    rig.geometry.Read(reinterpret_cast<WindowHandle>(target), g);
    char facts[160];
    std::snprintf(facts, sizeof facts, "style %08x ex %08x owner %d class %s ", g.style, g.exStyle,
                  g.visibleOwner, g.className.c_str());
    std::string out = facts + std::string("verdict ") + std::to_string(static_cast<int>(rig.overlay.LastVerdict())) + ":";
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
      if (!IsWindowVisible(w) && w != rig.Overlay()) continue;
      out += w == rig.Overlay() ? " plate" : w == target ? " target" : w == pinned ? " pinned" : " other";
      if (topmost(w)) out += "*";
    }
    return out;
  };
  other.Run([&] { SetWindowPos(target, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); });
  rig.Tick();
  EXPECT_TRUE(topmost(rig.Overlay())) << order();
  EXPECT_TRUE(directlyAbove()) << order();
  other.Run([&] { SetWindowPos(target, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); });
  rig.Tick();
  EXPECT_FALSE(topmost(rig.Overlay())) << order();
  EXPECT_TRUE(directlyAbove()) << order();
  rig.tick.End();
  other.Run([&] {
    DestroyWindow(pinned);
    DestroyWindow(target);
  });
}

// A crash in a worker thread hides the plate without waiting for the overlay's
// thread, which here is busy (not pumping) as it might be in a crash.
TEST(OverlayWin, ACrashInAnotherThreadHidesThePlateWithoutWaiting) {
  WindowThread other;
  Rig rig;
  HWND target = other.Make(WS_POPUP | WS_THICKFRAME, L"落ちる", 60, 80, 640, 360);
  ASSERT_TRUE(Front(target));
  rig.Tick();
  ASSERT_TRUE(PumpUntil([&] { return rig.Visible(); }));
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    GiveBackForCrash();
    returned = true;
  });
  Sleep(1500);  // no messages pumped meanwhile
  EXPECT_TRUE(returned) << "the crashing thread waited for the overlay's thread";
  WindowThread::Pump(0);
  worker.join();
  EXPECT_TRUE(PumpUntil([&] { return !rig.Visible(); }, 1000));
  rig.tick.End();
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
