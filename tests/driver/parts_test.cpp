// The parts' drawing, frame by frame, without a window: every check compares pixels of the
// back buffer or the random draws a part makes against the generator's own sequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "data/sine.h"
#include "driver/demo.h"
#include "driver/fps.h"
#include "platform/headless.h"
#include "support/random.h"

namespace {
// The shared generator, replayed independently of the program's.
struct Replay {
    uint32_t state;
    explicit Replay(uint32_t seed) : state(seed) {}
    int Next() {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7FFF);
    }
    uint32_t Colour(uint32_t mask) {
        const uint32_t first = uint32_t(Next());
        return ((first << 16) | uint32_t(Next())) & mask;
    }
};

struct Parts : ::testing::Test {
    static void SetUpTestSuite() {
        PlatformChooseHeadless(nullptr); // a still clock; no window
        DemoInitScene(kScreenWidth, kScreenHeight);
    }
    void SetUp() override { FPSState.frames = 0; }

    static uint32_t Pixel(int x, int y) { return IMGGetPixel(demo.back, x, y); }

    // True when every non-black pixel of `picture` stands at (x, y) of the back buffer.
    static bool Shows(const IMG* picture, int x, int y) {
        for (int py = 0; py < picture->height; ++py) {
            for (int px = 0; px < picture->width; ++px) {
                const uint32_t p = IMGGetPixel(picture, px, py);
                if (p && Pixel(x + px, y + py) != p) return false;
            }
        }
        return true;
    }
};

bool Light(uint32_t p) { return ((p >> 16) & 0xFF) >= 128 && ((p >> 8) & 0xFF) >= 128 && (p & 0xFF) >= 128; }
} // namespace

TEST_F(Parts, PicturesAreDecodedAndTheLogoDoubled) {
    ASSERT_NE(demo.bigLogo, nullptr);
    EXPECT_EQ(demo.bigLogo->width, 256);
    EXPECT_EQ(demo.bigLogo->height, 64);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 128; ++x) {
            const uint32_t p = IMGGetPixel(demo.logo, x, y);
            ASSERT_EQ(IMGGetPixel(demo.bigLogo, 2 * x, 2 * y), p);
            ASSERT_EQ(IMGGetPixel(demo.bigLogo, 2 * x + 1, 2 * y + 1), p);
        }
    }
    EXPECT_EQ(demo.logoHomeX, 0);
    EXPECT_EQ(demo.logoHomeY, 24);
    EXPECT_EQ(demo.corner->width, 128);
    EXPECT_EQ(demo.corner->height, 32);
    EXPECT_EQ(demo.rotozoom->texture, demo.badge); // the rotozoom owns the badge
    EXPECT_EQ(demo.scroll->speed, 5);
    EXPECT_EQ(demo.textFont->width, 32);
    EXPECT_EQ(demo.sprayFont->height, 64);
}

TEST_F(Parts, PartFourShadesNestedRectangles) {
    demo.rectsColour = 0x00C8A080;
    DemoRects();
    // The first two rectangles both cover the screen; the third is (1, 1, 254, 254) at f = 0.
    EXPECT_EQ(Pixel(0, 0), 0xC69E7Eu);
    EXPECT_EQ(Pixel(255, 255), 0xC69E7Eu);
    EXPECT_EQ(Pixel(1, 1), 0xC59D7Du);
    EXPECT_EQ(Pixel(254, 254), 0xC59D7Du);

    // 255 shows 64 in the innermost rectangle; 128 has fallen to 0 long before.
    // (Whether the innermost one survives the nesting depends on the frame: look for one.)
    demo.rectsColour = 0x00FF8080;
    bool innermost = false;
    for (int f = 0; f < 1024 && !innermost; ++f) {
        FPSState.frames = f;
        DemoRects();
        for (int i = 0; i < 256 * 256; ++i) {
            const uint32_t p = demo.back->pixels[i];
            ASSERT_GE(p, 0x400000u);
            innermost |= p == 0x400000u;
        }
    }
    EXPECT_TRUE(innermost);

    DemoRectsFrame();
    EXPECT_TRUE(Shows(demo.corner, 128, 0)) << "the corner logo covers the top-right";
}

