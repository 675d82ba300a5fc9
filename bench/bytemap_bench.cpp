// Grey-map operations on 256 x 256 maps, timed beside a memcpy of the bytes they write: the
// map's 64 KiB for the scaler and the transparent copy, the picture's 256 KiB for the colouring.
// Compare the times within one run: ratios hold across machines, absolute times do not.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "bytemap/bytemap.h"
#include "img/img.h"
#include "sound/sample.h"

namespace {

constexpr int kSide = 256;

// A map of varied bytes, about one in eight of them 0 (the transparent key).
BYTEMAP* Varied(int width, int height, uint32_t seed) {
    BYTEMAP* map = BYTEMAPNew();
    BYTEMAPSetSize(map, width, height);
    uint32_t state = seed;
    for (int i = 0; i < width * height; ++i) {
        state = state * 214013u + 2531011u;
        const uint32_t v = state >> 16;
        map->data[i] = (v & 7) ? uint8_t(v >> 3) : 0;
    }
    return map;
}

void Memcpy(benchmark::State& state) {
    const size_t bytes = size_t(state.range(0));
    std::vector<uint8_t> from(bytes, 0x5A), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(Memcpy)->Arg(kSide * kSide)->Arg(kSide * kSide * 4);

// Any source size into a 256 x 256 target: larger, smaller, the same, and uneven factors.
void Scale(benchmark::State& state) {
    BYTEMAP* src = Varied(int(state.range(0)), int(state.range(0)), 1);
    BYTEMAP* dst = BYTEMAPNew();
    BYTEMAPSetSize(dst, kSide, kSide);
    for (auto _ : state) {
        BYTEMAPScale(src, dst);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide);
    BYTEMAPFree(&src);
    BYTEMAPFree(&dst);
}
BENCHMARK(Scale)->Name("BYTEMAPScale/to256")->Arg(128)->Arg(200)->Arg(256)->Arg(384)->Arg(512);

void BlitTransparent(benchmark::State& state) {
    BYTEMAP* src = Varied(kSide, kSide, 2);
    BYTEMAP* dst = Varied(kSide, kSide, 3);
    for (auto _ : state) {
        BYTEMAPBlitTransparent(src, dst, 0, 0, 0, 0, kSide, kSide);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide);
    BYTEMAPFree(&src);
    BYTEMAPFree(&dst);
}
BENCHMARK(BlitTransparent)->Name("BYTEMAPBlitTransparent");

void ToIMG(benchmark::State& state) {
    BYTEMAP* map = Varied(kSide, kSide, 4);
    IMG* img = IMGNew();
    IMGSetSize(img, kSide, kSide);
    SAMPLE* palette = SAMPLENew();
    SAMPLESetLength(palette, 256);
    for (int i = 0; i < 256; ++i) palette->items[i] = int32_t(uint32_t(i) * 0x010101u);
    for (auto _ : state) {
        BYTEMAPToIMG(map, img, palette);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide * 4);
    SAMPLEFree(&palette);
    IMGFree(&img);
    BYTEMAPFree(&map);
}
BENCHMARK(ToIMG)->Name("BYTEMAPToIMG");

} // namespace
