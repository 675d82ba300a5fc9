// The objects the parts draw with, made at start-up, and the frame-rate read-out over them.
#include "tests/driver/parts.h"

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
