#include "alarms/alarm_editor.h"

#include <iterator>
#include <utility>

#include "alarms/alarm_editor_form.h"
#include "alarms/alarm_list.h"
#include "core/text.h"
#include "core/time_picture.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "platform/prompts.h"
#include "resources/strings.h"
#include "settings/alarm_store.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace kestrova {

namespace {

constexpr int kMaxDuration = 30000;
constexpr int kWeekdayNames = 500;

constexpr int kDateBoxes[] = {kEditorMonthBox, kEditorDayBox, kEditorWeekBox};

std::vector<std::string> Numbers(int first, int last) {
  std::vector<std::string> items;
  for (int n = first; n <= last; ++n) items.push_back(std::to_string(n));
  return items;
}

}  // namespace

std::string AlarmCountText(int count) { return "登録メッセージ：" + std::to_string(count) + " 件"; }

AlarmEditor::AlarmEditor(Prompts& prompts, Locale& locale, Clock& clock, IniFile& ini, CodePage& codePage,
                         Settings& settings, AlarmIds& ids)
    : prompts_(prompts),
      clock_(clock),
      ini_(ini),
      codePage_(codePage),
      settings_(settings),
      ids_(ids),
      form_(AlarmEditorForm()) {
  const RegionalSettings regional = locale.Regional();
  timePicture_ = regional.timeFormat;
  am_ = regional.am;
  pm_ = regional.pm;

  form_.SetItems(kEditorMonth, Numbers(1, 12));
  form_.SetItems(kEditorDay, Numbers(1, 31));
  std::vector<std::string> weekdays;
  for (int d = 0; d < 7; ++d) weekdays.emplace_back(ResString(kWeekdayNames + d));
  form_.SetItems(kEditorWeek, std::move(weekdays));
  form_.SetItems(kEditorHour, Numbers(0, 23));
  form_.SetItems(kEditorMinute, Numbers(0, 59));
  form_.SetItems(kEditorSecond, Numbers(0, 59));
  form_.SetRange(kEditorHScroll1, 0, kMaxDuration, 1, 60);

  const int count = AlarmEntryCount(settings_);
  CopyAlarmList(settings_.Alarms, working_);
  working_.resize(static_cast<size_t>(count));
  workingIds_ = ids_.Ids(count);
  form_.SetItems(kEditorList1, Lines());

  form_.OnChange(kEditorList1, [this](Cause) { Select(form_.Value(kEditorList1)); });
  for (int box : {kEditorMonthBox, kEditorDayBox, kEditorWeekBox, kEditorTimeBox}) {
    form_.OnChange(box, [this, box](Cause) { ConditionChanged(box); });
  }
  form_.OnChange(kEditorHScroll1, [this](Cause) {
    const int t = DurationToTime(form_.Value(kEditorHScroll1));
    form_.SetText(kEditorLabel2, FormatTimePicture(timePicture_, t / 3600, t / 60 % 60, t % 60, am_, pm_));
  });
  form_.OnClick(kEditorAdd, [this](Cause) { Add(); });
  form_.OnClick(kEditorChange, [this](Cause) { Change(); });
  form_.OnClick(kEditorDelete, [this](Cause) { Delete(); });
  form_.OnClick(kEditorUp, [this](Cause) { Move(-1); });
  form_.OnClick(kEditorDown, [this](Cause) { Move(1); });
  form_.OnClick(kEditorOk, [this](Cause) { Ok(); });
  form_.OnClick(kEditorCancel, [this](Cause) { form_.Close(); });

  SplitDate(clock_.LocalNow());
  form_.SetText(kEditorLabel2, FormatTimePicture(timePicture_, 0, 0, 0, am_, pm_));
  UpdateEnabled();
}

std::vector<std::string> AlarmEditor::Lines() const {
  std::vector<std::string> lines;
  for (const AlarmEntry& e : working_) lines.push_back(e.Title);
  return lines;
}

void AlarmEditor::SplitDate(const DateTime& value) {
  form_.SetValue(kEditorMonth, value.month - 1);
  form_.SetValue(kEditorDay, value.day - 1);
  form_.SetValue(kEditorWeek, DayOfWeek(value));
  form_.SetValue(kEditorHour, value.hour);
  form_.SetValue(kEditorMinute, value.minute);
  form_.SetValue(kEditorSecond, value.second);
}

