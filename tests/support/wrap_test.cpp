#include "support/wrap.h"

#include <gtest/gtest.h>

#include <climits>

TEST(Wrap, ComesRoundModulo2To32) {
    EXPECT_EQ(wrap::Add(INT_MAX, 1), INT_MIN);
    EXPECT_EQ(wrap::Sub(INT_MIN, 1), INT_MAX);
    EXPECT_EQ(wrap::Sub(5, -3), 8);
    EXPECT_EQ(wrap::Mul(0x10000, 0x10000), 0);
    EXPECT_EQ(wrap::Mul(INT_MIN, -1), INT_MIN);
    EXPECT_EQ(wrap::ShiftLeft(-1, 31), INT_MIN);
    EXPECT_EQ(wrap::ShiftLeft(3, 30), INT_MIN + (1 << 30));
    EXPECT_EQ(wrap::Signed(0xFFFFFFFFu), -1);
    EXPECT_EQ(wrap::Unsigned(-1), 0xFFFFFFFFu);
}
