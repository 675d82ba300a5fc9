// FPS: counts frames, measures the frame rate over one-second windows and sleeps so that
// frames come at the target rate on average. Time is in microseconds, 32 bits, wrapping.
#pragma once
#include <cstdint>

struct FPSSTATE {
    int32_t frames;       // increased by every FPSTick; never reset
    int32_t target;       // frames per second wanted; 0 or less becomes 1 at the next tick
    int32_t period;       // microseconds per frame at the target rate
    int32_t now;          // time of this tick
    int32_t previous;     // time of the tick before
    int32_t elapsed;      // now - previous: the frame that just ended
    int32_t windowTime;   // microseconds summed since the last measurement
    int32_t windowFrames; // ticks since the last measurement
    int32_t measured;     // frames counted in the last completed window
    int32_t budget;       // FPSWait's sleep budget
};

// A frame time below zero or longer than this (microseconds) or four periods is a stall of the
// clock or the process, not work: the controller counts it as one period.
constexpr int32_t kFPSStall = 1000000;
// The sleep budget, and so each sleep, stays within this many periods.
constexpr int kFPSMaxSleepPeriods = 2;

// The pacing values; the driver writes `target` and the parts read `frames`.
extern FPSSTATE FPSState;

int FPSTick(); // returns the measured rate
void FPSWait();
int FPSTime(); // microseconds, the platform's clock (the headless backend's clock is a test's to drive)

