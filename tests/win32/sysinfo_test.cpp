// The system-information sources over the machine's real readings.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: the IP helper and process status headers build on its types.
#include <iphlpapi.h>
#include <psapi.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "format/format.h"
#include "sysinfo/byte_size.h"
#include "sysinfo/counted_interfaces.h"
#include "sysinfo/system_info.h"
#include "sysinfo/win32/probes_win.h"

namespace kestrova {
namespace {

const char* const kByteSize = R"(\d+(\.\d+)? ?(バイト|bytes|KB|MB|GB|TB|PB|EB))";

void ExpectMatches(const std::string& text, const std::string& pattern) {
  EXPECT_TRUE(std::regex_match(text, std::regex(pattern))) << "[" << text << "] !~ " << pattern;
}

// Runs the thread's message loop for `ms` milliseconds or until `done`.
template <typename Done>
void PumpMessages(int ms, Done done) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done() && std::chrono::steady_clock::now() < until) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

class RealSysInfo : public ::testing::Test {
 protected:
  void SetUp() override { info.Start(); }
  void TearDown() override { info.Stop(); }
  std::unique_ptr<SystemProbes> probes = CreateWin32Probes();
  SystemInfo info{*probes};
};

// The process's own processor time (kernel + user), in microseconds.
double OwnCpuMicroseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto us = [](const FILETIME& t) {
    return static_cast<double>((std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 10.0;
  };
  return us(kernel) + us(user);
}

// Memory sizes are checked against readings the probe does not make: the
// system's page count, and the size of the process's address space, which a
// 64-bit process has far above 4 GB (a 32-bit memory call would cap or wrap it).
TEST_F(RealSysInfo, PlatformAndMemory) {
  EXPECT_EQ(info.PlatformId(), 2);
  for (int item = 1; item <= 6; ++item) ExpectMatches(info.MemoryText(item, false), kByteSize);
  ExpectMatches(info.MemoryText(7, false), R"([1-9]\d{0,2}%|%)");
  ExpectMatches(info.MemoryText(7, true), R"(\d{3}%)");

  PERFORMANCE_INFORMATION performance{};
  ASSERT_TRUE(K32GetPerformanceInfo(&performance, sizeof(performance)));
  const double physical =
      static_cast<double>(performance.PhysicalTotal) * static_cast<double>(performance.PageSize);
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  const double addressSpace =
      static_cast<double>(reinterpret_cast<std::uintptr_t>(system.lpMaximumApplicationAddress) -
                          reinterpret_cast<std::uintptr_t>(system.lpMinimumApplicationAddress));
  const MemoryStatus status = probes->ReadMemoryStatus();
  std::printf("physical %.0f / %llu bytes, address space %.0f / %llu bytes\n", physical,
              static_cast<unsigned long long>(status.totalPhys), addressSpace,
              static_cast<unsigned long long>(status.totalVirtual));
  EXPECT_NEAR(static_cast<double>(status.totalPhys), physical, physical * 0.02);
  EXPECT_NEAR(static_cast<double>(status.totalVirtual), addressSpace, addressSpace * 0.02);
  if (sizeof(void*) == 8) {
    EXPECT_GT(status.totalVirtual, 1ULL << 32);
  }
  EXPECT_EQ(info.MemoryText(1, false), probes->FormatByteSize(status.totalPhys));
  EXPECT_EQ(info.MemoryText(5, false), probes->FormatByteSize(status.totalVirtual));
}

TEST_F(RealSysInfo, CpuUsage) {
  // Let processor time pass so that the sample has something to measure.
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  volatile std::uint64_t spin = 0;
  while (std::chrono::steady_clock::now() < until) spin = spin + 1;
  bool sampled = false;
  const std::string usage = info.CpuUsageText(sampled, false);
  ExpectMatches(usage, R"(\d{1,3}%)");
  EXPECT_EQ(info.CpuUsageText(sampled, true), (usage.size() == 2   ? "00"
                                               : usage.size() == 3 ? "0"
                                                                   : "") +
                                                  usage);
}

// The machine-wide times move with the wall clock on every processor, and
// their busy part holds this process's own spin.
TEST(RealSysInfoCpu, WholeMachineTimesMove) {
  auto probes = CreateWin32Probes();
  const DWORD processors = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  ProcessorTimes before;
  ASSERT_TRUE(probes->ReadSystemTimes(before));
  const double ownBefore = OwnCpuMicroseconds();
  const auto start = std::chrono::steady_clock::now();
  volatile std::uint64_t spin = 0;
  while (std::chrono::steady_clock::now() < start + std::chrono::milliseconds(500)) spin = spin + 1;
  ProcessorTimes after;
  ASSERT_TRUE(probes->ReadSystemTimes(after));
  const double wall =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  const double own = OwnCpuMicroseconds() - ownBefore;
  // Microseconds, from 100-ns units.
  const double idle = static_cast<double>(after.idle - before.idle) / 10.0;
  const double total = static_cast<double>(after.kernel + after.user - before.kernel - before.user) / 10.0;
  std::printf("%lu processors, %.0f us wall: %.0f us elapsed, %.0f us idle, %.0f us own\n",
              static_cast<unsigned long>(processors), wall, total, idle, own);
  EXPECT_GE(idle, 0.0);
  EXPECT_LE(idle, total);
  EXPECT_GT(total, wall * processors * 0.7);
  EXPECT_LT(total, wall * processors * 1.3);
  EXPECT_GT(total - idle, own * 0.5);
}

TEST_F(RealSysInfo, BatteryUptimeCursor) {
  ExpectMatches(info.BatteryText(),
                R"(状態不明 |未装着 |(高, )?(低, )?(無, )?(充電中 )?残量 : (\d{1,3}%|不明 ))");
  ExpectMatches(info.UptimeText(), R"(\d{2,}:[0-5]\d:[0-5]\d)");
  ExpectMatches(info.CursorText(), R"(X:(-?[1-9]\d*)? Y:(-?[1-9]\d*)? )");
}

TEST_F(RealSysInfo, Network) {
  ExpectMatches(info.NetworkText(0), R"(\d+(\.\d+)?(バイト|bytes|KB|MB|GB|TB|PB|EB))");
  ExpectMatches(info.NetworkText(1), R"(\d+(\.\d+)?(バイト|bytes|KB|MB|GB|TB|PB|EB))");
  ExpectMatches(info.NetworkText(2), R"(-?\d+\.\d{1,2}kbps)");
  ExpectMatches(info.NetworkText(3), R"(-?\d+\.\d{1,2}kbps)");
  ExpectMatches(info.NetworkText(4), R"(-?\d+\.\d{1,2}KB/s)");
  ExpectMatches(info.NetworkText(5), R"(-?\d+\.\d{1,2}KB/s)");
  for (const InterfaceRow& row : info.InterfaceRows()) EXPECT_LE(row.description.size(), 255u);
  EXPECT_EQ(info.InterfaceRows().size(), info.InterfaceHistory().size());
  ASSERT_EQ(info.InterfaceRows().size(), info.CountedRows().size());
}

// Whatever the table marks, every Ethernet or Wi-Fi adapter it lists must
// reach the figures: with hardware rows, those; without (Wine marks none),
// every distinct pair of counters.
TEST_F(RealSysInfo, EveryAdapterReachesTheFigures) {
  std::vector<InterfaceRow> rows;
  ASSERT_TRUE(probes->ReadInterfaceTable(rows));
  const std::vector<bool> counted = CountedInterfaces(rows);
  bool marked = false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const InterfaceRow& row = rows[i];
    std::printf("row type %lu hardware %d counted %d in %lu out %lu\n", static_cast<unsigned long>(row.type),
                row.hardware, static_cast<int>(counted[i]), static_cast<unsigned long>(row.inOctets),
                static_cast<unsigned long>(row.outOctets));
    marked = marked || row.hardware;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const bool adapter = rows[i].type == 6 || rows[i].type == 71;
    if (!adapter || (marked && !rows[i].hardware)) continue;
    bool reached = false;
    for (std::size_t j = 0; j < rows.size(); ++j) {
      reached = reached || (counted[j] && rows[j].inOctets == rows[i].inOctets &&
                            rows[j].outOctets == rows[i].outOctets);
    }
    EXPECT_TRUE(reached) << i;
  }
}

TEST_F(RealSysInfo, Disk) {
  ExpectMatches(info.DiskText('C', 0), R"(\d+(\.\d+)?(バイト|bytes|KB|MB|GB|TB|PB|EB))");
  ExpectMatches(info.DiskText('C', 1), R"(\d+(\.\d+)?(バイト|bytes|KB|MB|GB|TB|PB|EB))");
  ExpectMatches(info.DiskText('C', 2), R"(\d{1,3}%)");
  ExpectMatches(info.DiskText('C', 3), R"(\d{1,3}%)");
  // A drive letter nothing is mapped to.
  char missing = 0;
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'Q'; letter <= 'Y' && !missing; ++letter) {
    if (!(drives & (1u << (letter - 'A')))) missing = letter;
  }
  ASSERT_NE(missing, 0);
  EXPECT_EQ(info.DiskText(missing, 0), RemoveSpaces(probes->FormatByteSize(0)));
  EXPECT_EQ(info.DiskText(missing, 2), "---%");
  EXPECT_EQ(info.DiskText(missing, 3), "---%");
}

