// Per-frame drawing time of every part over whole runs, without a window: the set-up, then
// 1023 frames, each timed alone. Reports the median and the worst frame of the run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "driver/demo.h"
#include "driver/fps.h"

namespace {
bool ready = false;

void Scene() {
    if (ready) return;
    DemoInitScene(kScreenWidth, kScreenHeight);
    ready = true;
}

// Times every frame of one run; the frame counter advances as the frame end would advance it.
void Run(benchmark::State& state, void (*setup)(), void (*frame)(), int mode = -1) {
    Scene();
    std::vector<double> times(kPartLength);
    std::vector<double> medians, worsts;
    for (auto _ : state) {
        // Part three draws its mode at random: run its set-up until it draws the wanted one,
        // so the tiles have that mode's size too.
        do {
            setup();
        } while (mode >= 0 && demo.mosaicMode != mode);
        for (int i = 0; i < kPartLength; ++i) {
            const auto start = std::chrono::steady_clock::now();
            frame();
            const auto end = std::chrono::steady_clock::now();
            times[size_t(i)] = std::chrono::duration<double, std::micro>(end - start).count();
            ++FPSState.frames;
        }
        std::sort(times.begin(), times.end());
        medians.push_back(times[times.size() / 2]);
        worsts.push_back(times.back());
    }
    std::sort(medians.begin(), medians.end());
    state.counters["median_us"] = medians[medians.size() / 2];
    state.counters["worst_us"] = *std::max_element(worsts.begin(), worsts.end());
}
} // namespace

static void PartOne(benchmark::State& s) { Run(s, DemoLogoSetup, DemoLogoFrame); }
static void PartTwo(benchmark::State& s) { Run(s, DemoBurstsSetup, DemoBurstsFrame); }
static void PartThree(benchmark::State& s) { Run(s, DemoMosaicSetup, DemoMosaicFrame, int(s.range(0))); }
static void PartFour(benchmark::State& s) { Run(s, DemoRectsSetup, DemoRectsFrame); }

BENCHMARK(PartOne)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PartTwo)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PartThree)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PartFour)->Unit(benchmark::kMillisecond)->Iterations(5);
