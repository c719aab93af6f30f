#include "alarms/alarm_popup.h"

#include <cstdint>

#include "core/number_parse.h"
#include "settings/alarm_store.h"
#include "settings/settings.h"

namespace kestrova {

AlarmPopup::AlarmPopup(Settings& settings, IniFile& ini) : settings_(settings), ini_(ini) {}

void AlarmPopup::Fill(int entry, const std::string& message) {
  text1_ = message;
  tag_ = std::to_string(entry);
}

void AlarmPopup::Close() {
  if (closed_) return;
  closed_ = true;
  std::int32_t n = 0;
  if (!ParseInt32(tag_, n)) return;
  // The alarm editor may have replaced the list while the popup was open.
  if (n < 0 || n >= AlarmEntryCount(settings_)) return;
  AlarmEntry& entry = settings_.Alarms[static_cast<size_t>(n)];
  entry.Box = check1_ ? 1 : 0;
  WriteAlarmKey(ini_, n, entry, AlarmKey::kBox);
}

}  // namespace kestrova
