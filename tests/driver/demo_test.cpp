// The driver's frame cycle on the headless platform: the display and keyboard stay
// null (their operations refuse silently) unless a case makes them; the clock stands still.
#include "driver/demo.h"

#include <gtest/gtest.h>

#include <vector>

#include "driver/fps.h"
#include "platform/headless.h"
#include "tests/driver/scene.h"

namespace {
int setups = 0;
int frames = 0;
int skipAt = -1;

void CountSetup() { ++setups; }
void Frame() {
    if (frames++ == skipAt) DemoKey(' ');
}
constexpr DEMOPART kCounting{"counting", CountSetup, Frame};

struct Driver : ::testing::Test {
    void SetUp() override {
        FPSState = {};
        demo.control = 0;
        PlatformChooseHeadless(nullptr);
        ASSERT_EQ(DemoInitScene(kScreenWidth, kScreenHeight), nullptr);
        setups = frames = 0;
        skipAt = -1;
    }
    void TearDown() override { FreeScene(); }
};
} // namespace

TEST_F(Driver, SceneHasABlackBackBufferOfTheScreenSizeAndRate50) {
    ASSERT_NE(demo.back, nullptr);
    EXPECT_EQ(demo.back->width, 256);
    EXPECT_EQ(demo.back->height, 256);
    EXPECT_EQ(IMGGetPixel(demo.back, 128, 128), 0u);
    EXPECT_EQ(FPSState.target, 50);
    EXPECT_EQ(demo.scroller, 1);
    EXPECT_EQ(demo.readout, 0);
}

TEST_F(Driver, APartShows1023FramesThenEnds) {
    DemoRunPart(kCounting);
    EXPECT_EQ(setups, 1);
    EXPECT_EQ(frames, 1023);
    EXPECT_EQ(FPSState.frames, 1023); // one tick per frame
}

TEST_F(Driver, SpaceEndsThePartAfterTheFrameItCameInAndOnlyThatPart) {
    skipAt = 0;
    DemoRunPart(kCounting);
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(demo.control & kSkipRequest, 0); // honoured and cleared
    frames = 0;
    skipAt = 499;
    DemoRunPart(kCounting);
    EXPECT_EQ(frames, 500);
    frames = 0;
    skipAt = -1;
    DemoRunPart(kCounting); // the next part runs whole
    EXPECT_EQ(frames, 1023);
    EXPECT_EQ(setups, 3);
}

TEST_F(Driver, FadeOutShows64EverDarkerFramesEndingBlack) {
    IMGFillRect(demo.back, 0, 0, 256, 256, 0xFFFFFF);
    IMGSetPixel(demo.back, 5, 5, 0x00FF8001);
    std::vector<uint32_t> shown; // the top-left pixel of every frame presented
    HEADLESS hooks;
    hooks.present = [](const IMG* picture, void* seen) {
        static_cast<std::vector<uint32_t>*>(seen)->push_back(picture->pixels[0]);
    };
    hooks.context = &shown;
    PlatformChooseHeadless(&hooks);
    demo.display = SDLDPYNew();
    DemoFadeOut();
    SDLDPYFree(&demo.display);
    ASSERT_EQ(shown.size(), 64u);
    for (size_t i = 0; i < shown.size(); ++i) {
        const uint32_t level = i + 1 < shown.size() ? 0xFF - 4 * uint32_t(i + 1) : 0; // 251 .. 3, then 0
        EXPECT_EQ(shown[i], level * 0x010101u) << i;
    }
    EXPECT_EQ(IMGGetPixel(demo.back, 5, 5), 0u);
    EXPECT_EQ(IMGGetPixel(demo.back, 255, 255), 0u);
}

// ESC fades, and the show returns from its loop at the end of that frame: the program ends by
// returning from main, with everything alive.
TEST_F(Driver, EscapeFadesAndTheShowReturns) {
    static int presented = 0;
    presented = 0;
    HEADLESS hooks;
    hooks.present = [](const IMG*, void*) { ++presented; };
    hooks.key = [](void*) { return presented == 300 ? 27 : 0; }; // ESC at frame 300 of part one
    PlatformChooseHeadless(&hooks);
    demo.display = SDLDPYNew();
    demo.keyboard = SDLKBDNew();
    DemoRunShow();
    EXPECT_EQ(presented, 300 + 64);
    EXPECT_EQ(FPSState.frames, 300);
    EXPECT_NE(demo.control & kEndRequest, 0);
    SDLKBDFree(&demo.keyboard);
    SDLDPYFree(&demo.display);
}
