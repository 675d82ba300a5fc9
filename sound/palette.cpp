#include "sound/palette.h"

#include <cstdio>

#include "support/identity.h"

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("PALETTE", "20110517", "OrvilleK", "C++", "CODE");
unsigned char debug = 0;

// Both wheels run green, cyan, blue, magenta, red, yellow and back to green: each run starts
// at one corner colour and moves one channel towards the next corner.
struct Run {
    int32_t start;
    int32_t step;
};

// Sets the palette to `entries` colours: `steps` colours from each run, the rest green.
void Wheel(SAMPLE* palette, int entries, int steps, const Run (&runs)[6]) {
    if (!palette || !palette->items) {
        PALETTEError();
        return;
    }
    if (palette->length != entries) SAMPLESetLength(palette, entries);
    if (palette->length != entries) {
        PALETTEError();
        return;
    }
    int32_t* colour = palette->items;
    for (const Run& run : runs) {
        for (int i = 0; i < steps; ++i) *colour++ = run.start + run.step * i;
    }
    while (colour < palette->items + entries) *colour++ = 0x00FF00;
}
} // namespace

void PALETTEError() {
    if (debug) std::printf("PALETTE Error.\n");
}

SAMPLE* PALETTENew() {
    SAMPLE* palette = SAMPLENew();
    if (palette) SAMPLESetLength(palette, 256);
    return palette;
}

void PALETTEFree(SAMPLE** palette) { SAMPLEFree(palette); }

void PALETTERotateRight(SAMPLE* palette, int k) { SAMPLERotateRight(palette, k); }

void PALETTERotateLeft(SAMPLE* palette, int k) { SAMPLERotateLeft(palette, k); }

void PALETTERainbow256(SAMPLE* palette) {
    static constexpr Run runs[6] = {{0x00FF00, 6},      {0x00FFFF, -0x600}, {0x0000FF, 0x60000},
                                    {0xFF00FF, -6},     {0xFF0000, 0x600},  {0xFFFF00, -0x60000}};
    Wheel(palette, 256, 42, runs);
}

void PALETTERainbow1536(SAMPLE* palette) {
    static constexpr Run runs[6] = {{0x00FF00, 1},      {0x00FFFF, -0x100}, {0x0000FF, 0x10000},
                                    {0xFF00FF, -1},     {0xFF0000, 0x100},  {0xFFFF00, -0x10000}};
    Wheel(palette, 1536, 256, runs);
}
