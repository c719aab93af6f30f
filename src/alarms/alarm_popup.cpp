#include "alarms/alarm_popup.h"

#include <charconv>

#include "alarms/alarm_store.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace kestrova {

namespace {

// Topmost: a reminder that opens behind the window the user works in would go unseen.
constexpr ControlSpec kControls[] = {
    {.id = kPopupText1,
     .kind = ControlKind::kTextBox,
     .name = "Text1",
     .rect = {120, 120, 4560, 1560},
     .flags = kTabStop | kReadOnly | kMultiLine},
    {.id = kPopupCheck1,
     .kind = ControlKind::kCheckBox,
     .name = "Check1",
     .rect = {120, 1800, 4560, 300},
     .caption = kAlarmPopupCheckText,
     .flags = kTabStop},
    {.id = kPopupCommand1,
     .kind = ControlKind::kButton,
     .name = "Command1",
     .rect = {1793, 2220, 1215, 375},
     .caption = kAlarmPopupOkText,
     .flags = kTabStop | kDefaultButton},
};
constexpr FormSpec kForm{.caption = kAlarmPopupCaption,
                         .clientWidth = 4800,
                         .clientHeight = 2715,
                         .controls = kControls,
                         .topMost = true};

bool ParseEntry(const std::string& tag, int& entry) {
  const char* end = tag.data() + tag.size();
  auto [ptr, ec] = std::from_chars(tag.data(), end, entry);
  return ec == std::errc() && ptr == end;
}

}  // namespace

AlarmPopup::AlarmPopup(Settings& settings, IniFile& ini) : settings_(settings), ini_(ini), form_(kForm) {
  form_.OnClick(kPopupCommand1, [this](Cause) { form_.Close(); });
  form_.OnUnload([this] { ClosingStep(); });
}

void AlarmPopup::Fill(int entry, const std::string& message) {
  form_.SetText(kPopupText1, message);
  tag_ = std::to_string(entry);
}

void AlarmPopup::ClosingStep() {
  int n = 0;
  if (!ParseEntry(tag_, n)) return;
  // The alarm editor may have replaced the list while the popup was open.
  if (n < 0 || n >= AlarmEntryCount(settings_)) return;
  const int box = Check1() ? 1 : 0;
  settings_.Alarms[static_cast<size_t>(n)].Box = box;
  ini_.IniWriteString(AlarmSectionName(n), "Box", std::to_string(box));
}

}  // namespace kestrova
