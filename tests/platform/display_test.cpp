// Runs on a private Xvfb, once 24 and once 16 bits deep: presenting must convert to whatever
// the screen holds, so most checks use pure colours that survive 16 bits unchanged.
#include "platform/sdldpy.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace {
// The desktop backend under the modules, as the programs' main chooses it.
const bool desktopChosen = (PlatformChoose(&PlatformDesktop), true);

// The screen's pixel at (x, y) as 0x00RRGGBB, whatever its format.
uint32_t ScreenPixel(int x, int y) {
    SDL_Surface* screen = SDL_GetVideoSurface();
    SDL_LockSurface(screen);
    const auto* row = static_cast<const uint8_t*>(screen->pixels) + y * screen->pitch;
    const int bytes = screen->format->BytesPerPixel;
    uint32_t raw = 0;
    for (int i = 0; i < bytes; ++i) raw |= uint32_t(row[x * bytes + i]) << (8 * i);
    SDL_UnlockSurface(screen);
    Uint8 r, g, b;
    SDL_GetRGB(raw, screen->format, &r, &g, &b);
    return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

// Every case opens its own display at the demo's size and closes it again, so a mode one case
// sets never reaches the next.
struct Display : ::testing::Test {
    void TearDown() override {
        if (SDLDPY* display = SDLDPYCurrent()) SDLDPYFree(&display);
    }
};

IMG* Picture(int w, int h, uint32_t colour) {
    IMG* img = IMGNew();
    IMGSetSize(img, w, h);
    IMGFillRect(img, 0, 0, w, h, colour);
    return img;
}
} // namespace

TEST_F(Display, OpensOneTitledWindowOfTheAskedSize) {
    SDLDPY* display = SDLDPYNew();
    ASSERT_NE(display, nullptr);
    EXPECT_TRUE(SDLDPYIsOpen());
    EXPECT_EQ(display->width, 256);
    EXPECT_EQ(display->height, 256);
    EXPECT_GT(display->bpp, 0);
    EXPECT_EQ(SDLDPYNew(), display); // the single display
    char* title = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    EXPECT_STREQ(title, "KELP2207");
    EXPECT_STREQ(icon, "KELP2207");

    SDLDPYSetMode(display, -1, 100); // refused: nothing changes
    EXPECT_EQ(display->width, 256);
    SDLDPYSetMode(display, 320, 200);
    EXPECT_EQ(display->width, 320);
    EXPECT_EQ(display->height, 200);
    EXPECT_EQ(SDL_GetVideoSurface()->w, 320);
}

