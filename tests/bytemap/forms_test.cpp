#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "maps.h"

namespace {
std::string Text(const BYTEMAP* map) {
    char* text = BYTEMAPToASCII(map);
    if (!text) return "(null)";
    std::string copy(text);
    std::free(text);
    return copy;
}

Map FromText(const std::string& text) { return Map(BYTEMAPFromASCII(text.c_str())); }
} // namespace

TEST(BytemapForms, TextFormLayout) {
    EXPECT_EQ(Text(MakeMap(2, 1, {7, 255}).get()), "BYTEMAP{\nP3\n2 1\n255\n  7   7   7 255 255 255\n}\n");
    EXPECT_EQ(Text(MakeMap(1, 1).get()), "BYTEMAP{\nP3\n1 1\n255\n  0   0   0\n}\n");

    // Six pixels a line; the last line ends with a line feed, never a space.
    const std::string seven = Text(Numbered(7, 1, 10).get());
    const std::string pixels = seven.substr(std::string("BYTEMAP{\nP3\n7 1\n255\n").size());
    EXPECT_EQ(pixels, " 10  10  10  11  11  11  12  12  12  13  13  13  14  14  14  15  15  15\n"
                      " 16  16  16\n}\n");
    EXPECT_EQ(Text(Numbered(6, 1).get()).find(" \n"), std::string::npos);

    EXPECT_EQ(Text(MakeMap(0, 5).get()), "BYTEMAP{}");
    EXPECT_EQ(Text(nullptr), "(null)");
}

TEST(BytemapForms, TextRoundTrips) {
    for (auto [w, h] : {std::pair{1, 1}, std::pair{6, 1}, std::pair{7, 3}, std::pair{13, 11}, std::pair{256, 2}}) {
        Map map = Numbered(w, h, 250);
        map->x = 12;
        Map back = FromText(Text(map.get()));
        ASSERT_TRUE(back) << w << "x" << h;
        EXPECT_EQ(BYTEMAPEqual(map.get(), back.get()), 1);
        EXPECT_EQ(std::make_pair(back->x, back->y), std::make_pair(0, 0));
    }
}

TEST(BytemapForms, ReadingText) {
    // Each pixel is the mean of its three samples, taken modulo 256.
    Map mean = FromText("BYTEMAP{\nP3\n3 1\n255\n30 60 90   1 1 2  300 300 300\n}\n");
    ASSERT_TRUE(mean);
    EXPECT_EQ(Bytes(mean.get()), (std::vector<uint8_t>{60, 1, 44}));

    // The keyword is found after leading text; anything that is not a digit separates samples.
    Map led = FromText("notes... BYTEMAP{\nP3\n2 1\n255\n5,5,5;9x9x9");
    ASSERT_TRUE(led);
    EXPECT_EQ(Bytes(led.get()), (std::vector<uint8_t>{5, 9}));

    EXPECT_FALSE(FromText("BYTEMAP{}"));            // no "P3\n"
    EXPECT_FALSE(FromText("IMG{\nP3\n1 1\n255\n1 1 1\n}\n"));
    EXPECT_FALSE(FromText("BYTEMAP\nP3\n1 1\n255\n1 1 1\n}\n")); // no brace
    EXPECT_FALSE(BYTEMAPFromASCII(nullptr));

    // Texts that end early, or declare sizes they cannot hold, are refused.
    EXPECT_FALSE(FromText("BYTEMAP{\nP3\n"));
    EXPECT_FALSE(FromText("BYTEMAP{\nP3\n2 2\n255\n1 1 1 2 2 2 3 3 3 4 4"));
    EXPECT_FALSE(FromText("BYTEMAP{\nP3\n2"));
    EXPECT_FALSE(FromText("BYTEMAP{\nP3\n99999 99999\n255\n1 1 1"));
    EXPECT_FALSE(FromText("BYTEMAP{\nP3\n65536 65536\n255\n1 1 1")); // 2^32 pixels: 0 in a 32-bit size_t
    EXPECT_FALSE(FromText("BYTEMAP{\nP3\n99999999999 1\n255\n1 1 1"));

    EXPECT_EQ(BYTEMAPFind("xyBYTEMAP{", "BYTEMAP"), 9);
    EXPECT_EQ(BYTEMAPFind("BBYTEMAP", "BYTEMAP"), 8);
    EXPECT_EQ(BYTEMAPFind("BYTEMA", "BYTEMAP"), 0);
    EXPECT_EQ(BYTEMAPFind(nullptr, "BYTEMAP"), 0);
    EXPECT_EQ(BYTEMAPFind("text", nullptr), 0);
}
