#include "engine/rule_text.h"

namespace kestrova {

namespace {

std::string Comparable(Locale& locale, std::string_view text) {
  return LineBreaksAsBlanks(locale.AnsiRendering(text));
}

}  // namespace

std::string LineBreaksAsBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out.push_back(text[i] == '\r' || text[i] == '\n' ? ' ' : text[i]);
  }
  return out;
}

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
