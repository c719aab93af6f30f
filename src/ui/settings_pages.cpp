// The handlers inside the pages: descriptions, spinner, interval and count texts, presets, code list.
#include <algorithm>

#include "alarms/alarm_editor.h"
#include "form/palette.h"
#include "format/format.h"
#include "resources/strings.h"
#include "ui/rule_list.h"
#include "ui/settings_window.h"

namespace kestrova {

namespace {

constexpr int kPieceChoices = 6;
constexpr int kSysInfoCodes = 22;
constexpr int kAlternate = 2;  // Option1(2) "時計と交互に"
constexpr int kCustomTiming = 4;
constexpr int kTimingPage = 6;
constexpr int kPresetSteps[] = {250, 500, 1500, 30000};
// Command4(0..2)
constexpr int kRuleAdd = 0;
constexpr int kRuleEdit = 1;

std::vector<std::string> Strings(int first, int count) {
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i) items.emplace_back(ResString(first + i));
  return items;
}

std::vector<std::string> Numbers(int from, int to) {
  std::vector<std::string> items = {"現在"};
  for (int n = from; n <= to; ++n) items.push_back(std::to_string(n));
  return items;
}

}  // namespace

void SettingsWindow::FillLists() {
  for (int i = 0; i < 3; ++i) form_.SetItems(kCombo1 + i, Strings(600, kPieceChoices));
  const RegionalSettings regional = c_.locale.Regional();
  std::vector<std::string> zones;
  for (int z = 0; z < kWorldZoneCount; ++z) zones.push_back(ZoneListText(z, regional));
  form_.SetItems(kCombo2, std::move(zones));
  const std::pair<int, int> ranges[] = {{2000, 2999}, {1, 12}, {1, 31}, {0, 23}, {0, 59}, {0, 59}};
  for (int i = 0; i < 6; ++i) form_.SetItems(kCombo3 + i, Numbers(ranges[i].first, ranges[i].second));
  std::vector<std::string> codes;
  for (int i = 0; i < kSysInfoCodes; ++i) {
    codes.push_back(std::string(ResString(700 + i)) + ":" + std::string(ResString(750 + i)));
  }
  form_.SetItems(kList1, std::move(codes));
  form_.SetItems(kCombo4, {"Windowsに合わせる", "ライト", "ダーク"});
}

void SettingsWindow::WireHandlers() {
  // The colours follow the list at once (the preview); Cancel loads the saved choice back.
  form_.OnChange(kCombo4, [this](Cause) { ThemeState::Get().SetSetting(std::max(0, form_.Value(kCombo4))); });
  for (int i = 0; i < 3; ++i) {
    form_.OnChange(kCombo1 + i, [this, i](Cause) {
      const int choice = form_.Value(kCombo1 + i);
      form_.SetText(kLabel5 + i, choice < 0 ? std::string() : std::string(ResString(610 + choice)));
    });
  }
  form_.OnChange(kVScroll1,
                 [this](Cause) { form_.SetText(kText3, std::to_string(254 - form_.Value(kVScroll1))); });
  form_.OnChange(kHScroll1, [this](Cause cause) { OnInterval(cause); });
  form_.OnChange(kHScroll2, [this](Cause) { RefreshAlternation(); });
  for (int i = 0; i < 4; ++i) {
    form_.OnChange(kOption1 + i, [this](Cause) { RefreshMessagePosition(); });
  }
  for (int i = 0; i <= kCustomTiming; ++i) {
    form_.OnChange(kOption2 + i, [this, i](Cause) {
      if (form_.Value(kOption2 + i) != 1) return;
      if (i < kCustomTiming) {
        form_.SetValue(kHScroll1, kPresetSteps[i]);
      } else if (loaded_ && form_.Value(kTabStrip) == kTimingPage) {
        // A hidden page's bar cannot take the focus (Cancel from another page).
        form_.Focus(kHScroll1);
      }
    });
  }
  form_.OnDoubleClick(kList1, [this](Cause) {
    const int row = form_.Value(kList1);
    if (row >= 0) form_.ReplaceSelection(kText2, std::string(ResString(700 + row)));
  });

  form_.OnClick(kCommand2Ok, [this](Cause) { Command2Click(Command2::kOk); });
  form_.OnClick(kCommand2Cancel, [this](Cause) { Command2Click(Command2::kCancel); });
  form_.OnClick(kCommand2Apply, [this](Cause) { Command2Click(Command2::kApply); });
  form_.OnQueryClose([this] { return !QueryUnload(UnloadMode::kUser); });
  // However the window goes, the program ends in order.
  form_.OnUnload([this] { QueryUnload(UnloadMode::kCode); });

  const SettingsHooks& h = c_.hooks;
  for (int i = 0; i < 2; ++i) {
    form_.OnClick(kCommand1 + i, [this, i](Cause) { FormatDialog(i); });
    form_.SetEnabled(kCommand1 + i, static_cast<bool>(h.formatDialog));
  }
  form_.OnClick(kCommand3, [this](Cause) { RunCommand(kCmdSetupAlarm); });
  form_.SetEnabled(kCommand3, static_cast<bool>(h.alarmEditor));
  for (int i = 0; i < 3; ++i) form_.OnClick(kCommand4 + i, [this, i](Cause) { RuleCommand(i); });
  form_.OnDoubleClick(kList2, [this](Cause) { RuleCommand(kRuleEdit); });
  form_.SetEnabled(kCommand4 + kRuleAdd, static_cast<bool>(h.addRule));
  form_.SetEnabled(kCommand4 + kRuleEdit, static_cast<bool>(h.editRule));
  form_.OnClick(kCommand5, [this](Cause) { CountdownFromAlarm(); });
  form_.SetEnabled(kCommand5, static_cast<bool>(h.pickAlarm));
}