TEST(RealSysInfoTimer, SecondTimerTicksOnTheMessageLoop) {
  auto probes = CreateWin32Probes();
  int ticks = 0;
  const SystemProbes::TimerId id = probes->StartSecondTimer([&] { ++ticks; });
  ASSERT_NE(id, 0u);
  PumpMessages(3000, [&] { return ticks >= 2; });
  probes->StopSecondTimer(id);
  EXPECT_GE(ticks, 2);
  const int stoppedAt = ticks;
  PumpMessages(1500, [] { return false; });
  EXPECT_EQ(ticks, stoppedAt);
}

TEST(RealSysInfoTimer, SamplerRunsFromStartToStop) {
  auto probes = CreateWin32Probes();
  SystemInfo info(*probes);
  info.Start();
  EXPECT_TRUE(info.NetworkSamplingRunning());
  // A timer tick replaces the start-up rates (the sums) with one second's change.
  PumpMessages(1500, [] { return false; });
  ExpectMatches(info.NetworkText(3), R"(-?\d+\.\d{1,2}kbps)");
  info.Stop();
  EXPECT_FALSE(info.NetworkSamplingRunning());
}

// The portable wording must read like the shell's own on a Japanese system.
TEST(RealByteSize, PortableMatchesTheShell) {
  auto probes = CreateWin32Probes();
  const bool japanese = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
  if (!japanese) std::printf("UI language is not Japanese: counts below 1024 bytes are not compared\n");
  constexpr std::uint64_t KB = 1024, MB = KB * KB, GB = MB * KB, TB = GB * KB, PB = TB * KB, EB = PB * KB;
  std::vector<std::uint64_t> values = {0, 1, 532, 999, 1000, 1023};
  for (std::uint64_t unit : {KB, MB, GB, TB, PB}) {
    for (std::uint64_t n : {1ULL, 10ULL, 100ULL, 1000ULL}) {
      values.push_back(n * unit - 1);
      values.push_back(n * unit);
      values.push_back(n * unit + 1);
    }
    values.push_back(unit + unit / 2);
    values.push_back(unit * 3 + unit / 7);
  }
  values.push_back(EB);
  values.push_back(EB * 7 + 12345);
  values.push_back(9223372036854775807ULL);
  // A spread of awkward values: a linear congruential walk over every magnitude.
  std::uint64_t x = 88172645463325252ULL;
  for (int i = 0; i < 400; ++i) {
    x = x * 6364136223846793005ULL + 1442695040888963407ULL;
    values.push_back((x >> 1) >> (i % 63));
  }
  for (std::uint64_t v : values) {
    if (!japanese && v < 1024) continue;
    EXPECT_EQ(FormatByteSizePortable(v), probes->FormatByteSize(v)) << v;
  }
}

