#include "driver/fps.h"

#include <algorithm>

#include "platform/platform.h"
#include "support/identity.h"
#include "support/wrap.h"

FPSSTATE FPSState = {};

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("FPS", "20101122", "OrvilleK", "C++", "CODE");
} // namespace

int FPSTime() { return wrap::Signed(Platform()->clock()); } // wraps as the clock does

int FPSTick() {
    FPSSTATE& s = FPSState;
    s.frames = wrap::Add(s.frames, 1);
    if (s.target <= 0) s.target = 1;
    s.period = 1000000 / s.target;
    s.now = FPSTime();
    s.elapsed = wrap::Sub(s.now, s.previous);
    s.previous = s.now;
    // Summed wide: one frame of half an hour (a suspended process) must close the window,
    // not wrap the sum below zero and keep it open.
    const int64_t windowTime = int64_t(s.windowTime) + s.elapsed;
    s.windowTime = windowTime < 0 ? 0 : int32_t(windowTime < 1000000 ? windowTime : 1000000);
    if (s.windowTime >= 1000000) {
        // The part of the window beyond one second is dropped, not carried.
        s.measured = s.windowFrames;
        s.windowFrames = 0;
        s.windowTime = 0;
    }
    ++s.windowFrames;
    return s.measured;
}

namespace {
// The platform's clock is the wall clock: a time step or a long suspension makes a frame seem
// to last less than nothing or for ages. Such a frame says nothing about the work per frame,
// so the controller takes it as one period; a real slow frame is far shorter than this.
int32_t FrameTime(const FPSSTATE& s) {
    const int64_t stall = std::max<int64_t>(kFPSStall, 4 * int64_t(s.period));
    return s.elapsed < 0 || s.elapsed > stall ? s.period : s.elapsed;
}
} // namespace

void FPSWait() {
    FPSSTATE& s = FPSState;
    // An integrating controller: the sleep itself shows up in the next elapsed time.
    const int32_t frame = FrameTime(s);
    int64_t budget = s.budget;
    if (frame > s.period) {
        budget -= int64_t(frame) - s.period;
        if (budget <= 0) budget = 0;
    } else {
        budget += int64_t(s.period) - frame;
    }
    // No sleep outlasts a couple of frames, so keys and signals are heard whatever the clock did.
    s.budget = int32_t(std::min<int64_t>(budget, int64_t(kFPSMaxSleepPeriods) * s.period));
    if (s.budget > 0) Platform()->sleep(s.budget / 1000);
}
