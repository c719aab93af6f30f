#include "sysinfo/system_info.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/decimal.h"
#include "sysinfo/byte_size.h"
#include "sysinfo/counted_interfaces.h"
#include "sysinfo/number_patterns.h"

namespace kestrova {
namespace {

constexpr int kPlatform9x = 1;
constexpr int kPlatformNT = 2;

// Keys under the dynamic-data registry root; reading the statistic value
// under each one starts, reads or stops the statistic.
constexpr std::string_view kPerfStartKey = "PerfStats\\StartStat";
constexpr std::string_view kPerfDataKey = "PerfStats\\StatData";
constexpr std::string_view kPerfStopKey = "PerfStats\\StopStat";

constexpr std::size_t kDescriptionBytes = 255;
constexpr std::uint32_t kCounterTopBit = 0x80000000u;

// A counter seen in its upper half and then in its lower half has passed 2^32.
std::int32_t NextWrapCount(std::uint32_t oldCounter, std::uint32_t newCounter, std::int32_t oldWraps) {
  const bool wrapped = (oldCounter & kCounterTopBit) != 0 && (newCounter & kCounterTopBit) == 0;
  if (!wrapped) return oldWraps;
  return oldWraps == std::numeric_limits<std::int32_t>::max() ? 0 : oldWraps + 1;
}

std::uint64_t WithWraps(std::int32_t wraps, std::uint32_t counter) {
  return (std::uint64_t{static_cast<std::uint32_t>(wraps)} << 32) + counter;
}

// A description is compared like a C string of at most 255 bytes.
std::string DescriptionKey(const std::string& text) {
  return text.substr(0, std::min(text.find('\0'), kDescriptionBytes));
}

}  // namespace

SystemInfo::SystemInfo(SystemProbes& probes) : probes_(probes) {}

SystemInfo::~SystemInfo() {
  // A timer left running would call back into a destroyed object.
  if (netTimerId_ != 0) probes_.StopSecondTimer(netTimerId_);
}

void SystemInfo::Start() {
  GetPlatformVersion();
  if (platformId_ == kPlatform9x) {
    StartCpuStats9x();
  } else {
    InitCpuUsageNT();
  }
  networkDue_ = lazyNetwork_;
  if (!lazyNetwork_) StartNetworkSampling();
}

void SystemInfo::Stop() {
  if (platformId_ == kPlatform9x) StopCpuStats9x();
  networkDue_ = false;
  StopNetworkSampling();
}

void SystemInfo::GetPlatformVersion() { platformId_ = probes_.PlatformVersionId(); }

bool SystemInfo::Reusable(bool taken, std::uint64_t readAt) {
  if (readingReuseMs_ == 0 || !taken) return false;
  return probes_.TickCount64() - readAt < readingReuseMs_;
}

// ---- Memory -----------------------------------------------------------------

std::string SystemInfo::MemoryText(int item, bool zeroPad) {
  if (item < 1 || item > 7) return "";
  const MemoryStatus status = probes_.ReadMemoryStatus();
  if (item == 7) {
    return zeroPad ? FormatPercentThreeDigits(status.load) : FormatPercentNoZeroDigit(status.load);
  }
  const std::uint64_t values[] = {status.totalPhys,     status.availPhys,    status.totalPageFile,
                                  status.availPageFile, status.totalVirtual, status.availVirtual};
  return probes_.FormatByteSize(values[item - 1]);
}

// ---- CPU --------------------------------------------------------------------

std::string SystemInfo::CpuUsageText(bool& cpuSampled, bool zeroPad) {
  int value = cpuCache_;
  if (!cpuSampled) {
    if (platformId_ == kPlatformNT) {
      value = ReadCpuUsageNT();
    } else if (platformId_ == kPlatform9x) {
      value = ReadCpuUsage9x();
    } else {
      value = -1;
    }
    cpuCache_ = value;
    cpuSampled = true;
  }
  if (value < 0) return std::string(kNotAvailableText);
  return zeroPad ? FormatPercentThreeDigits(value) : FormatPercentOneDigit(value);
}

void SystemInfo::StartCpuStats9x() { probes_.ReadPerfStatValue(kPerfStartKey); }

int SystemInfo::ReadCpuUsage9x() { return static_cast<int>(probes_.ReadPerfStatValue(kPerfDataKey)); }

void SystemInfo::StopCpuStats9x() { probes_.ReadPerfStatValue(kPerfStopKey); }

double SystemInfo::LargeIntegerToDouble(std::int64_t value) {
  const auto bits = static_cast<std::uint64_t>(value);
  const auto high = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits >> 32));
  const auto low = static_cast<std::uint32_t>(bits);
  return static_cast<double>(high) * 4294967296.0 + static_cast<double>(low);
}

