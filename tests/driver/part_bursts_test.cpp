// Part two's factors, stars and rays against the generator's own sequence and the pixels they
// light.
#include "driver/part_bursts.h"

#include <set>

#include "support/random.h"
#include "tests/driver/parts.h"

namespace {
bool Light(uint32_t p) { return ((p >> 16) & 0xFF) >= 128 && ((p >> 8) & 0xFF) >= 128 && (p & 0xFF) >= 128; }
} // namespace

TEST_F(Parts, PartTwoDrawsFactorsNearAHalfAndOneAndUpToFourStars) {
    const BURSTSPART& state = DemoBurstsState();
    const DEMOPART& bursts = Part("bursts");
    std::set<int> stars;
    bool radiusUp = false, radiusDown = false, stepUp = false, stepDown = false;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        RANDSeed(seed);
        bursts.setup();
        Replay after(seed);
        for (int i = 0; i < 5; ++i) after.Next();
        ASSERT_EQ(RANDNext(), after.Next()) << "five draws, seed " << seed;
        ASSERT_GE(state.radius, 0x8000 - 0xFFF);
        ASSERT_LE(state.radius, 0x8000 + 0xFFF);
        ASSERT_GE(state.step, 0x10000 - 0xFF);
        ASSERT_LE(state.step, 0x10000 + 0xFF);
        radiusUp |= state.radius > 0x8000;
        radiusDown |= state.radius < 0x8000;
        stepUp |= state.step > 0x10000;
        stepDown |= state.step < 0x10000;
        stars.insert(state.stars);
    }
    EXPECT_TRUE(radiusUp && radiusDown && stepUp && stepDown);
    EXPECT_EQ(stars, (std::set<int>{1, 2, 3, 4}));
    // The show's own seed, drawn in the order sign, size for each factor, then the stars.
    RANDSeed(kRandomSeed);
    bursts.setup();
    EXPECT_EQ(state.radius, 0x7EF1);
    EXPECT_EQ(state.step, 0x100B7);
    EXPECT_EQ(state.stars, 3);
    for (int i = 0; i < 256 * 256; ++i) ASSERT_EQ(demo.back->pixels[i], 0xFFFFFFu) << "a white screen";
}

TEST_F(Parts, RaysOfRadiusZeroAndOne) {
    IMGClear(demo.back);
    DemoRays(100, 100, 0, 4, 0x123456);
    int lit = 0;
    for (int i = 0; i < 256 * 256; ++i) lit += demo.back->pixels[i] != 0;
    EXPECT_EQ(lit, 1);
    EXPECT_EQ(Pixel(100, 100), 0x123456u);

    IMGClear(demo.back);
    DemoRays(100, 100, 1, 4, 0xABCDEF);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const bool inBox = x >= 99 && x <= 100 && y >= 99 && y <= 100;
            if (!inBox) {
                ASSERT_EQ(Pixel(x, y), 0u) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(Pixel(100, 100), 0xABCDEFu);
}

TEST_F(Parts, ABurstOfRadiusOneStopsAfterOneStar) {
    // Find a seed whose third draw gives radius 1.
    uint32_t seed = 0;
    for (;; ++seed) {
        Replay r(seed);
        r.Next();
        r.Next();
        if (r.Next() % 128 == 1) break;
    }
    IMGFillRect(demo.back, 0, 0, 256, 256, 0xFFFFFF);
    DemoBurstsState().radius = 0x8FFF;
    DemoBurstsState().step = 0x10000;
    RANDSeed(seed);
    Replay r(seed);
    const int cx = r.Next() % 256, cy = r.Next() % 256;
    r.Next();
    r.Next();
    const uint32_t colour = r.Colour(0x7F7F7F) + 0x808080;
    DemoBurst(4);
    EXPECT_EQ(RANDNext(), r.Next()) << "no further colour drawn";
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const bool inBox = x >= cx - 1 && x <= cx && y >= cy - 1 && y <= cy;
            const uint32_t p = Pixel(x, y);
            ASSERT_TRUE(inBox ? p == 0xFFFFFF || p == colour : p == 0xFFFFFF) << x << "," << y;
        }
    }
    EXPECT_EQ(Pixel(cx, cy), colour);
}

TEST_F(Parts, PartTwoRaysAreAlwaysLightAndTheCornerLogoSitsBottomRight) {
    RANDSeed(7);
    Part("bursts").setup();
    for (int i = 0; i < 60; ++i) Part("bursts").frame();
    int coloured = 0;
    for (int y = 0; y < 224; ++y) {
        for (int x = 0; x < 256; ++x) {
            const uint32_t p = Pixel(x, y);
            ASSERT_TRUE(Light(p)) << std::hex << p;
            coloured += p != 0xFFFFFF;
        }
    }
    EXPECT_GT(coloured, 1000);
    EXPECT_TRUE(Shows(demo.corner, 128, 224));
}
