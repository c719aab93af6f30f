#include "ui/rule_editor.h"

#include "engine/rule_text.h"
#include "platform/profile_store.h"
#include "platform/prompts.h"
#include "ui/window_picker.h"

namespace kestrova {

namespace {

constexpr ControlSpec kControls[] = {
    {.id = kRuleNameLabel, .name = "Label1", .index = 0, .rect = {120, 120, 2000, 240}, .caption = "設定名"},
    {.id = kRuleName,
     .kind = ControlKind::kTextBox,
     .name = "Text1",
     .index = 0,
     .rect = {120, 360, 4815, 300},
     .tooltip = "この設定を識別する名前を指定します。",
     .flags = kTabStop},
    {.id = kRuleChoiceLabel,
     .name = "Label1",
     .index = 4,
     .rect = {120, 780, 2220, 240},
     .caption = "以下の設定ウインドウを"},
    {.id = kRuleExclude,
     .kind = ControlKind::kOptionButton,
     .name = "optAnMW",
     .index = 0,
     .rect = {2400, 720, 1200, 300},
     .caption = "除外する",
     .tooltip = "ここで設定されたウインドウを除外します。",
     .flags = kTabStop | kGroupStart},
    {.id = kRuleAllow,
     .kind = ControlKind::kOptionButton,
     .name = "optAnMW",
     .index = 1,
     .rect = {3660, 720, 1200, 300},
     .caption = "許可する",
     .tooltip = "ここで設定されたウインドウを許可します。"},
    {.id = kRuleFrame,
     .kind = ControlKind::kFrame,
     .name = "Frame1",
     .index = 0,
     .rect = {120, 1140, 4815, 855},
     .caption = "直接指定"},
    {.id = kRuleTarget,
     .kind = ControlKind::kPicture,
     .name = "Picture1",
     .rect = {240, 1380, 540, 540},
     .image = kTargetCursorResource},
    {.id = kRuleTargetLabel,
     .name = "Label1",
     .index = 3,
     .rect = {960, 1380, 3855, 480},
     .caption = "このアイコンを目的のウインドウまでドラッグドロップして下さい。"},
    {.id = kRuleTitleLabel,
     .name = "Label1",
     .index = 1,
     .rect = {120, 2100, 2000, 240},
     .caption = "タイトル"},
    {.id = kRuleTitle,
     .kind = ControlKind::kTextBox,
     .name = "Text1",
     .index = 1,
     .rect = {120, 2340, 4815, 300},
     .tooltip = "除外/許可するウインドウのタイトルを指定します。",
     .flags = kTabStop},
    {.id = kRuleInTitle,
     .kind = ControlKind::kCheckBox,
     .name = "Check1",
     .rect = {3960, 2700, 975, 240},
     .caption = "を含む",
     .tooltip = "チェックを入れると、タイトル内に上記の文字が含まれていれば、対象になります。",
     .flags = kTabStop},
    {.id = kRuleClassLabel,
     .name = "Label1",
     .index = 2,
     .rect = {120, 2940, 2000, 240},
     .caption = "クラス名"},
    {.id = kRuleClass,
     .kind = ControlKind::kTextBox,
     .name = "Text1",
     .index = 2,
     .rect = {120, 3180, 4815, 300},
     .tooltip = "除外/許可するウインドウのクラス名を指定します。",
     .flags = kTabStop},
    {.id = kRuleOk,
     .kind = ControlKind::kButton,
     .name = "Command1",
     .index = 0,
     .rect = {2760, 3540, 1095, 420},
     .caption = "OK",
     .tooltip = "この設定で追加／変更します。",
     .flags = kTabStop | kDefaultButton},
    {.id = kRuleCancel,
     .kind = ControlKind::kButton,
     .name = "Command1",
     .index = 1,
     .rect = {3840, 3540, 1095, 420},
     .caption = "キャンセル",
     .tooltip = "設定を更新せずにこの画面を閉じます。",
     .flags = kTabStop | kCancelButton},
};
constexpr FormSpec kForm{
    .caption = kRuleEditorCaption, .clientWidth = 5040, .clientHeight = 4065, .controls = kControls};

// A rule is one line of the settings file: line breaks become blanks before trimming.
std::string Cleaned(const std::string& text) {
  const std::string oneLine = LineBreaksAsBlanks(text);
  const size_t first = oneLine.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return oneLine.substr(first, oneLine.find_last_not_of(' ') - first + 1);
}

}  // namespace

RuleEditor::RuleEditor(Prompts& prompts, WindowPicker& picker, CodePage& codePage, const WindowRule& rule)
    : prompts_(prompts), picker_(picker), codePage_(codePage), form_(kForm), result_(rule) {
  form_.SetText(kRuleName, rule.Name);
  form_.SetText(kRuleTitle, rule.WindowTitle);
  form_.SetValue(kRuleInTitle, rule.InTitle != 0 ? 1 : 0);
  form_.SetText(kRuleClass, rule.WindowClass);
  form_.SetGroupValue(kRuleExclude, rule.AntiType ? 1 : 0);
  form_.OnClick(kRuleOk, [this](Cause) { Ok(); });
  form_.OnClick(kRuleCancel, [this](Cause) { form_.Close(); });
  form_.OnMouse(kRuleTarget, [this](MouseAction action, int buttons) {
    // The release makes one last pick where the button came up.
    if (action == MouseAction::kMove) Pick(buttons);
    if (action == MouseAction::kUp) Pick(kLeftButton);
  });
}

void RuleEditor::Ok() {
  const std::string name = Cleaned(form_.Text(kRuleName));
  const std::string title = Cleaned(form_.Text(kRuleTitle));
  const std::string windowClass = Cleaned(form_.Text(kRuleClass));
  if (name.empty()) {
    prompts_.Ask(PromptKind::kExclamation, "Kestrova", kRuleNeedsName);
    return;
  }
  if (title.empty() && windowClass.empty()) {
    prompts_.Ask(PromptKind::kExclamation, "Kestrova", kRuleNeedsTitleOrClass);
    return;
  }
  // The settings file gives back at most this much of each: a longer exact
  // title would stop matching after the next start.
  for (const std::string* text : {&name, &title, &windowClass}) {
    if (codePage_.ToAnsi(*text).size() > kMaxRuleTextBytes) {
      prompts_.Ask(PromptKind::kExclamation, "Kestrova", kRuleTextTooLong);
      return;
    }
  }
  result_.Name = name;
  result_.WindowTitle = title;
  result_.WindowClass = windowClass;
  result_.InTitle = form_.Value(kRuleInTitle) != 0 ? 1 : 0;
  result_.AntiType = form_.GroupValue(kRuleExclude) == 1;
  accepted_ = true;
  form_.Close();
}

void RuleEditor::Pick(int buttons) {
  if (buttons != kLeftButton) return;
  const std::optional<PickedWindow> picked = picker_.PickUnderCursor();
  if (!picked) return;
  form_.SetText(kRuleTitle, picked->title);
  form_.SetText(kRuleClass, picked->className);
}

bool EditRule(Prompts& prompts, WindowPicker& picker, CodePage& codePage, WindowRule& rule) {
  RuleEditor editor(prompts, picker, codePage, rule);
  prompts.RunModal(editor.Form());
  if (!editor.Accepted()) return false;
  rule = editor.Result();
  return true;
}

}  // namespace kestrova
