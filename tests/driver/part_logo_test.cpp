// Part one's band, logo and rotozoom, frame by frame.
#include "driver/part_logo.h"

#include "tests/driver/parts.h"

TEST_F(Parts, PartOneFirstFramePlacesTheBandAndTheLogo) {
    const DEMOPART& logo = Part("logo");
    DemoLogoState() = {};
    demo.scroller = 1;
    const int angle = demo.rotozoom->angle;
    logo.setup();
    logo.frame();
    EXPECT_EQ(demo.scroll->y, 224);
    EXPECT_EQ(demo.bigLogo->x, 0);
    EXPECT_EQ(demo.bigLogo->y, 24);
    EXPECT_EQ(demo.rotozoom->step, 3);
    EXPECT_EQ(demo.rotozoom->angle, (angle + 3) & 1023);
    EXPECT_EQ(DemoLogoState().phaseX, 13);
    EXPECT_EQ(DemoLogoState().phaseY, 11);
    EXPECT_TRUE(Shows(demo.bigLogo, 0, 24));

    // Switched off, the band is neither drawn nor moved.
    demo.scroller = 0;
    const int offset = demo.scroll->offset;
    const int position = demo.scroll->cursor->position;
    for (int i = 0; i < 10; ++i) logo.frame();
    EXPECT_EQ(demo.scroll->offset, offset);
    EXPECT_EQ(demo.scroll->cursor->position, position);
    demo.scroller = 1;
    logo.frame();
    EXPECT_NE(demo.scroll->offset * 1000 + demo.scroll->cursor->position, offset * 1000 + position);
    // The logo's swing: x within -32..31, y within -8..55 over a whole period.
    for (int i = 0; i < 1024; ++i) {
        logo.frame();
        ASSERT_GE(demo.bigLogo->x, -32);
        ASSERT_LE(demo.bigLogo->x, 31);
        ASSERT_GE(demo.bigLogo->y, -8);
        ASSERT_LE(demo.bigLogo->y, 55);
    }
}
