// Per-frame drawing time of every part over whole runs, without a window: the set-up, then
// 1023 frames, each timed alone. Every run replays the same seed and frame counts, so the
// runs do identical work; taking each frame's fastest run removes the moments the machine
// spent elsewhere. Reports the median and worst of those frames, and the raw worst frame.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "driver/demo.h"
#include "driver/fps.h"
#include "driver/part_mosaic.h"
#include "support/random.h"

namespace {
bool ready = false;

void Scene() {
    if (ready) return;
    DemoInitScene(kScreenWidth, kScreenHeight);
    ready = true;
}

// Times every frame of one run; the frame counter advances as the frame end would advance it.
void Run(benchmark::State& state, const DEMOPART* part, int mode) {
    Scene();
    std::vector<double> times(kPartLength);
    std::vector<double> best(kPartLength, 1e300);
    double rawWorst = 0;
    // Part three draws its mode at random: find a seed that draws the wanted one, so the
    // tiles have that mode's size too.
    uint32_t seed = kRandomSeed;
    for (;; ++seed) {
        RANDSeed(seed);
        part->setup();
        if (mode < 0 || DemoMosaicState().mode == mode) break;
    }
    for (auto _ : state) {
        RANDSeed(seed);
        FPSState.frames = 0;
        part->setup();
        for (int i = 0; i < kPartLength; ++i) {
            const auto start = std::chrono::steady_clock::now();
            part->frame();
            const auto end = std::chrono::steady_clock::now();
            times[size_t(i)] = std::chrono::duration<double, std::micro>(end - start).count();
            ++FPSState.frames;
        }
        for (size_t i = 0; i < times.size(); ++i) {
            best[i] = std::min(best[i], times[i]);
            rawWorst = std::max(rawWorst, times[i]);
        }
    }
    std::sort(best.begin(), best.end());
    state.counters["median_us"] = best[best.size() / 2];
    state.counters["worst_us"] = best.back();
    state.counters["raw_worst_us"] = rawWorst;
}

// Every part of the show by its name; part three once in each of its modes, whose tiles and
// spray counts differ.
[[maybe_unused]] const bool registered = [] {
    for (const DEMOPART* part : kDemoParts) {
        const bool mosaic = std::string_view(part->name) == "mosaic";
        for (int mode = mosaic ? 0 : -1; mode < (mosaic ? 4 : 0); ++mode) {
            std::string name = std::string("Part/") + part->name;
            if (mosaic) name += '/' + std::to_string(mode);
            benchmark::RegisterBenchmark(name.c_str(), Run, part, mode)->Unit(benchmark::kMillisecond)->Iterations(5);
        }
    }
    return true;
}();
} // namespace