bool SystemInfo::ReadProcessorSums(ProcessorSums& sums) {
  sums = {};
  // The whole machine at once: a per-processor query sees only the calling
  // thread's processor group, at most 64 processors, and the thread may be
  // moved to another group between two samples.
  ProcessorTimes times;
  if (!probes_.ReadSystemTimes(times)) return false;
  sums.idle = LargeIntegerToDouble(times.idle);
  sums.total = LargeIntegerToDouble(times.kernel) + LargeIntegerToDouble(times.user);
  return true;
}

void SystemInfo::InitCpuUsageNT() {
  lastUsageNT_ = -1;
  ProcessorSums sums;
  if (!ReadProcessorSums(sums)) sums = {};
  prevIdleSum_ = sums.idle;
  prevTotalSum_ = sums.total;
}

int SystemInfo::ReadCpuUsageNT() {
  ProcessorSums sums;
  if (!ReadProcessorSums(sums)) return -1;
  const double deltaIdle = sums.idle - prevIdleSum_;
  // Kernel time already holds the idle time: this is all elapsed processor time.
  const double deltaTotal = sums.total - prevTotalSum_;
  prevIdleSum_ = sums.idle;
  prevTotalSum_ = sums.total;
  // Samples closer together than the system's timer resolution (15.6 ms)
  // see no elapsed time: at short tick intervals that is most of them, so the
  // last usage stands rather than a placeholder flickering in the title.
  if (!(deltaTotal > 0)) return lastUsageNT_;
  const double usage = std::clamp(100.0 - deltaIdle / deltaTotal * 100.0, 0.0, 100.0);
  lastUsageNT_ = static_cast<int>(std::nearbyint(usage));  // halves to even
  return lastUsageNT_;
}

// ---- Battery, uptime, cursor ------------------------------------------------

std::string SystemInfo::BatteryText() {
  const PowerStatus status = probes_.ReadPowerStatus();
  if (status.batteryFlag == 255) return "状態不明 ";
  if (status.batteryFlag == 128) return "未装着 ";
  std::string text;
  if (status.batteryFlag & 1) text += "高, ";
  if (status.batteryFlag & 2) text += "低, ";
  if (status.batteryFlag & 4) text += "無, ";
  if (status.batteryFlag & 8) text += "充電中 ";
  if (status.lifePercent == 255) {
    text += "残量 : 不明 ";
  } else {
    text += "残量 : " + std::to_string(status.lifePercent) + "%";
  }
  return text;
}

std::string SystemInfo::UptimeText() {
  return FormatSeconds(static_cast<std::int64_t>(probes_.TickCount64() / 1000));
}

std::string SystemInfo::CursorText() {
  const CursorPosition position = probes_.ReadCursorPosition();
  return FormatAxisValue('X', position.x) + FormatAxisValue('Y', position.y);
}

// ---- Network ----------------------------------------------------------------

void SystemInfo::StartNetworkSampling() {
  if (netTimerId_ != 0) probes_.StopSecondTimer(netTimerId_);
  netTimerId_ = 0;
  interfaceHistory_.assign(1, InterfaceCounters{});
  SampleNetwork();
  netTimerId_ = probes_.StartSecondTimer([this] { SampleNetwork(); });
}

void SystemInfo::StopNetworkSampling() {
  if (netTimerId_ != 0) probes_.StopSecondTimer(netTimerId_);
  netTimerId_ = 0;
  interfaceRows_.clear();
  interfaceHistory_.clear();
  countedRows_.clear();
  tableTaken_ = false;
}

