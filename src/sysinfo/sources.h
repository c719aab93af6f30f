#pragma once
// The live sources behind the system-information % codes. Each returns
// finished display text (UTF-8).
#include <string>

namespace kestrova {

class SysInfoSources {
 public:
  virtual ~SysInfoSources() = default;
  // item 1..7; any other item gives "".
  virtual std::string MemoryText(int item, bool zeroPad) = 0;
  // `cpuSampled` is shared by every CPU code of one composition.
  virtual std::string CpuUsageText(bool& cpuSampled, bool zeroPad) = 0;
  virtual std::string BatteryText() = 0;
  virtual std::string UptimeText() = 0;
  virtual std::string CursorText() = 0;
  // item 0..5; any other item gives "".
  virtual std::string NetworkText(int item) = 0;
  // drive 'A'..'Z', item 0..3; any other item gives "".
  virtual std::string DiskText(char drive, int item) = 0;
};

}  // namespace kestrova
