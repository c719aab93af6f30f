#include "fakes/fake_probes.h"

#include "sysinfo/byte_size.h"

namespace kestrova::testing {

bool FakeProbes::ReadSystemTimes(ProcessorTimes& out) {
  ++processorQueries;
  if (processorQueryFails) return false;
  out = {};
  for (const ProcessorTimes& times : processorTimes) {
    out.idle += times.idle;
    out.kernel += times.kernel;
    out.user += times.user;
  }
  return true;
}

std::uint32_t FakeProbes::ReadPerfStatValue(std::string_view key) {
  perfStatKeysRead.emplace_back(key);
  auto it = perfStatValues.find(std::string(key));
  return it == perfStatValues.end() ? 0 : it->second;
}

bool FakeProbes::ReadInterfaceTable(std::vector<InterfaceRow>& rows) {
  ++interfaceTableReads;
  if (interfaceTableFails) return false;
  rows = interfaces;
  return true;
}

DiskSpace FakeProbes::ReadDiskSpace(std::string_view rootPath) {
  diskRootsRead.emplace_back(rootPath);
  auto it = disks.find(std::string(rootPath));
  return it == disks.end() ? DiskSpace{} : it->second;
}

std::string FakeProbes::FormatByteSize(std::uint64_t bytes) {
  return plainByteSizes ? std::to_string(bytes) + " B" : FormatByteSizePortable(bytes);
}

SystemProbes::TimerId FakeProbes::StartSecondTimer(std::function<void()> onTick) {
  ++timersStarted;
  timerCallback = std::move(onTick);
  timerId = 100 + timersStarted;
  return timerId;
}

void FakeProbes::StopSecondTimer(TimerId id) {
  ++timersStopped;
  if (id == timerId) {
    timerCallback = nullptr;
    timerId = 0;
  }
}

void FakeProbes::AddProcessorTime(std::size_t index, std::int64_t idle, std::int64_t busy) {
  if (processorTimes.size() <= index) processorTimes.resize(index + 1);
  processorTimes[index].idle += idle;
  processorTimes[index].kernel += idle + busy / 2;
  processorTimes[index].user += busy - busy / 2;
}

}  // namespace kestrova::testing
