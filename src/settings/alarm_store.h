#pragma once
// The message alarms in Kestrova.ini: sections Alarm0000, Alarm0001, ...
#include <cstdint>
#include <string>

#include "settings/alarm_entry.h"
#include "settings/key_table.h"

namespace kestrova {

class IniFile;
struct Settings;

// Section names repeat after this many entries ("Alarm" + the last four
// digits), so no more are loaded or saved: entry 10000 would overwrite entry 0.
inline constexpr std::int32_t kMaxStoredAlarms = 10000;

// "Alarm0012" for entry 12.
std::string AlarmSectionName(std::int32_t index);

// The member an alarm key is kept in.
FieldRef<AlarmEntry> AlarmField(AlarmKey key);

// Entries that exist both by AlarmCount and in the list (a hand-edited file,
// or the editor replacing the list during a popup, may make the two differ).
int AlarmEntryCount(const Settings& settings);

// Replaces settings.Alarms with settings.AlarmCount entries (at most
// kMaxStoredAlarms); AlarmCount is set to the number loaded. A numeric key
// whose text is not a whole number takes that key's default.
void LoadAlarms(IniFile& ini, Settings& settings);

// Writes entries 0 .. AlarmCount - 1 (never more than the list holds). The
// count itself is the caller's to write. Titles and messages are single
// lines in the file: a line break is stored as a blank. An entry the file
// cannot take is left out whole; false then.
bool SaveAlarms(IniFile& ini, const Settings& settings);

// Writes one key of entry `index` (the popup stores "Box" alone).
bool WriteAlarmKey(IniFile& ini, std::int32_t index, const AlarmEntry& entry, AlarmKey key);

}  // namespace kestrova
