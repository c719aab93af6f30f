// The system-information sources over the machine's real readings.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "engine/format.h"
#include "sysinfo/byte_size.h"
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

TEST_F(RealSysInfo, PlatformAndMemory) {
  EXPECT_EQ(info.PlatformId(), 2);
  for (int item = 1; item <= 6; ++item) ExpectMatches(info.MemoryText(item, false), kByteSize);
  ExpectMatches(info.MemoryText(7, false), R"([1-9]\d{0,2}%|%)");
  ExpectMatches(info.MemoryText(7, true), R"(\d{3}%)");
  // Total physical memory as the 64-bit reading gives it, not capped at 4 GB.
  const MemoryStatus status = probes->ReadMemoryStatus();
  EXPECT_GT(status.totalPhys, 0u);
  EXPECT_EQ(info.MemoryText(1, false), probes->FormatByteSize(status.totalPhys));
}

TEST_F(RealSysInfo, CpuUsage) {
  EXPECT_GT(info.ProcessorCountFound(), 0);
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

// The process's own processor time (kernel + user), in microseconds.
double OwnCpuMicroseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto us = [](const FILETIME& t) {
    return static_cast<double>((std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 10.0;
  };
  return us(kernel) + us(user);
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

}  // namespace
}  // namespace kestrova
