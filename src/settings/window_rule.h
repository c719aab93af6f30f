#pragma once
// One exclude/allow window rule and its keys in the AntiKestrova sections.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/key_table.h"

namespace kestrova {

// In write order.
enum class RuleKey : unsigned char { kName, kWindowTitle, kInTitle, kWindowClass, kAntiType };

inline constexpr KeyRow<RuleKey> kRuleKeys[] = {
    // An empty or missing name ends the list.
    {RuleKey::kName, nullptr, "Name", Encoding::kRaw},
    {RuleKey::kWindowTitle, nullptr, "WindowTitle", Encoding::kRaw},
    {RuleKey::kInTitle, nullptr, "InTitle", Encoding::kSigned, 0},
    {RuleKey::kWindowClass, nullptr, "WindowClass", Encoding::kRaw},
    // "1" for an allow rule, "0" for an exclude rule.
    {RuleKey::kAntiType, nullptr, "AntiType", Encoding::kPlain, 0},
};
static_assert(InIdOrder(kRuleKeys), "kRuleKeys lists every RuleKey once, in the enum's order");

constexpr const KeyRow<RuleKey>& RuleRow(RuleKey key) { return kRuleKeys[static_cast<std::size_t>(key)]; }

// AntiType true: allow rule; false: exclude rule.
struct WindowRule {
  bool AntiType = DefaultOf<bool>(RuleRow(RuleKey::kAntiType));
  std::string Name = DefaultOf<std::string>(RuleRow(RuleKey::kName));
  std::string WindowTitle = DefaultOf<std::string>(RuleRow(RuleKey::kWindowTitle));
  // Non-zero: the title need only contain WindowTitle.
  std::uint8_t InTitle = DefaultOf<std::uint8_t>(RuleRow(RuleKey::kInTitle));
  std::string WindowClass = DefaultOf<std::string>(RuleRow(RuleKey::kWindowClass));

  friend bool operator==(const WindowRule&, const WindowRule&) = default;
};

using WindowRuleList = std::vector<WindowRule>;  // rule i of the file is element i - 1

}  // namespace kestrova
