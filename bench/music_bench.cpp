// The music's cost per frame: a note tick of the generator (the 299 other ticks are one
// decrement) and one device buffer of the sound callback.
#include <benchmark/benchmark.h>

#include <vector>

#include "data/instruments.h"
#include "platform/sdlsnd.h"
#include "sound/music.h"
#include "support/random.h"

namespace {
void NoteTick(benchmark::State& state) {
    MUSIC* music = MUSICNew();
    for (int i = 0; i < INSTRUMENTS.count; ++i) MUSICAddInstrument(music, SAMPLECopy(&INSTRUMENTS.records[i]));
    RANDSeed(542388762u);
    for (auto _ : state) {
        music->countdown = 1; // this tick composes
        MUSICTick(music);
        benchmark::DoNotOptimize(music->output->items);
    }
    state.counters["bar"] = music->output->length;
    MUSICFree(&music);
}
BENCHMARK(NoteTick)->Unit(benchmark::kMicrosecond);

void Callback8192(benchmark::State& state) {
    SAMPLE* bar = SAMPLENew();
    SAMPLESetLength(bar, 50000);
    for (int i = 0; i < 50000; ++i) bar->items[i] = (i * 37) % 65536 - 32768;
    SDLSND sound = {44100, 16, 0, LISTNew(), 's', 'l', 0};
    std::vector<uint8_t> device(8192);
    for (auto _ : state) {
        while (sound.queue->count < 4) SDLSNDPlaySAMPLE(&sound, bar); // as the driver keeps it
        SDLSNDCallback(&sound, device.data(), 8192);
        benchmark::DoNotOptimize(device.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 8192);
    LISTFree(&sound.queue);
    SAMPLEFree(&bar);
}
BENCHMARK(Callback8192)->Unit(benchmark::kMicrosecond);
} // namespace
