#pragma once
// Exclude and allow rules: whether a window that comes to the front may be decorated.
#include <cstdint>

#include "platform/locale.h"
#include "platform/window_system.h"
#include "settings/window_rule.h"

namespace kestrova {

// Both tests of one rule (engine/rule_text.h): the title (whole ignoring
// case, or contained ignoring case, width and kana type) and the class (whole
// only, ignoring case). An empty field passes.
bool RuleMatches(WindowSystem& windows, Locale& locale, const WindowRule& rule, WindowHandle window);

// True when the window must not be decorated. The first rule that matches
// decides; with none, exclude mode (antiType 0) decorates and allow-list mode
// (antiType non-zero) does not.
bool IsWindowFiltered(WindowSystem& windows, Locale& locale, const WindowRuleList& rules,
                      std::uint8_t antiType, WindowHandle window);

}  // namespace kestrova
