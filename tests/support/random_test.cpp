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
    // Draws from the C library between ours must not move our sequence, and ours must not
    // move the C library's: each keeps a state of its own.
    RANDSeed(7);
    const int first = RANDNext();
    std::srand(7);
    for (int i = 0; i < 3; ++i) (void)std::rand();
    const int second = RANDNext();
    EXPECT_EQ(first, 61);     // state 4029102
    EXPECT_EQ(second, 17422); // state 3289278137
    std::srand(12345);
    const int expected = std::rand();
    std::srand(12345);
    RANDSeed(99);
    for (int i = 0; i < 3; ++i) (void)RANDNext();
    EXPECT_EQ(std::rand(), expected);
}
