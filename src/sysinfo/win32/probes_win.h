#pragma once
#include <memory>

#include "sysinfo/probes.h"

namespace kestrova {

// The machine's readings through kernel32, the registry, user32, iphlpapi
// and shlwapi. The second timer is a thread timer: it ticks only
// while the creating thread runs a message loop.
std::unique_ptr<SystemProbes> CreateWin32Probes();

}  // namespace kestrova
