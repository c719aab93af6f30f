#pragma once
// The two small routines the alarm check and the alarm editor share.
#include <cstdint>

#include "settings/alarm_entry.h"

namespace kestrova {

// Makes `dst` an independent copy of `src`.
void CopyAlarmList(const AlarmList& src, AlarmList& dst);

// A duration as a time of day, in seconds since midnight (hours, minutes and
// seconds taken apart and put back together). Not wrapped at a day: the
// time window of an alarm never runs past midnight.
std::int32_t DurationToTime(std::int32_t seconds);

}  // namespace kestrova
