// Repaint cost of the scan window's busy bar: one Value step plus a full paint of the 489 x 17
// style-2 bar through its back buffer. The window's timer steps it every 20 ms.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "controls/progressbar/xp_progressbar.h"

namespace {

using velquin::progressbar::CanvasSurface;
using velquin::progressbar::XP_ProgressBar;

void Step(benchmark::State& state, int style, bool text) {
  XP_ProgressBar bar(489, 17);
  bar.SetScrolling(style);
  bar.SetColor(0x00FF00);
  bar.SetShowText(text);
  velquin::draw::Canvas screen(489, 17);
  CanvasSurface surface(screen);
  int value = 0;
  for (auto _ : state) {
    value = value + 1 >= bar.Max() ? 0 : value + 1;
    (void)bar.SetValue(value);
    bar.DrawProgressBar(surface);
    benchmark::DoNotOptimize(screen.Pixels().Bytes());
  }
}

void BM_BusyBarStep(benchmark::State& state) { Step(state, 2, false); }
void BM_BusyBarStepWithText(benchmark::State& state) { Step(state, 2, true); }
void BM_SegmentedBarStep(benchmark::State& state) { Step(state, 0, false); }

BENCHMARK(BM_BusyBarStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BusyBarStepWithText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SegmentedBarStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // text drawing needs the font system
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
