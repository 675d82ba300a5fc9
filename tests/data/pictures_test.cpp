// The embedded pictures decoded as the program decodes them, and the facts its parts rely
// on: where glyphs sit in the font, which pixels are transparent, how the glows shrink.
#include "data/assets.h"
#include "img/img.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

struct Freer {
    void operator()(IMG* img) const { IMGFree(&img); }
};
using Picture = std::unique_ptr<IMG, Freer>;

Picture Decode(const unsigned char* bytes) { return Picture(IMGFromPNM(bytes)); }

int Red(uint32_t p) { return int(p >> 16 & 0xFF); }
int Green(uint32_t p) { return int(p >> 8 & 0xFF); }
int Blue(uint32_t p) { return int(p & 0xFF); }

// Lit (non-zero) pixels of a rectangle, and the bounds they span.
struct Ink {
    int count = 0, left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

Ink InkOf(const IMG* img, int x0, int y0, int w, int h) {
    Ink ink;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (IMGGetPixel(img, x0 + x, y0 + y)) {
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

} // namespace

TEST(Pictures, EveryPictureDecodesToItsSize) {
    const struct {
        const char* name;
        const unsigned char* bytes;
        int width, height;
    } all[] = {{"font", ASSETFont, 1024, 128}, {"spray", ASSETSpray, 64, 256}, {"logo", ASSETLogo, 128, 32},
               {"corner", ASSETCorner, 128, 32}, {"badge", ASSETBadge, 64, 64}, {"rotozoom", ASSETRotozoom, 16, 16}};
    for (const auto& a : all) {
        const Picture p = Decode(a.bytes);
        ASSERT_NE(p, nullptr) << a.name;
        EXPECT_EQ(p->width, a.width) << a.name;
        EXPECT_EQ(p->height, a.height) << a.name;
    }
}

// The scroller and the frame-rate read-out find code c at ((c mod 32) x 32, (c div 32) x 32),
// and draw it transparently: 0 around every glyph, never inside one.
TEST(Pictures, FontCellsHoldTheirCodesInAsciiOrder) {
    const Picture font = Decode(ASSETFont);
    ASSERT_NE(font, nullptr);
    auto cell = [&](int code) { return InkOf(font.get(), code % 32 * 32, code / 32 * 32, 32, 32); };
    EXPECT_EQ(cell(' ').count, 0) << "space draws nothing";
    for (int code = 0; code < 128; ++code) {
        if (code == ' ') continue;
        const Ink ink = cell(code);
        EXPECT_GT(ink.count, 0) << "code " << code;
        // A glyph touching its cell's edge would be cut off, or run into its neighbour's cell.
        EXPECT_TRUE(ink.left > 0 && ink.top > 0 && ink.right < 31 && ink.bottom < 31) << "code " << code;
    }
    // Placement follows the characters' shapes, which a shifted layout would break.
    for (int low : {'.', ',', '_'}) EXPECT_GT(cell(low).top, 16) << char(low);
    for (int high : {'\'', '"', '^', '`'}) EXPECT_LT(cell(high).bottom, 16) << char(high);
    EXPECT_GT(cell('|').bottom - cell('|').top, 24);
    EXPECT_GT(cell('g').bottom, cell('a').bottom) << "descenders reach below the line";
    // The read-out's digits are big and solid.
    for (int code : {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'}) {
        const Ink ink = cell(code);
        EXPECT_GE(ink.bottom - ink.top, 20) << char(code);
        EXPECT_GT(ink.count, 200) << char(code);
    }
}

TEST(Pictures, SprayGlowsAreGreyRoundAndShrinking) {
    const Picture spray = Decode(ASSETSpray);
    ASSERT_NE(spray, nullptr);
    int previous = 64 * 64 + 1;
    for (int cell = 0; cell < 4; ++cell) {
        const int y0 = cell * 64;
        const Ink ink = InkOf(spray.get(), 0, y0, 64, 64);
        EXPECT_LT(ink.count, previous) << "cell " << cell;
        previous = ink.count;
        // Nothing on the cell's edges, or every spray would leave a square mark.
        EXPECT_TRUE(ink.left > 0 && ink.top > 0 && ink.right < 63 && ink.bottom < 63) << "cell " << cell;
        EXPECT_EQ(ink.left + ink.right, 63) << "centred across, cell " << cell;
        EXPECT_EQ(ink.top + ink.bottom, 63) << "centred down, cell " << cell;
        EXPECT_GE(Red(IMGGetPixel(spray.get(), 32, y0 + 32)), 200) << "bright core, cell " << cell;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const uint32_t p = IMGGetPixel(spray.get(), x, y0 + y);
                ASSERT_TRUE(Red(p) == Green(p) && Green(p) == Blue(p)) << x << "," << y0 + y;
                // Soft: never brighter away from the centre than nearer to it.
                if (x < 32 && x > 0) {
                    ASSERT_LE(Red(IMGGetPixel(spray.get(), x - 1, y0 + y)), Red(p)) << x << "," << y0 + y;
                }
            }
    }
}

// The corner logo is the logo's shape in pale colours, drawn over white in part two and over
// dark scenes later: its letters need a dark but not transparent rim.
TEST(Pictures, LogoAndCornerShareTheirShape) {
    const Picture logo = Decode(ASSETLogo), corner = Decode(ASSETCorner);
    ASSERT_NE(logo, nullptr);
    ASSERT_NE(corner, nullptr);
    const Ink ink = InkOf(logo.get(), 0, 0, 128, 32);
    EXPECT_LT(ink.left, 6);
    EXPECT_GT(ink.right, 121);
    EXPECT_LT(ink.top, 4);
    EXPECT_GT(ink.bottom, 27);
    long logoWhite = 0, cornerWhite = 0; // the white in each colour: its smallest channel
    int dark = 0, pale = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 128; ++x) {
            const uint32_t a = IMGGetPixel(logo.get(), x, y), b = IMGGetPixel(corner.get(), x, y);
            ASSERT_EQ(a != 0, b != 0) << x << "," << y;
            logoWhite += std::min({Red(a), Green(a), Blue(a)});
            cornerWhite += std::min({Red(b), Green(b), Blue(b)});
            if (b && std::max({Red(b), Green(b), Blue(b)}) < 96) ++dark;
            if (std::min({Red(b), Green(b), Blue(b)}) > 160) ++pale;
        }
    EXPECT_GT(cornerWhite, logoWhite * 2) << "the corner's colours are washed out";
    EXPECT_GT(dark, 300) << "a rim to read on white";
    EXPECT_GT(pale, 600) << "pale letters to read on dark";
}

TEST(Pictures, BadgeIsAGreenDiscFillingTheSquare) {
    const Picture badge = Decode(ASSETBadge);
    ASSERT_NE(badge, nullptr);
    for (auto [x, y] : {std::pair{0, 0}, {63, 0}, {0, 63}, {63, 63}}) EXPECT_EQ(IMGGetPixel(badge.get(), x, y), 0u);
    for (auto [x, y] : {std::pair{31, 0}, {0, 31}, {63, 32}, {32, 63}}) EXPECT_NE(IMGGetPixel(badge.get(), x, y), 0u);
    int green = 0, lit = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint32_t p = IMGGetPixel(badge.get(), x, y);
            lit += p != 0;
            green += Green(p) > Red(p) && Green(p) > Blue(p);
        }
    EXPECT_GT(lit, 3100) << "nearly the whole disc of radius 32";
    EXPECT_GT(green * 10, lit * 6) << "mostly green";
}
