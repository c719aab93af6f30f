// Clock texts and system-information codes, as the tick builds them.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <string>

#include "format/format.h"
#include "fakes/fake_platform.h"
#include "settings/settings.h"

namespace {

using kestrova::DateTime;

const DateTime kValue{1984, 1, 17, 17, 30, 30};
const std::string kDefaultPattern = kestrova::EscapeFormatText(kestrova::kDefaultFormatText);
constexpr const char* kStrftimePattern = " <%Y/%m/%d(%a) %H:%M:%S>";

std::tm ValueTm() {
  std::tm tm{};
  tm.tm_year = kValue.year - 1900;
  tm.tm_mon = kValue.month - 1;
  tm.tm_mday = kValue.day;
  tm.tm_hour = kValue.hour;
  tm.tm_min = kValue.minute;
  tm.tm_sec = kValue.second;
  tm.tm_wday = kestrova::DayOfWeek(kValue);
  tm.tm_yday = kestrova::DayOfYear(kValue) - 1;
  return tm;
}

void BM_DateFormatterDefault(benchmark::State& state) {
  const kestrova::RegionalSettings regional;
  for (auto _ : state) benchmark::DoNotOptimize(kestrova::DateFormatter(kValue, kDefaultPattern, regional));
}
BENCHMARK(BM_DateFormatterDefault);

void BM_StrftimeEquivalent(benchmark::State& state) {
  const std::tm tm = ValueTm();
  char buf[64];
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::strftime(buf, sizeof buf, kStrftimePattern, &tm));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StrftimeEquivalent);

// Both in one run; "ratio" is DateFormatter's time over strftime's (into a
// plain buffer, no string made), the goal being 2 or less.
void BM_DateFormatterOverStrftime(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  constexpr int kBatch = 2000;
  const kestrova::RegionalSettings regional;
  const std::tm tm = ValueTm();
  char buf[64];
  double formatterNs = 0;
  double strftimeNs = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    for (int i = 0; i < kBatch; ++i)
      benchmark::DoNotOptimize(kestrova::DateFormatter(kValue, kDefaultPattern, regional));
    auto t1 = Clock::now();
    for (int i = 0; i < kBatch; ++i) {
      benchmark::DoNotOptimize(std::strftime(buf, sizeof buf, kStrftimePattern, &tm));
      benchmark::ClobberMemory();
    }
    auto t2 = Clock::now();
    formatterNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
    strftimeNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
  }
  const double calls = static_cast<double>(state.iterations()) * kBatch;
  state.counters["formatter_ns"] = formatterNs / calls;
  state.counters["strftime_ns"] = strftimeNs / calls;
  state.counters["ratio"] = strftimeNs > 0 ? formatterNs / strftimeNs : 0;
}
BENCHMARK(BM_DateFormatterOverStrftime);

void BM_ClockTextDefault(benchmark::State& state) {
  kestrova::testing::FakeClock clock;
  const kestrova::Settings settings;
  const kestrova::RegionalSettings regional;
  for (auto _ : state) benchmark::DoNotOptimize(kestrova::ClockText(settings, clock, regional));
}
BENCHMARK(BM_ClockTextDefault);

void BM_ExpandFormatAllCodes(benchmark::State& state) {
  kestrova::testing::FakeSysInfoSources sources;
  const std::string text = "%1 %2 %3 %4 %5 %6 %7 %8 %9 %A %B %C %D %E %F %G %H %IC %JC %KC %LC %%";
  for (auto _ : state) {
    bool cpuSampled = false;
    benchmark::DoNotOptimize(kestrova::ExpandFormat(text, cpuSampled, sources));
  }
}
BENCHMARK(BM_ExpandFormatAllCodes);

void BM_CountdownText(benchmark::State& state) {
  const DateTime target{2027, 1, 1, 0, 0, 0};
  for (auto _ : state) benchmark::DoNotOptimize(kestrova::FormatCountdown(kValue, target));
}
BENCHMARK(BM_CountdownText);

}  // namespace
