#pragma once
// The system clock: local time and UTC, to the second.
#include <cstdint>

#include "platform/clock.h"

namespace kestrova {

// The local clock in milliseconds since 1970-01-01, read as LocalNow reads it.
std::int64_t LocalClockMilliseconds();

class Win32Clock : public Clock {
 public:
  DateTime LocalNow() override;
  DateTime UtcNow() override;
};

}  // namespace kestrova
