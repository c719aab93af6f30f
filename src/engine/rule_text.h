#pragma once
// How a rule's texts meet a window's. The settings file keeps rules in the
// ANSI code page, so a rule read back holds "?" where the window's title has
// a character the code page lacks (é, ü, emoji); both sides are therefore
// compared as the code page renders them, so that a rule matches the same
// windows before and after a restart.
#include <string>
#include <string_view>

#include "core/text.h"
#include "platform/clock.h"
#include "settings/window_rule.h"

namespace kestrova {

// Title test: containment ignoring case, width and kana type when InTitle is
// set, else equality of the upper-cased texts. An empty rule title passes.
bool RuleTitlePasses(Locale& locale, const WindowRule& rule, std::string_view title);

// Class test: equality of the upper-cased texts. An empty rule class passes.
bool RuleClassPasses(Locale& locale, const WindowRule& rule, std::string_view className);

}  // namespace kestrova
