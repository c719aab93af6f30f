#include "sysinfo/counted_interfaces.h"

#include <algorithm>
#include <cstddef>

namespace kestrova {
namespace {

constexpr std::uint32_t kEthernet = 6;
constexpr std::uint32_t kPpp = 23;
constexpr std::uint32_t kWireless = 71;

bool IsNetworkType(std::uint32_t type) { return type == kEthernet || type == kPpp || type == kWireless; }

bool SameCounters(const InterfaceRow& a, const InterfaceRow& b) {
  return a.inOctets == b.inOctets && a.outOctets == b.outOctets;
}

}  // namespace

std::vector<bool> CountedInterfaces(const std::vector<InterfaceRow>& rows) {
  std::vector<bool> counted(rows.size(), false);
  const bool marked =
      std::any_of(rows.begin(), rows.end(), [](const InterfaceRow& row) { return row.hardware; });
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!IsNetworkType(rows[i].type)) continue;
    if (marked) {
      counted[i] = rows[i].hardware;
      continue;
    }
    bool seen = false;
    for (std::size_t j = 0; j < i && !seen; ++j) seen = counted[j] && SameCounters(rows[j], rows[i]);
    counted[i] = !seen;
  }
  return counted;
}

}  // namespace kestrova
