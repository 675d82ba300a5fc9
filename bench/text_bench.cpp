// Per-frame costs of the text and rotozoom drawing the first and third parts do every frame.
#include <benchmark/benchmark.h>

#include "driver/rotozoom.h"
#include "text/font.h"
#include "text/scroll.h"

namespace {
IMG* Picture(int width, int height, uint32_t seed) {
    IMG* img = IMGNew();
    IMGSetSize(img, width, height);
    for (int i = 0; i < width * height; ++i) {
        seed = seed * 1664525u + 1013904223u;
        img->pixels[i] = (seed >> 8) & 0xFFFFFF;
    }
    return img;
}

// A whole 256 x 256 target from a 64 x 64 texture, turning 3 steps a draw as part one does.
void RotozoomDraw(benchmark::State& state) {
    IMG* target = Picture(256, 256, 1);
    ROTOZOOM* rotozoom = ROTOZOOMNew();
    ROTOZOOMSet(rotozoom, Picture(64, 64, 2), target);
    rotozoom->step = 3;
    for (auto _ : state) {
        ROTOZOOMStep(rotozoom);
        ROTOZOOMDraw(rotozoom);
        benchmark::DoNotOptimize(target->pixels);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
    ROTOZOOMFree(&rotozoom);
    IMGFree(&target);
}
BENCHMARK(RotozoomDraw)->Unit(benchmark::kMicrosecond);

// One band of ten 32 x 32 glyphs, drawn and stepped at the demo's speed.
void ScrollDraw(benchmark::State& state) {
    static const char text[] = "KELP2207 runs its scroll text through a band of 32-pixel glyphs. ";
    IMG* target = Picture(256, 256, 3);
    FONT* font = FONTNew();
    font->width = 32;
    font->height = 32;
    font->source = Picture(1024, 128, 4);
    SCROLL* scroll = SCROLLNew();
    SCROLLSet(scroll, text, font, target);
    scroll->speed = 5;
    scroll->y = 224;
    for (auto _ : state) {
        SCROLLDraw(scroll);
        SCROLLStep(scroll);
        benchmark::ClobberMemory();
    }
    SCROLLFree(&scroll);
    FONTFree(&font);
    IMGFree(&target);
}
BENCHMARK(ScrollDraw)->Unit(benchmark::kMicrosecond);

// One 64 x 64 spray glyph added with saturation, as part three puts down up to 8 a frame.
void FontPutCharSaturated(benchmark::State& state) {
    IMG* target = Picture(256, 256, 5);
    FONT* font = FONTNew();
    font->width = 64;
    font->height = 64;
    font->source = Picture(64, 256, 6);
    font->target = target;
    int frame = 0;
    for (auto _ : state) {
        font->x = (frame * 37) & 0xBF;
        font->y = (frame * 53) & 0xBF;
        font->character = frame++ & 3;
        FONTPutCharSaturated(font);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 64 * 64);
    FONTFree(&font);
    IMGFree(&target);
}
BENCHMARK(FontPutCharSaturated)->Unit(benchmark::kMicrosecond);
} // namespace
