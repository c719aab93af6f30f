#include "settings/rule_store.h"

#include <cstdio>

#include "settings/ini_file.h"

namespace kestrova {

std::string RuleSectionName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "AntiKestrova%03d", number);
  return name;
}

FieldRef<WindowRule> RuleField(RuleKey key) {
  switch (key) {
    case RuleKey::kName:
      return &WindowRule::Name;
    case RuleKey::kWindowTitle:
      return &WindowRule::WindowTitle;
    case RuleKey::kInTitle:
      return &WindowRule::InTitle;
    case RuleKey::kWindowClass:
      return &WindowRule::WindowClass;
    case RuleKey::kAntiType:
      return &WindowRule::AntiType;
  }
  return std::monostate{};
}

void LoadRules(IniFile& ini, WindowRuleList& rules) {
  rules.clear();
  for (int number = 1; number <= kMaxRules; ++number) {
    const std::string section = RuleSectionName(number);
    WindowRule rule;
    for (const KeyRow<RuleKey>& row : kRuleKeys) {
      ReadKey(ini, section, row, RuleField(row.id), rule, NumberReading::kProfileInt);
      if (row.id == RuleKey::kName && rule.Name.empty()) return;
    }
    rules.push_back(std::move(rule));
  }
}

bool SaveRules(IniFile& ini, const WindowRuleList& rules) {
  int number = 1;
  bool saved = true;
  for (const WindowRule& rule : rules) {
    saved = WriteRecordKeys(ini, RuleSectionName(number++), kRuleKeys, RuleField, rule) && saved;
  }
  // Loading stops here; older sections after it stay in the file unread.
  return ini.IniWriteString(RuleSectionName(number), RuleRow(RuleKey::kName).key, "") && saved;
}

}  // namespace kestrova
