// The program's one pseudo-random generator: a 32-bit linear congruential state shared by
// every caller, so a given seed replays the whole show's random draws in order.
#pragma once
#include <cstdint>

void RANDSeed(uint32_t seed);
int RANDNext(); // 0 .. 32767
