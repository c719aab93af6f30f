#pragma once
// Which rows of the interface table make up the network figures.
#include <vector>

#include "sysinfo/probes.h"

namespace kestrova {

// Per row: Ethernet, PPP and Wi-Fi rows, each adapter once. Where the table
// marks hardware rows, those are the adapters and the filter-layer rows
// beside them are left out. Where it marks none (systems before the flag, or
// Wine), rows carrying the same pair of counters as an earlier one are taken
// for layers of that one.
std::vector<bool> CountedInterfaces(const std::vector<InterfaceRow>& rows);

}  // namespace kestrova
