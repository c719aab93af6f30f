#pragma once
// Scripted machine readings for the system-information sources.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sysinfo/probes.h"

namespace kestrova::testing {

class FakeProbes : public SystemProbes {
 public:
  int platformId = 2;
  MemoryStatus memory;
  // Every logical processor of the machine, all groups, in group order; the
  // machine-wide query answers their sums, as the real one does.
  std::vector<ProcessorTimes> processorTimes;
  bool processorQueryFails = false;
  int processorQueries = 0;
  std::map<std::string, std::uint32_t> perfStatValues;  // missing key reads 0
  std::vector<std::string> perfStatKeysRead;
  PowerStatus power;
  std::uint64_t tickCount = 0;
  CursorPosition cursor;
  std::vector<InterfaceRow> interfaces;
  bool interfaceTableFails = false;
  int interfaceTableReads = 0;
  std::map<std::string, DiskSpace> disks;  // by root path; missing drive reads zeros
  std::vector<std::string> diskRootsRead;
  // Byte sizes as "<exact count> B" instead of the shell wording, to check sums.
  bool plainByteSizes = false;

  // The one-second timer, fired by hand.
  std::function<void()> timerCallback;
  TimerId timerId = 0;
  int timersStarted = 0;
  int timersStopped = 0;
  void FireTimer() {
    if (timerCallback) timerCallback();
  }

  int PlatformVersionId() override { return platformId; }
  MemoryStatus ReadMemoryStatus() override { return memory; }
  bool ReadSystemTimes(ProcessorTimes& out) override;
  std::uint32_t ReadPerfStatValue(std::string_view key) override;
  PowerStatus ReadPowerStatus() override { return power; }
  std::uint64_t TickCount64() override { return tickCount; }
  CursorPosition ReadCursorPosition() override { return cursor; }
  bool ReadInterfaceTable(std::vector<InterfaceRow>& rows) override;
  DiskSpace ReadDiskSpace(std::string_view rootPath) override;
  std::string FormatByteSize(std::uint64_t bytes) override;
  TimerId StartSecondTimer(std::function<void()> onTick) override;
  void StopSecondTimer(TimerId id) override;

  // Adds `idle` and `busy` (kernel-without-idle plus user) time to processor `index`.
  void AddProcessorTime(std::size_t index, std::int64_t idle, std::int64_t busy);
};

}  // namespace kestrova::testing
