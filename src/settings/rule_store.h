#pragma once
// The window rules in Kestrova.ini: sections AntiKestrova001, AntiKestrova002, ...
#include <string>

#include "settings/key_table.h"
#include "settings/window_rule.h"

namespace kestrova {

class IniFile;

inline constexpr int kMaxRules = 999;

// "AntiKestrova007" for rule 7.
std::string RuleSectionName(int number);

// The member a rule key is kept in.
FieldRef<WindowRule> RuleField(RuleKey key);

// Reads rules 1, 2, ... up to the first without a name (at most kMaxRules).
void LoadRules(IniFile& ini, WindowRuleList& rules);
// Writes every rule, then a section holding only an empty "Name" after the
// last. A rule the file cannot take is left out whole; false then.
bool SaveRules(IniFile& ini, const WindowRuleList& rules);

}  // namespace kestrova
