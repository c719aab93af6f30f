#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_probes.h"
#include "sysinfo/system_info.h"

namespace kestrova {
namespace {

using testing::FakeProbes;

constexpr std::uint64_t GB = 1024ULL * 1024 * 1024;

TEST(SysInfoMemory, ItemsAndPatterns) {
  FakeProbes probes;
  probes.memory = {5, 16 * GB, 1536, 1000 * 1024, 1023, 4294967296ULL, 0};
  SystemInfo info(probes);
  // Above 4 GB the sizes are neither capped nor wrapped.
  EXPECT_EQ(info.MemoryText(1, false), "16.0 GB");
  EXPECT_EQ(info.MemoryText(2, false), "1.50 KB");  // memory texts keep their space
  EXPECT_EQ(info.MemoryText(3, false), "0.97 MB");
  EXPECT_EQ(info.MemoryText(4, false), "1023 バイト");
  EXPECT_EQ(info.MemoryText(5, false), "4.00 GB");
  EXPECT_EQ(info.MemoryText(6, false), "0 バイト");
  EXPECT_EQ(info.MemoryText(7, false), "5%");
  EXPECT_EQ(info.MemoryText(7, true), "005%");
  EXPECT_EQ(info.MemoryText(0, false), "");
  EXPECT_EQ(info.MemoryText(8, true), "");

  probes.memory.load = 0;
  EXPECT_EQ(info.MemoryText(7, false), "%");
  EXPECT_EQ(info.MemoryText(7, true), "000%");
}

// Two processors, 1000 units of elapsed time each between the samples.
class SysInfoCpuNT : public ::testing::Test {
 protected:
  void SetUp() override {
    probes.platformId = 2;
    probes.AddProcessorTime(0, 5000, 5000);
    probes.AddProcessorTime(1, 5000, 5000);
    info.Start();
  }
  void Elapse(std::int64_t idle0, std::int64_t idle1) {
    probes.AddProcessorTime(0, idle0, 1000 - idle0);
    probes.AddProcessorTime(1, idle1, 1000 - idle1);
  }
  std::string Composition(bool zeroPad) {
    bool sampled = false;
    return info.CpuUsageText(sampled, zeroPad);
  }
  FakeProbes probes;
  SystemInfo info{probes};
};

TEST_F(SysInfoCpuNT, UsageSinceThePreviousSample) {
  Elapse(300, 300);
  EXPECT_EQ(Composition(false), "70%");
  Elapse(1000, 0);
  EXPECT_EQ(Composition(true), "050%");
  Elapse(1000, 1000);
  EXPECT_EQ(Composition(false), "0%");
  EXPECT_EQ(info.CpuCache(), 0);
}

TEST_F(SysInfoCpuNT, OneSamplePerComposition) {
  Elapse(930, 930);
  const int queries = probes.processorQueries;
  bool sampled = false;
  EXPECT_EQ(info.CpuUsageText(sampled, false), "7%");  // %8
  EXPECT_TRUE(sampled);
  Elapse(0, 0);  // time passing within one composition is not measured twice
  EXPECT_EQ(info.CpuUsageText(sampled, true), "007%");  // %08
  EXPECT_EQ(probes.processorQueries, queries + 1);
  // The next composition measures from the shared sample on.
  EXPECT_EQ(Composition(false), "100%");
}

TEST_F(SysInfoCpuNT, HalvesRoundToEven) {
  struct Case {
    std::int64_t idle;  // per processor, of 1000
    const char* text;
  } cases[] = {{125, "88%"}, {135, "86%"}, {5, "100%"}, {995, "0%"}, {994, "1%"}};
  for (const auto& c : cases) {
    Elapse(c.idle, c.idle);
    EXPECT_EQ(Composition(false), c.text) << c.idle;
  }
}

TEST_F(SysInfoCpuNT, NoElapsedTimeKeepsTheLastUsage) {
  // Nothing measured yet: the placeholder, never "nan".
  EXPECT_EQ(Composition(false), "---%");
  EXPECT_EQ(Composition(true), "---%");
  Elapse(500, 500);
  EXPECT_EQ(Composition(false), "50%");
  EXPECT_EQ(Composition(false), "50%");  // within the system's timer resolution
  EXPECT_EQ(Composition(true), "050%");
  Elapse(100, 100);
  EXPECT_EQ(Composition(false), "90%");
}

TEST_F(SysInfoCpuNT, FailedQueryShowsPlaceholderAndKeepsTheBaseline) {
  Elapse(250, 250);
  probes.processorQueryFails = true;
  EXPECT_EQ(Composition(false), "---%");
  probes.processorQueryFails = false;
  EXPECT_EQ(Composition(false), "75%");
}

TEST_F(SysInfoCpuNT, CountersGoingBackwardsMeasureNothing) {
  probes.processorTimes.assign(2, {});
  EXPECT_EQ(Composition(false), "---%");
  Elapse(400, 400);  // measured again from the new baseline
  EXPECT_EQ(Composition(false), "60%");
}

// 128 logical processors in two groups of 64, ten days after start; the
// calling thread sits in group 0 while the load moves across both groups.
TEST(SysInfoCpu, EveryProcessorGroupIsMeasured) {
  constexpr std::size_t kProcessors = 128;
  constexpr std::int64_t kTenDays = 10LL * 86400 * 10000000;
  FakeProbes probes;
  for (std::size_t i = 0; i < kProcessors; ++i) probes.AddProcessorTime(i, kTenDays / 2, kTenDays / 2);
  SystemInfo info(probes);
  info.Start();
  struct Case {
    std::size_t firstBusy;
    std::size_t busyCount;
    const char* text;
  } cases[] = {
      {64, 64, "50%"},  // only the other group works
      {0, 64, "50%"},   // the load moves to the thread's own group
      {127, 1, "1%"},   // one processor of 128, the last one
      {32, 96, "75%"},  // across the group border
      {0, 128, "100%"}, {0, 0, "0%"},
  };
  for (const auto& c : cases) {
    for (std::size_t i = 0; i < kProcessors; ++i) {
      const bool busy = i >= c.firstBusy && i < c.firstBusy + c.busyCount;
      probes.AddProcessorTime(i, busy ? 0 : 156250, busy ? 156250 : 0);
    }
    bool sampled = false;
    EXPECT_EQ(info.CpuUsageText(sampled, false), c.text) << c.firstBusy << "+" << c.busyCount;
  }
}

TEST(SysInfoCpu, FailedFirstReadingMeasuresFromTheNextOne) {
  FakeProbes probes;
  probes.AddProcessorTime(0, 9000, 1000);
  probes.processorQueryFails = true;
  SystemInfo info(probes);
  info.Start();
  bool sampled = false;
  EXPECT_EQ(info.CpuUsageText(sampled, false), "---%");
  probes.processorQueryFails = false;
  sampled = false;
  // Measured from a zero baseline: the times since the system started.
  EXPECT_EQ(info.CpuUsageText(sampled, false), "10%");
  probes.AddProcessorTime(0, 500, 500);
  sampled = false;
  EXPECT_EQ(info.CpuUsageText(sampled, false), "50%");
}

TEST(SysInfoCpu, OtherPlatformsAndBeforeStart) {
  for (int platform : {0, 3}) {
    FakeProbes probes;
    probes.platformId = platform;
    SystemInfo info(probes);
    if (platform != 0) info.Start();
    bool sampled = false;
    EXPECT_EQ(info.CpuUsageText(sampled, false), "---%") << platform;
    EXPECT_EQ(info.CpuUsageText(sampled, true), "---%") << platform;
  }
}

TEST(SysInfoCpu, Windows95FamilyStatistic) {
  FakeProbes probes;
  probes.platformId = 1;
  probes.perfStatValues["PerfStats\\StatData"] = 42;
  SystemInfo info(probes);
  info.Start();
  bool sampled = false;
  EXPECT_EQ(info.CpuUsageText(sampled, false), "42%");
  EXPECT_EQ(info.CpuUsageText(sampled, true), "042%");
  EXPECT_EQ(probes.processorQueries, 0);

  probes.perfStatValues.clear();  // key gone: the reading is 0
  bool next = false;
  EXPECT_EQ(info.CpuUsageText(next, true), "000%");
  info.Stop();
  const std::vector<std::string> expected = {"PerfStats\\StartStat", "PerfStats\\StatData",
                                             "PerfStats\\StatData", "PerfStats\\StopStat"};
  EXPECT_EQ(probes.perfStatKeysRead, expected);
}

TEST(SysInfoCpu, NTFamilyNeverTouchesTheWindows95Statistic) {
  FakeProbes probes;
  SystemInfo info(probes);
  info.Start();
  info.Stop();
  EXPECT_TRUE(probes.perfStatKeysRead.empty());
}

TEST(SysInfoCpu, LargeIntegerToDouble) {
  struct Case {
    std::int64_t value;
    double expected;
  } cases[] = {
      {0, 0.0},
      {1, 1.0},
      {0xFFFFFFFFLL, 4294967295.0},  // low half unsigned
      {0x100000000LL, 4294967296.0},
      {0x2540BE400LL, 1e10},
      {-1, -1.0},  // high half signed
  };
  for (const auto& c : cases) EXPECT_EQ(SystemInfo::LargeIntegerToDouble(c.value), c.expected) << c.value;
}

TEST(SysInfoBattery, FlagsAndPercent) {
  struct Case {
    std::uint8_t flag;
    std::uint8_t percent;
    const char* text;
  } cases[] = {
      {255, 80, "状態不明 "},
      {255, 255, "状態不明 "},
      {128, 50, "未装着 "},
      {1 | 8, 80, "高, 充電中 残量 : 80%"},
      {0, 50, "残量 : 50%"},
      {2, 255, "低, 残量 : 不明 "},
      {4, 0, "無, 残量 : 0%"},
      {1 | 2 | 4 | 8, 100, "高, 低, 無, 充電中 残量 : 100%"},
      {128 | 8, 99, "充電中 残量 : 99%"},  // bit 7 among others is no "not present"
  };
  for (const auto& c : cases) {
    FakeProbes probes;
    probes.power = {c.flag, c.percent};
    SystemInfo info(probes);
    EXPECT_EQ(info.BatteryText(), c.text) << int{c.flag} << " " << int{c.percent};
  }
}

TEST(SysInfoUptime, HoursDoNotWrap) {
  struct Case {
    std::uint64_t ms;
    const char* text;
  } cases[] = {
      {0, "00:00:00"},
      {3723999, "01:02:03"},
      {2592000000ULL, "720:00:00"},          // 30 days, above 2^31 ms
      {4294967296ULL + 1000, "1193:02:48"},  // past 49.7 days: no restart at 0
  };
  for (const auto& c : cases) {
    FakeProbes probes;
    probes.tickCount = c.ms;
    SystemInfo info(probes);
    EXPECT_EQ(info.UptimeText(), c.text) << c.ms;
  }
}

TEST(SysInfoCursor, Coordinates) {
  struct Case {
    CursorPosition position;
    const char* text;
  } cases[] = {
      {{640, 480}, "X:640 Y:480 "},
      {{0, 7}, "X: Y:7 "},
      {{0, 0}, "X: Y: "},
      {{-5, -1080}, "X:-5 Y:-1080 "},  // screens left of and above the primary one
  };
  for (const auto& c : cases) {
    FakeProbes probes;
    probes.cursor = c.position;
    SystemInfo info(probes);
    EXPECT_EQ(info.CursorText(), c.text);
  }
}

TEST(SysInfoDisk, ItemsOfAPresentDrive) {
  FakeProbes probes;
  probes.disks["C:\\"] = {100 * GB, 400 * GB};
  probes.disks["D:\\"] = {456, 1000};
  SystemInfo info(probes);
  EXPECT_EQ(info.DiskText('C', 0), "100GB");  // spaces removed
  EXPECT_EQ(info.DiskText('C', 1), "300GB");
  EXPECT_EQ(info.DiskText('C', 2), "25%");
  EXPECT_EQ(info.DiskText('C', 3), "75%");
  EXPECT_EQ(info.DiskText('D', 0), "456バイト");
  EXPECT_EQ(info.DiskText('D', 2), "46%");
  EXPECT_EQ(info.DiskText('D', 3), "54%");
  EXPECT_EQ(probes.diskRootsRead.front(), "C:\\");
}

TEST(SysInfoDisk, MissingDriveAndOtherItems) {
  FakeProbes probes;
  SystemInfo info(probes);
  EXPECT_EQ(info.DiskText('Q', 0), "0バイト");
  EXPECT_EQ(info.DiskText('Q', 1), "0バイト");
  EXPECT_EQ(info.DiskText('Q', 2), "---%");
  EXPECT_EQ(info.DiskText('Q', 3), "---%");
  const auto reads = probes.diskRootsRead.size();
  EXPECT_EQ(info.DiskText('C', 4), "");
  EXPECT_EQ(info.DiskText('C', -1), "");
  EXPECT_EQ(probes.diskRootsRead.size(), reads);
}

TEST(SysInfoDisk, ReadsAfreshByDefault) {
  FakeProbes probes;
  SystemInfo info(probes);
  info.DiskText('C', 0);
  info.DiskText('C', 2);
  EXPECT_EQ(probes.diskRootsRead.size(), 2u);
}

TEST(SysInfoDisk, ReuseWindowPerDrive) {
  FakeProbes probes;
  probes.tickCount = 7000;
  probes.disks["C:\\"] = {250, 1000};
  SystemInfo info(probes);
  info.SetReadingReuse(1000);
  EXPECT_EQ(info.DiskText('C', 2), "25%");
  probes.disks["C:\\"] = {500, 1000};
  probes.tickCount += 999;
  EXPECT_EQ(info.DiskText('C', 3), "75%");   // the same reading
  EXPECT_EQ(info.DiskText('D', 2), "---%");  // another drive reads its own
  probes.tickCount += 1;
  EXPECT_EQ(info.DiskText('C', 2), "50%");
  const std::vector<std::string> expected = {"C:\\", "D:\\", "C:\\"};
  EXPECT_EQ(probes.diskRootsRead, expected);
}

}  // namespace
}  // namespace kestrova
