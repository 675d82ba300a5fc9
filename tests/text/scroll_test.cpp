#include "text/scroll.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/text/glyphs.h"

namespace {
using glyphs::kBackground;

// The demo's arrangement: 32-pixel glyphs running through a 256-pixel-wide picture.
struct ScrollTest : ::testing::Test {
    SCROLL* scroll = SCROLLNew();
    FONT* font = FONTNew();
    IMG* target = glyphs::Picture(256, 64, kBackground);
    ScrollTest() {
        font->width = 32;
        font->height = 32;
        font->source = glyphs::Source(1024, 128, 32, 32);
    }
    ~ScrollTest() override {
        SCROLLFree(&scroll);
        FONTFree(&font);
        IMGFree(&target);
    }
    // Scroll position in pixels along the text.
    int64_t Position() const { return int64_t(scroll->cursor->position) * 32 + scroll->offset; }
    std::string Band(int x) const { return glyphs::Read(target, x, scroll->y, 32, 8); }
};
} // namespace

TEST_F(ScrollTest, ANewScrollerIsInert) {
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->speed, 1);
    EXPECT_EQ(scroll->offset, 0);
    EXPECT_EQ(scroll->text, nullptr);
    ASSERT_NE(scroll->cursor, nullptr);
    EXPECT_EQ(scroll->cursor->length, 25);
    EXPECT_EQ(std::strncmp(scroll->cursor->data, "A scroll's default text. ", 25), 0);
    SCROLLStep(scroll);
    SCROLLDraw(scroll);
    EXPECT_EQ(scroll->offset, 0);
    EXPECT_EQ(scroll->cursor->position, 0);
    EXPECT_EQ(font->target, nullptr);
}

TEST_F(ScrollTest, SetRestartsTheTextButKeepsSpeedAndOffset) {
    scroll->speed = 13;
    scroll->offset = 7;
    scroll->y = 99;
    SCROLLSet(scroll, "HELLO", font, target);
    EXPECT_EQ(scroll->x, 0);
    EXPECT_EQ(scroll->y, 0);
    EXPECT_EQ(scroll->width, 256);
    EXPECT_EQ(scroll->height, 32);
    EXPECT_EQ(scroll->depth, 0);
    EXPECT_EQ(scroll->speed, 13);
    EXPECT_EQ(scroll->offset, 7);
    EXPECT_EQ(scroll->cursor->length, 5);
    EXPECT_EQ(scroll->cursor->position, 0);

    SCROLLStep(scroll);
    EXPECT_EQ(scroll->cursor->position, 0);
    SCROLLStep(scroll);
    EXPECT_EQ(scroll->cursor->position, 1);
    SCROLLSet(scroll, "WORLD!", font, target);
    EXPECT_EQ(scroll->cursor->position, 0);
    EXPECT_EQ(scroll->cursor->length, 6);

    // Refused: any missing argument, and an empty text that could neither run nor be drawn.
    CURSOR* cursor = scroll->cursor;
    SCROLLSet(scroll, "", font, target);
    SCROLLSet(scroll, nullptr, font, target);
    SCROLLSet(scroll, "X", nullptr, target);
    SCROLLSet(scroll, "X", font, nullptr);
    SCROLLSet(nullptr, "X", font, target);
    EXPECT_EQ(scroll->cursor, cursor);
    EXPECT_STREQ(scroll->text, "WORLD!");
}

TEST_F(ScrollTest, StepsByTheSpeedInBothDirections) {
    SCROLLSet(scroll, "ABCDEFGHIJ", font, target);
    scroll->speed = 5;
    for (int expected : {5, 10, 15, 20, 25, 30}) {
        SCROLLStep(scroll);
        EXPECT_EQ(scroll->offset, expected);
        EXPECT_EQ(scroll->cursor->position, 0);
    }
    SCROLLStep(scroll);
    EXPECT_EQ(scroll->offset, 3);
    EXPECT_EQ(scroll->cursor->position, 1);

    SCROLLSet(scroll, "ABCDEFGHIJ", font, target);
    scroll->offset = 0;
    scroll->speed = -1;
    SCROLLStep(scroll);
    EXPECT_EQ(scroll->offset, 31);
    EXPECT_EQ(scroll->cursor->position, 9); // from the first character back to the last

    scroll->offset = 0;
    scroll->cursor->position = 0;
    scroll->speed = 32;
    for (int i = 1; i <= 12; ++i) {
        SCROLLStep(scroll);
        EXPECT_EQ(scroll->offset, 0);
        EXPECT_EQ(scroll->cursor->position, i % 10);
    }

    // An exact negative multiple of the glyph width ends as the width itself, which is the
    // same place as one character further on with offset 0.
    scroll->cursor->position = 0;
    scroll->speed = -32;
    SCROLLStep(scroll);
    EXPECT_EQ(scroll->offset, 32);
    EXPECT_EQ(scroll->cursor->position, 8);
    SCROLLStep(scroll);
    EXPECT_EQ(scroll->offset, 0);
    EXPECT_EQ(scroll->cursor->position, 8);
}

