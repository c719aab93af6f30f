#pragma once
// Following a switch of the front window at once, between the timer's ticks.
// Window events (another window in front, a window minimised or restored, the
// target destroyed) ask for one tick each burst. Where they do not arrive (a
// system that does not send them), a cheap watch on the foreground window
// takes their place from the start until an event shows that they come; a
// foreground change that a timer tick finds unannounced starts it again.
#include "platform/window_system.h"

namespace kestrova {

class SwitchFollow {
 public:
  // How often the watch looks at the foreground window, and how often once
  // no switch has come for a while: either way a switch is followed within 50 ms.
  static constexpr int kWatchMs = 25;
  static constexpr int kQuietWatchMs = 40;
  static constexpr int kQuietAfterMs = 3000;

  explicit SwitchFollow(WindowSystem& windows) : windows_(windows) {}

  // An event arrived. True when a tick must be asked for: none is waiting yet.
  bool Event();
  // The tick an event asked for runs now.
  void EventTickRuns() { waiting_ = false; }
  // A tick ran and found `foreground` in front.
  void TickRan(bool timer, WindowHandle foreground);
  // The watch looked: true when the front window changed since the last tick,
  // which then runs at once.
  bool Watched();
  // Whether the watch is needed (no event has come yet, or events were found missing).
  bool Watching() const { return watching_; }

 private:
  WindowSystem& windows_;
  WindowHandle seen_ = 0;  // the front window as the last tick found it
  bool waiting_ = false;   // an event tick is asked for and has not run
  bool eventSinceTick_ = false;
  bool suspect_ = false;  // the last timer tick found a change no event told of
  bool watching_ = true;
};

}  // namespace kestrova