void AlarmEditor::Select(int line) {
  if (line >= 0 && line < static_cast<int>(working_.size())) {
    LoadEntry(line);
  } else {
    ClearFields();
  }
}

void AlarmEditor::LoadEntry(int n) {
  const AlarmEntry e = working_[static_cast<size_t>(n)];
  form_.SetText(kEditorText1, e.Title);
  form_.SetText(kEditorText4, e.Message);
  form_.SetValue(kEditorTimeBox, e.Type >= 5 ? 1 : 0);
  const int base = e.Type < 5 ? e.Type : e.Type - 5;
  if (base >= 0 && base <= 4) {
    form_.SetValue(kEditorMonthBox, base == 1 || base == 3 ? 1 : 0);
    form_.SetValue(kEditorDayBox, base == 2 || base == 3 ? 1 : 0);
    form_.SetValue(kEditorWeekBox, base == 4 ? 1 : 0);
  }
  // Values a hand-edited file puts outside the lists show as the nearest item.
  form_.SetValue(kEditorMonth, e.Month - 1);
  form_.SetValue(kEditorDay, e.Day - 1);
  form_.SetValue(kEditorWeek, e.Week);
  form_.SetValue(kEditorHour, e.Hour);
  form_.SetValue(kEditorMinute, e.Minute);
  form_.SetValue(kEditorSecond, e.Second);
  form_.SetValue(kEditorHScroll1, e.Time);
  form_.SetValue(kEditorCheck2, e.Box != 0 ? 1 : 0);
}

void AlarmEditor::ClearFields() {
  form_.SetText(kEditorText1, "");
  form_.SetText(kEditorText4, "");
  for (int box : {kEditorMonthBox, kEditorDayBox, kEditorWeekBox, kEditorTimeBox}) form_.SetValue(box, 0);
  SplitDate(clock_.LocalNow());
}

// A list with lines cannot be set to "no line" by value; emptying it first can.
void AlarmEditor::ClearSelection() {
  form_.SetItems(kEditorList1, {});
  form_.SetItems(kEditorList1, Lines());
}

void AlarmEditor::ConditionChanged(int box) {
  // The boxes this rule clears must not run it again: clearing "曜日" would
  // otherwise clear the "月" the user has just checked. Only a checked box
  // clears the others (a cleared one has nothing to part from), so that
  // loading an entry, which sets every box, keeps "月" and "日" together.
  if (!inConditionRule_ && form_.Value(box) == 1) {
    inConditionRule_ = true;
    if (box == kEditorMonthBox || box == kEditorDayBox) {
      form_.SetValue(kEditorWeekBox, 0);
    } else if (box == kEditorWeekBox) {
      form_.SetValue(kEditorMonthBox, 0);
      form_.SetValue(kEditorDayBox, 0);
    }
    inConditionRule_ = false;
  }
  UpdateEnabled();
}

void AlarmEditor::UpdateEnabled() {
  const int combos[] = {kEditorMonth, kEditorDay, kEditorWeek};
  for (size_t i = 0; i < std::size(kDateBoxes); ++i)
    form_.SetEnabled(combos[i], form_.Value(kDateBoxes[i]) == 1);
  const bool timed = form_.Value(kEditorTimeBox) == 1;
  for (int id : {kEditorHour, kEditorMinute, kEditorSecond, kEditorHScroll1}) form_.SetEnabled(id, timed);
}

void AlarmEditor::SetMessage(int n) {
  AlarmEntry& e = working_[static_cast<size_t>(n)];
  e.Title = LineBreaksAsBlanks(form_.Text(kEditorText1));
  e.Message = LineBreaksAsBlanks(form_.Text(kEditorText4));
  int type = 0;
  if (form_.Value(kEditorMonthBox) == 1) type += 1;
  if (form_.Value(kEditorDayBox) == 1) type += 2;
  if (form_.Value(kEditorWeekBox) == 1) type = 4;
  if (form_.Value(kEditorTimeBox) == 1) type += 5;
  e.Type = type;
  e.Month = form_.Value(kEditorMonth) + 1;
  e.Day = form_.Value(kEditorDay) + 1;
  e.Week = form_.Value(kEditorWeek);
  e.Hour = form_.Value(kEditorHour);
  e.Minute = form_.Value(kEditorMinute);
  e.Second = form_.Value(kEditorSecond);
  e.Time = form_.Value(kEditorHScroll1);
  e.Box = form_.Value(kEditorCheck2) == 1 ? 1 : 0;
  const AlarmIds::Id id = workingIds_[static_cast<size_t>(n)];
  if (id != AlarmIds::kNone) changed_.insert(id);
}

