#pragma once
// Raw readings of the machine behind the system-information texts. Each call
// asks the platform once and returns what it got, zero when the call failed;
// turning readings into texts is SystemInfo's job.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

struct MemoryStatus {
  std::uint32_t load = 0;  // percent in use
  std::uint64_t totalPhys = 0;
  std::uint64_t availPhys = 0;
  std::uint64_t totalPageFile = 0;
  std::uint64_t availPageFile = 0;
  std::uint64_t totalVirtual = 0;
  std::uint64_t availVirtual = 0;
};

// Accumulated processor times in 100-ns units; kernel includes idle.
struct ProcessorTimes {
  std::int64_t idle = 0;
  std::int64_t kernel = 0;
  std::int64_t user = 0;
};

struct PowerStatus {
  std::uint8_t batteryFlag = 0;
  std::uint8_t lifePercent = 0;
};

struct CursorPosition {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// One row of the interface table as the system reports it. Current Windows
// lists each adapter once more for every filter layer bound to it, all rows
// carrying the adapter's counters; only the adapter's own row is marked as
// hardware. Older systems mark no row at all.
struct InterfaceRow {
  std::uint32_t type = 0;
  std::uint32_t inOctets = 0;   // raw 32-bit counter (the low half of a 64-bit one)
  std::uint32_t outOctets = 0;  // raw 32-bit counter
  std::string description;      // system code page bytes, at most 255, no NUL
  bool hardware = false;
};

struct DiskSpace {
  std::uint64_t totalFree = 0;  // free bytes on the volume, not the caller's quota
  std::uint64_t total = 0;
};

class SystemProbes {
 public:
  using TimerId = std::uintptr_t;

  virtual ~SystemProbes() = default;

  // 1 = the Windows 95 family, 2 = the NT family, anything else = neither.
  virtual int PlatformVersionId() = 0;

  virtual MemoryStatus ReadMemoryStatus() = 0;

  // NT family: the times of the whole machine, summed over every processor
  // of every processor group; false when the query failed.
  virtual bool ReadSystemTimes(ProcessorTimes& out) = 0;

  // Windows 95 family: reading the CPU statistic value under a performance
  // key starts, reads or stops the statistic depending on the key. 0 when the
  // key or the value cannot be read.
  virtual std::uint32_t ReadPerfStatValue(std::string_view key) = 0;

  virtual PowerStatus ReadPowerStatus() = 0;

  // Milliseconds since the system started, without the 49.7-day wrap.
  virtual std::uint64_t TickCount64() = 0;

  virtual CursorPosition ReadCursorPosition() = 0;

  // Rows of the interface table in the system's order; false (and no rows)
  // when the table cannot be read.
  virtual bool ReadInterfaceTable(std::vector<InterfaceRow>& rows) = 0;

  // `rootPath` like "C:\"; zeros when there is no such drive or no medium.
  virtual DiskSpace ReadDiskSpace(std::string_view rootPath) = 0;

  // The platform's byte-size wording ("1.50 KB", "532 バイト"), UTF-8.
  virtual std::string FormatByteSize(std::uint64_t bytes) = 0;

  // A timer that calls `onTick` every second on the calling (UI) thread,
  // between other messages. Returns 0 when no timer could be made.
  virtual TimerId StartSecondTimer(std::function<void()> onTick) = 0;
  virtual void StopSecondTimer(TimerId id) = 0;
};

}  // namespace kestrova
