// The display, keyboard and sound modules over the headless backend, as the recorder and the
// driver's tests run them: pictures, keys and sound through hooks, no screen and no device.
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/sdldpy.h"
#include "platform/sdlkbd.h"
#include "platform/sdlsnd.h"

namespace {
struct Seen {
    std::vector<uint32_t> pictures; // pixel (0, 0) of each present
    std::vector<int> keys;          // handed out at the coming drains, one each
};

struct Headless : ::testing::Test {
    Seen seen;
    void SetUp() override {
        HEADLESS hooks;
        hooks.present = [](const IMG* picture, void* s) {
            static_cast<Seen*>(s)->pictures.push_back(picture->pixels[0]);
        };
        hooks.key = [](void* s) {
            auto& keys = static_cast<Seen*>(s)->keys;
            if (keys.empty()) return 0;
            const int key = keys.front();
            keys.erase(keys.begin());
            return key;
        };
        hooks.context = &seen;
        PlatformChooseHeadless(&hooks);
    }
    void TearDown() override {
        if (SDLKBD* keyboard = SDLKBDNew()) SDLKBDFree(&keyboard);
        if (SDLDPY* display = SDLDPYCurrent()) SDLDPYFree(&display);
        PlatformChooseHeadless(nullptr);
    }
};
} // namespace

TEST_F(Headless, SetModeRefusesARecordThatIsNotTheDisplay) {
    SDLDPY early = {7, 8, 9};
    SDLDPYSetMode(&early, 256, 256); // before any display exists
    EXPECT_FALSE(SDLDPYIsOpen());
    EXPECT_EQ(early.width, 7);

    SDLDPY* display = SDLDPYNew();
    ASSERT_NE(display, nullptr);
    EXPECT_TRUE(SDLDPYIsOpen());
    EXPECT_EQ(display->bpp, 32);
    SDLDPY* kept = display;
    SDLDPY copy = *display;
    SDLDPYSetMode(&copy, 100, 100); // a copy is not the display
    EXPECT_EQ(display->width, 256);
    SDLDPYFree(&display);
    SDLDPYSetMode(kept, 100, 100); // released: nothing to write through
    EXPECT_FALSE(SDLDPYIsOpen());
}

TEST_F(Headless, PresentsReachTheHookOnlyWhileAModeIsOpen) {
    IMG* picture = IMGNew();
    IMGSetSize(picture, 256, 256);
    IMGFillRect(picture, 0, 0, 256, 256, 0x123456);
    SDLDPY* display = SDLDPYNew();
    SDLDPYBlitIMG(display, picture);
    SDLDPYPutIMG(display, picture);
    SDLDPYFree(&display);
    SDLDPYBlitIMG(display, picture);
    EXPECT_EQ(seen.pictures, (std::vector<uint32_t>{0x123456, 0x123456}));
    IMGFree(&picture);
}

TEST_F(Headless, AKeyIsPressedForOneDrainAndSymbolsReadAsTheirLowByte) {
    SDLDPYNew();
    SDLKBD* keyboard = SDLKBDNew();
    ASSERT_NE(keyboard, nullptr);
    seen.keys = {'a', 0, 283, 256 + ' '};
    SDLKBDGetKey(keyboard);
    EXPECT_EQ(keyboard->keys[0], 'a');
    SDLKBDGetKey(keyboard); // no key: the byte stays until the driver clears it
    EXPECT_EQ(keyboard->keys[0], 'a');
    SDLKBDGetKey(keyboard);
    EXPECT_EQ(keyboard->keys[0], 27); // F2's symbol, 283, reads as ESC
    SDLKBDGetKey(keyboard);
    EXPECT_EQ(keyboard->keys[0], ' ');
}

TEST_F(Headless, SoundIsPulledFromTheQueueAndTheClockMovesOnlyBySleeps) {
    SDLSND* sound = SDLSNDNew();
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(SDLSNDNew(), nullptr); // one sound output at a time
    SAMPLE* bar = SAMPLENew();
    SAMPLESetLength(bar, 3);
    for (int i = 0; i < 3; ++i) SAMPLESet(bar, 1000 + i, i);
    SDLSNDPlaySAMPLE(sound, bar);
    uint8_t bytes[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    HeadlessPullSound(bytes, 8);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 8), (std::vector<uint8_t>{0xE8, 3, 0xE9, 3, 0xEA, 3, 0, 0}));
    SDLSNDFree(&sound);
    bytes[0] = 9;
    HeadlessPullSound(bytes, 8); // closed: silence
    EXPECT_EQ(bytes[0], 0);
    SAMPLEFree(&bar);

    const uint32_t start = Platform()->clock();
    EXPECT_EQ(Platform()->clock(), start);
    Platform()->sleep(7);
    EXPECT_EQ(Platform()->clock(), start + 7000);
}

// The backend and the screen are what the program's main named: every later call goes there,
// and the display asks for the pictures on that screen.
TEST(PlatformChoice, TheDisplayOpensOnTheChosenBackendAndScreen) {
    static std::vector<PLATFORMSCREEN> asked;
    PLATFORM recording = PlatformHeadless;
    recording.name = "recording";
    recording.openMode = [](const PLATFORMMODE& mode, int* bpp) {
        asked.push_back(mode.screen);
        *bpp = 32;
        return true;
    };
    EXPECT_EQ(Platform(), &PlatformHeadless) << "headless until a main chooses";
    for (PLATFORMSCREEN screen : {PLATFORMSCREEN::FullScreen, PLATFORMSCREEN::Window}) {
        PlatformChoose(&recording, screen);
        EXPECT_EQ(Platform(), &recording);
        EXPECT_EQ(PlatformScreen(), screen);
        SDLDPY* display = SDLDPYNew();
        ASSERT_NE(display, nullptr);
        SDLDPYFree(&display);
    }
    EXPECT_EQ(asked, (std::vector<PLATFORMSCREEN>{PLATFORMSCREEN::FullScreen, PLATFORMSCREEN::Window}));
    PlatformChoose(nullptr);
    EXPECT_EQ(Platform(), &PlatformHeadless);
    EXPECT_EQ(PlatformScreen(), PLATFORMSCREEN::Window);
}
