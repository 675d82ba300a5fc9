#include "driver/rotozoom.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {
// A texture whose every texel names its own coordinates; never 0, never the sentinel.
IMG* Texture(int width, int height) {
    IMG* img = IMGNew();
    IMGSetSize(img, width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) IMGSetPixel(img, x, y, 0x10000u | uint32_t(y) << 8 | uint32_t(x));
    return img;
}
uint32_t Texel(int x, int y) { return 0x10000u | uint32_t(y) << 8 | uint32_t(x); }

constexpr uint32_t kSentinel = 0xABCDEFu;

struct RotozoomTest : ::testing::Test {
    ROTOZOOM* rotozoom = ROTOZOOMNew();
    IMG* target = IMGNew();
    RotozoomTest() {
        IMGSetSize(target, 256, 256);
        ROTOZOOMSet(rotozoom, Texture(64, 64), target);
    }
    ~RotozoomTest() override {
        ROTOZOOMFree(&rotozoom);
        IMGFree(&target);
    }
};
} // namespace

TEST(Rotozoom, StartsWithItsOwnBitmap) {
    ROTOZOOM* rotozoom = ROTOZOOMNew();
    ASSERT_NE(rotozoom, nullptr);
    EXPECT_EQ(rotozoom->width, 256);
    EXPECT_EQ(rotozoom->height, 256);
    EXPECT_EQ(rotozoom->angle, 0);
    EXPECT_EQ(rotozoom->step, 1);
    EXPECT_EQ(rotozoom->target, nullptr);
    const IMG* bitmap = rotozoom->texture;
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(bitmap->width, 16);
    ASSERT_EQ(bitmap->height, 16);
    int lit = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint32_t p = IMGGetPixel(bitmap, x, y);
            ASSERT_TRUE(p == 0 || p == 0xFFFFFF);
            if (x == 0 || y == 0 || x == 15 || y == 15) {
                EXPECT_EQ(p, 0u) << x << "," << y;
            }
            lit += p != 0;
        }
    EXPECT_GT(lit, 20); // a bold letter, not a few dots
    ROTOZOOMDraw(rotozoom); // no target yet: refused
    ROTOZOOMFree(&rotozoom);
    EXPECT_EQ(rotozoom, nullptr);
}

TEST_F(RotozoomTest, AtAngleZeroTheTextureLiesTurnedAQuarter) {
    IMGFillRect(target, 0, 0, 256, 256, kSentinel);
    ROTOZOOMDraw(rotozoom);
    // Its top edge along the target's left side; the centres meet.
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j)
            ASSERT_EQ(IMGGetPixel(target, j, i), Texel((32 - i) & 63, (j + 32) & 63)) << j << "," << i;
    EXPECT_EQ(IMGGetPixel(target, 128, 128), Texel(32, 32));
    EXPECT_EQ(IMGGetPixel(target, 0, 0), Texel(32, 32));

    // A quarter turn later it stands upright.
    rotozoom->angle = 256;
    ROTOZOOMDraw(rotozoom);
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j)
            ASSERT_EQ(IMGGetPixel(target, j, i), Texel((j + 32) & 63, (i + 32) & 63)) << j << "," << i;
}

TEST_F(RotozoomTest, EveryAngleFillsTheTargetAroundTheTexturesCentre) {
    for (int angle = 0; angle < 1024; angle += 7) {
        rotozoom->angle = angle;
        IMGFillRect(target, 0, 0, 256, 256, kSentinel);
        ROTOZOOMDraw(rotozoom);
        ASSERT_EQ(IMGGetPixel(target, 128, 128), Texel(32, 32)) << angle;
        for (int i = 0; i < 256; ++i)
            for (int j = 0; j < 256; ++j) ASSERT_NE(IMGGetPixel(target, j, i), kSentinel) << angle;
    }

    // An eighth of a turn: neighbours along a row lie a diagonal texel step apart, about 1.41
    // texels, so the picture is shrunk to about 0.71.
    rotozoom->angle = 128;
    ROTOZOOMDraw(rotozoom);
    int diagonal = 0;
    for (int j = 0; j + 1 < 256; ++j) {
        const uint32_t a = IMGGetPixel(target, j, 100), b = IMGGetPixel(target, j + 1, 100);
        const int dx = int((b & 0xFF) - (a & 0xFF)) & 63, dy = int(((b >> 8) & 0xFF) - ((a >> 8) & 0xFF)) & 63;
        ASSERT_EQ(dx, 1) << j;
        ASSERT_TRUE(dy == 0 || dy == 1) << j;
        diagonal += dy;
    }
    EXPECT_GE(diagonal, 250);
}

TEST_F(RotozoomTest, StepsWrapRoundTheTurn) {
    rotozoom->step = 3;
    for (int i = 1; i <= 341; ++i) {
        ROTOZOOMStep(rotozoom);
        ASSERT_EQ(rotozoom->angle, 3 * i);
    }
    ROTOZOOMStep(rotozoom);
    EXPECT_EQ(rotozoom->angle, 2);
    rotozoom->step = -5;
    ROTOZOOMStep(rotozoom);
    EXPECT_EQ(rotozoom->angle, 1021);
    rotozoom->step = INT_MIN;
    ROTOZOOMStep(rotozoom);
    EXPECT_EQ(rotozoom->angle, 1021);
    ROTOZOOMStep(nullptr);
}

TEST_F(RotozoomTest, OwnsItsTextureAndRefusesWhatItCannotDraw) {
    // Replacing releases the old texture (the sanitizer build checks nothing leaks); setting
    // the same one again must not release it.
    IMG* texture = Texture(32, 16);
    ROTOZOOMSetTexture(rotozoom, texture);
    ROTOZOOMSetTexture(rotozoom, texture);
    EXPECT_EQ(rotozoom->texture, texture);
    EXPECT_EQ(rotozoom->texture->width, 32);

    IMG* small = IMGNew();
    IMGSetSize(small, 128, 96);
    ROTOZOOMSetTarget(rotozoom, small);
    EXPECT_EQ(rotozoom->target, small);
    EXPECT_EQ(rotozoom->width, 128);
    EXPECT_EQ(rotozoom->height, 96);
    ROTOZOOMDraw(rotozoom); // not square, but close enough that both lists cover it
    EXPECT_EQ(IMGGetPixel(small, 64, 48), Texel(16, 8));

    // A target far from square would outrun the point lists; a texture whose sides are not
    // powers of two cannot wrap with a mask. Both are refused, drawing nothing.
    IMG* strip = IMGNew();
    IMGSetSize(strip, 256, 8);
    IMGFillRect(strip, 0, 0, 256, 8, kSentinel);
    ROTOZOOMSetTarget(rotozoom, strip);
    ROTOZOOMDraw(rotozoom);
    EXPECT_EQ(IMGGetPixel(strip, 0, 0), kSentinel);
    EXPECT_EQ(IMGGetPixel(strip, 255, 7), kSentinel);

    ROTOZOOMSetTarget(rotozoom, target);
    IMGFillRect(target, 0, 0, 256, 256, kSentinel);
    ROTOZOOMSetTexture(rotozoom, Texture(48, 64));
    ROTOZOOMDraw(rotozoom);
    EXPECT_EQ(IMGGetPixel(target, 128, 128), kSentinel);

    ROTOZOOMSet(rotozoom, nullptr, nullptr);
    EXPECT_EQ(rotozoom->target, target);
    ROTOZOOMSetTexture(nullptr, texture);
    ROTOZOOMDraw(nullptr);
    ROTOZOOM* none = nullptr;
    ROTOZOOMFree(&none);
    IMGFree(&small);
    IMGFree(&strip);
}
