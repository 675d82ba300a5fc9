// What a part's file draws with: the scene the whole show shares, the row it defines, and the
// few helpers the parts have in common.
#pragma once
#include <cstdint>

#include "data/sine.h"
#include "driver/demo.h"
#include "driver/fps.h"
#include "driver/show.h"
#include "support/random.h"
#include "support/wrap.h"

// The frame counter times a speed, in sine steps; it wraps instead of overflowing.
inline int DemoTurn(int speed, int offset = 0) { return wrap::Add(wrap::Mul(FPSState.frames, speed), offset); }

// A random 24-bit colour from two draws: red from the first, green and blue from the second.
inline uint32_t DemoRandomColour(uint32_t mask) {
    const uint32_t first = uint32_t(RANDNext());
    const uint32_t second = uint32_t(RANDNext());
    return ((first << 16) | second) & mask;
}

// Every channel 128 .. 255: lighter than mid-grey.
inline uint32_t DemoLightColour() { return DemoRandomColour(0x7F7F7F) + 0x808080; }
