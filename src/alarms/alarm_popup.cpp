#include "alarms/alarm_popup.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "alarms/alarm_store.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace kestrova {

namespace {

bool ParseEntry(const std::string& tag, int& entry) {
  const char* end = tag.data() + tag.size();
  auto [ptr, ec] = std::from_chars(tag.data(), end, entry);
  return ec == std::errc() && ptr == end;
}

}  // namespace

AlarmPopup::AlarmPopup(Settings& settings, IniFile& ini) : settings_(settings), ini_(ini) {}

void AlarmPopup::Fill(int entry, const std::string& message) {
  text1_ = message;
  tag_ = std::to_string(entry);
}

void AlarmPopup::Close() {
  if (closed_) return;
  closed_ = true;
  int n = 0;
  if (!ParseEntry(tag_, n)) return;
  // The alarm editor may have replaced the list while the popup was open.
  if (n < 0 || n >= AlarmEntryCount(settings_)) return;
  const int box = check1_ ? 1 : 0;
  settings_.Alarms[static_cast<size_t>(n)].Box = box;
  ini_.IniWriteString(AlarmSectionName(n), "Box", std::to_string(box));
}

}  // namespace kestrova
