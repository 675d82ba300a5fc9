#include "data/sine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

TEST(Sine, FollowsTheQuarterWaveRule) {
    ASSERT_EQ(SINELength, 1024);
    ASSERT_EQ(SINEMask, 1023);
    for (int k = 0; k < 256; ++k) {
        int q = int(std::floor(32767.0 * std::sin(2.0 * std::numbers::pi * k / 1024.0) + 0.5));
        if (k == 129 || k == 183) ++q; // the two entries one above the double-precision rule
        EXPECT_EQ(SINE[k], q) << k;
        EXPECT_EQ(SINE[256 + k], SINE[255 - k]) << k;
        EXPECT_EQ(SINE[512 + k], -SINE[k]) << k;
        EXPECT_EQ(SINE[768 + k], -SINE[255 - k]) << k;
    }
    EXPECT_EQ(SINE[129], 23312);
    EXPECT_EQ(SINE[183], 29535);
}

TEST(Sine, CheckValuesAndWrapping) {
    EXPECT_EQ(SINE[1], 201);
    EXPECT_EQ(SINE[64], 12539);
    EXPECT_EQ(SINE[128], 23170);
    EXPECT_EQ(SINE[257], 32765);
    EXPECT_EQ(SINE[513], -201);
    EXPECT_EQ(SINE[255], 32766);
    EXPECT_EQ(SINE[256], 32766);
    EXPECT_EQ(SINE[767], -32766);
    EXPECT_EQ(SINE[768], -32766);
    for (int zero : {0, 511, 512, 1023}) EXPECT_EQ(SINE[zero], 0) << zero;
    for (int a : {-1, -300, -1024, -5000, 77}) {
        for (int k : {-3, 1, 2}) EXPECT_EQ(SINEAt(a + 1024 * k), SINE[a & SINEMask]);
    }
    // A quarter turn on is the cosine; the lookup takes any angle a caller can form.
    EXPECT_EQ(SINEQuarter, 256);
    EXPECT_EQ(SINEAt(SINEQuarter), 32766);
    EXPECT_EQ(SINEAt(512 + SINEQuarter), -32766);
    EXPECT_EQ(SINEAt(-int64_t(INT32_MIN) + 1), SINE[1]);
    EXPECT_EQ(SINEAt(int64_t(INT32_MIN) - SINEQuarter), SINE[768]);
}
