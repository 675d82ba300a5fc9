// Part one: the badge turning over the whole screen (the rotozoom), the scroller's band
// bouncing along the bottom, and the big logo floating over both on two sine waves.
#pragma once

// What the part keeps across its runs: the big logo's two phases, in sine steps (0 .. 1023).
struct LOGOPART {
    int phaseX = 0, phaseY = 0;
};

// Runs the part once (set-up and up to kPartLength frames).
void DemoPartLogo();
// The part's own state, for tests to read and set.
LOGOPART& DemoLogoState();
