#include "ui/countdown_picker.h"

#include <algorithm>
#include <cstdio>

#include "platform/prompts.h"

namespace kestrova {

namespace {

constexpr ControlSpec kControls[] = {
    {.id = kPickerAlarms,
     .kind = ControlKind::kComboList,
     .name = "Combo1",
     .rect = {120, 120, 4095, 300},
     .flags = kTabStop},
    {.id = kPickerPreview,
     .name = "Label1",
     .rect = {120, 540, 4095, 255},
     .caption = kCountdownPreviewAllOpen},
    {.id = kPickerOk,
     .kind = ControlKind::kButton,
     .name = "Command1",
     .index = 0,
     .rect = {1980, 900, 1095, 375},
     .caption = "OK",
     .flags = kTabStop | kDefaultButton},
    {.id = kPickerCancel,
     .kind = ControlKind::kButton,
     .name = "Command1",
     .index = 1,
     .rect = {3120, 900, 1095, 375},
     .caption = "キャンセル",
     .flags = kTabStop | kCancelButton},
};
constexpr FormSpec kForm{
    .caption = kCountdownPickerCaption, .clientWidth = 4335, .clientHeight = 1395, .controls = kControls};

std::string TimeOfDay(const AlarmEntry& a) {
  char text[48];
  std::snprintf(text, sizeof text, " %02d:%02d:%02d", static_cast<int>(a.Hour), static_cast<int>(a.Minute),
                static_cast<int>(a.Second));
  return text;
}

}  // namespace

std::optional<std::string> CountdownPreview(const AlarmEntry& a) {
  const std::string month = std::to_string(a.Month);
  const std::string day = std::to_string(a.Day);
  const std::string open = " Now:Now:Now";
  switch (a.Type) {
    case 1:
      return "Now/" + month + "/Now" + open;
    case 2:
      return "Now/Now/" + day + open;
    case 3:
      return "Now/" + month + "/" + day + open;
    case 5:
    case 9:
      return "Now/Now/Now" + TimeOfDay(a);
    case 6:
      return "Now/" + month + "/Now" + TimeOfDay(a);
    case 7:
      return "Now/Now/" + day + TimeOfDay(a);
    case 8:
      return "Now/" + month + "/" + day + TimeOfDay(a);
    case -1:
    case 0:
    case 4:
      return std::string(kCountdownPreviewAllOpen);
    default:
      return std::nullopt;
  }
}

CountdownPicker::CountdownPicker(const AlarmList& alarms, int count) : alarms_(alarms), form_(kForm) {
  const std::size_t n = std::min(alarms.size(), static_cast<std::size_t>(std::max(count, 0)));
  std::vector<std::string> titles;
  for (std::size_t i = 0; i < n; ++i) titles.push_back(alarms[i].Title);
  form_.OnChange(kPickerAlarms, [this](Cause) {
    const int selected = form_.Value(kPickerAlarms);
    if (selected < 0 || static_cast<std::size_t>(selected) >= alarms_.size()) return;
    if (auto preview = CountdownPreview(alarms_[static_cast<std::size_t>(selected)])) {
      form_.SetText(kPickerPreview, *preview);
    }
  });
  form_.OnClick(kPickerOk, [this](Cause) {
    picked_ = form_.Value(kPickerAlarms);
    form_.Close();
  });
  form_.OnClick(kPickerCancel, [this](Cause) { form_.Close(); });
  form_.SetItems(kPickerAlarms, std::move(titles));
  form_.SetValue(kPickerAlarms, 0);
}

int PickAlarm(Prompts& prompts, const AlarmList& alarms, int count) {
  if (count <= 0 || alarms.empty()) return -1;
  CountdownPicker picker(alarms, count);
  prompts.RunModal(picker.Form());
  return picker.Picked();
}

}  // namespace kestrova