void SettingsWindow::FormatDialog(int target) {
  if (!c_.hooks.formatDialog) return;
  if (std::optional<std::string> pattern = c_.hooks.formatDialog()) form_.SetText(kText1 + target, *pattern);
}

void SettingsWindow::RuleCommand(int button) {
  const SettingsHooks& h = c_.hooks;
  const int row = form_.Value(kList2);
  bool changed = false;
  switch (button) {
    case kRuleAdd:
      changed = h.addRule && h.addRule(workingRules_, editedRule_);
      break;
    case kRuleEdit:
      changed = h.editRule && h.editRule(workingRules_, editedRule_, row);
      break;
    default:
      changed = DeleteRuleAt(workingRules_.list, row);
      break;
  }
  if (!changed) return;
  // A deleted row takes the selection with it; an added or edited one keeps it where it was.
  if (button != kRuleAdd && button != kRuleEdit) form_.SetItems(kList2, {});
  form_.SetItems(kList2, RuleRows(workingRules_.list));
}

std::string SettingsWindow::RuleTooltipAt(int row) const { return RuleListTooltip(workingRules_.list, row); }

void SettingsWindow::OnInterval(Cause cause) {
  if (cause == Cause::kThumbDrag) form_.SetGroupValue(kOption2, kCustomTiming, Cause::kUser);
  const int position = form_.Value(kHScroll1);
  form_.SetText(kLabel3, IntervalText(position));
  timerInterval_ = position * 2;
  if (view_ != nullptr) view_->SetTimerInterval(timerInterval_);
  RefreshAlternation();
}

void SettingsWindow::RefreshAlternation() {
  form_.SetText(kLabel4, AlternationText(form_.Value(kHScroll2), form_.Value(kHScroll1)));
}

void SettingsWindow::RefreshMessagePosition() {
  const bool alternate = form_.GroupValue(kOption1) == kAlternate;
  form_.SetEnabled(kHScroll2, alternate);
  form_.SetVisible(kLabel4, alternate);
}

void SettingsWindow::RefreshAlarmCount() { form_.SetText(kLabel6, AlarmCountText(c_.settings.AlarmCount)); }

void SettingsWindow::SwitchPage(int step) {
  const int page =
      (form_.Value(kTabStrip) + kSettingsPageCount + step % kSettingsPageCount) % kSettingsPageCount;
  form_.UserValue(kTabStrip, page);
}

void SettingsWindow::CountdownFromAlarm() {
  if (c_.settings.AlarmCount == 0 || !c_.hooks.pickAlarm) return;
  const int picked = c_.hooks.pickAlarm();
  if (picked < 0 || picked >= static_cast<int>(c_.settings.Alarms.size())) return;
  const AlarmEntry& e = c_.settings.Alarms[static_cast<size_t>(picked)];
  const int month = e.Month, day = e.Day;
  const int hour = e.Hour + 1, minute = e.Minute + 1, second = e.Second + 1;
  int lists[6] = {};  // 0: "現在"
  switch (e.Type) {
    case 1:
      lists[1] = month;
      break;
    case 2:
      lists[2] = day;
      break;
    case 3:
      lists[1] = month;
      lists[2] = day;
      break;
    case 5:
    case 9:
      lists[3] = hour;
      lists[4] = minute;
      lists[5] = second;
      break;
    case 6:
      lists[1] = month;
      lists[3] = hour;
      lists[4] = minute;
      lists[5] = second;
      break;
    case 7:
      lists[2] = day;
      lists[3] = hour;
      lists[4] = minute;
      lists[5] = second;
      break;
    case 8:
      lists[1] = month;
      lists[2] = day;
      lists[3] = hour;
      lists[4] = minute;
      lists[5] = second;
      break;
    case -1:
    case 0:
    case 4:
      break;
    default:
      return;
  }
  for (int i = 0; i < 6; ++i) form_.SetValue(kCombo3 + i, lists[i]);
}

}  // namespace kestrova