TEST_F(ScrollTest, PositionFollowsTheSumOfTheSpeedsAtEverySpeed) {
    SCROLLSet(scroll, "0123456", font, target);
    const int64_t ring = 7 * 32;
    int64_t moved = 0;
    uint32_t state = 1;
    for (int i = 0; i < 5000; ++i) {
        state = state * 1103515245u + 12345u;
        scroll->speed = int((state >> 16) % 65) - 32; // the keys hold it to -32 .. 32
        moved += scroll->speed;
        SCROLLStep(scroll);
        ASSERT_EQ(Position() % ring, ((moved % ring) + ring) % ring) << i;
        ASSERT_GE(scroll->offset, 0);
        ASSERT_LE(scroll->offset, 32);
        ASSERT_GE(scroll->cursor->position, 0);
        ASSERT_LT(scroll->cursor->position, 7);
    }

    // Even extreme speeds keep the cursor and the offset in range.
    for (int speed : {INT_MAX, INT_MIN, INT_MAX, INT_MIN + 1}) {
        scroll->speed = speed;
        SCROLLStep(scroll);
        EXPECT_GE(scroll->offset, 0);
        EXPECT_LE(scroll->offset, 32);
        EXPECT_GE(scroll->cursor->position, 0);
        EXPECT_LT(scroll->cursor->position, 7);
    }
}

TEST_F(ScrollTest, DrawsARingOfGlyphsWithoutMovingIt) {
    SCROLLSet(scroll, "ABC", font, target);
    scroll->y = 16;
    SCROLLDraw(scroll);
    // Shorter than the band: the text repeats across it.
    EXPECT_EQ(Band(0), "ABCABCAB");
    EXPECT_EQ(font->target, target);
    EXPECT_EQ(font->x, 10 * 32); // ten glyphs: the last two lie beyond the band
    EXPECT_EQ(scroll->cursor->position, 0);
    EXPECT_EQ(glyphs::CodeAt(target, 0, 15), -1);

    scroll->speed = 37; // one character and 5 pixels
    SCROLLStep(scroll);
    IMGFillRect(target, 0, 0, 256, 64, kBackground);
    SCROLLDraw(scroll);
    // The first glyph starts 5 pixels left of the band.
    EXPECT_EQ(IMGGetPixel(target, 0, 16), glyphs::Encode('B', 5, 0));
    EXPECT_EQ(Band(27), "CABCABCA");
    EXPECT_EQ(IMGGetPixel(target, 255, 47), glyphs::Encode('A', 4, 31));

    // Drawing again without a step draws the same picture.
    IMG* first = IMGCopy(target);
    SCROLLDraw(scroll);
    EXPECT_TRUE(IMGEqual(first, target));
    EXPECT_EQ(scroll->cursor->position, 1);
    EXPECT_EQ(scroll->offset, 5);
    IMGFree(&first);
}

TEST_F(ScrollTest, TransparentAndSolidBands) {
    // A font whose glyphs are black but for one pixel: transparent drawing keeps the picture
    // behind, solid drawing blacks the band out.
    IMGFree(&font->source);
    font->source = glyphs::Picture(1024, 128, 0);
    IMGSetPixel(font->source, 32 * ('X' % 32), 32 * ('X' / 32), 0xFFFFFF);
    SCROLLSet(scroll, "X\x80", font, target);
    scroll->y = 8;
    SCROLLDraw(scroll);
    EXPECT_EQ(IMGGetPixel(target, 0, 8), 0xFFFFFFu);
    EXPECT_EQ(IMGGetPixel(target, 1, 8), kBackground);
    EXPECT_EQ(IMGGetPixel(target, 32, 8), kBackground); // byte 0x80: no glyph, but its place
    EXPECT_EQ(IMGGetPixel(target, 64, 8), 0xFFFFFFu);

    SCROLLDrawSolid(scroll);
    EXPECT_EQ(IMGGetPixel(target, 1, 8), 0u);
    EXPECT_EQ(IMGGetPixel(target, 32, 8), kBackground);
    EXPECT_EQ(IMGGetPixel(target, 1, 7), kBackground);
    EXPECT_EQ(IMGGetPixel(target, 1, 40), kBackground);
}
