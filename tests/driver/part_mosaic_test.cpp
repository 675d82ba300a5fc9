// Part three's modes, tiles and sprays against the generator's own sequence and the pixels
// they darken.
#include "driver/part_mosaic.h"

#include "support/random.h"
#include "tests/driver/parts.h"

TEST_F(Parts, PartThreeModeTilesAndSprays) {
    MOSAICPART& state = DemoMosaicState();
    const DEMOPART& mosaic = Part("mosaic");
    const int sprays[] = {8, 4, 1, 4};
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        RANDSeed(seed);
        Replay r(seed);
        mosaic.setup();
        const int mode = r.Next() % 4;
        ASSERT_EQ(state.mode, mode);
        const int tile = 16 << mode;
        for (int y = 0; y < 256; y += tile) {
            for (int x = 0; x < 256; x += tile) {
                const uint32_t colour = r.Colour(0x070707);
                ASSERT_EQ(IMGGetPixel(state.mosaic, x, y), colour);
                ASSERT_EQ(IMGGetPixel(state.mosaic, x + tile - 1, y + tile - 1), colour);
            }
        }
        EXPECT_EQ(RANDNext(), r.Next()) << "one draw for the mode and two per tile";

        // The first frame already gets the new mode's number of sprays: x, y and (but in mode 0,
        // whose glow is fixed) the glow.
        RANDSeed(seed);
        mosaic.setup();
        state.spraysPerFrame = 2; // what the previous run left
        Replay after(r.state);
        RANDSeed(r.state);
        mosaic.frame();
        EXPECT_EQ(state.spraysPerFrame, sprays[mode]);
        for (int i = 0; i < (mode == 0 ? 2 : 3) * sprays[mode]; ++i) after.Next();
        EXPECT_EQ(RANDNext(), after.Next()) << "mode " << mode;
        EXPECT_TRUE(Shows(demo.corner, 0, 224));
    }
}

TEST_F(Parts, PartThreeGlowsSaturateFadeAndDarkenByTheirTile) {
    MOSAICPART& state = DemoMosaicState();
    const DEMOPART& mosaic = Part("mosaic");
    RANDSeed(5);
    mosaic.setup();
    IMGFillRect(state.mosaic, 0, 0, 256, 256, 0x070707);
    IMGFillRect(demo.back, 0, 0, 256, 256, 0xFFFFFF);
    state.mode = 3;
    DemoSpray(); // glows added to white stay white, then every channel loses its tile's 7
    EXPECT_EQ(Pixel(0, 0), 0xF8F8F8u);
    mosaic.frame(); // the fade (4) and four sprays (4 x 7) outside any glow
    EXPECT_EQ(Pixel(255, 0), 0xF8F8F8u - 0x040404u - 4 * 0x070707u);
}
