#include "engine/rules.h"

#include "engine/rule_text.h"

namespace kestrova {

bool RuleMatches(WindowSystem& windows, Locale& locale, const WindowRule& rule, WindowHandle window) {
  // Title and class are read afresh for each rule: a window may retitle itself
  // at any moment, and the decision is rare enough not to cache anything.
  if (!rule.WindowTitle.empty() && !RuleTitlePasses(locale, rule, windows.ReadTitle(window))) return false;
  return rule.WindowClass.empty() || RuleClassPasses(locale, rule, windows.ReadClassName(window));
}

bool IsWindowFiltered(WindowSystem& windows, Locale& locale, const WindowRuleList& rules,
                      std::uint8_t antiType, WindowHandle window) {
  bool allowSeen = false;
  bool lastMatch = false;
  for (const WindowRule& rule : rules) {
    lastMatch = RuleMatches(windows, locale, rule, window);
    if (!lastMatch) continue;
    // A matching allow rule already settles both modes, so its scan ends too.
    if (rule.AntiType) allowSeen = true;
    break;
  }
  if (antiType != 0) return !allowSeen;
  return !allowSeen && lastMatch;
}

}  // namespace kestrova
