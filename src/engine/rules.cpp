#include "engine/rules.h"

namespace kestrova {

bool RuleMatches(WindowSystem& windows, Locale& locale, const WindowRule& rule, WindowHandle window) {
  // Title and class are read afresh for each rule: a window may retitle itself
  // at any moment, and the decision is rare enough not to cache anything.
  if (!rule.WindowTitle.empty()) {
    const std::string title = windows.ReadTitle(window);
    const bool titlePasses = rule.InTitle != 0 ? locale.ContainsNoCase(title, rule.WindowTitle)
                                               : locale.ToUpper(title) == locale.ToUpper(rule.WindowTitle);
    if (!titlePasses) return false;
  }
  if (!rule.WindowClass.empty()) {
    if (locale.ToUpper(windows.ReadClassName(window)) != locale.ToUpper(rule.WindowClass)) return false;
  }
  return true;
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
