#include "ui/hotkey_dialog.h"

#include <array>

#include "platform/prompts.h"

namespace kestrova {

namespace {

constexpr int kRowTop = 120;
constexpr int kRowHeight = 600;
constexpr int kButtonsTop = kRowTop + kHotkeyCount * kRowHeight + 60;

constexpr ControlSpec Label(int row, const char* caption) {
  return {.id = kHotkeyLabelBase + row,
          .kind = ControlKind::kLabel,
          .name = "Label1",
          .index = row,
          .rect = {120, kRowTop + row * kRowHeight + 45, 2280, 270},
          .caption = caption};
}
constexpr ControlSpec Field(int row) {
  return {.id = kHotkeyFieldBase + row,
          .kind = ControlKind::kHotKey,
          .name = "HotKey1",
          .index = row,
          .rect = {2460, kRowTop + row * kRowHeight, 2400, 330},
          .tooltip = "割り当てるキーを押してください。",
          .flags = kTabStop | kGroupStart};
}
constexpr ControlSpec Clear(int row) {
  return {.id = kHotkeyClearBase + row,
          .kind = ControlKind::kButton,
          .name = "Command1",
          .index = row,
          .rect = {4980, kRowTop + row * kRowHeight, 900, 330},
          .caption = "クリア",
          .tooltip = "このホットキーをなしにします。",
          .flags = kTabStop};
}
constexpr ControlSpec Status(int row) {
  return {.id = kHotkeyStatusBase + row,
          .kind = ControlKind::kLabel,
          .name = "Label2",
          .index = row,
          .rect = {2460, kRowTop + row * kRowHeight + 345, 3420, 225},
          .color = 0xC00000};
}

constexpr ControlSpec kControls[] = {
    Label(0, "一時停止(&P):"),
    Field(0),
    Clear(0),
    Status(0),
    Label(1, "現在時刻をコピー(&C):"),
    Field(1),
    Clear(1),
    Status(1),
    Label(2, "システム情報をコピー(&I):"),
    Field(2),
    Clear(2),
    Status(2),
    Label(3, "現在時刻を入力(&T):"),
    Field(3),
    Clear(3),
    Status(3),
    Label(4, "設定画面を開く(&S):"),
    Field(4),
    Clear(4),
    Status(4),
    {.id = kHotkeyOk,
     .kind = ControlKind::kButton,
     .name = "Command2",
     .index = 0,
     .rect = {3480, kButtonsTop, 1140, 375},
     .caption = "OK",
     .tooltip = "ホットキーを保存してこのダイアログを閉じます。",
     .flags = kTabStop | kDefaultButton},
    {.id = kHotkeyCancel,
     .kind = ControlKind::kButton,
     .name = "Command2",
     .index = 1,
     .rect = {4740, kButtonsTop, 1140, 375},
     .caption = "キャンセル",
     .tooltip = "ホットキーを変えずにこのダイアログを閉じます。",
     .flags = kTabStop | kCancelButton},
};
constexpr FormSpec kForm{
    .caption = kHotkeyCaption, .clientWidth = 6000, .clientHeight = kButtonsTop + 495, .controls = kControls};

}  // namespace

std::string HotkeyStatusText(const std::string& text, HotkeyStatus status) {
  switch (status) {
    case HotkeyStatus::kUnreadable:
      return "「" + text + "」は解釈できないため、なしとして扱っています";
    case HotkeyStatus::kInUse:
      return HotkeyInUseText(text);
    default:
      return "";
  }
}

HotkeyDialog::HotkeyDialog(const HotkeyTexts& texts, const HotkeyStatuses& statuses)
    : form_(kForm), texts_(texts) {
  for (int row = 0; row < kHotkeyCount; ++row) {
    const auto r = static_cast<size_t>(row);
    const std::optional<Hotkey> stored = ParseHotkey(texts[r]);
    form_.SetValue(kHotkeyFieldBase + row, stored ? ToHotkeyField(*stored) : 0);
    form_.SetText(kHotkeyStatusBase + row, HotkeyStatusText(texts[r], statuses[r]));
    // Set after the first value: a row nobody touches keeps its text as
    // stored, a Win key the field cannot show included.
    form_.OnChange(kHotkeyFieldBase + row, [this, row, r](Cause) {
      const Hotkey hotkey = FromHotkeyField(form_.Value(kHotkeyFieldBase + row));
      texts_[r] = HotkeyText(hotkey);
      form_.SetText(kHotkeyStatusBase + row, "");
    });
    form_.OnClick(kHotkeyClearBase + row, [this, row](Cause) {
      form_.SetValue(kHotkeyFieldBase + row, 0);
      form_.Focus(kHotkeyFieldBase + row);
    });
  }
  form_.OnClick(kHotkeyOk, [this](Cause) {
    result_ = texts_;
    form_.Close();
  });
  form_.OnClick(kHotkeyCancel, [this](Cause) { form_.Close(); });
}

std::optional<HotkeyTexts> EditHotkeys(Prompts& prompts, const HotkeyTexts& texts, const HotkeyStatuses& statuses) {
  HotkeyDialog dialog(texts, statuses);
  prompts.RunModal(dialog.Form());
  return dialog.Result();
}

}  // namespace kestrova