// The rectangles as plain fills, one over the other: what the painted rows must equal.
void NaiveRects(IMG* img, uint32_t c, int f) {
    auto sine = [](uint32_t a) { return int(SINE[a & 1023]); };
    int32_t r = int32_t((c >> 16) & 0xFF) << 16, g = int32_t((c >> 8) & 0xFF) << 16, b = int32_t(c & 0xFF) << 16;
    int x = 0, y = 0, w = 256, h = 256;
    for (int i = 0; i < 128; ++i) {
        IMGFillRect(img, x, y, w, h, uint32_t(r & 0xFF0000) | uint32_t(g & 0xFF0000) >> 8 | uint32_t(b & 0xFF0000) >> 16);
        const int px = x, py = y, pw = w, ph = h;
        w = 256 - 2 * i;
        h = 256 - 2 * i;
        const uint32_t u = uint32_t(f);
        x = i + ((sine(7 * u + i) + sine(3 * u + i) + sine(u + i)) * i >> 16);
        y = i + ((sine(5 * u + i) + sine(2 * u + i) + sine(u + i)) * i >> 18);
        x = std::max(x, px);
        y = std::max(y, py);
        if (x + w > px + pw) w = px + pw - x;
        if (y + h > py + ph) h = py + ph - y;
        r = std::clamp(r - 0x18000, 0, 0xFF0000);
        g = std::clamp(g - 0x18000, 0, 0xFF0000);
        b = std::clamp(b - 0x18000, 0, 0xFF0000);
    }
}

TEST_F(Parts, PartFourPaintsWhatFillingEveryRectangleWouldShow) {
    IMG* expected = IMGNew();
    IMGSetSize(expected, 256, 256);
    for (int f = 0; f < 2000; f += 37) {
        const uint32_t colour = 0x808080u + (uint32_t(f) * 0x010203u & 0x7F7F7F);
        demo.rectsColour = colour;
        FPSState.frames = f;
        DemoRects();
        NaiveRects(expected, colour, f);
        ASSERT_TRUE(IMGEqual(demo.back, expected)) << "frame " << f;
    }
    IMGFree(&expected);
}

TEST_F(Parts, PartFourDrawsItsColourFromTwoDrawsAndWobblesWithTheFrameCounter) {
    RANDSeed(99);
    Replay replay(99);
    DemoRectsSetup();
    EXPECT_EQ(demo.rectsColour, replay.Colour(0x7F7F7F) + 0x808080);
    EXPECT_EQ(Pixel(128, 128), 0u);
    auto frame = [](int f) {
        FPSState.frames = f;
        DemoRects();
        return std::vector<uint32_t>(demo.back->pixels, demo.back->pixels + 256 * 256);
    };
    const std::vector<uint32_t> at0 = frame(0), at1023 = frame(1023);
    EXPECT_NE(frame(40), at0);
    // Huge frame counts wrap the sine index instead of overflowing: 2^31 - 1 and -2^31 turn
    // the sines as far as 1023 and 0 do.
    EXPECT_EQ(frame(INT32_MAX), at1023);
    EXPECT_EQ(frame(INT32_MIN), at0);
}

TEST_F(Parts, PartTwoDrawsFactorsNearAHalfAndOneAndUpToFourStars) {
    std::set<int> stars;
    bool radiusUp = false, radiusDown = false, stepUp = false, stepDown = false;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        RANDSeed(seed);
        DemoBurstsSetup();
        Replay after(seed);
        for (int i = 0; i < 5; ++i) after.Next();
        ASSERT_EQ(RANDNext(), after.Next()) << "five draws, seed " << seed;
        ASSERT_GE(demo.burstRadius, 0x8000 - 0xFFF);
        ASSERT_LE(demo.burstRadius, 0x8000 + 0xFFF);
        ASSERT_GE(demo.burstStep, 0x10000 - 0xFF);
        ASSERT_LE(demo.burstStep, 0x10000 + 0xFF);
        radiusUp |= demo.burstRadius > 0x8000;
        radiusDown |= demo.burstRadius < 0x8000;
        stepUp |= demo.burstStep > 0x10000;
        stepDown |= demo.burstStep < 0x10000;
        stars.insert(demo.burstStars);
    }
    EXPECT_TRUE(radiusUp && radiusDown && stepUp && stepDown);
    EXPECT_EQ(stars, (std::set<int>{1, 2, 3, 4}));
    // The show's own seed, drawn in the order sign, size for each factor, then the stars.
    RANDSeed(kRandomSeed);
    DemoBurstsSetup();
    EXPECT_EQ(demo.burstRadius, 0x7EF1);
    EXPECT_EQ(demo.burstStep, 0x100B7);
    EXPECT_EQ(demo.burstStars, 3);
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
    demo.burstRadius = 0x8FFF;
    demo.burstStep = 0x10000;
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
    DemoBurstsSetup();
    for (int i = 0; i < 60; ++i) DemoBurstsFrame();
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

