#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestrova {

// One message alarm. List order is priority order.
struct AlarmEntry {
  std::string Title;
  std::int32_t Type = -1;
  std::int32_t Month = 1;
  std::int32_t Day = 1;
  std::int32_t Week = 1;
  std::int32_t Hour = 1;
  std::int32_t Minute = 1;
  std::int32_t Second = 1;
  std::string Message;
  std::int32_t Time = 0;
  std::int32_t Box = 0;
  bool Shown = false;  // run time only: the popup was shown for the current due period

  friend bool operator==(const AlarmEntry&, const AlarmEntry&) = default;
};

using AlarmList = std::vector<AlarmEntry>;

}  // namespace kestrova
