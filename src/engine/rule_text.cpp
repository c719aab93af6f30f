#include "engine/rule_text.h"

#include "core/text.h"

namespace kestrova {

namespace {

std::string Comparable(Locale& locale, std::string_view text) {
  return LineBreaksAsBlanks(locale.AnsiRendering(text));
}

}  // namespace

bool RuleTitlePasses(Locale& locale, const WindowRule& rule, std::string_view title) {
  if (rule.WindowTitle.empty()) return true;
  const std::string ours = Comparable(locale, title);
  const std::string theirs = Comparable(locale, rule.WindowTitle);
  if (rule.InTitle != 0) return locale.ContainsNoCase(ours, theirs);
  return locale.ToUpper(ours) == locale.ToUpper(theirs);
}

bool RuleClassPasses(Locale& locale, const WindowRule& rule, std::string_view className) {
  if (rule.WindowClass.empty()) return true;
  return locale.ToUpper(Comparable(locale, className)) ==
         locale.ToUpper(Comparable(locale, rule.WindowClass));
}

}  // namespace kestrova
