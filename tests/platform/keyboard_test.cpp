// The desktop backend on SDL's dummy video driver; key events are pushed into SDL's real event
// queue.
#include "platform/sdlkbd.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/sdldpy.h"

namespace {
// The desktop backend under the modules, as the programs' main chooses it.
const bool desktopChosen = (PlatformChoose(&PlatformDesktop), true);

void Push(Uint8 type, SDLKey sym) {
    SDL_Event event = {};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sym;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}
void Press(SDLKey sym) { Push(SDL_KEYDOWN, sym); }
void Release(SDLKey sym) { Push(SDL_KEYUP, sym); }

// Every case starts from nothing: no display, no keyboard, no waiting event, whatever ran before.
struct Fresh : ::testing::Test {
    void TearDown() override {
        SDL_Event event;
        while (SDLDPYCurrent() && SDL_PollEvent(&event)) {
        }
        if (SDLKBD* keyboard = SDLKBDNew()) SDLKBDFree(&keyboard);
        if (SDLDPY* display = SDLDPYCurrent()) SDLDPYFree(&display);
    }
};

struct Keyboard : Fresh {
    SDLKBD* keyboard = nullptr;
    void SetUp() override {
        ASSERT_NE(SDLDPYNew(), nullptr);
        keyboard = SDLKBDNew();
        ASSERT_NE(keyboard, nullptr);
    }
    int Poll() {
        EXPECT_EQ(SDLKBDGetKey(keyboard), 0);
        return keyboard->keys[0];
    }
};
} // namespace

using KeyboardWithoutDisplay = Fresh;

TEST_F(KeyboardWithoutDisplay, IsRefusedUntilTheDisplayExists) {
    EXPECT_EQ(SDLKBDNew(), nullptr);
    ASSERT_NE(SDLDPYNew(), nullptr);
    SDLKBD* keyboard = SDLKBDNew();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(SDLKBDNew(), keyboard);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(keyboard->keys[i], 0);
}

TEST_F(Keyboard, KeyByteFollowsPressesAndReleases) {
    EXPECT_EQ(Poll(), 0); // nothing waiting
    Press(SDLK_a);
    EXPECT_EQ(Poll(), 'a');
    EXPECT_EQ(Poll(), 'a'); // held: the byte stays until the driver clears it
    keyboard->keys[0] = 0;
    EXPECT_EQ(Poll(), 0); // a held key acts once

    Press(SDLK_SPACE);
    Release(SDLK_SPACE);
    EXPECT_EQ(Poll(), 0); // press and release in one poll cancel out

    Press(SDLK_1);
    Press(SDLK_ESCAPE);
    EXPECT_EQ(Poll(), 27); // the later press wins

    Press(SDLK_f);
    Release(SDLK_q); // any release clears
    EXPECT_EQ(Poll(), 0);
}

TEST_F(Keyboard, SymbolsFrom256UpReadAsTheirLowByteAndOtherEventsDoNotAct) {
    Press(SDLK_KP0); // 256: no key
    EXPECT_EQ(Poll(), 0);
    Press(SDLK_F2); // 283: the byte of ESC
    EXPECT_EQ(Poll(), 27);
    Press(SDLK_F7); // 288: the byte of SPACE
    EXPECT_EQ(Poll(), ' ');
    keyboard->keys[0] = 0;

    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit); // the window's close request
    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    SDL_PushEvent(&motion);
    EXPECT_EQ(Poll(), 0);
    SDL_Event left = {};
    EXPECT_EQ(SDL_PollEvent(&left), 0); // every event was taken from the queue
}

TEST_F(Keyboard, StandardSetAnswersEmptyOrNull) {
    EXPECT_STREQ(SDLKBDToASCII(keyboard), "");
    EXPECT_EQ(SDLKBDToASCII(nullptr), nullptr);
    EXPECT_EQ(SDLKBDFromASCII("x"), nullptr);
    EXPECT_EQ(SDLKBDFromASCII(nullptr), nullptr);
    EXPECT_EQ(SDLKBDEqual(keyboard, keyboard), 1);
    EXPECT_EQ(SDLKBDEqual(keyboard, nullptr), 0);
    EXPECT_EQ(SDLKBDCopy(keyboard), nullptr);
    EXPECT_EQ(SDLKBDGetKey(nullptr), 0);

    SDLKBD* record = keyboard;
    SDLKBDFree(&record);
    EXPECT_EQ(record, nullptr);
    SDLKBDFree(&record); // refused, nothing freed twice
    SDLKBD* fresh = SDLKBDNew();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->keys[0], 0);
    EXPECT_EQ(SDLKBDNew(), fresh);
}
