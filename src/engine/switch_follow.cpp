#include "engine/switch_follow.h"

namespace kestrova {

bool SwitchFollow::Event() {
  // Events come after all: the watch is not needed.
  eventSinceTick_ = true;
  suspect_ = false;
  watching_ = false;
  if (waiting_) return false;
  waiting_ = true;
  return true;
}

void SwitchFollow::TickRan(bool timer, WindowHandle foreground) {
  const WindowHandle before = seen_;
  seen_ = foreground;
  if (!timer) return;
  // An event may be on its way while the timer ticks: a change is held
  // against the events only when the next timer tick has not seen one either.
  if (suspect_) watching_ = true;
  suspect_ = before != 0 && seen_ != 0 && seen_ != before && !eventSinceTick_ && !waiting_;
  eventSinceTick_ = false;
}

bool SwitchFollow::Watched() {
  if (!watching_ || waiting_) return false;
  const WindowHandle before = seen_;
  seen_ = windows_.ForegroundWindow();
  return seen_ != before;
}

}  // namespace kestrova
