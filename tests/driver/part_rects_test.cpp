// Part four's rectangles against their shades, a plain fill of every rectangle, and the frame
// counter that moves them.
#include "driver/part_rects.h"

#include <algorithm>
#include <vector>

#include "data/sine.h"
#include "support/random.h"
#include "tests/driver/parts.h"

TEST_F(Parts, PartFourShadesNestedRectangles) {
    DemoRectsState().colour = 0x00C8A080;
    DemoRects();
    // The first two rectangles both cover the screen; the third is (1, 1, 254, 254) at f = 0.
    EXPECT_EQ(Pixel(0, 0), 0xC69E7Eu);
    EXPECT_EQ(Pixel(255, 255), 0xC69E7Eu);
    EXPECT_EQ(Pixel(1, 1), 0xC59D7Du);
    EXPECT_EQ(Pixel(254, 254), 0xC59D7Du);

    // 255 shows 64 in the innermost rectangle; 128 has fallen to 0 long before.
    // (Whether the innermost one survives the nesting depends on the frame: look for one.)
    DemoRectsState().colour = 0x00FF8080;
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

    Part("rects").frame();
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
        DemoRectsState().colour = colour;
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
    Part("rects").setup();
    EXPECT_EQ(DemoRectsState().colour, replay.Colour(0x7F7F7F) + 0x808080);
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
