// What the parts' tests share: the scene made once without a window, the show's rows by name,
// pixels of the back buffer, and the random generator replayed on its own.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "driver/demo.h"
#include "driver/fps.h"
#include "platform/headless.h"
#include "tests/driver/scene.h"

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
    static void TearDownTestSuite() { FreeScene(); }
    void SetUp() override { FPSState.frames = 0; }

    // A part's row, found in the show's table as the show finds it.
    static const DEMOPART& Part(std::string_view name) {
        for (const DEMOPART* part : kDemoParts) {
            if (name == part->name) return *part;
        }
        ADD_FAILURE() << "no part named " << name;
        return *kDemoParts.front();
    }

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
