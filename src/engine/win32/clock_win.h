#pragma once
// The system clock: local time and UTC, to the second.
#include "platform/clock.h"

namespace kestrova {

class Win32Clock : public Clock {
 public:
  DateTime LocalNow() override;
  DateTime UtcNow() override;
};

}  // namespace kestrova
