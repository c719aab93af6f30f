#include "settings/alarm_store.h"

#include <algorithm>
#include <cstdio>

#include "settings/ini_file.h"
#include "settings/settings.h"

namespace kestrova {

std::string AlarmSectionName(std::int32_t index) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", index);
  const std::string text = digits;
  return "Alarm" + text.substr(text.size() - 4);
}

FieldRef<AlarmEntry> AlarmField(AlarmKey key) {
  switch (key) {
    case AlarmKey::kTitle:
      return &AlarmEntry::Title;
    case AlarmKey::kType:
      return &AlarmEntry::Type;
    case AlarmKey::kMonth:
      return &AlarmEntry::Month;
    case AlarmKey::kDay:
      return &AlarmEntry::Day;
    case AlarmKey::kWeek:
      return &AlarmEntry::Week;
    case AlarmKey::kHour:
      return &AlarmEntry::Hour;
    case AlarmKey::kMinute:
      return &AlarmEntry::Minute;
    case AlarmKey::kSecond:
      return &AlarmEntry::Second;
    case AlarmKey::kMessage:
      return &AlarmEntry::Message;
    case AlarmKey::kTime:
      return &AlarmEntry::Time;
    case AlarmKey::kBox:
      return &AlarmEntry::Box;
  }
  return std::monostate{};
}

void LoadAlarms(IniFile& ini, Settings& settings) {
  const std::int32_t count = std::clamp(settings.AlarmCount, 0, kMaxStoredAlarms);
  settings.Alarms.clear();
  settings.Alarms.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    const std::string section = AlarmSectionName(i);
    AlarmEntry entry;
    // Every key is read as text: a number that is not whole gives the key's default.
    for (const KeyRow<AlarmKey>& row : kAlarmKeys) {
      ReadKey(ini, section, row, AlarmField(row.id), entry, NumberReading::kWholeText);
    }
    settings.Alarms.push_back(std::move(entry));
  }
  settings.AlarmCount = count;
}

int AlarmEntryCount(const Settings& settings) {
  const std::int64_t listed = static_cast<std::int64_t>(settings.Alarms.size());
  return static_cast<int>(std::max<std::int64_t>(0, std::min<std::int64_t>(settings.AlarmCount, listed)));
}

bool SaveAlarms(IniFile& ini, const Settings& settings) {
  const std::int32_t count = std::min(AlarmEntryCount(settings), kMaxStoredAlarms);
  bool saved = true;
  for (std::int32_t i = 0; i < count; ++i) {
    // The file turns line breaks into blanks.
    saved = WriteRecordKeys(ini, AlarmSectionName(i), kAlarmKeys, AlarmField,
                            settings.Alarms[static_cast<std::size_t>(i)]) &&
            saved;
  }
  return saved;
}

bool WriteAlarmKey(IniFile& ini, std::int32_t index, const AlarmEntry& entry, AlarmKey key) {
  return WriteKey(ini, AlarmSectionName(index), AlarmRow(key), AlarmField(key), entry);
}

}  // namespace kestrova
