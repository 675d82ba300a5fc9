#include "data/instruments.h"

#include <gtest/gtest.h>

#include <cstdlib>

// The compiled-in sounds: their sizes, their range, and that they are struck sounds that
// start loud and have died away by their end (a note cut off loud would click in the bar).
TEST(Instruments, ThirteenStruckSoundsInTheSixteenBitRange) {
    ASSERT_EQ(INSTRUMENTS.count, 13);
    for (int i = 0; i < INSTRUMENTS.count; ++i) {
        const SAMPLE& s = INSTRUMENTS.records[i];
        EXPECT_EQ(s.length, i == 0 ? 22050 : 11024) << i;
        EXPECT_EQ(s.capacity, s.length) << i;
        ASSERT_NE(s.items, nullptr);
        int head = 0, tail = 0;
        for (int j = 0; j < s.length; ++j) {
            ASSERT_GE(s.items[j], -32768);
            ASSERT_LE(s.items[j], 32767);
            const int a = std::abs(s.items[j]);
            if (j < s.length / 4) head = std::max(head, a);
            if (j >= s.length - s.length / 8) tail = std::max(tail, a);
        }
        EXPECT_GT(head, 8000) << i;      // loud at the start
        EXPECT_LT(tail * 20, head) << i; // quiet by the end
        EXPECT_EQ(s.items[s.length - 1], 0) << i;
    }
}