// Cost of one composition holding all 22 codes over the real sources; figures
// only, the time depends on the machine.
TEST(RealSysInfoTiming, ThousandCompositions) {
  const std::string text = "%1 %2 %3 %4 %5 %6 %7 %8 %9 %A %B %C %D %E %F %G %H %IC %JC %KC %LC %%";
  for (std::uint64_t reuseMs : {0u, 1000u}) {
    auto probes = CreateWin32Probes();
    SystemInfo info(*probes);
    info.SetReadingReuse(reuseMs);
    info.Start();
    constexpr int kRuns = 1000;
    std::size_t length = 0;
    const double cpuStart = OwnCpuMicroseconds();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRuns; ++i) {
      bool cpuSampled = false;
      length += ExpandFormat(text, cpuSampled, info).size();
    }
    const double wall =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / kRuns;
    const double cpu = (OwnCpuMicroseconds() - cpuStart) / kRuns;
    std::printf(
        "real sources, 22 codes, reuse %llu ms: %.1f us wall, %.1f us own CPU per composition"
        " (%.1f%% of one core at a 2 ms tick)\n",
        static_cast<unsigned long long>(reuseMs), wall, cpu, cpu / 2000.0 * 100.0);
    bool cpuSampled = false;
    std::printf("  sample: %s\n", ExpandFormat(text, cpuSampled, info).c_str());
    info.Stop();
    EXPECT_GT(length, 0u);
  }
}

// What the sampler pays each second for the table with the hardware flag,
// beside the plain table; figures only.
TEST(RealSysInfoTiming, InterfaceTableReads) {
  auto probes = CreateWin32Probes();
  constexpr int kRuns = 200;
  std::vector<InterfaceRow> rows;
  double cpuStart = OwnCpuMicroseconds();
  for (int i = 0; i < kRuns; ++i) probes->ReadInterfaceTable(rows);
  const double probe = (OwnCpuMicroseconds() - cpuStart) / kRuns;
  std::vector<std::uint64_t> buffer(16384);
  cpuStart = OwnCpuMicroseconds();
  for (int i = 0; i < kRuns; ++i) {
    ULONG size = static_cast<ULONG>(buffer.size() * sizeof(std::uint64_t));
    GetIfTable(reinterpret_cast<MIB_IFTABLE*>(buffer.data()), &size, TRUE);
  }
  const double plain = (OwnCpuMicroseconds() - cpuStart) / kRuns;
  std::printf("interface table, %zu rows: %.1f us own CPU per read, the plain table %.1f us\n", rows.size(),
              probe, plain);
  EXPECT_FALSE(rows.empty());
}

}  // namespace
}  // namespace kestrova
