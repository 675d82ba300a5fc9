#include "text/font.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>

#include "tests/text/glyphs.h"

using glyphs::Encode;

namespace {
using glyphs::kBackground;

// The text font's layout: 1024 x 128, 32 x 32 cells, codes 0 .. 127.
struct FontTest : ::testing::Test {
    FONT* font = FONTNew();
    IMG* target = glyphs::Picture(256, 64, kBackground);
    FontTest() {
        font->width = 32;
        font->height = 32;
        font->source = glyphs::Source(1024, 128, 32, 32);
        font->target = target;
    }
    ~FontTest() override {
        FONTFree(&font);
        IMGFree(&target);
    }
    bool Untouched(int x0, int y0, int w, int h) const {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (IMGGetPixel(target, x, y) != kBackground) return false;
        return true;
    }
};
} // namespace

TEST(Font, StartsWithSixPixelCellsAndNothingToDraw) {
    FONT* font = FONTNew();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->width, 6);
    EXPECT_EQ(font->height, 6);
    EXPECT_EQ(font->source, nullptr);
    EXPECT_EQ(font->target, nullptr);
    FONTPutChar(font); // no source: refused, pen stays
    EXPECT_EQ(font->x, 0);
    FONTPutHex8(font, 0x12);
    EXPECT_EQ(font->x, 0);
    EXPECT_EQ(font->character, 0);
    FONTFree(&font);
    EXPECT_EQ(font, nullptr);
    FONTFree(&font);
    FONTFree(nullptr);
    FONTPutChar(nullptr);
}

TEST_F(FontTest, FindsEachCodesCell) {
    font->character = 65;
    FONTPutCharSolid(font);
    EXPECT_EQ(IMGGetPixel(target, 0, 0), IMGGetPixel(font->source, 32, 64));
    EXPECT_EQ(IMGGetPixel(target, 31, 31), IMGGetPixel(font->source, 63, 95));
    EXPECT_EQ(IMGGetPixel(target, 5, 7), Encode(65, 5, 7));
    EXPECT_EQ(font->x, 32);

    font->character = 127;
    FONTPutCharSolid(font);
    EXPECT_EQ(IMGGetPixel(target, 32, 0), IMGGetPixel(font->source, 992, 96));
    EXPECT_EQ(IMGGetPixel(target, 63, 31), Encode(127, 31, 31));

    // Past the last cell and before the first: nothing drawn, the pen still moves on.
    for (int code : {128, 200, -1, -33, -128, INT_MIN, INT_MAX}) {
        font->character = code;
        font->x = 64;
        FONTPutCharSolid(font);
        EXPECT_EQ(font->x, 96) << code;
    }
    EXPECT_TRUE(Untouched(64, 0, 192, 64));
}

TEST_F(FontTest, CellsOfAPictureNotAMultipleOfTheGlyphWidth) {
    // 40 pixels wide with 16-pixel glyphs: code 2 starts at column 32 and only 8 columns of it
    // exist; code 3 starts at (8, 16).
    IMGFree(&font->source);
    font->source = glyphs::Source(40, 32, 16, 16);
    font->width = 16;
    font->height = 16;
    font->character = 2;
    FONTPutCharSolid(font);
    EXPECT_EQ(IMGGetPixel(target, 7, 3), IMGGetPixel(font->source, 39, 3));
    EXPECT_TRUE(Untouched(8, 0, 8, 16));
    font->character = 3;
    FONTPutCharSolid(font);
    EXPECT_EQ(IMGGetPixel(target, 16, 0), IMGGetPixel(font->source, 8, 16));
    EXPECT_EQ(IMGGetPixel(target, 31, 15), IMGGetPixel(font->source, 23, 31));
}

TEST(Font, TheFourPixelRules) {
    // One 4 x 1 glyph: black, blue that carries when added, a colour that saturates, white.
    FONT* font = FONTNew();
    font->width = 4;
    font->height = 1;
    font->source = glyphs::Picture(4, 1, 0);
    const uint32_t glyph[4] = {0x000000, 0x0000F0, 0xF0F010, 0xFFFFFF};
    for (int x = 0; x < 4; ++x) IMGSetPixel(font->source, x, 0, glyph[x]);
    IMG* target = glyphs::Picture(4, 1, 0x302020);
    font->target = target;
    const auto Row = [&] {
        std::array<uint32_t, 4> row;
        for (int x = 0; x < 4; ++x) row[x] = IMGGetPixel(target, x, 0);
        IMGFillRect(target, 0, 0, 4, 1, 0x302020);
        font->x = 0;
        return row;
    };
    using Row4 = std::array<uint32_t, 4>;

    FONTPutChar(font);
    EXPECT_EQ(Row(), (Row4{0x302020, 0x0000F0, 0xF0F010, 0xFFFFFF}));
    FONTPutCharSolid(font);
    EXPECT_EQ(Row(), (Row4{0x000000, 0x0000F0, 0xF0F010, 0xFFFFFF}));
    FONTPutCharAdd(font); // whole-word addition: blue carries into green, red into the top byte
    EXPECT_EQ(Row(), (Row4{0x302020, 0x302110, 0x1211030, 0x130201F}));
    FONTPutCharSaturated(font);
    EXPECT_EQ(Row(), (Row4{0x302020, 0x3020FF, 0xFFFF30, 0xFFFFFF}));
    IMGFree(&target);
    FONTFree(&font);
}

