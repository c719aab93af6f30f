#pragma once
// The window rule editor (Form7, "Kestrova-除外/許可ウインドウの編集"): one
// rule's name, allow/exclude choice, title and class, typed or taken by
// dragging the target icon onto another program's window.
#include <cstddef>

#include "form/form.h"
#include "resources/resource_ids.h"
#include "settings/window_rule.h"

namespace kestrova {

class CodePage;
class Prompts;
class WindowPicker;

inline constexpr const char* kRuleEditorCaption = "Kestrova-除外/許可ウインドウの編集";
inline constexpr const char* kRuleNeedsName = "設定名を入力してください。";
inline constexpr const char* kRuleNeedsTitleOrClass = "タイトルかクラス名のどちらかを入力してください。";
inline constexpr const char* kRuleTextTooLong =
    "設定名・タイトル・クラス名は、それぞれ半角127文字(全角63文字)までしか保存できません。";
// What the settings file gives back of a value, in bytes of its code page.
inline constexpr std::size_t kMaxRuleTextBytes = 127;

enum RuleEditorControl : int {
  kRuleOk = 1,  // the dialog's OK and Cancel ids: Enter and Esc
  kRuleCancel = 2,
  kRuleName = 100,  // Text1(0)
  kRuleExclude,     // optAnMW(0)
  kRuleAllow,       // optAnMW(1)
  kRuleTarget,      // Picture1
  kRuleTitle,       // Text1(1)
  kRuleInTitle,     // Check1
  kRuleClass,       // Text1(2)
  kRuleNameLabel,
  kRuleChoiceLabel,
  kRuleFrame,
  kRuleTargetLabel,
  kRuleTitleLabel,
  kRuleClassLabel,
};

inline constexpr int kTargetCursorResource = IDC_KESTROVA_TARGET;

class RuleEditor {
 public:
  // Opens with the fields of `rule`.
  RuleEditor(Prompts& prompts, WindowPicker& picker, CodePage& codePage, const WindowRule& rule);

  FormModel& Form() { return form_; }
  // After a valid OK: the rule as entered (blanks trimmed, line breaks made blanks).
  bool Accepted() const { return accepted_; }
  const WindowRule& Result() const { return result_; }

 private:
  void Ok();
  void Pick(int buttons);

  Prompts& prompts_;
  WindowPicker& picker_;
  CodePage& codePage_;
  FormModel form_;
  WindowRule result_;
  bool accepted_ = false;
};

// Shows the editor modally over `rule`; on a valid OK writes the entry into
// `rule` and answers true, on any other close leaves it as it was.
bool EditRule(Prompts& prompts, WindowPicker& picker, CodePage& codePage, WindowRule& rule);

}  // namespace kestrova
