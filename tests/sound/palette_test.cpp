#include "sound/palette.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
int Channel(int32_t colour, int shift) { return (colour >> shift) & 0xFF; }

// Walks a wheel: every colour differs from the one before in exactly one channel, by `step`
// (or the whole way from one corner colour to the next at a run's end). Returns how many
// single steps it saw.
int Steps(const SAMPLE* p, int count, int step) {
    int steps = 0;
    for (int i = 1; i < count; ++i) {
        int changed = 0, by = 0;
        for (int shift : {0, 8, 16}) {
            const int d = Channel(p->items[i], shift) - Channel(p->items[i - 1], shift);
            if (d != 0) ++changed, by = std::abs(d);
        }
        if (changed == 1 && by == step) ++steps;
    }
    return steps;
}
} // namespace

TEST(Palette, CoarseWheel) {
    SAMPLE* p = PALETTENew();
    ASSERT_EQ(p->length, 256);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(p->items[i], 0);
    PALETTERainbow256(p);
    EXPECT_EQ(p->length, 256);
    EXPECT_EQ(p->items[0], 0x00FF00);
    EXPECT_EQ(p->items[41], 0x00FFF6);
    EXPECT_EQ(p->items[42], 0x00FFFF);
    EXPECT_EQ(p->items[84], 0x0000FF);
    EXPECT_EQ(p->items[126], 0xFF00FF);
    EXPECT_EQ(p->items[168], 0xFF0000);
    EXPECT_EQ(p->items[210], 0xFFFF00);
    EXPECT_EQ(p->items[251], 0x09FF00);
    for (int i = 252; i < 256; ++i) EXPECT_EQ(p->items[i], 0x00FF00);
    EXPECT_EQ(Steps(p, 252, 6), 6 * 41);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(p->items[i] & ~0xFFFFFF, 0);

    PALETTERotateRight(p, 1);
    EXPECT_EQ(p->items[0], 0x00FF00); // entry 255
    EXPECT_EQ(p->items[42], 0x00FFF6);
    PALETTERotateLeft(p, 1);
    EXPECT_EQ(p->items[41], 0x00FFF6);
    PALETTEFree(&p);
    EXPECT_EQ(p, nullptr);
}

TEST(Palette, FineWheel) {
    SAMPLE* p = PALETTENew();
    PALETTERainbow1536(p);
    ASSERT_EQ(p->length, 1536);
    EXPECT_EQ(p->items[0], 0x00FF00);
    EXPECT_EQ(p->items[255], 0x00FFFF);
    EXPECT_EQ(p->items[1280], 0xFFFF00);
    EXPECT_EQ(p->items[1535], 0x00FF00);
    EXPECT_EQ(Steps(p, 1536, 1), 6 * 255);
    PALETTERainbow256(p); // and back to the coarse wheel's length
    EXPECT_EQ(p->length, 256);
    EXPECT_EQ(p->items[251], 0x09FF00);
    PALETTEFree(&p);

    SAMPLE none = {256, 256, nullptr};
    PALETTERainbow256(nullptr); // refused
    PALETTERainbow1536(&none);
    EXPECT_EQ(none.length, 256);
}
