#include "support/random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

TEST(Random, FollowsTheSharedGeneratorFromItsSeed) {
    // state = state * 214013 + 2531011 (mod 2^32); draw = (state >> 16) & 0x7FFF
    RANDSeed(0);
    EXPECT_EQ(RANDNext(), 38);    // state 2531011
    EXPECT_EQ(RANDNext(), 7719);  // state 505908858
    EXPECT_EQ(RANDNext(), 21238); // state 3539360597
    uint32_t state = 542388762u;
    RANDSeed(state);
    for (int i = 0; i < 1000; ++i) {
        state = state * 214013u + 2531011u;
        const int draw = RANDNext();
        ASSERT_EQ(draw, int((state >> 16) & 0x7FFF)) << i;
        ASSERT_GE(draw, 0);
        ASSERT_LE(draw, 32767);
    }
}

TEST(Random, IsNotTheCLibraryGenerator) {
    RANDSeed(7);
    const int ours = RANDNext();
    std::srand(12345);
    (void)std::rand();
    RANDSeed(7);
    EXPECT_EQ(RANDNext(), ours); // the C library's state does not disturb ours
}
