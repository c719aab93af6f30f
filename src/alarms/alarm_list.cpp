#include "alarms/alarm_list.h"

namespace kestrova {

void CopyAlarmList(const AlarmList& src, AlarmList& dst) {
  if (&src != &dst) dst = src;
}

std::int32_t DurationToTime(std::int32_t seconds) {
  const std::int32_t hours = seconds / 3600;
  const std::int32_t minutes = (seconds % 3600) / 60;
  return hours * 3600 + minutes * 60 + seconds % 60;
}

}  // namespace kestrova