TEST_F(FontTest, ClipsAtTheTargetEdgesAndAlwaysAdvancesTheFullWidth) {
    font->character = 'A';
    font->x = -10;
    font->y = 40; // 24 rows below the bottom edge
    FONTPutChar(font);
    EXPECT_EQ(font->x, 22);
    EXPECT_EQ(IMGGetPixel(target, 0, 40), Encode('A', 10, 0));
    EXPECT_EQ(IMGGetPixel(target, 21, 63), Encode('A', 31, 23));
    EXPECT_TRUE(Untouched(22, 40, 10, 24));

    font->x = 250;
    font->y = -30;
    FONTPutChar(font);
    EXPECT_EQ(font->x, 282);
    EXPECT_EQ(IMGGetPixel(target, 250, 0), Encode('A', 0, 30));
    EXPECT_EQ(IMGGetPixel(target, 255, 1), Encode('A', 5, 31));
    EXPECT_TRUE(Untouched(250, 2, 6, 30));

    font->x = 300; // wholly outside
    FONTPutChar(font);
    EXPECT_EQ(font->x, 332);

    font->target = nullptr; // nothing to draw into: the pen still moves
    font->x = 0;
    FONTPutChar(font);
    EXPECT_EQ(font->x, 32);
}

TEST_F(FontTest, HexadecimalDigitsInOrder) {
    FONTPutHex8(font, 0xAB);
    EXPECT_EQ(font->x, 64);
    EXPECT_EQ(glyphs::Read(target, 0, 0, 32, 2), "AB");
    font->x = 0;
    FONTPutHex8(font, 0x1F5); // only the low byte
    EXPECT_EQ(glyphs::Read(target, 0, 0, 32, 2), "F5");

    IMG* wide = glyphs::Picture(8 * 32, 32, kBackground);
    font->target = wide;
    font->x = 0;
    FONTPutHex16(font, 0xFED1234);
    EXPECT_EQ(glyphs::Read(wide, 0, 0, 32, 4), "1234");
    EXPECT_EQ(font->x, 128);
    font->x = 0;
    FONTPutHex32(font, 255);
    EXPECT_EQ(glyphs::Read(wide, 0, 0, 32, 8), "000000FF");
    font->x = 0;
    FONTPutHex32(font, 0x9ABCDEF0u);
    EXPECT_EQ(glyphs::Read(wide, 0, 0, 32, 8), "9ABCDEF0");
    EXPECT_EQ(font->x, 256);
    font->target = target;
    IMGFree(&wide);
}

TEST_F(FontTest, LinesStopAtNewlineAndTextsStartNewLinesUnderThePen) {
    font->x = 40;
    FONTPutLine(font, "AB\nCD");
    EXPECT_EQ(font->x, 104);
    EXPECT_EQ(glyphs::Read(target, 40, 0, 32, 3), "AB.");
    EXPECT_TRUE(Untouched(40, 32, 216, 32));

    // Bytes past 127 read as negative codes: no glyph, but each takes its place.
    font->x = 0;
    FONTPutLine(font, "\x80\xFF" "C");
    EXPECT_EQ(font->x, 96);
    EXPECT_EQ(glyphs::Read(target, 64, 0, 32, 1), "C");

    IMGFillRect(target, 0, 0, 256, 64, kBackground);
    font->x = 40;
    font->y = 0;
    FONTPutText(font, "AB\nCD");
    EXPECT_EQ(glyphs::Read(target, 40, 0, 32, 3), "AB.");
    EXPECT_EQ(glyphs::Read(target, 40, 32, 32, 3), "CD.");
    EXPECT_EQ(font->x, 104);
    EXPECT_EQ(font->y, 32);

    // Refusals leave the pen where it is.
    FONTPutLine(font, nullptr);
    FONTPutText(font, nullptr);
    font->target = nullptr;
    FONTPutText(font, "A");
    EXPECT_EQ(font->x, 104);
    EXPECT_EQ(font->y, 32);
}

TEST(Font, BigCharacterMadeOfSmallGlyphs) {
    // Big font: 3 x 2 cells; cell 1 has lit pixels at (0, 0), (2, 0) and (1, 1).
    FONT* big = FONTNew();
    big->width = 3;
    big->height = 2;
    big->source = glyphs::Picture(6, 2, 0);
    IMGSetPixel(big->source, 3, 0, 0xFFFFFF);
    IMGSetPixel(big->source, 5, 0, 0x010101);
    IMGSetPixel(big->source, 4, 1, 0x808080);
    big->character = 1;
    big->x = 8;
    big->y = 4;
    IMG* target = glyphs::Picture(64, 32, kBackground);
    big->target = target;

    FONT* small = FONTNew();
    small->width = 8;
    small->height = 8;
    small->source = glyphs::Source(64, 8, 8, 8);
    small->character = 5;

    FONTPutBigChar(big, small);
    EXPECT_EQ(small->target, target);
    EXPECT_EQ(small->character, 5);
    EXPECT_EQ(big->x, 8 + 3 * 8);
    EXPECT_EQ(glyphs::Read(target, 8, 4, 8, 3), std::string("\5.\5"));
    EXPECT_EQ(glyphs::Read(target, 8, 12, 8, 3), std::string(".\5."));

    // A big cell that is not wholly inside its picture draws nothing, and the pen moves on.
    IMGFillRect(target, 0, 0, 64, 32, kBackground);
    big->character = 2;
    FONTPutBigChar(big, small);
    EXPECT_EQ(big->x, 8 + 2 * 3 * 8);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(IMGGetPixel(target, x, y), kBackground);

    FONTPutBigChar(big, nullptr);
    EXPECT_EQ(big->x, 8 + 2 * 3 * 8);
    IMGFree(&target);
    FONTFree(&big);
    FONTFree(&small);
}
