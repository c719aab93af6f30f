#pragma once
// The alarm popup (Form5): the message of a due alarm, and a check box that
// decides whether the popup comes again at the next start.
#include <string>

#include "form/form.h"

namespace kestrova {

struct Settings;
class IniFile;

inline constexpr const char* kAlarmPopupCaption = "Kestrova-メッセージアラーム";
inline constexpr const char* kAlarmPopupCheckText = "起動時に条件内ならば再び表示する";
inline constexpr const char* kAlarmPopupOkText = "OK";

enum AlarmPopupControl : int {
  kPopupCommand1 = 1,  // the dialog's OK id: Enter presses it
  kPopupText1 = 100,
  kPopupCheck1 = 101,
};

class AlarmPopup {
 public:
  AlarmPopup(Settings& settings, IniFile& ini);

  // What the alarm check puts in before showing: the message and the entry
  // number as the window's tag.
  void Fill(int entry, const std::string& message);

  FormModel& Form() { return form_; }
  const std::string& Text1() const { return form_.Text(kPopupText1); }
  const std::string& Tag() const { return tag_; }
  bool Check1() const { return form_.Value(kPopupCheck1) == 1; }
  void SetCheck1(bool checked) { form_.SetValue(kPopupCheck1, checked ? 1 : 0); }

  // Closes the window. Whatever closes it, the closing step runs once: the
  // check box becomes the entry's Box, in memory and in the file. An entry
  // that no longer exists is left alone.
  void Close() { form_.Close(); }
  bool Closed() const { return form_.IsUnloaded(); }

 private:
  void ClosingStep();

  Settings& settings_;
  IniFile& ini_;
  FormModel form_;
  std::string tag_;
};

}  // namespace kestrova
