#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "picture.h"

namespace {
std::string Text(const IMG* img) {
    char* text = IMGToASCII(img);
    std::string out = text ? text : "(null)";
    std::free(text);
    return out;
}
} // namespace

TEST(ImgForms, TextForm) {
    EXPECT_EQ(Text(MakePicture(1, 1, {0x00FF8000}).get()), "IMG{\nP3\n1 1\n255\n255 128   0\n}\n");
    const std::string seven = Text(Numbered(7, 1, 0x000A0B).get());
    EXPECT_EQ(seven, "IMG{\nP3\n7 1\n255\n"
                     "  0  10  11   0  10  12   0  10  13   0  10  14   0  10  15   0  10  16\n"
                     "  0  10  17\n}\n");
    EXPECT_EQ(Text(MakePicture(0, 3).get()), "IMG{}");
    EXPECT_EQ(IMGToASCII(nullptr), nullptr);

    // Back from the text: equal pictures; the top byte is not part of the form.
    Picture img = MakePicture(13, 5);
    FillRandom(img.get(), 3);
    for (int i = 0; i < 65; ++i) img->pixels[i] &= 0xFFFFFF;
    char* text = IMGToASCII(img.get());
    Picture back(IMGFromASCII(text));
    std::free(text);
    ASSERT_TRUE(back);
    EXPECT_TRUE(IMGEqual(img.get(), back.get()));
}

TEST(ImgForms, FromTextRefusals) {
    Picture ok(IMGFromASCII("note: IMG{\nP3\n2 1\n255\n1 2 3\n300 0 1\n}\n"));
    ASSERT_TRUE(ok);
    EXPECT_EQ(Pixels(ok.get()), (std::vector<uint32_t>{0x010203, 300u * 65536u + 1u}));
    for (const char* bad : {"IMG{}", "IMG P3\n1 1\n255\n1 2 3", "{IMG\nP3\n1 1\n255\n1 2 3", "IMG{\nP3\nx 1\n255\n",
                            "IMG{\nP3\n1", "IMG{\nP3\n2 1\n255\n1 2 3\n4 5", "IMG{\nP3\n2 1\n255\n1 2 3 4 5 x",
                            "IMG{\nP3\n30000 30000\n255\n1 2 3", "IMG{\nP3\n65536 65536\n255\n1 2 3",
                            "IMG{\nP3\n99999999999 1\n255\n1 2 3", ""}) {
        IMG* img = IMGFromASCII(bad);
        EXPECT_EQ(img, nullptr) << bad;
        if (img) IMGFree(&img);
    }
    EXPECT_EQ(IMGFromASCII(nullptr), nullptr);
    Picture empty(IMGFromASCII("IMG{\nP3\n0 4\n255\n}\n"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->height, 4);
}

TEST(ImgForms, Find) {
    EXPECT_EQ(IMGFind("abIMG", "IMG"), 5);
    EXPECT_EQ(IMGFind("IIMG", "IMG"), 4);
    EXPECT_EQ(IMGFind("IMIMIM", "IMG"), 0);
    EXPECT_EQ(IMGFind("IMG", ""), 0);
    EXPECT_EQ(IMGFind(nullptr, "IMG"), 0);
    EXPECT_EQ(IMGFind("IMG", nullptr), 0);
}

TEST(ImgForms, EqualityAndCopies) {
    Picture a = Numbered(3, 2), b = Numbered(3, 2);
    b->x = 10;
    b->y = 20;
    EXPECT_TRUE(IMGEqual(a.get(), b.get()));
    b->pixels[5] = 99;
    EXPECT_FALSE(IMGEqual(a.get(), b.get()));
    EXPECT_FALSE(IMGEqual(a.get(), Numbered(2, 3).get()));
    EXPECT_FALSE(IMGEqual(a.get(), nullptr));

    Picture copy(IMGCopy(b.get()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->x, 0);
    EXPECT_EQ(copy->y, 0);
    EXPECT_TRUE(IMGEqual(copy.get(), b.get()));
    EXPECT_NE(copy->pixels, b->pixels);
    EXPECT_EQ(IMGCopy(nullptr), nullptr);

    IMGCopyPixels(a.get(), copy.get());
    EXPECT_TRUE(IMGEqual(copy.get(), a.get()));
    Picture other = MakePicture(2, 3);
    IMGCopyPixels(a.get(), other.get()); // same count, other shape: refused
    EXPECT_EQ(Pixels(other.get()), std::vector<uint32_t>(6, 0));
}
