// The frame end without its sleep, on a real window (run under Xvfb by scripts/run-bench):
// the read-out, the present, the music step and the key poll, frame after frame.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "driver/demo.h"
#include "driver/fps.h"
#include "driver/musicfeed.h"

static void FrameEnd(benchmark::State& state) {
    static bool ready = false;
    if (!ready) {
        PlatformChoose(&PlatformDesktop);
        if (const char* failure = DemoInit()) {
            state.SkipWithError(failure);
            return;
        }
        ready = true;
    }
    demo.readout = 1;
    const DEMOPART& part = *kDemoParts.back(); // any part makes a changing picture
    part.setup();
    std::vector<double> times;
    for (auto _ : state) {
        part.frame(); // drawn outside the timed span
        const auto start = std::chrono::steady_clock::now();
        DemoReadout();
        SDLDPYBlitIMG(demo.display, demo.back);
        DemoMusicTick(); // every 300th call mixes a note
        SDLKBDGetKey(demo.keyboard);
        DemoKey(demo.keyboard->keys[0]);
        demo.keyboard->keys[0] = 0;
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        ++FPSState.frames;
    }
    std::sort(times.begin(), times.end());
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["p99_us"] = times[times.size() * 99 / 100];
    state.counters["worst_us"] = times.back();
}
BENCHMARK(FrameEnd)->Iterations(3000)->Unit(benchmark::kMicrosecond);