void AlarmEditor::SwapMessage(int a, int b) {
  std::swap(working_[static_cast<size_t>(a)], working_[static_cast<size_t>(b)]);
  std::swap(workingIds_[static_cast<size_t>(a)], workingIds_[static_cast<size_t>(b)]);
  form_.SetItems(kEditorList1, Lines());
}

void AlarmEditor::DeleteMessage(int n) {
  working_.erase(working_.begin() + n);
  workingIds_.erase(workingIds_.begin() + n);
  form_.SetItems(kEditorList1, Lines());
}

bool AlarmEditor::FieldsStorable() {
  if (form_.Text(kEditorText1).empty()) {
    prompts_.Ask(PromptKind::kExclamation, "Kestrova", kAlarmTitleMissing);
    return false;
  }
  // Longer texts would come back cut at the next start.
  for (int id : {kEditorText1, kEditorText4}) {
    if (codePage_.ToAnsi(LineBreaksAsBlanks(form_.Text(id))).size() > kMaxAlarmTextBytes) {
      prompts_.Ask(PromptKind::kExclamation, "Kestrova", kAlarmTextTooLong);
      return false;
    }
  }
  return true;
}

void AlarmEditor::Add() {
  if (!FieldsStorable()) return;
  // Entry 10000 would be stored over entry 0 ("Alarm" + the last four digits).
  if (working_.size() >= static_cast<size_t>(kMaxStoredAlarms)) {
    prompts_.Ask(PromptKind::kExclamation, "Kestrova", kAlarmListFull);
    return;
  }
  working_.emplace_back();
  workingIds_.push_back(AlarmIds::kNone);
  SetMessage(static_cast<int>(working_.size()) - 1);
  form_.SetItems(kEditorList1, Lines());
}

void AlarmEditor::Change() {
  const int k = form_.Value(kEditorList1);
  if (k < 0) return;
  if (!FieldsStorable()) return;
  SetMessage(k);
  ClearSelection();
  ClearFields();
}

void AlarmEditor::Delete() {
  const int k = form_.Value(kEditorList1);
  if (k < 0) return;
  DeleteMessage(k);
  // The selection would otherwise slide onto the next line while the fields
  // still hold the deleted entry, and 変更 would copy it over that line.
  ClearSelection();
}

void AlarmEditor::Move(int step) {
  const int k = form_.Value(kEditorList1);
  const int to = k + step;
  if (k >= 0 && to >= 0 && to < static_cast<int>(working_.size())) {
    SwapMessage(k, to);
    form_.SetValue(kEditorList1, to);
  }
  form_.Focus(kEditorList1);
}

void AlarmEditor::Ok() {
  // A popup closed while the editor was open wrote into the live list. Its
  // Shown holds for every alarm that was there before, edited or not (or an
  // edited one pops up again in the same due period); its check box's choice
  // stands only for the alarms the editor did not change.
  for (size_t k = 0; k < working_.size(); ++k) {
    const AlarmIds::Id id = workingIds_[k];
    const int live = ids_.IndexOf(id);
    if (id == AlarmIds::kNone || live < 0 || live >= AlarmEntryCount(settings_)) continue;
    const AlarmEntry& now = settings_.Alarms[static_cast<size_t>(live)];
    working_[k].Shown = now.Shown;
    if (changed_.count(id) == 0) working_[k].Box = now.Box;
  }
  const int count = static_cast<int>(working_.size());
  settings_.AlarmCount = count;
  CopyAlarmList(working_, settings_.Alarms);
  ids_.Rebuilt(workingIds_);
  const bool counted = WriteSetting(ini_, settings_, SettingKey::kAlarmCount);
  if (!SaveAlarms(ini_, settings_) || !counted) prompts_.Ask(PromptKind::kExclamation, "Kestrova", kSettingsNotSaved);
  saved_ = true;
  form_.Close();
}

bool EditAlarms(Prompts& prompts, Locale& locale, Clock& clock, IniFile& ini, CodePage& codePage,
                Settings& settings, AlarmIds& ids) {
  AlarmEditor editor(prompts, locale, clock, ini, codePage, settings, ids);
  prompts.RunModal(editor.Form());
  return editor.Saved();
}

}  // namespace kestrova
