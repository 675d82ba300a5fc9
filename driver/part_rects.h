// Part four: a tunnel of 128 nested rectangles, each a shade darker than the one around it,
// wobbling on sums of sine waves that follow the frame counter.
#pragma once
#include <cstdint>

// What the part keeps: the run's colour (0x00RRGGBB, each channel 128 .. 255), drawn at the
// start of every run; the outermost rectangle has it.
struct RECTSPART {
    uint32_t colour = 0;
};

// Runs the part once (set-up and up to kPartLength frames).
void DemoPartRects();
// The rectangles of the current frame counter, into the back buffer.
void DemoRects();
// The part's own state, for tests to read and set.
RECTSPART& DemoRectsState();
