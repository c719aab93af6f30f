#pragma once
// The live sources behind the system-information codes, over raw readings
// from SystemProbes. Two of them keep state between calls: the CPU usage
// (measured between two samples) and the network figures (sampled every
// second by a timer, with counter wrap-arounds tracked per interface).
//
// Everything runs on the UI thread; the sampling timer's callback is
// dispatched by the same message loop, so no locks are needed.
#include <cstdint>
#include <string>
#include <vector>

#include "sysinfo/probes.h"
#include "sysinfo/sources.h"

namespace kestrova {

// One interface as seen at the last refresh of the interface table.
struct InterfaceCounters {
  std::string description;  // at most 255 bytes, the key that follows an interface
  std::uint32_t inOctets = 0;
  std::uint32_t outOctets = 0;
  std::int32_t inWraps = 0;   // times the received counter passed 2^32
  std::int32_t outWraps = 0;  // the same for the sent counter
};

class SystemInfo : public SysInfoSources {
 public:
  // `probes` must outlive this object.
  explicit SystemInfo(SystemProbes& probes);
  ~SystemInfo() override;
  SystemInfo(const SystemInfo&) = delete;
  SystemInfo& operator=(const SystemInfo&) = delete;

  // By default every text reads the platform afresh. A window above 0 lets
  // the cumulative network texts and the disk texts reuse a reading younger
  // than `ms` (the sampler's own refresh included): the interface table and
  // the volume query are by far the dearest readings, and at short tick
  // intervals they dominate the program's CPU time.
  void SetReadingReuse(std::uint64_t ms) { readingReuseMs_ = ms; }

  // The one-second network sampler starts with the first network code asked
  // for instead of at start-up: most formats have none, and under Wine each
  // sample costs more than a tick.
  void SetLazyNetworkSampling(bool lazy) { lazyNetwork_ = lazy; }

  // Start-up: platform family, the CPU statistic, the network sampler.
  void Start();
  // Shutdown: the Windows 95 family's CPU statistic, the network sampler.
  void Stop();

  // SysInfoSources
  std::string MemoryText(int item, bool zeroPad) override;
  std::string CpuUsageText(bool& cpuSampled, bool zeroPad) override;
  std::string BatteryText() override;
  std::string UptimeText() override;
  std::string CursorText() override;
  std::string NetworkText(int item) override;
  std::string DiskText(char drive, int item) override;

  // The steps of the lifecycle and the samplers, each callable on its own.
  void GetPlatformVersion();
  void StartCpuStats9x();
  int ReadCpuUsage9x();
  void StopCpuStats9x();
  void InitCpuUsageNT();
  // Usage of the whole machine in percent since the previous sample. With no
  // processor time elapsed since then, the last usage measured; -1 when the
  // query failed or nothing has been measured yet.
  int ReadCpuUsageNT();
  void StartNetworkSampling();
  void StopNetworkSampling();
  void RefreshInterfaceTable();
  // The timer's work: rates are the byte sums' change since the last call.
  void SampleNetwork();

  // High half as signed times 2^32 plus the low half as unsigned.
  static double LargeIntegerToDouble(std::int64_t value);

  int PlatformId() const { return platformId_; }
  int CpuCache() const { return cpuCache_; }
  std::int64_t NetRateIn() const { return netRateIn_; }
  std::int64_t NetRateOut() const { return netRateOut_; }
  const std::vector<InterfaceRow>& InterfaceRows() const { return interfaceRows_; }
  const std::vector<InterfaceCounters>& InterfaceHistory() const { return interfaceHistory_; }
  // Per row of InterfaceRows: whether it takes part in the network figures.
  const std::vector<bool>& CountedRows() const { return countedRows_; }
  bool NetworkSamplingRunning() const { return netTimerId_ != 0; }

 private:
  struct ProcessorSums {
    double idle = 0;
    double total = 0;
  };
  bool ReadProcessorSums(ProcessorSums& sums);
  // Whether a reading taken at `readAt` may stand in for a fresh one.
  bool Reusable(bool taken, std::uint64_t readAt);
  DiskSpace ReadDiskSpace(char drive);

  struct DiskReading {
    bool taken = false;
    std::uint64_t readAt = 0;
    DiskSpace space;
  };

  SystemProbes& probes_;
  int platformId_ = 0;
  int cpuCache_ = 0;
  double prevIdleSum_ = 0;
  double prevTotalSum_ = 0;
  int lastUsageNT_ = -1;
  std::vector<InterfaceRow> interfaceRows_;
  std::vector<InterfaceCounters> interfaceHistory_;
  std::vector<bool> countedRows_;
  std::int64_t prevInTotal_ = 0;
  std::int64_t prevOutTotal_ = 0;
  std::int64_t netRateIn_ = 0;
  std::int64_t netRateOut_ = 0;
  SystemProbes::TimerId netTimerId_ = 0;
  bool lazyNetwork_ = false;
  // Started and not stopped, with the network sampler still to start.
  bool networkDue_ = false;
  std::uint64_t readingReuseMs_ = 0;
  bool tableTaken_ = false;
  std::uint64_t tableReadAt_ = 0;
  DiskReading diskReadings_[26];
};

}  // namespace kestrova
