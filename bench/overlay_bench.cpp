// Cost of the caption overlay's work: deciding and placing it (on every tick and
// every followed move) and painting its plate (only when its text or size changes).
#include <benchmark/benchmark.h>

#include <vector>

#include "overlay/overlay.h"

namespace {

using namespace kestrova;

class FixedMeasure : public TextMeasure {
 public:
  int TextWidth(std::string_view text, int) override { return static_cast<int>(text.size()) * 7; }
};

void BM_PlaceOverlay(benchmark::State& state) {
  WindowGeometry g;
  g.exists = g.front = true;
  g.style = style::kOverlappedWindow;
  g.frame = g.client = {100, 50, 1100, 750};
  g.monitor = {0, 0, 1920, 1080};
  g.captionHeight = 31;
  g.buttonWidth = 36;
  g.captionFontPixels = 12;
  FixedMeasure measure;
  for (auto _ : state) benchmark::DoNotOptimize(PlaceOverlay(g, "<2026/12/08(Tue) 17:30:30>", measure));
}
BENCHMARK(BM_PlaceOverlay);

// The plate of the default clock at 100 % and 150 %.
void BM_PaintPlate(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const std::vector<std::uint8_t> coverage(static_cast<size_t>(width * height), 128);
  for (auto _ : state) benchmark::DoNotOptimize(PaintPlate(width, height, height / 4, coverage));
  state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_PaintPlate)->Args({200, 20})->Args({300, 30});

// Ten seconds of a drag that reports a move every millisecond, frames every 16 ms.
void BM_DragBurstFollows(benchmark::State& state) {
  long follows = 0;
  for (auto _ : state) {
    FrameCoalescer c;
    follows = 0;
    for (int ms = 0; ms < 10000; ++ms) {
      if (c.Event()) ++follows;
      if (ms % 16 == 15 && c.Frame()) ++follows;
    }
    benchmark::DoNotOptimize(follows);
  }
  state.counters["events"] = 10000;
  state.counters["placements"] = static_cast<double>(follows);
}
BENCHMARK(BM_DragBurstFollows);

}  // namespace
