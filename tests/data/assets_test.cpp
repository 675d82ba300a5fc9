// The embedded files as the program sees them: exact sizes and forms, read from the
// compiled-in arrays rather than from data/, so a broken embedding step fails here too.
#include "data/assets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Asset {
    const char* name;
    const unsigned char* bytes;
    int size;
};

std::string Text(const unsigned char* bytes, int size) { return std::string(reinterpret_cast<const char*>(bytes), size); }

} // namespace

TEST(Assets, ScrollTextHasItsLengthEdgesAndKeyHelp) {
    const std::string text = Text(ASSETScroll, ASSETScrollSize);
    ASSERT_EQ(ASSETScrollSize, 1286);
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(ASSETScroll)), 1286u) << "the scroller reads up to the zero";
    for (size_t i = 0; i < text.size(); ++i) EXPECT_TRUE(text[i] >= 32 && text[i] < 127) << "byte " << i;
    EXPECT_EQ(text.find_first_not_of(' '), 24u);
    EXPECT_EQ(text.size() - 1 - text.find_last_not_of(' '), 41u);
    EXPECT_NE(text.find("Press keys: [ESC] quit demostration.  [1] scroll. [a][s] scroll speed. "
                        "[5][6] 25,50 f.p.s.. [ ] next part."),
              std::string::npos);
    EXPECT_NE(text.find("KELP2207"), std::string::npos);
}

// Each binary picture is its magic, one comment line, the size, 255 and exactly the raster;
// nothing may follow the raster, and the comment must not hide a second header.
TEST(Assets, BinaryPicturesHoldOneCommentAndAnExactRaster) {
    struct Expect {
        Asset asset;
        const char* magic;
        int width, height, channels;
    };
    const Expect pictures[] = {
        {{"font", ASSETFont, ASSETFontSize}, "P6", 1024, 128, 3},
        {{"spray", ASSETSpray, ASSETSpraySize}, "P5", 64, 256, 1},
        {{"logo", ASSETLogo, ASSETLogoSize}, "P6", 128, 32, 3},
        {{"corner", ASSETCorner, ASSETCornerSize}, "P6", 128, 32, 3},
        {{"badge", ASSETBadge, ASSETBadgeSize}, "P6", 64, 64, 3},
    };
    for (const Expect& p : pictures) {
        SCOPED_TRACE(p.asset.name);
        const std::string bytes = Text(p.asset.bytes, p.asset.size);
        std::vector<std::string> lines;
        size_t at = 0;
        for (int i = 0; i < 4; ++i) {
            const size_t end = bytes.find('\n', at);
            ASSERT_NE(end, std::string::npos);
            lines.push_back(bytes.substr(at, end - at));
            at = end + 1;
        }
        EXPECT_EQ(lines[0], p.magic);
        ASSERT_FALSE(lines[1].empty());
        EXPECT_EQ(lines[1][0], '#');
        for (char c : lines[1]) EXPECT_TRUE(c >= 32 && c < 127) << "comment byte " << int(c);
        EXPECT_EQ(lines[2], std::to_string(p.width) + " " + std::to_string(p.height));
        EXPECT_EQ(lines[3], "255");
        EXPECT_EQ(bytes.size() - at, size_t(p.width) * p.height * p.channels);
        EXPECT_EQ(p.asset.bytes[p.asset.size], 0) << "zero byte after the data";
    }
}

TEST(Assets, RotozoomBitmapIsPlainTextWithAClearBorder) {
    const std::string text = Text(ASSETRotozoom, ASSETRotozoomSize);
    ASSERT_EQ(text.substr(0, 9), "P1\n16 16\n");
    size_t at = 9;
    int ones = 0;
    for (int row = 0; row < 16; ++row) {
        const size_t end = text.find('\n', at);
        ASSERT_NE(end, std::string::npos) << "row " << row;
        const std::string line = text.substr(at, end - at);
        ASSERT_EQ(line.size(), 31u) << "row " << row;
        for (int col = 0; col < 16; ++col) {
            const char digit = line[size_t(col) * 2];
            ASSERT_TRUE(digit == '0' || digit == '1') << row << "," << col;
            if (col < 15) {
                EXPECT_EQ(line[size_t(col) * 2 + 1], ' ');
            }
            if (row == 0 || row == 15 || col == 0 || col == 15) {
                EXPECT_EQ(digit, '0') << row << "," << col;
            }
            ones += digit == '1';
        }
        at = end + 1;
    }
    EXPECT_EQ(at, text.size());
    EXPECT_GT(ones, 60) << "a bold letter, not a thin one";
}
