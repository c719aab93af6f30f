#pragma once
// The message alarm editor (Form4): adds, changes, deletes and reorders the
// alarms on a working copy; OK replaces the program's list and saves it.
#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "settings/alarm_entry.h"
#include "alarms/alarm_ids.h"
#include "core/datetime.h"
#include "form/form.h"

namespace kestrova {

class Clock;
class CodePage;
class IniFile;
class Locale;
class Prompts;
struct Settings;

inline constexpr const char* kAlarmEditorCaption = "Kestrova-メッセージアラーム設定";
inline constexpr const char* kAlarmTitleMissing = "表示名を入力してください";
inline constexpr const char* kAlarmListFull = "メッセージアラームは10000件までしか登録できません。";
inline constexpr const char* kAlarmTextTooLong =
    "設定名とメッセージは、それぞれ半角127文字(全角63文字)までしか保存できません。";
// What the settings file gives back of a value, in bytes of its code page.
inline constexpr std::size_t kMaxAlarmTextBytes = 127;

enum AlarmEditorControl : int {
  kEditorOk = 1,      // Command2(0)
  kEditorCancel = 2,  // Command2(1)
  kEditorList1 = 100,
  kEditorText1,
  kEditorUp,        // Command1(0)
  kEditorDown,      // Command1(1)
  kEditorAdd,       // Command3(0)
  kEditorChange,    // Command3(1)
  kEditorDelete,    // Command3(2)
  kEditorMonthBox,  // Check1(0) .. Check1(3)
  kEditorDayBox,
  kEditorWeekBox,
  kEditorTimeBox,
  kEditorMonth,  // Combo1(0) .. Combo1(5)
  kEditorDay,
  kEditorWeek,
  kEditorHour,
  kEditorMinute,
  kEditorSecond,
  kEditorText4,
  kEditorHScroll1,
  kEditorLabel2,
  kEditorCheck2,
};

// "登録メッセージ：3 件": the settings window's count label after the editor closes.
std::string AlarmCountText(int count);

class AlarmEditor {
 public:
  // Opens on a copy of settings.Alarms, nothing selected, the combos at `clock`'s now.
  AlarmEditor(Prompts& prompts, Locale& locale, Clock& clock, IniFile& ini, CodePage& codePage,
              Settings& settings, AlarmIds& ids);

  FormModel& Form() { return form_; }
  const AlarmList& Working() const { return working_; }
  // OK was pressed: the list and the file were replaced.
  bool Saved() const { return saved_; }

  void SplitDate(const DateTime& value);
  void SetMessage(int n);
  void SwapMessage(int a, int b);
  void DeleteMessage(int n);

 private:
  void Select(int line);
  void LoadEntry(int n);
  void ClearFields();
  void ClearSelection();
  void ConditionChanged(int box);
  void UpdateEnabled();
  void Add();
  void Change();
  void Delete();
  void Move(int step);
  void Ok();
  // A title is given and both texts fit the file; warns otherwise.
  bool FieldsStorable();
  std::vector<std::string> Lines() const;

  Prompts& prompts_;
  Clock& clock_;
  IniFile& ini_;
  CodePage& codePage_;
  Settings& settings_;
  AlarmIds& ids_;
  std::string timePicture_, am_, pm_;
  FormModel form_;
  AlarmList working_;
  std::vector<AlarmIds::Id> workingIds_;  // beside working_, kNone for a new entry
  std::set<AlarmIds::Id> changed_;        // entries 変更 wrote over
  bool inConditionRule_ = false;
  bool saved_ = false;
};

// Runs the editor modally; true when it was closed with OK.
bool EditAlarms(Prompts& prompts, Locale& locale, Clock& clock, IniFile& ini, CodePage& codePage,
                Settings& settings, AlarmIds& ids);

}  // namespace kestrova
