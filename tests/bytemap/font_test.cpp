#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "../text/glyphs.h"
#include "maps.h"
#include "text/font.h"

namespace {

// A font of 256 codes in 16 x 16 cells of cw x ch, drawing into a black target.
struct Screen {
    FONT* font = FONTNew();
    IMG* target;
    Screen(int cw, int ch, int width, int height) {
        font->width = cw;
        font->height = ch;
        font->source = glyphs::Source(16 * cw, 16 * ch, cw, ch);
        target = glyphs::Picture(width, height, 0);
        font->target = target;
    }
    ~Screen() {
        FONTFree(&font);
        IMGFree(&target);
    }
    std::pair<int, int> Pen() const { return {font->x, font->y}; }
};

Map Codes(int width, int height, const std::string& codes, int x, int y) {
    Map map = MakeMap(width, height, std::vector<uint8_t>(codes.begin(), codes.end()));
    map->x = x;
    map->y = y;
    return map;
}

} // namespace

TEST(FontPutBytemap, PlacesTheScreenAtTheMapsPosition) {
    Screen s(4, 3, 40, 12);
    Map map = Codes(3, 2, "ABCDEF", 8, 3);
    FONTPutBYTEMAP(s.font, map.get());
    EXPECT_EQ(glyphs::Read(s.target, 8, 3, 4, 3), "ABC");
    EXPECT_EQ(glyphs::Read(s.target, 8, 6, 4, 3), "DEF");
    EXPECT_EQ(IMGGetPixel(s.target, 7, 3), 0u);                     // nothing left of the screen
    EXPECT_EQ(IMGGetPixel(s.target, 20, 3), 0u);                    // nor right of it
    EXPECT_EQ(s.Pen(), std::make_pair(8, 9));                       // start of the row after the last

    // Codes are bytes: 200 is character 200, not a negative one.
    Screen high(2, 2, 8, 8);
    Map one = Codes(1, 1, std::string(1, char(200)), 0, 0);
    FONTPutBYTEMAP(high.font, one.get());
    EXPECT_EQ(glyphs::CodeAt(high.target, 0, 0), 200);
}

TEST(FontPutBytemap, NegativePositionsStartAtTheFirstVisibleGlyph) {
    // 40 pixels left with glyphs 32 wide: column 1 first, its pen at -8.
    Screen s(32, 32, 100, 40);
    Map map = Codes(4, 1, "ABCD", -40, 0);
    FONTPutBYTEMAP(s.font, map.get());
    EXPECT_EQ(IMGGetPixel(s.target, 0, 0), glyphs::Encode('B', 8, 0));
    EXPECT_EQ(glyphs::Read(s.target, 24, 0, 32, 2), "CD");
    EXPECT_EQ(IMGGetPixel(s.target, 88, 0), 0u); // the map has no fifth column
    EXPECT_EQ(s.Pen(), std::make_pair(-8, 32));

    // The same upwards, and a whole number of glyphs off the edge leaves a pen of 0.
    Screen t(4, 4, 16, 16);
    Map tall = Codes(2, 4, "ABCDEFGH", -4, -6);
    FONTPutBYTEMAP(t.font, tall.get());
    EXPECT_EQ(IMGGetPixel(t.target, 0, 0), glyphs::Encode('D', 0, 2)); // column 1, row 1 at pen y -2
    EXPECT_EQ(glyphs::CodeAt(t.target, 0, 2), 'F');
    EXPECT_EQ(glyphs::CodeAt(t.target, 0, 6), 'H');
    EXPECT_EQ(IMGGetPixel(t.target, 4, 0), 0u);
    EXPECT_EQ(t.Pen(), std::make_pair(0, 10));
}

TEST(FontPutBytemap, ClipsAtTheFarEdgesAndSkipsScreensOffTheTarget) {
    Screen s(4, 4, 8, 8);
    Map big = Codes(5, 5, "ABCDEFGHIJKLMNOPQRSTUVWXY", 0, 0);
    FONTPutBYTEMAP(s.font, big.get());
    EXPECT_EQ(glyphs::Read(s.target, 0, 0, 4, 2), "AB");
    EXPECT_EQ(glyphs::Read(s.target, 0, 4, 4, 2), "FG");
    EXPECT_EQ(s.Pen(), std::make_pair(0, 8)); // two rows drawn, the others stop at the bottom

    // Wholly left, above, right or below: nothing drawn and the pen where it was.
    Screen off(4, 4, 8, 8);
    off.font->x = 3;
    off.font->y = 5;
    for (auto [x, y] : {std::pair{-20, 0}, std::pair{0, -20}, std::pair{8, 0}, std::pair{0, 8}, std::pair{INT_MIN, 0}}) {
        Map map = Codes(5, 5, std::string(25, 'A'), x, y);
        FONTPutBYTEMAP(off.font, map.get());
    }
    EXPECT_EQ(off.Pen(), std::make_pair(3, 5));
    EXPECT_EQ(glyphs::Read(off.target, 0, 0, 4, 2), "..");

    // Refused: anything missing, or glyphs without size.
    Map map = Codes(1, 1, "A", 0, 0);
    FONTPutBYTEMAP(nullptr, map.get());
    FONTPutBYTEMAP(off.font, nullptr);
    off.font->width = 0;
    FONTPutBYTEMAP(off.font, map.get());
    off.font->width = 4;
    off.font->target = nullptr;
    FONTPutBYTEMAP(off.font, map.get());
    off.font->target = off.target;
    EXPECT_EQ(off.Pen(), std::make_pair(3, 5));
    EXPECT_EQ(glyphs::CodeAt(off.target, 0, 0), -1);
}
