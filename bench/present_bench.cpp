// The enlarged present: the demo's 256 x 256 picture shown four times its size (1024 x 1024),
// through the desktop backend as a full screen or an enlarged window shows it, beside its
// yardstick, one memcpy of the 1024 x 1024 x 4 bytes it writes. The present should stay within
// three of those. SDL's dummy video driver gives the backend a screen in memory, so the time is
// the enlarging itself, not the X server's.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "img/img.h"
#include "platform/enlarge.h"
#include "platform/platform.h"
#include "platform/sdldpy.h"

namespace {
constexpr size_t kBig = 1024 * 1024 * 4;

void Memcpy1024Square(benchmark::State& state) {
    std::vector<uint8_t> from(kBig, 1), to(kBig);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kBig);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBig));
}
BENCHMARK(Memcpy1024Square);

// The enlarging loop alone, on 32-bit pixels.
void Enlarge4Times(benchmark::State& state) {
    std::vector<uint32_t> from(256 * 256, 0x123456u), to(1024 * 1024);
    for (auto _ : state) {
        PlatformEnlarge(reinterpret_cast<const uint8_t*>(from.data()), 256 * 4, 256, 256, 4,
                        reinterpret_cast<uint8_t*>(to.data()), 1024 * 4, 4);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBig));
}
BENCHMARK(Enlarge4Times);

// The whole present of the demo's picture on a window enlarged four times.
void PresentEnlarged4Times(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("KELP2207_SCALE", "4", 1);
    PlatformChoose(&PlatformDesktop);
    static SDLDPY* display = SDLDPYNew();
    if (!display || !SDLDPYIsOpen()) {
        state.SkipWithError("no display");
        return;
    }
    IMG* picture = IMGNew();
    IMGSetSize(picture, 256, 256);
    for (int i = 0; i < 256 * 256; ++i) picture->pixels[i] = uint32_t(i) * 2654435761u >> 8;
    for (auto _ : state) SDLDPYBlitIMG(display, picture);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBig));
    IMGFree(&picture);
}
BENCHMARK(PresentEnlarged4Times);
} // namespace
