#include "ui/rule_list.h"

#include "platform/prompts.h"
#include "ui/rule_editor.h"

namespace kestrova {

namespace {

bool IsRow(const WindowRuleList& rules, int row) {
  return row >= 0 && static_cast<std::size_t>(row) < rules.size();
}

}  // namespace

std::string RuleRowText(const WindowRule& rule) { return (rule.AntiType ? "許:" : "除:") + rule.Name; }

std::string RuleTooltip(const WindowRule& rule) {
  std::string tip = rule.AntiType ? "許可:" : "除外:";
  if (rule.WindowTitle.empty()) {
    tip += "タイトルなし/";
  } else {
    tip += "タイトル:" + rule.WindowTitle + (rule.InTitle == 1 ? "を含む/" : "/");
  }
  tip += rule.WindowClass.empty() ? "クラス名なし" : "クラス名:" + rule.WindowClass;
  return tip;
}

std::vector<std::string> RuleRows(const WindowRuleList& rules) {
  std::vector<std::string> rows;
  rows.reserve(rules.size());
  for (const WindowRule& rule : rules) rows.push_back(RuleRowText(rule));
  return rows;
}

std::string RuleListTooltip(const WindowRuleList& rules, int row) {
  return IsRow(rules, row) ? RuleTooltip(rules[static_cast<std::size_t>(row)]) : kRuleListTip;
}

bool AddRule(Prompts& prompts, WindowPicker& picker, CodePage& codePage, WorkingRules& working,
             WindowRule& edited) {
  // A 1000th rule would be dropped silently by the next save.
  if (working.list.size() >= kMaxWindowRules) {
    prompts.Ask(PromptKind::kExclamation, "Kestrova", kRuleListFull);
    return false;
  }
  edited.Name.clear();
  edited.WindowTitle.clear();
  edited.WindowClass.clear();
  edited.InTitle = 0;
  const unsigned generation = working.generation;
  if (!EditRule(prompts, picker, codePage, edited)) return false;
  if (working.generation != generation || working.list.size() >= kMaxWindowRules) return false;
  working.list.push_back(edited);
  return true;
}

bool EditRuleAt(Prompts& prompts, WindowPicker& picker, CodePage& codePage, WorkingRules& working,
                WindowRule& edited, int row) {
  if (!IsRow(working.list, row)) return false;
  edited = working.list[static_cast<std::size_t>(row)];
  const unsigned generation = working.generation;
  if (!EditRule(prompts, picker, codePage, edited)) return false;
  // A Cancel of the settings window during the editor put the stored rules
  // back: row `row` may now hold another rule, however many there are.
  if (working.generation != generation || !IsRow(working.list, row)) return false;
  working.list[static_cast<std::size_t>(row)] = edited;
  return true;
}

bool DeleteRuleAt(WindowRuleList& working, int row) {
  if (!IsRow(working, row)) return false;
  working.erase(working.begin() + row);
  return true;
}

}  // namespace kestrova
