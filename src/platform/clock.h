#pragma once
// The host's clock. The regional settings come along: every user of the
// clock formats what it reads with them.
#include "core/datetime.h"
#include "platform/locale.h"

namespace kestrova {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime LocalNow() = 0;
  virtual DateTime UtcNow() = 0;
};

}  // namespace kestrova