void SystemInfo::RefreshInterfaceTable() {
  std::vector<InterfaceRow> rows;
  if (!probes_.ReadInterfaceTable(rows)) rows.clear();
  if (readingReuseMs_ != 0) {
    tableTaken_ = true;
    tableReadAt_ = probes_.TickCount64();
  }

  std::vector<InterfaceCounters> history;
  history.reserve(rows.size());
  for (InterfaceRow& row : rows) {
    row.description = DescriptionKey(row.description);
    InterfaceCounters counters;
    counters.description = row.description;
    counters.inOctets = row.inOctets;
    counters.outOctets = row.outOctets;
    // An interface is followed by its description; with several old records
    // of one description the last one decides.
    for (const InterfaceCounters& old : interfaceHistory_) {
      if (old.description != counters.description) continue;
      counters.inWraps = NextWrapCount(old.inOctets, row.inOctets, old.inWraps);
      counters.outWraps = NextWrapCount(old.outOctets, row.outOctets, old.outWraps);
    }
    history.push_back(std::move(counters));
  }
  countedRows_ = CountedInterfaces(rows);
  interfaceRows_ = std::move(rows);
  interfaceHistory_ = std::move(history);
}

void SystemInfo::SampleNetwork() {
  RefreshInterfaceTable();
  std::int64_t inTotal = 0;
  std::int64_t outTotal = 0;
  for (std::size_t i = 0; i < interfaceRows_.size(); ++i) {
    if (!countedRows_[i]) continue;
    const InterfaceRow& row = interfaceRows_[i];
    inTotal += row.inOctets;
    outTotal += row.outOctets;
  }
  // The raw counters, not the wrap counts: no correction for a wrapped
  // counter or an interface that came or went, such a second shows a
  // negative or oversized rate once.
  netRateIn_ = inTotal - prevInTotal_;
  netRateOut_ = outTotal - prevOutTotal_;
  prevInTotal_ = inTotal;
  prevOutTotal_ = outTotal;
}

std::string SystemInfo::NetworkText(int item) {
  if (networkDue_) {
    networkDue_ = false;
    StartNetworkSampling();
  }
  switch (item) {
    case 0:
    case 1: {
      if (!Reusable(tableTaken_, tableReadAt_)) RefreshInterfaceTable();
      const bool sent = item == 0;
      std::uint64_t total = 0;
      for (std::size_t i = 0; i < interfaceRows_.size(); ++i) {
        if (!countedRows_[i]) continue;
        const InterfaceRow& row = interfaceRows_[i];
        const InterfaceCounters& counters = interfaceHistory_[i];
        total +=
            sent ? WithWraps(counters.outWraps, row.outOctets) : WithWraps(counters.inWraps, row.inOctets);
      }
      return RemoveSpaces(probes_.FormatByteSize(total));
    }
    case 2:
    case 3: {
      const std::int64_t rate = item == 2 ? netRateOut_ : netRateIn_;
      return FormatOneOrTwoDecimals(static_cast<double>(rate) * 8.0 / 1000.0) + "kbps";
    }
    case 4:
    case 5: {
      const std::int64_t rate = item == 4 ? netRateOut_ : netRateIn_;
      return FormatOneOrTwoDecimals(static_cast<double>(rate) / 1024.0) + "KB/s";
    }
    default:
      return "";
  }
}

// ---- Disk -------------------------------------------------------------------

DiskSpace SystemInfo::ReadDiskSpace(char drive) {
  const std::string root = std::string(1, drive) + ":\\";
  if (drive < 'A' || drive > 'Z') return probes_.ReadDiskSpace(root);
  DiskReading& reading = diskReadings_[drive - 'A'];
  if (!Reusable(reading.taken, reading.readAt)) {
    reading.space = probes_.ReadDiskSpace(root);
    reading.taken = readingReuseMs_ != 0;
    reading.readAt = reading.taken ? probes_.TickCount64() : 0;
  }
  return reading.space;
}

std::string SystemInfo::DiskText(char drive, int item) {
  if (item < 0 || item > 3) return "";
  const DiskSpace space = ReadDiskSpace(drive);
  const std::uint64_t used = space.total >= space.totalFree ? space.total - space.totalFree : 0;
  switch (item) {
    case 0:
      return RemoveSpaces(probes_.FormatByteSize(space.totalFree));
    case 1:
      return RemoveSpaces(probes_.FormatByteSize(used));
    default: {
      // A missing drive or medium reports a total of 0: the ratio is 0 / 0.
      if (space.total == 0) return std::string(kNotAvailableText);
      const std::uint64_t part = item == 2 ? space.totalFree : used;
      return FormatRatioPercent(static_cast<double>(part) / static_cast<double>(space.total));
    }
  }
}

}  // namespace kestrova
