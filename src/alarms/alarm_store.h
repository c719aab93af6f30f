#pragma once
// The message alarms in Kestrova.ini: sections Alarm0000, Alarm0001, ... and
// the two small routines the checking and the editor share.
#include <cstdint>
#include <string>

#include "alarms/alarm_entry.h"

namespace kestrova {

class IniFile;
struct Settings;

// Section names repeat after this many entries ("Alarm" + the last four
// digits), so no more are loaded or saved: entry 10000 would overwrite entry 0.
inline constexpr std::int32_t kMaxStoredAlarms = 10000;

// "Alarm0012" for entry 12.
std::string AlarmSectionName(std::int32_t index);

// Entries that exist both by AlarmCount and in the list (a hand-edited file,
// or the editor replacing the list during a popup, may make the two differ).
int AlarmEntryCount(const Settings& settings);

// Replaces settings.Alarms with settings.AlarmCount entries (at most
// kMaxStoredAlarms); AlarmCount is set to the number loaded. A numeric key
// whose text is not a whole number takes that key's default.
void LoadAlarms(IniFile& ini, Settings& settings);

// Writes entries 0 .. AlarmCount - 1 (never more than the list holds). The
// count itself is the caller's to write. Titles and messages are single
// lines in the file: a line break is stored as a blank.
void SaveAlarms(IniFile& ini, const Settings& settings);

// Makes `dst` an independent copy of `src`.
void CopyAlarmList(const AlarmList& src, AlarmList& dst);

// A duration as a time of day, in seconds since midnight (hours, minutes and
// seconds taken apart and put back together). Not wrapped at a day: the
// time window of an alarm never runs past midnight.
std::int32_t DurationToTime(std::int32_t seconds);

}  // namespace kestrova
