// One system-information composition holding all 22 codes, over scripted
// readings: the cost of the rules themselves, without the platform's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "format/format.h"
#include "fakes/fake_probes.h"
#include "sysinfo/byte_size.h"
#include "sysinfo/system_info.h"

namespace {

using kestrova::SystemInfo;
using kestrova::testing::FakeProbes;

const std::string kAll22Codes = "%1 %2 %3 %4 %5 %6 %7 %8 %9 %A %B %C %D %E %F %G %H %IC %JC %KC %LC %%";

void Script(FakeProbes& probes) {
  probes.memory = {37,
                   17179869184ULL,
                   6442450944ULL,
                   19327352832ULL,
                   9663676416ULL,
                   140737488224256ULL,
                   140700000000000ULL};
  probes.processorTimes.resize(8);
  probes.power = {1 | 8, 80};
  probes.tickCount = 2592000000ULL;
  probes.cursor = {640, 480};
  // A typical table: each real adapter followed by its filter layers, among
  // virtual adapters and tunnels.
  for (int i = 0; i < 12; ++i) {
    const unsigned adapter = static_cast<unsigned>(i / 4);
    const bool tunnel = i % 4 == 3;
    probes.interfaces.push_back({tunnel ? 131u : (adapter == 1 ? 71u : 6u), 123456789u * (adapter + 1),
                                 98765432u + adapter, "Adapter #" + std::to_string(i), i % 4 == 0});
  }
  probes.disks["C:\\"] = {256ULL << 30, 1000ULL << 30};
}

void Compose(benchmark::State& state, std::uint64_t reuseMs) {
  FakeProbes probes;
  Script(probes);
  SystemInfo info(probes);
  info.SetReadingReuse(reuseMs);
  info.Start();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    probes.AddProcessorTime(0, 500, 500);  // time passes between two ticks
    ++probes.tickCount;
    bool cpuSampled = false;
    benchmark::DoNotOptimize(kestrova::ExpandFormat(kAll22Codes, cpuSampled, info));
  }
  // Share of one core when the main tick runs every 2 ms: time per composition / 2 ms.
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  state.counters["core_pct_at_2ms_tick"] = seconds / static_cast<double>(state.iterations()) / 0.002 * 100.0;
  info.Stop();
}

void BM_SysInfoAll22Codes(benchmark::State& state) { Compose(state, 0); }
BENCHMARK(BM_SysInfoAll22Codes);

void BM_SysInfoAll22CodesReuse1s(benchmark::State& state) { Compose(state, 1000); }
BENCHMARK(BM_SysInfoAll22CodesReuse1s);

void BM_FormatByteSizePortable(benchmark::State& state) {
  std::uint64_t value = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kestrova::FormatByteSizePortable(value));
    value = value * 3 + 7;
  }
}
BENCHMARK(BM_FormatByteSizePortable);

}  // namespace
