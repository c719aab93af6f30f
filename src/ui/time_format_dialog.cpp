#include "ui/time_format_dialog.h"

#include <string_view>
#include <vector>

#include "platform/prompts.h"
#include "resources/strings.h"
#include "settings/settings.h"

namespace kestrova {

namespace {

constexpr int kElementBase = 101;
constexpr int kElementHelpBase = 201;
constexpr int kLettersHelp = 250;
constexpr int kPresetBase = 301;
constexpr int kPresetHelpBase = 401;

constexpr ControlSpec kControls[] = {
    {.id = kFormatSimple,
     .kind = ControlKind::kOptionButton,
     .name = "Option1",
     .index = 0,
     .rect = {120, 120, 1200, 270},
     .caption = "簡易",
     .tooltip = "簡単な時刻形式の例を入力できます。",
     .flags = kTabStop | kGroupStart},
    {.id = kFormatDetailed,
     .kind = ControlKind::kOptionButton,
     .name = "Option1",
     .index = 1,
     .rect = {1440, 120, 1200, 270},
     .caption = "詳細",
     .tooltip = "時刻形式の詳細が入力できます。"},
    {.id = kFormatList1,
     .kind = ControlKind::kListBox,
     .name = "List1",
     .rect = {120, 480, 2400, 2700},
     .flags = kTabStop | kGroupStart},
    {.id = kFormatText1,
     .kind = ControlKind::kTextBox,
     .name = "Text1",
     .rect = {2640, 480, 2640, 1500},
     .tooltip = "説明が表示されます。",
     .flags = kTabStop | kReadOnly | kMultiLine},
    {.id = kFormatAdd,
     .kind = ControlKind::kButton,
     .name = "Command1",
     .index = 0,
     .rect = {2640, 2100, 840, 375},
     .caption = "追加",
     .tooltip = "時刻形式を追加します。",
     .flags = kTabStop},
    {.id = kFormatReplace,
     .kind = ControlKind::kButton,
     .name = "Command1",
     .index = 1,
     .rect = {3540, 2100, 900, 375},
     .caption = "入れ替え",
     .tooltip = "時刻形式を入れ替えます。",
     .flags = kTabStop},
    {.id = kFormatDefault,
     .kind = ControlKind::kButton,
     .name = "Command1",
     .index = 2,
     .rect = {4500, 2100, 780, 375},
     .caption = "規定値",
     .tooltip = "時刻形式をデフォルトに戻します。",
     .flags = kTabStop},
    {.id = kFormatText2,
     .kind = ControlKind::kTextBox,
     .name = "Text2",
     .rect = {120, 3300, 5160, 300},
     .tooltip = "時刻形式を入力します。",
     .flags = kTabStop},
    {.id = kFormatOk,
     .kind = ControlKind::kButton,
     .name = "Command2",
     .index = 0,
     .rect = {2880, 3780, 1140, 375},
     .caption = "OK",
     .tooltip = "設定を反映してこのダイアログを閉じます。",
     .flags = kTabStop | kDefaultButton},
    {.id = kFormatCancel,
     .kind = ControlKind::kButton,
     .name = "Command2",
     .index = 1,
     .rect = {4140, 3780, 1140, 375},
     .caption = "キャンセル",
     .tooltip = "設定を反映せずにこのダイアログを閉じます。",
     .flags = kTabStop | kCancelButton},
};
constexpr FormSpec kForm{
    .caption = kTimeFormatCaption, .clientWidth = 5400, .clientHeight = 4290, .controls = kControls};

bool HasLetter(std::string_view text) {
  for (char c : text) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  }
  return false;
}

}  // namespace

std::string FormatExplanation(bool detailed, int row) {
  if (!detailed) return std::string(ResString(kPresetHelpBase + row));
  std::string help(ResString(kElementHelpBase + row));
  // Letters are codes in either case, in text around the codes too.
  if (HasLetter(ResString(kElementBase + row))) help.append("\r\n").append(ResString(kLettersHelp));
  return help;
}

TimeFormatDialog::TimeFormatDialog() : form_(kForm) {
  for (int option : {kFormatSimple, kFormatDetailed}) {
    // A click on the option already chosen keeps the list, its selection and the explanation.
    form_.OnChange(option, [this, option](Cause) {
      const bool detailed = option == kFormatDetailed;
      if (form_.Value(option) == 1 && (!filled_ || detailed != detailed_)) Fill(detailed);
    });
  }
  form_.OnChange(kFormatList1, [this](Cause) {
    const int row = form_.Value(kFormatList1);
    if (row >= 0) form_.SetText(kFormatText1, FormatExplanation(detailed_, row));
  });
  const auto add = [this](Cause) {
    if (const auto row = Row()) form_.SetText(kFormatText2, form_.Text(kFormatText2) + *row);
  };
  form_.OnClick(kFormatAdd, add);
  form_.OnDoubleClick(kFormatList1, add);
  form_.OnClick(kFormatReplace, [this](Cause) {
    if (const auto row = Row()) form_.SetText(kFormatText2, *row);
  });
  form_.OnClick(kFormatDefault, [this](Cause) { form_.SetText(kFormatText2, kDefaultFormatText); });
  form_.OnClick(kFormatOk, [this](Cause) {
    result_ = form_.Text(kFormatText2);
    form_.Close();
  });
  form_.OnClick(kFormatCancel, [this](Cause) { form_.Close(); });
  form_.SetValue(kFormatSimple, 1);
}

void TimeFormatDialog::Fill(bool detailed) {
  filled_ = true;
  detailed_ = detailed;
  const int base = detailed ? kElementBase : kPresetBase;
  const int count = detailed ? kFormatElementCount : kFormatPresetCount;
  std::vector<std::string> rows;
  for (int r = 0; r < count; ++r) rows.emplace_back(ResString(base + r));
  // A new list starts with no row selected and no explanation.
  form_.SetItems(kFormatList1, {});
  form_.SetItems(kFormatList1, std::move(rows));
  form_.SetText(kFormatText1, "");
}

std::optional<std::string> TimeFormatDialog::Row() const {
  const ControlState& list = form_.State(kFormatList1);
  if (list.value < 0 || list.value >= static_cast<int>(list.items.size())) return std::nullopt;
  return list.items[static_cast<size_t>(list.value)];
}

std::optional<std::string> EditTimeFormat(Prompts& prompts) {
  TimeFormatDialog dialog;
  prompts.RunModal(dialog.Form());
  return dialog.Result();
}

}  // namespace kestrova
