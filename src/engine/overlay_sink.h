#pragma once
// Where the tick reports the window the caption overlay belongs over.
#include <string>

#include "platform/window_system.h"

namespace kestrova {

// What the main tick reports after each run: the window to show the overlay
// over (0: none) and its text.
class OverlaySink {
 public:
  virtual ~OverlaySink() = default;
  virtual void Update(WindowHandle target, const std::string& text) = 0;
};

}  // namespace kestrova
