// The one table between the pages and Settings: NowSetting, OK / Apply and the preview walk it.
#include "format/format.h"
#include "engine/title.h"
#include "form/binding.h"
#include "ui/rule_list.h"
#include "ui/settings_window.h"

namespace kestrova {

namespace {

using Row = Binding<Settings>;

// Timing: a preset option, or "指定" with HScroll1 counting 2 ms steps.
Row TimingRow() {
  constexpr int kCustom = 4;
  return {kOption2,
          [](const Settings& s, FormModel& f) {
            const int timing = s.Timing;
            if (timing < 0) {
              f.SetGroupValue(kOption2, kCustom);
              f.SetValue(kHScroll1, -timing);
              return;
            }
            if (timing >= kCustom) {
              // What the tick runs at for a value no option names, shown as "指定".
              f.SetGroupValue(kOption2, kCustom);
              f.SetValue(kHScroll1, TimingToInterval(timing) / 2);
              return;
            }
            f.SetGroupValue(kOption2, timing);  // its handler puts the bar at the preset
          },
          [](const FormModel& f, Settings& s) {
            const int option = f.GroupValue(kOption2);
            if (option == kCustom) {
              s.Timing = -f.Value(kHScroll1);
            } else if (option >= 0) {
              s.Timing = option;
            }
          }};
}

Row TitleLengthRow() {
  Row row = BindScroll(
      kVScroll1, &Settings::TitleLenght, [](int v) { return 254 - v; }, [](int pos) { return 254 - pos; });
  return {kVScroll1,
          [load = row.load](const Settings& s, FormModel& f) {
            load(s, f);
            f.SetText(kText3, std::to_string(254 - f.Value(kVScroll1)));
          },
          row.store};
}

}  // namespace

std::vector<Binding<Settings>> SettingsBindings(WorkingRules& workingRules) {
  return {
      BindText(kText1 + 0, &Settings::FormatText),
      BindText(kText1 + 1, &Settings::WorldTimeFormatText),
      BindText(kText2, &Settings::SysInfStr),
      BindIndex(kCombo1 + 0, &Settings::LeftText),
      BindIndex(kCombo1 + 1, &Settings::MiddleText),
      BindIndex(kCombo1 + 2, &Settings::RightText),
      BindIndex(kCombo2, &Settings::WorldTimeZone),
      BindIndex(kCombo3 + 0, &Settings::CountDownYear),
      BindIndex(kCombo3 + 1, &Settings::CountDownMonth),
      BindIndex(kCombo3 + 2, &Settings::CountDownDay),
      BindIndex(kCombo3 + 3, &Settings::CountDownHour),
      BindIndex(kCombo3 + 4, &Settings::CountDownMinute),
      BindIndex(kCombo3 + 5, &Settings::CountDownSecond),
      {kLabel6,
       [](const Settings& s, FormModel& f) {
         f.SetText(kLabel6, "登録メッセージ：" + std::to_string(s.AlarmCount) + " 件");
       },
       [](const FormModel&, Settings&) {}},
      // Timing before the title length: its handlers restart the timer and refresh the counts.
      TimingRow(),
      TitleLengthRow(),
      BindScroll(
          kHScroll2, &Settings::ChangeTiming, [](int v) { return v; }, [](int pos) { return pos; }),
      BindGroup(kOption1, &Settings::MessagePosition),
      BindCheck(kCheck1 + 0, &Settings::WindowHide),
      BindCheck(kCheck1 + 1, &Settings::TaskIcon),
      BindCheck(kCheck1 + 2, &Settings::MDIChild),
      BindCheck(kCheck1 + 3, &Settings::Overlay),
      // A value the list does not know follows Windows, as the palette choice reads it.
      BindValue(
          kCombo4, &Settings::Theme, [](int v) { return v >= 0 && v <= 2 ? v : 0; }, [](int i) { return i; }),
      BindCheck(kCheck2, &Settings::WorldTimeDST),
      {kList2,
       [&workingRules](const Settings& s, FormModel& f) {
         workingRules.Reload(s.WindowRules);
         f.SetItems(kList2, RuleRows(workingRules.list));
       },
       [&workingRules](const FormModel&, Settings& s) { s.WindowRules = workingRules.list; }},
      BindCheck(kChkAnMW, &Settings::AntiType),
  };
}

void SettingsWindow::NowSetting() {
  kestrova::Load(std::span<const Binding<Settings>>(bindings_), c_.settings, form_);
  Tick();
}

Settings SettingsWindow::Edited() const {
  Settings edited = c_.settings;
  kestrova::Store(std::span<const Binding<Settings>>(bindings_), form_, edited);
  return edited;
}

void SettingsWindow::Preview() {
  const Settings shown = Edited();
  const RegionalSettings regional = c_.locale.Regional();
  bool cpuSampled = false;
  std::string text;
  // A window's title is stood in for by the word, and the clock carries no message.
  for (int selector : {shown.LeftText, shown.MiddleText, shown.RightText}) {
    text += selector == kPieceTitle ? std::string("タイトル")
                                    : PieceText(selector, shown, c_.clock, regional, c_.sysinfo, cpuSampled);
  }
  form_.SetText(kLabel2, text);
}

}  // namespace kestrova
