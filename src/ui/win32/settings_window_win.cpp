#include "ui/win32/settings_window_win.h"

#include <commctrl.h>

#include "form/win32/theme_win.h"
#include "format/win32/clock_win.h"
#include "platform/win32/text_win.h"
#include "shell/win32/menu_win.h"
#include "ui/settings_window.h"

namespace kestrova::win32 {

namespace {

constexpr wchar_t kCallbackClass[] = L"KestrovaCallbackWindow";
constexpr UINT_PTR kTimer1 = 1;
// Posted once for a burst of window events.
constexpr UINT kEventTickMessage = WM_APP + 0x4B;
// Posted by the foreground watch where those events do not arrive.
constexpr UINT kWatchMessage = WM_APP + 0x4C;

void RegisterCallbackClass(WNDPROC proc) {
  static const bool registered = [proc] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kCallbackClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

}  // namespace

Win32SettingsWindow::Win32SettingsWindow(SettingsWindow& model, Settings& settings, IniFile& ini,
                                         HICON largeIcon, WindowSystem& windows)
    : model_(model), window_(model.Form(), largeIcon), follow_(windows) {
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  window_.Create(nullptr);
  window_.SetMessageHook([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return OnMessage(msg, wParam, lParam, result);
  });
  window_.SetPainter(kLabel2, [this](HDC dc, const RECT& rect) { window_.PaintCaption(kLabel2, dc, rect); });
  RegisterCallbackClass(&CallbackProc);
  callback_ = CreateWindowExW(0, kCallbackClass, L"", WS_CHILD, 0, 0, 0, 0, window_.Hwnd(), nullptr,
                              GetModuleHandleW(nullptr), this);
  popups_ = std::make_unique<Win32AlarmPopupHost>(window_.Hwnd(), largeIcon, settings, ini);
  events_ = std::make_unique<Win32WindowEvents>([this] {
    if (follow_.Event()) PostMessageW(window_.Hwnd(), kEventTickMessage, 0, 0);
  });
  watch_ = std::make_unique<Win32ForegroundWatch>(window_.Hwnd(), kWatchMessage);
  // Until the first event shows that events come, the watch follows switches.
  StartOrStopWatch();
  MenusChanged();
}

Win32SettingsWindow::~Win32SettingsWindow() {
  StopFollowing();
  if (HWND hwnd = window_.Hwnd()) KillTimer(hwnd, kTimer1);
}

void Win32SettingsWindow::StopFollowing() {
  events_.reset();
  watch_.reset();
}

void Win32SettingsWindow::Show(bool show) {
  HWND hwnd = window_.Hwnd();
  if (show) {
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
  } else {
    ShowWindow(hwnd, SW_HIDE);
  }
}

bool Win32SettingsWindow::IsVisible() { return IsWindowVisible(window_.Hwnd()) != FALSE; }

void Win32SettingsWindow::SetTimerInterval(int milliseconds) {
  schedule_ = TickSchedule(milliseconds);
  StartTimer();
}

void Win32SettingsWindow::StartTimer() {
  HWND hwnd = window_.Hwnd();
  if (hwnd == nullptr) return;
  const int delay = schedule_.FirstDelay(LocalClockMilliseconds());
  // SetTimer replaces a timer of the same id.
  SetTimer(hwnd, kTimer1, static_cast<UINT>(delay), nullptr);
}

void Win32SettingsWindow::TimerFired() { RunStep(schedule_.Fired(LocalClockMilliseconds())); }

void Win32SettingsWindow::RunStep(const TimerStep& step) {
  // Set before the tick: an alarm popup's nested loop must get its ticks.
  if (step.delay > 0) SetTimer(window_.Hwnd(), kTimer1, static_cast<UINT>(step.delay), nullptr);
  if (!step.tick) return;
  model_.Tick();
  AfterTick(true);
}

void Win32SettingsWindow::AfterTick(bool timer) {
  HWND hwnd = window_.Hwnd();
  if (hwnd == nullptr || model_.Ended()) return;
  follow_.TickRan(timer, model_.tick().titles().Foreground());
  if (events_) events_->Follow(model_.tick().titles().Last().Handle);
  StartOrStopWatch();
}

void Win32SettingsWindow::StartOrStopWatch() {
  if (!watch_ || follow_.Watching() == watch_->Running()) return;
  if (follow_.Watching()) {
    watch_->Start(SwitchFollow::kWatchMs, SwitchFollow::kQuietWatchMs, SwitchFollow::kQuietAfterMs);
  } else {
    watch_->Stop();
  }
}

void Win32SettingsWindow::MenusChanged() {
  HWND hwnd = window_.Hwnd();
  if (hwnd == nullptr) return;
  HMENU old = GetMenu(hwnd);
  window_.SetMenu(BuildMenu(model_.MenuBarItems(), false));
  if (old != nullptr) DestroyMenu(old);
}

int Win32SettingsWindow::TrackIconMenu(const std::vector<MenuItem>& items) {
  POINT at = {};
  GetCursorPos(&at);
  return TrackMenu(window_.Hwnd(), items, at);
}

void Win32SettingsWindow::Close() {
  StopFollowing();
  if (HWND hwnd = window_.Hwnd()) KillTimer(hwnd, kTimer1);
  window_.Close();
}

bool Win32SettingsWindow::PreTranslate(const MSG& msg) {
  HWND hwnd = window_.Hwnd();
  if (hwnd == nullptr || msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) {
    return false;
  }
  if (msg.hwnd != hwnd && !IsChild(hwnd, msg.hwnd)) return false;
  model_.SwitchPage(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
  return true;
}

LRESULT CALLBACK Win32SettingsWindow::CallbackProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32SettingsWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self != nullptr) {
    switch (msg) {
      case WM_LBUTTONDOWN:
        // A second copy of the program asks this one to open its settings.
        self->model_.WakeUp();
        return 0;
      case WM_MOUSEMOVE:
        // The tray icon's notification carries the mouse message in lParam.
        self->model_.TrayNotify(static_cast<int>(lParam));
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Win32SettingsWindow::FollowRuleUnderPointer() {
  POINT point;
  if (!GetCursorPos(&point)) return;
  std::string tip = model_.RuleTooltipAt(LBItemFromPt(window_.Control(kList2), point, TRUE));
  // Setting the same text again would make a showing tip flicker.
  if (tip == ruleTip_) return;
  ruleTip_ = std::move(tip);
  window_.SetTooltip(kList2, ruleTip_);
}

bool Win32SettingsWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_SETCURSOR:
      return OnSetCursor(wParam, lParam);
    case WM_TIMER:
    case WM_TIMECHANGE:
    case WM_POWERBROADCAST:
      return OnTimerMessage(msg, wParam);
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_CLOSE:
      return OnCommandMessage(msg, wParam, lParam);
    case WM_SETTINGCHANGE:
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
    case WM_DESTROY:
      return OnSessionMessage(msg, wParam, lParam, result);
    default:
      return OnTickMessage(msg);
  }
}

bool Win32SettingsWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(lParam) == WM_MOUSEMOVE && reinterpret_cast<HWND>(wParam) == window_.Control(kList2)) {
    FollowRuleUnderPointer();
  }
  return false;  // the renderer still sets the cursor
}