TEST_F(Parts, PartThreeModeTilesAndSprays) {
    const int sprays[] = {8, 4, 1, 4};
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        RANDSeed(seed);
        Replay r(seed);
        DemoMosaicSetup();
        const int mode = r.Next() % 4;
        ASSERT_EQ(demo.mosaicMode, mode);
        const int tile = 16 << mode;
        for (int y = 0; y < 256; y += tile) {
            for (int x = 0; x < 256; x += tile) {
                const uint32_t colour = r.Colour(0x070707);
                ASSERT_EQ(IMGGetPixel(demo.mosaic, x, y), colour);
                ASSERT_EQ(IMGGetPixel(demo.mosaic, x + tile - 1, y + tile - 1), colour);
            }
        }
        EXPECT_EQ(RANDNext(), r.Next()) << "one draw for the mode and two per tile";

        // The first frame already gets the new mode's number of sprays: x, y and (but in mode 0,
        // whose glow is fixed) the glow.
        RANDSeed(seed);
        DemoMosaicSetup();
        demo.spraysPerFrame = 2; // what the previous run left
        Replay after(r.state);
        RANDSeed(r.state);
        DemoMosaicFrame();
        EXPECT_EQ(demo.spraysPerFrame, sprays[mode]);
        for (int i = 0; i < (mode == 0 ? 2 : 3) * sprays[mode]; ++i) after.Next();
        EXPECT_EQ(RANDNext(), after.Next()) << "mode " << mode;
        EXPECT_TRUE(Shows(demo.corner, 0, 224));
    }
}

TEST_F(Parts, PartThreeGlowsSaturateFadeAndDarkenByTheirTile) {
    RANDSeed(5);
    DemoMosaicSetup();
    IMGFillRect(demo.mosaic, 0, 0, 256, 256, 0x070707);
    IMGFillRect(demo.back, 0, 0, 256, 256, 0xFFFFFF);
    demo.mosaicMode = 3;
    DemoSpray(); // glows added to white stay white, then every channel loses its tile's 7
    EXPECT_EQ(Pixel(0, 0), 0xF8F8F8u);
    DemoMosaicFrame(); // the fade (4) and four sprays (4 x 7) outside any glow
    EXPECT_EQ(Pixel(255, 0), 0xF8F8F8u - 0x040404u - 4 * 0x070707u);
}

TEST_F(Parts, PartOneFirstFramePlacesTheBandAndTheLogo) {
    demo.logoPhaseX = demo.logoPhaseY = 0;
    demo.scroller = 1;
    const int angle = demo.rotozoom->angle;
    DemoLogoSetup();
    DemoLogoFrame();
    EXPECT_EQ(demo.scroll->y, 224);
    EXPECT_EQ(demo.bigLogo->x, 0);
    EXPECT_EQ(demo.bigLogo->y, 24);
    EXPECT_EQ(demo.rotozoom->step, 3);
    EXPECT_EQ(demo.rotozoom->angle, (angle + 3) & 1023);
    EXPECT_EQ(demo.logoPhaseX, 13);
    EXPECT_EQ(demo.logoPhaseY, 11);
    EXPECT_TRUE(Shows(demo.bigLogo, 0, 24));

    // Switched off, the band is neither drawn nor moved.
    demo.scroller = 0;
    const int offset = demo.scroll->offset;
    const int position = demo.scroll->cursor->position;
    for (int i = 0; i < 10; ++i) DemoLogoFrame();
    EXPECT_EQ(demo.scroll->offset, offset);
    EXPECT_EQ(demo.scroll->cursor->position, position);
    demo.scroller = 1;
    DemoLogoFrame();
    EXPECT_NE(demo.scroll->offset * 1000 + demo.scroll->cursor->position, offset * 1000 + position);
    // The logo's swing: x within -32..31, y within -8..55 over a whole period.
    for (int i = 0; i < 1024; ++i) {
        DemoLogoFrame();
        ASSERT_GE(demo.bigLogo->x, -32);
        ASSERT_LE(demo.bigLogo->x, 31);
        ASSERT_GE(demo.bigLogo->y, -8);
        ASSERT_LE(demo.bigLogo->y, 55);
    }
}

TEST_F(Parts, ReadoutShowsTheMeasuredRateInHexOverThePicture) {
    IMGFillRect(demo.back, 0, 0, 256, 256, 0x102030);
    demo.readout = 0;
    FPSState.measured = 50;
    DemoReadout();
    EXPECT_EQ(Pixel(10, 10), 0x102030u);
    demo.readout = 1;
    DemoReadout();
    const IMG* font = demo.textFont->source;
    // '3' and '2': cells of codes 51 and 50 in the 32-per-row sheet.
    for (int i = 0; i < 2; ++i) {
        const int code = i == 0 ? '3' : '2';
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const uint32_t p = IMGGetPixel(font, (code % 32) * 32 + x, (code / 32) * 32 + y);
                ASSERT_EQ(Pixel(i * 32 + x, y), p ? p : 0x102030u);
            }
        }
    }
    EXPECT_EQ(Pixel(64, 0), 0x102030u);
    demo.readout = 0;
}
