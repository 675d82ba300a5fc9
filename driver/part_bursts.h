// Part two: on a white screen every frame adds one burst, up to four stars of rays at one random
// centre, each in a light colour and about half the size of the one before; nothing is erased
// until the part ends.
#pragma once
#include <cstdint>

// What the part draws at the start of each run: the radius and step factors (16.16), by which
// each star of a burst shrinks from the one before, and the most stars a burst has.
struct BURSTSPART {
    int32_t radius = 0, step = 0;
    int stars = 0;
};

// Runs the part once (set-up and up to kPartLength frames).
void DemoPartBursts();
// One burst of up to n stars at one random centre.
void DemoBurst(int n);
// One star of rays; a step below 1 draws nothing.
void DemoRays(int cx, int cy, int radius, int step, uint32_t colour);
// One ray, drawn into the back buffer from its end back to its start.
void DemoLine(int x0, int y0, int x1, int y1, uint32_t colour);
// The part's own state, for tests to read and set.
BURSTSPART& DemoBurstsState();