bool Win32SettingsWindow::OnTickMessage(UINT msg) {
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    model_.TaskbarCreated();
    return true;
  }
  if (msg == ThemeChangedMessage()) {
    MenusChanged();  // the bar's items are drawn here in the dark palette only
    return false;
  }
  if (msg == kEventTickMessage) {
    follow_.EventTickRuns();
    model_.Tick(TickCause::kEvent);
    AfterTick(false);
    return true;
  }
  if (msg == kWatchMessage) {
    if (follow_.Watched()) {
      model_.Tick(TickCause::kEvent);
      AfterTick(false);
    }
    return true;
  }
  return false;
}

bool Win32SettingsWindow::OnTimerMessage(UINT msg, WPARAM wParam) {
  switch (msg) {
    case WM_TIMER:
      if (wParam != kTimer1) return false;
      TimerFired();
      return true;
    case WM_TIMECHANGE:
      // The clock was set: the title shows the new time now, and the next
      // tick lands on the new clock's boundary.
      RunStep(schedule_.Restarted(LocalClockMilliseconds()));
      return false;
    default:  // WM_POWERBROADCAST
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
        RunStep(schedule_.Restarted(LocalClockMilliseconds()));
      }
      return false;
  }
}

bool Win32SettingsWindow::OnCommandMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      // Menu items; the controls' own commands go to the renderer.
      if (lParam != 0 || HIWORD(wParam) != 0 || ActionFor(LOWORD(wParam)) == MenuAction::kNone) return false;
      model_.RunCommand(LOWORD(wParam));
      return true;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE) return false;
      // The close box and Alt+F4: Cancel, and the window only hides.
      model_.QueryUnload(UnloadMode::kUser);
      return true;
    default:  // WM_CLOSE
      // Sent from outside, not through the close box: the program ends.
      model_.QueryUnload(UnloadMode::kFromOutside);
      return true;
  }
}

bool Win32SettingsWindow::OnSessionMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_SETTINGCHANGE:
      if (lParam != 0 && lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0 &&
          onRegionalChange) {
        onRegionalChange();
      }
      return false;
    case WM_QUERYENDSESSION:
      result = TRUE;
      return true;
    case WM_ENDSESSION:
      // The process may end once this returns: the closing step runs now.
      if (wParam) model_.QueryUnload(UnloadMode::kSessionEnd);
      return true;
    default:  // WM_DESTROY
      StopFollowing();
      KillTimer(window_.Hwnd(), kTimer1);
      PostQuitMessage(0);
      return false;
  }
}

}  // namespace kestrova::win32
