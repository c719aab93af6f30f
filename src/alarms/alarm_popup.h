#pragma once
// The alarm popup (Form5): the message of a due alarm, and a check box that
// decides whether the popup comes again at the next start.
#include <string>

namespace kestrova {

struct Settings;
class IniFile;

inline constexpr const char* kAlarmPopupCaption = "Kestrova-メッセージアラーム";
inline constexpr const char* kAlarmPopupCheckText = "起動時に条件内ならば再び表示する";
inline constexpr const char* kAlarmPopupOkText = "OK";

class AlarmPopup {
 public:
  AlarmPopup(Settings& settings, IniFile& ini);

  // What the alarm check puts in before showing: the message and the entry
  // number as the window's tag.
  void Fill(int entry, const std::string& message);

  const std::string& Text1() const { return text1_; }
  const std::string& Tag() const { return tag_; }
  bool Check1() const { return check1_; }
  void SetCheck1(bool checked) { check1_ = checked; }

  // The closing step, whatever closes the window: the check box becomes the
  // entry's Box, in memory and in the file. An entry that no longer exists is
  // left alone. Runs once; later calls do nothing.
  void Close();
  bool Closed() const { return closed_; }

 private:
  Settings& settings_;
  IniFile& ini_;
  std::string text1_;
  std::string tag_;
  bool check1_ = false;  // unchecked each time the window is made
  bool closed_ = false;
};

}  // namespace kestrova
