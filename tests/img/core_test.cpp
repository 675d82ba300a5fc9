#include <gtest/gtest.h>

#include <climits>

#include "picture.h"

TEST(ImgCore, NewAndSetSize) {
    Picture img(IMGNew());
    ASSERT_TRUE(img);
    EXPECT_EQ(img->width, 16);
    EXPECT_EQ(img->height, 16);
    EXPECT_EQ(img->x | img->y | img->z | img->depth, 0);
    EXPECT_EQ(Pixels(img.get()), std::vector<uint32_t>(256, 0));

    IMGSetPixel(img.get(), 3, 3, 0xFFFFFF);
    img->x = 7;
    img->y = -9;
    IMGSetSize(img.get(), 256, 256);
    EXPECT_EQ(img->width, 256);
    EXPECT_EQ(img->height, 256);
    EXPECT_EQ(img->x, 7);
    EXPECT_EQ(img->y, -9);
    EXPECT_EQ(Pixels(img.get()), std::vector<uint32_t>(65536, 0));
}

TEST(ImgCore, SetSizeRefusesWhatCannotBeHeld) {
    Picture img = Numbered(4, 3);
    const auto before = Pixels(img.get());
    for (auto [w, h] : {std::pair{-1, 4}, {4, -1}, {65536, 65536}, {INT_MAX, 2}}) {
        IMGSetSize(img.get(), w, h);
        EXPECT_EQ(img->width, 4);
        EXPECT_EQ(img->height, 3);
        EXPECT_EQ(Pixels(img.get()), before);
    }
    IMGSetSize(nullptr, 4, 4); // reported, nothing else
    IMGSetSize(img.get(), 0, 5);
    EXPECT_EQ(img->width, 0);
    EXPECT_NE(img->pixels, nullptr);
}

TEST(ImgCore, PixelAccessAndClear) {
    Picture img = MakePicture(5, 4);
    IMGSetPixel(img.get(), 0, 0, 0x111111);
    IMGSetPixel(img.get(), 4, 3, 0x222222);
    EXPECT_EQ(img->pixels[0], 0x111111u);
    EXPECT_EQ(img->pixels[19], 0x222222u);
    const auto before = Pixels(img.get());
    for (auto [x, y] : {std::pair{5, 0}, {0, -1}, {-1, 0}, {0, 4}, {INT_MIN, INT_MAX}}) {
        IMGSetPixel(img.get(), x, y, 0xABCDEF);
        EXPECT_EQ(IMGGetPixel(img.get(), x, y), 0u);
    }
    EXPECT_EQ(Pixels(img.get()), before);
    EXPECT_EQ(IMGGetPixel(img.get(), 4, 3), 0x222222u);
    EXPECT_EQ(IMGGetPixel(nullptr, 0, 0), 0u);

    IMGClear(img.get());
    EXPECT_EQ(Pixels(img.get()), std::vector<uint32_t>(20, 0));
    IMGClear(nullptr);
}

TEST(ImgCore, FreeClearsTheCallersVariable) {
    IMG* img = IMGNew();
    IMGFree(&img);
    EXPECT_EQ(img, nullptr);
    IMGFree(&img); // reported, nothing freed twice
    IMGFree(nullptr);
}

TEST(ImgCore, TransparentCopyClipsOnBothPictures) {
    Picture src = Numbered(128, 32, 1);
    Picture dst = MakePicture(256, 256);
    IMGBlitTransparent(src.get(), dst.get(), 0, 0, 200, -10, 128, 32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const bool copied = x >= 200 && y <= 21;
            ASSERT_EQ(IMGGetPixel(dst.get(), x, y), copied ? IMGGetPixel(src.get(), x - 200, y + 10) : 0u)
                << x << "," << y;
        }

    // A source corner left of the picture drops those columns and moves the rest right.
    Picture small = MakePicture(8, 1);
    IMGBlitTransparent(src.get(), small.get(), -5, 0, 0, 0, 8, 1);
    EXPECT_EQ(Pixels(small.get()), (std::vector<uint32_t>{0, 0, 0, 0, 0, 1, 2, 3}));

    Picture untouched = MakePicture(256, 4);
    IMGBlitTransparent(src.get(), untouched.get(), 0, 0, 256, 0, 128, 32);
    EXPECT_EQ(Pixels(untouched.get()), std::vector<uint32_t>(1024, 0));
}

TEST(ImgCore, TransparentCopySkipsOnlyZero) {
    Picture src = MakePicture(2, 1, {0x000000, 0x000001});
    Picture dst = MakePicture(2, 1, {0x777777, 0x777777});
    IMGBlitTransparent(src.get(), dst.get(), 0, 0, 0, 0, 2, 1);
    EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{0x777777, 0x000001}));
    IMGBlitTransparent(nullptr, dst.get(), 0, 0, 0, 0, 2, 1);
    IMGBlitTransparent(src.get(), nullptr, 0, 0, 0, 0, 2, 1);
}

TEST(ImgCore, FadeSaturatesEachChannel) {
    // Odd sizes put pixels through both the grouped and the one-by-one path.
    Picture img = MakePicture(11, 3);
    for (int i = 0; i < 33; ++i) img->pixels[i] = i % 2 ? 0x00030810u : 0x01FFFFFFu;
    IMGFade(img.get(), 0x040404);
    for (int i = 0; i < 33; ++i) ASSERT_EQ(img->pixels[i], i % 2 ? 0x0000040Cu : 0x00FBFBFBu) << i;
    for (int k = 0; k < 63; ++k) IMGFade(img.get(), 0x040404);
    EXPECT_EQ(Pixels(img.get()), std::vector<uint32_t>(33, 0));
    IMGFade(nullptr, 0x040404);
}

TEST(ImgCore, FillRectFillsOnlyWhatLiesWhollyInside) {
    Picture img = MakePicture(8, 4);
    IMGFillRect(img.get(), 5, 1, 3, 2, 0xABCDEF); // x + w == width: up to the last column
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(IMGGetPixel(img.get(), x, y), (x >= 5 && y >= 1 && y <= 2) ? 0xABCDEFu : 0u);
    const auto before = Pixels(img.get());
    for (auto [x, y, w, h] : {std::tuple{5, 1, 4, 2}, {0, 0, 0, 1}, {0, 0, 1, 0}, {-1, 0, 2, 2}, {0, 3, 1, 2},
                              {7, 0, INT_MAX, 1}}) {
        IMGFillRect(img.get(), x, y, w, h, 0x123456);
        EXPECT_EQ(Pixels(img.get()), before);
    }
}
