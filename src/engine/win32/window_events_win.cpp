#include "engine/win32/window_events_win.h"

namespace kestrova::win32 {

namespace {
// The callback carries no context; one object per process takes the events.
Win32WindowEvents* g_events = nullptr;

HWINEVENTHOOK Hook(DWORD first, DWORD last, WINEVENTPROC proc, DWORD process = 0, DWORD thread = 0) {
  return SetWinEventHook(first, last, nullptr, proc, process, thread, WINEVENT_OUTOFCONTEXT);
}
}  // namespace

Win32WindowEvents::Win32WindowEvents(std::function<void()> onEvent) : onEvent_(std::move(onEvent)) {
  g_events = this;
  foreground_ = Hook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, &OnEvent);
  minimize_ = Hook(EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND, &OnEvent);
}

Win32WindowEvents::~Win32WindowEvents() {
  for (HWINEVENTHOOK hook : {foreground_, minimize_, destroy_}) {
    if (hook != nullptr) UnhookWinEvent(hook);
  }
  if (g_events == this) g_events = nullptr;
}

void Win32WindowEvents::Follow(WindowHandle target) {
  HWND hwnd = reinterpret_cast<HWND>(target);
  if (hwnd == target_) return;
  target_ = hwnd;
  DWORD process = 0;
  const DWORD thread = hwnd != nullptr ? GetWindowThreadProcessId(hwnd, &process) : 0;
  if (thread == targetThread_ && destroy_ != nullptr) return;
  if (destroy_ != nullptr) UnhookWinEvent(destroy_);
  destroy_ = nullptr;
  targetThread_ = thread;
  // Every object of every thread is destroyed through this event: only the
  // target's own thread is listened to.
  if (thread != 0) destroy_ = Hook(EVENT_OBJECT_DESTROY, EVENT_OBJECT_DESTROY, &OnEvent, process, thread);
}

void CALLBACK Win32WindowEvents::OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                                         DWORD) {
  Win32WindowEvents* self = g_events;
  if (self == nullptr || !self->onEvent_) return;
  if (event == EVENT_OBJECT_DESTROY &&
      (hwnd == nullptr || hwnd != self->target_ || object != OBJID_WINDOW || child != CHILDID_SELF)) {
    return;
  }
  self->onEvent_();
}

Win32ForegroundWatch::Win32ForegroundWatch(HWND notify, UINT message)
    : notify_(notify), message_(message), stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

Win32ForegroundWatch::~Win32ForegroundWatch() {
  Stop();
  if (stop_ != nullptr) CloseHandle(stop_);
}

void Win32ForegroundWatch::Start(int periodMs, int quietPeriodMs, int quietAfterMs) {
  if (thread_.joinable() || stop_ == nullptr) return;
  ResetEvent(stop_);
  const int quiet = quietPeriodMs > 0 ? quietPeriodMs : periodMs;
  thread_ = std::thread([this, periodMs, quiet, quietAfterMs] {
    HWND seen = GetForegroundWindow();
    ULONGLONG changed = GetTickCount64();
    for (;;) {
      const bool calm = GetTickCount64() - changed >= static_cast<ULONGLONG>(quietAfterMs);
      if (WaitForSingleObject(stop_, static_cast<DWORD>(calm ? quiet : periodMs)) != WAIT_TIMEOUT) return;
      ++looks_;
      HWND now = GetForegroundWindow();
      if (now == seen) continue;
      seen = now;
      changed = GetTickCount64();
      PostMessageW(notify_, message_, 0, 0);
    }
  });
}

void Win32ForegroundWatch::Stop() {
  if (!thread_.joinable()) return;
  SetEvent(stop_);
  thread_.join();
}

}  // namespace kestrova::win32
