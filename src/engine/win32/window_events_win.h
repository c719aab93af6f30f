#pragma once
// Out-of-context window events that call for a tick at once: another window
// came to the front, a window was minimised or restored, or the window we
// decorate was destroyed. Nothing is loaded into other programs; the events
// arrive through this thread's message loop.
#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "platform/window_system.h"

namespace kestrova::win32 {

class Win32WindowEvents {
 public:
  // `onEvent` runs from the message loop of the thread that made this object.
  explicit Win32WindowEvents(std::function<void()> onEvent);
  ~Win32WindowEvents();
  Win32WindowEvents(const Win32WindowEvents&) = delete;
  Win32WindowEvents& operator=(const Win32WindowEvents&) = delete;

  // The window whose destruction counts (0: none). Only its thread's events
  // are asked for.
  void Follow(WindowHandle target);

 private:
  static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object, LONG child, DWORD thread,
                               DWORD time);

  std::function<void()> onEvent_;
  HWINEVENTHOOK foreground_ = nullptr;
  HWINEVENTHOOK minimize_ = nullptr;
  HWINEVENTHOOK destroy_ = nullptr;
  HWND target_ = nullptr;
  DWORD targetThread_ = 0;
};

// Where the events do not arrive: a small thread looks at the foreground
// window every few milliseconds and posts `message` to `notify` when it
// changed. It only reads; everything else stays on the window's thread. A
// thread rather than a window timer: under Wine each timer message costs
// several round trips to the server, a wait none.
class Win32ForegroundWatch {
 public:
  Win32ForegroundWatch(HWND notify, UINT message);
  ~Win32ForegroundWatch();
  Win32ForegroundWatch(const Win32ForegroundWatch&) = delete;
  Win32ForegroundWatch& operator=(const Win32ForegroundWatch&) = delete;

  // Looks every `periodMs`, and every `quietPeriodMs` once the front window
  // has stayed for `quietAfterMs`.
  void Start(int periodMs, int quietPeriodMs = 0, int quietAfterMs = 0);
  // Returns at once: the thread waits on an event, not in a sleep.
  void Stop();
  bool Running() const { return thread_.joinable(); }
  // Looks taken so far, for the figures.
  long Looks() const { return looks_; }

 private:
  HWND notify_;
  UINT message_;
  HANDLE stop_ = nullptr;
  std::atomic<long> looks_{0};
  std::thread thread_;
};

}  // namespace kestrova::win32
