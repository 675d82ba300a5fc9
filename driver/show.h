// The show: its parts, one row each in one table, played in order for ever.
//
// A part is a file of its own (driver/part_*.cpp) that keeps what it needs between frames to
// itself and defines its row: a name, a set-up run at the start of every run of the part, and
// the drawing of one frame into the back buffer. The frame loop and the frame end are shared,
// so a frame can be drawn without a window (tests, benchmarks). Every random draw happens in a
// fixed order, so a seed replays the whole show.
#pragma once
#include <span>

constexpr int kPartLength = 1023; // frames, not 1024

struct DEMOPART {
    const char* name; // one word, as the benchmarks and the tests report it
    void (*setup)();
    void (*frame)();
};

// The parts in the order the show plays them (driver/show.cpp).
extern const std::span<const DEMOPART* const> kDemoParts;

// Runs a part: set-up, then up to kPartLength frames, each drawn and ended by DemoFrameEnd.
void DemoRunPart(const DEMOPART& part);

// The parts of kDemoParts in order, for ever: the show after start-up. Returns once ESC's fade
// is done (or DemoStop asked for the end).
void DemoRunShow();
// Ends the show at the end of the current frame, without a fade: for a program that runs it
// for a number of frames (the recorder).
void DemoStop();
