#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestrova {

// One exclude/allow rule. AntiType true: allow rule; false: exclude rule.
struct WindowRule {
  bool AntiType = false;
  std::string Name;
  std::string WindowTitle;
  std::uint8_t InTitle = 0;  // non-zero: the title need only contain WindowTitle
  std::string WindowClass;

  friend bool operator==(const WindowRule&, const WindowRule&) = default;
};

using WindowRuleList = std::vector<WindowRule>;  // rule i of the file is element i - 1

}  // namespace kestrova
