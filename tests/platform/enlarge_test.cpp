// Enlarging by whole pixels, for every pixel size a screen may have.
#include "platform/enlarge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(Enlarge, EveryPixelBecomesABlockOfItsOwnBytesAndNothingElseIsWritten) {
    for (int bytes = 1; bytes <= 4; ++bytes) {
        for (int k : {1, 2, 3, 4, 5}) {
            const int w = 3, h = 2, fromPitch = w * bytes + 1; // rows need not be packed
            std::vector<uint8_t> from(size_t(fromPitch) * h);
            for (size_t i = 0; i < from.size(); ++i) from[i] = uint8_t(7 * i + 1);
            const int toPitch = w * k * bytes + 5, rows = h * k + 1;
            std::vector<uint8_t> to(size_t(toPitch) * rows, 0xEE);
            PlatformEnlarge(from.data(), fromPitch, w, h, bytes, to.data(), toPitch, k);
            for (int y = 0; y < rows; ++y) {
                for (int x = 0; x < toPitch; ++x) {
                    const uint8_t got = to[size_t(y) * toPitch + x];
                    if (y >= h * k || x >= w * k * bytes) {
                        ASSERT_EQ(got, 0xEE) << "written past the picture at " << x << ", " << y;
                    } else {
                        const int px = x / bytes / k, py = y / k, byte = x % bytes;
                        ASSERT_EQ(got, from[size_t(py) * fromPitch + px * bytes + byte])
                            << bytes << " bytes, factor " << k << " at " << x << ", " << y;
                    }
                }
            }
        }
    }
}

TEST(Enlarge, TheFactorIsTheLargestWholeOneThatFits) {
    EXPECT_EQ(PlatformFitFactor(256, 256, 1920, 1080), 4);
    EXPECT_EQ(PlatformFitFactor(256, 256, 1024, 768), 3);
    EXPECT_EQ(PlatformFitFactor(256, 256, 600, 700), 2);
    EXPECT_EQ(PlatformFitFactor(256, 256, 100, 700), 1); // smaller than the picture: shown as it is
    EXPECT_EQ(PlatformFitFactor(0, 256, 1920, 1080), 1);
}
