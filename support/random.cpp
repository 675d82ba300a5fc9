#include "support/random.h"

namespace {
uint32_t state = 0;
}

void RANDSeed(uint32_t seed) { state = seed; }

int RANDNext() {
    // Unsigned arithmetic: the multiply-add wraps modulo 2^32 by definition.
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}
