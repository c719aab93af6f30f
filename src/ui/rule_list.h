#pragma once
// The rule list of the タイトル page (List2) over the settings window's
// WorkingRules: row texts, tooltips, and add / edit / delete through the
// rule editor. Row r shows rule r + 1; rows are never sorted.
#include <cstddef>
#include <string>
#include <vector>

#include "settings/window_rule.h"

namespace kestrova {

class CodePage;
class Prompts;
class WindowPicker;

// The settings file keeps rules 1 ... 999.
inline constexpr std::size_t kMaxWindowRules = 999;
inline constexpr const char* kRuleListFull = "除外/許可ウインドウは999個までしか登録できません。";
inline constexpr const char* kRuleListTip =
    "除外/許可ウインドウの設定一覧です。ダブルクリックで編集できます。";

std::string RuleRowText(const WindowRule& rule);  // 除:メモ帳
std::string RuleTooltip(const WindowRule& rule);  // 除外:タイトル:無題を含む/クラス名:Notepad
std::vector<std::string> RuleRows(const WindowRuleList& rules);
// The list's tooltip with the pointer over `row` (-1: over no row).
std::string RuleListTooltip(const WindowRuleList& rules, int row);

// The settings window's working rules. Putting the stored rules back (a
// Cancel, also one during a modal editor) bumps `generation`: an editor that
// was open meanwhile then drops its result, since its row may now be another rule.
struct WorkingRules {
  WindowRuleList list;
  unsigned generation = 0;
  void Reload(const WindowRuleList& stored) {
    list = stored;
    ++generation;
  }
};

// Each answers whether `working` changed; the list then shows RuleRows again.
// `edited` is EditedRule: it lives as long as the program, and its allow/
// exclude choice is what the next add opens with.
// "追加": a rule entered in the editor is appended. A full list is refused with a message.
bool AddRule(Prompts& prompts, WindowPicker& picker, CodePage& codePage, WorkingRules& working,
             WindowRule& edited);
// "編集" or a double click on `row` (-1: none selected, nothing happens).
// Nothing lands when the list was put back while the editor was open.
bool EditRuleAt(Prompts& prompts, WindowPicker& picker, CodePage& codePage, WorkingRules& working,
                WindowRule& edited, int row);
// "削除" of `row`, without confirmation (-1: nothing happens).
bool DeleteRuleAt(WindowRuleList& working, int row);

}  // namespace kestrova
