#include "alarms/alarm_store.h"

#include <algorithm>
#include <cstdio>

#include "core/number_parse.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace kestrova {
namespace {

// The numeric keys of an entry, in file order after "Title", with their
// defaults and whether they carry a sign column (N) or not (D).
struct NumberKey {
  const char* key;
  std::int32_t AlarmEntry::*field;
  std::int32_t def;
  bool signColumn;
};

const NumberKey kTimingKeys[] = {
    {"Type", &AlarmEntry::Type, -1, true},    {"Month", &AlarmEntry::Month, 1, true},
    {"Day", &AlarmEntry::Day, 1, true},       {"Week", &AlarmEntry::Week, 1, true},
    {"Hour", &AlarmEntry::Hour, 1, true},     {"Minute", &AlarmEntry::Minute, 1, true},
    {"Second", &AlarmEntry::Second, 1, true},
};
const NumberKey kPopupKeys[] = {
    {"Time", &AlarmEntry::Time, 0, false},
    {"Box", &AlarmEntry::Box, 0, false},
};

constexpr const char* kTitleDefault = "タイトル無し";
constexpr const char* kMessageDefault = "メッセージ無し";

// The whole text must be a number that fits; anything else gives `def`.
std::int32_t ParseNumber(const std::string& text, std::int32_t def) {
  std::int32_t value = def;
  ParseInt32(text, value);
  return value;
}

std::string Encode(std::int32_t value, bool signColumn) {
  return signColumn ? SignColumn(value) : std::to_string(value);
}

template <std::size_t N>
void ReadNumbers(IniFile& ini, const std::string& section, const NumberKey (&keys)[N], AlarmEntry& entry) {
  for (const NumberKey& k : keys) {
    entry.*k.field = ParseNumber(ini.IniReadString(section, k.key, std::to_string(k.def)), k.def);
  }
}

template <std::size_t N>
void WriteNumbers(IniFile& ini, const std::string& section, const NumberKey (&keys)[N],
                  const AlarmEntry& entry) {
  for (const NumberKey& k : keys) ini.IniWriteString(section, k.key, Encode(entry.*k.field, k.signColumn));
}

}  // namespace

std::string AlarmSectionName(std::int32_t index) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", index);
  const std::string text = digits;
  return "Alarm" + text.substr(text.size() - 4);
}

void LoadAlarms(IniFile& ini, Settings& settings) {
  const std::int32_t count = std::clamp(settings.AlarmCount, 0, kMaxStoredAlarms);
  settings.Alarms.clear();
  settings.Alarms.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    const std::string section = AlarmSectionName(i);
    AlarmEntry entry;
    entry.Title = ini.IniReadString(section, "Title", kTitleDefault);
    ReadNumbers(ini, section, kTimingKeys, entry);
    entry.Message = ini.IniReadString(section, "Message", kMessageDefault);
    ReadNumbers(ini, section, kPopupKeys, entry);
    entry.Shown = false;
    settings.Alarms.push_back(std::move(entry));
  }
  settings.AlarmCount = count;
}

int AlarmEntryCount(const Settings& settings) {
  const std::int64_t listed = static_cast<std::int64_t>(settings.Alarms.size());
  return static_cast<int>(std::max<std::int64_t>(0, std::min<std::int64_t>(settings.AlarmCount, listed)));
}

void SaveAlarms(IniFile& ini, const Settings& settings) {
  const std::size_t count = static_cast<std::size_t>(std::min(AlarmEntryCount(settings), kMaxStoredAlarms));
  for (std::size_t i = 0; i < count; ++i) {
    const AlarmEntry& entry = settings.Alarms[i];
    const std::string section = AlarmSectionName(static_cast<std::int32_t>(i));
    // IniWriteString turns line breaks into blanks.
    ini.IniWriteString(section, "Title", entry.Title);
    WriteNumbers(ini, section, kTimingKeys, entry);
    ini.IniWriteString(section, "Message", entry.Message);
    WriteNumbers(ini, section, kPopupKeys, entry);
  }
}

void CopyAlarmList(const AlarmList& src, AlarmList& dst) {
  if (&src != &dst) dst = src;
}

std::int32_t DurationToTime(std::int32_t seconds) {
  const std::int32_t hours = seconds / 3600;
  const std::int32_t minutes = (seconds % 3600) / 60;
  return hours * 3600 + minutes * 60 + seconds % 60;
}

}  // namespace kestrova
