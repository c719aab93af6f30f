#include "alarms/alarm_popup.h"

#include <cstdint>

#include "core/number_parse.h"
#include "settings/alarm_store.h"
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

}  // namespace

AlarmPopup::AlarmPopup(Settings& settings, IniFile& ini, AlarmIds* ids)
    : settings_(settings), ini_(ini), ids_(ids), form_(kForm) {
  form_.OnClick(kPopupCommand1, [this](Cause) { form_.Close(); });
  form_.OnUnload([this] { ClosingStep(); });
}

void AlarmPopup::Fill(int entry, const std::string& message) {
  form_.SetText(kPopupText1, message);
  tag_ = std::to_string(entry);
  if (ids_ != nullptr) id_ = ids_->IdOf(entry);
}

void AlarmPopup::ClosingStep() {
  std::int32_t n = 0;
  if (ids_ != nullptr) {
    n = ids_->IndexOf(id_);
  } else if (!ParseInt32(tag_, n)) {
    return;
  }
  // The alarm editor may have replaced the list while the popup was open.
  if (n < 0 || n >= AlarmEntryCount(settings_)) return;
  AlarmEntry& entry = settings_.Alarms[static_cast<size_t>(n)];
  entry.Box = Check1() ? 1 : 0;
  WriteAlarmKey(ini_, n, entry, AlarmKey::kBox);
}

}  // namespace kestrova