TEST_F(Display, PresentsPicturesAtTheTopLeftInTheScreensFormat) {
    SDLDPY* display = SDLDPYNew();
    IMG* red = Picture(256, 256, 0x00FF0000);
    SDLDPYBlitIMG(display, red);
    EXPECT_EQ(ScreenPixel(0, 0), 0xFF0000u);
    EXPECT_EQ(ScreenPixel(255, 255), 0xFF0000u);

    // A smaller picture covers only its own corner.
    IMG* small = Picture(100, 50, 0x000000FF);
    SDLDPYBlitIMG(display, small);
    EXPECT_EQ(ScreenPixel(99, 49), 0x0000FFu);
    EXPECT_EQ(ScreenPixel(100, 49), 0xFF0000u);
    EXPECT_EQ(ScreenPixel(99, 50), 0xFF0000u);

    // A wider picture shows its first 256 columns, each row from the picture's own row.
    const uint32_t pure[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    IMG* wide = Picture(300, 256, 0);
    for (int y = 0; y < 256; ++y) {
        IMGSetPixel(wide, 0, y, pure[y % 8]);
        IMGSetPixel(wide, 255, y, pure[(y + 3) % 8]);
        IMGSetPixel(wide, 256, y, 0xFFFFFF);
    }
    SDLDPYBlitIMG(display, wide);
    for (int y = 0; y < 256; ++y) {
        ASSERT_EQ(ScreenPixel(0, y), pure[y % 8]) << y;
        ASSERT_EQ(ScreenPixel(255, y), pure[(y + 3) % 8]) << y;
    }

    // The top byte is not alpha to the eye: a pixel with it set still shows opaque.
    IMGSetPixel(red, 0, 0, 0xFF00FF00);
    SDLDPYBlitIMG(display, red);
    EXPECT_EQ(ScreenPixel(0, 0), 0x00FF00u);

    // The picture is not kept: drawing into it afterwards changes nothing on screen.
    IMGSetPixel(red, 0, 0, 0x0000FF);
    EXPECT_EQ(ScreenPixel(0, 0), 0x00FF00u);
    IMGFree(&red);
    IMGFree(&small);
    IMGFree(&wide);
}

TEST_F(Display, RefusesForeignRecordsAndPicturesWithoutPixels) {
    SDLDPY* display = SDLDPYNew();
    IMG* red = Picture(256, 256, 0xFF0000);
    SDLDPYBlitIMG(display, red);
    SDLDPY stranger = *display;
    IMG* blue = Picture(256, 256, 0x0000FF);
    SDLDPYBlitIMG(&stranger, blue);
    SDLDPYBlitIMG(nullptr, blue);
    SDLDPYBlitIMG(display, nullptr);
    IMG empty = *blue;
    empty.pixels = nullptr;
    SDLDPYBlitIMG(display, &empty);
    EXPECT_EQ(ScreenPixel(10, 10), 0xFF0000u);

    EXPECT_STREQ(SDLDPYToASCII(display), "");
    EXPECT_EQ(SDLDPYToASCII(&stranger), nullptr);
    EXPECT_EQ(SDLDPYFromASCII("SDLDPY{}"), nullptr);
    EXPECT_TRUE(SDLDPYEqual(display, display));
    EXPECT_FALSE(SDLDPYEqual(display, &stranger));
    EXPECT_FALSE(SDLDPYEqual(nullptr, nullptr));
    EXPECT_EQ(SDLDPYCopy(display), display);
    EXPECT_EQ(SDLDPYCopy(&stranger), nullptr);

    // The exact-size presents refuse any other size.
    IMG* small = Picture(10, 10, 0x00FF00);
    SDLDPYPutIMG(display, small);
    SDLDPYFlipIMG(display, small);
    EXPECT_EQ(ScreenPixel(5, 5), 0xFF0000u);
    IMGFree(&red);
    IMGFree(&blue);
    IMGFree(&small);
}

TEST_F(Display, EveryColourArrivesExactlyOnA24BitScreen) {
    SDLDPY* display = SDLDPYNew();
    if (display->bpp < 24) GTEST_SKIP() << "a " << display->bpp << "-bit screen cannot hold every colour";
    IMG* img = Picture(256, 256, 0);
    for (int i = 0; i < 256; ++i) IMGSetPixel(img, i, 7, 0x00010203u * uint32_t(i % 85) + uint32_t(i));
    SDLDPYBlitIMG(display, img);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(ScreenPixel(i, 7), 0x00010203u * uint32_t(i % 85) + uint32_t(i)) << i;
    IMGFree(&img);
}

TEST_F(Display, ExactSizePresentsCopyTheRowsWithoutOverrunningTheScreen) {
    SDLDPY* display = SDLDPYNew();
    SDL_Surface* screen = SDL_GetVideoSurface();
    void* own = screen->pixels;
    IMG* green = Picture(256, 256, 0x00FF00);
    SDLDPYPutIMG(display, green); // copies what fits a row, never past the screen's memory
    IMG* blue = Picture(256, 256, 0x0000FF);
    IMGSetPixel(blue, 255, 255, 0xFF0000);
    SDLDPYFlipIMG(display, blue);
    EXPECT_EQ(screen->pixels, own); // the screen keeps its own memory
    if (display->bpp == 32) {       // no conversion: right colours on a screen like the picture
        EXPECT_EQ(ScreenPixel(200, 200), 0x0000FFu);
        EXPECT_EQ(ScreenPixel(255, 255), 0xFF0000u);
    }
    IMGFree(&green);
    IMGFree(&blue);
}

// The programs run over either SDL 1.2: the classic library, or the one over SDL 2 that the
// loader path selects. A test run names the one it means, so it cannot pass on the other.
TEST_F(Display, RunsOverTheLibraryTheRunAsksFor) {
    const char* wanted = std::getenv("KELP_SDL_LIBRARY");
    if (!wanted) GTEST_SKIP() << "no library named";
    const SDL_version* linked = SDL_Linked_Version();
    const bool overSDL2 = SDL_VERSIONNUM(linked->major, linked->minor, linked->patch) >= SDL_VERSIONNUM(1, 2, 50);
    EXPECT_EQ(overSDL2, std::string(wanted) == "compat") << int(linked->patch);
}

TEST_F(Display, FreeForgetsTheDisplayAndANewOneCanOpen) {
    SDLDPY* display = SDLDPYNew();
    SDLDPY* alias = display;
    SDLDPYFree(&display);
    EXPECT_EQ(display, nullptr);
    EXPECT_EQ(SDLDPYCurrent(), nullptr);
    SDLDPYFree(&alias); // no longer the current display: refused
    SDLDPY* again = SDLDPYNew();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->width, 256);
}
