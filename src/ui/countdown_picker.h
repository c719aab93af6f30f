#pragma once
// The countdown target picker (Form6, "Kestrova-メッセージアラームより取得"):
// choose a message alarm whose date and time become the countdown's target,
// with a preview of which parts the alarm fixes.
#include <optional>
#include <string>

#include "settings/alarm_entry.h"
#include "form/form.h"

namespace kestrova {

class Prompts;

inline constexpr const char* kCountdownPickerCaption = "Kestrova-メッセージアラームより取得";
inline constexpr const char* kCountdownPreviewAllOpen = "Now/Now/Now Now:Now:Now";

enum CountdownPickerControl : int {
  kPickerOk = 1,        // Enter
  kPickerCancel = 2,    // Esc
  kPickerAlarms = 100,  // Combo1
  kPickerPreview,       // Label1
};

// The preview of an alarm ("Now" for what it leaves open); nothing for a
// type the picker does not know, which leaves the preview as it was.
std::optional<std::string> CountdownPreview(const AlarmEntry& alarm);

class CountdownPicker {
 public:
  // The first `count` entries of `alarms` (fewer if the list is shorter).
  CountdownPicker(const AlarmList& alarms, int count);

  FormModel& Form() { return form_; }
  // PickedAlarm: the chosen position after OK, -1 after any other close.
  int Picked() const { return picked_; }

 private:
  const AlarmList& alarms_;
  FormModel form_;
  int picked_ = -1;
};

// Shows the picker modally; answers PickedAlarm. With no alarm it opens
// nothing and answers -1.
int PickAlarm(Prompts& prompts, const AlarmList& alarms, int count);

}  // namespace kestrova
