// Cost of composing the default title (own title + clock) with the fake platform.
#include <benchmark/benchmark.h>

#include "engine/title.h"
#include "fakes/fake_platform.h"
#include "settings/settings.h"

namespace {

using namespace kestrova;

struct Fixture {
  testing::FakeWindowSystem windows;
  testing::FakeClock clock;
  testing::FakeLocale locale;
  testing::FakeSysInfoSources sysinfo;
  Settings settings;
  TitleWriter writer{windows, clock, locale, sysinfo, settings, [](const std::string& c, bool) { return c; }};
};

void BM_ComposeDefaultTitle(benchmark::State& state) {
  Fixture f;
  const std::string own = "無題 - メモ帳";
  for (auto _ : state) benchmark::DoNotOptimize(f.writer.ComposeTitle(own));
}
BENCHMARK(BM_ComposeDefaultTitle);

// One whole tick's title work on a window that stays in front: read, compose, write, read back.
void BM_ChangeTitleSameWindow(benchmark::State& state) {
  Fixture f;
  f.windows.Add(1, "無題 - メモ帳");
  for (auto _ : state) {
    f.writer.ChangeTitle(1);
    if (f.windows.writes.size() > 1000) f.windows.writes.clear();
  }
}
BENCHMARK(BM_ChangeTitleSameWindow);

}  // namespace
