// Per-frame picture operations on the demo's 256 x 256 frame, timed beside the yardsticks they
// are held to: a memcpy of one frame and pixman's saturating ADD of one x8r8g8b8 frame onto
// another. Compare the times within one run: ratios hold across machines, absolute times do not.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "img/img.h"

namespace {

constexpr int kSide = 256;

// A frame of varied pixels (every channel value occurs, some saturate, some are zero).
IMG* Frame(uint32_t seed) {
    IMG* img = IMGNew();
    IMGSetSize(img, kSide, kSide);
    uint32_t state = seed;
    for (int i = 0; i < kSide * kSide; ++i) {
        state = state * 214013u + 2531011u;
        img->pixels[i] = (state >> 8) & 0xFFFFFFu;
    }
    return img;
}

struct Frames {
    IMG* src = Frame(1);
    IMG* dst = Frame(2);
    ~Frames() {
        IMGFree(&src);
        IMGFree(&dst);
    }
};

void SetBytes(benchmark::State& state) { state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide * 4); }

void Memcpy(benchmark::State& state) {
    std::vector<uint32_t> from(kSide * kSide, 0x123456), to(kSide * kSide);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size() * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(Memcpy);

void PixmanAdd(benchmark::State& state) {
    Frames f;
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_x8r8g8b8, kSide, kSide, f.src->pixels, kSide * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kSide, kSide, f.dst->pixels, kSide * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_ADD, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kSide, kSide);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    SetBytes(state);
}
BENCHMARK(PixmanAdd);

template <void (*Op)(const IMG*, IMG*, int, int, int, int, int, int)>
void Rect(benchmark::State& state) {
    Frames f;
    for (auto _ : state) {
        Op(f.src, f.dst, 0, 0, 0, 0, kSide, kSide);
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(Rect<IMGBlit>)->Name("IMGBlit");
BENCHMARK(Rect<IMGBlitTransparent>)->Name("IMGBlitTransparent");
BENCHMARK(Rect<IMGBlitAdd>)->Name("IMGBlitAdd");
BENCHMARK(Rect<IMGBlitAddSat>)->Name("IMGBlitAddSat");
BENCHMARK(Rect<IMGBlitSubSat>)->Name("IMGBlitSubSat");

void Fade(benchmark::State& state) {
    Frames f;
    for (auto _ : state) {
        IMGFade(f.dst, 0x040404);
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(Fade)->Name("IMGFade");

void FillRect(benchmark::State& state) {
    Frames f;
    for (auto _ : state) {
        IMGFillRect(f.dst, 0, 0, kSide, kSide, 0x102030);
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}
BENCHMARK(FillRect)->Name("IMGFillRect");

// The logo doubled at start-up: 128 x 32 to 256 x 64.
void Scale(benchmark::State& state) {
    IMG* src = Frame(3);
    IMGSetSize(src, 128, 32);
    IMG* dst = IMGNew();
    IMGSetSize(dst, 256, 64);
    for (auto _ : state) {
        IMGScale(src, dst);
        benchmark::ClobberMemory();
    }
    IMGFree(&src);
    IMGFree(&dst);
}
BENCHMARK(Scale)->Name("IMGScale/128x32_to_256x64");

// The font sheet's size: a 1024 x 128 binary colour picture decoded from memory.
void FromPNM(benchmark::State& state) {
    const std::string header = "P6\n1024 128\n255\n";
    std::vector<unsigned char> bytes(header.begin(), header.end());
    for (int i = 0; i < 1024 * 128 * 3; ++i) bytes.push_back(uint8_t(i * 7 + (i >> 9)));
    bytes.push_back(0);
    for (auto _ : state) {
        IMG* img = IMGFromPNM(bytes.data());
        benchmark::DoNotOptimize(img);
        IMGFree(&img);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 1024 * 128 * 3);
}
BENCHMARK(FromPNM)->Name("IMGFromPNM/P6_1024x128");

} // namespace
