#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <tuple>

#include "picture.h"

namespace {

using RectOp = void (*)(const IMG*, IMG*, int, int, int, int, int, int);

uint32_t Channel(uint32_t p, int shift) { return (p >> shift) & 0xFF; }
uint32_t AddSat(uint32_t d, uint32_t s) {
    uint32_t out = 0;
    for (int shift : {0, 8, 16}) out |= std::min(255u, Channel(d, shift) + Channel(s, shift)) << shift;
    return out;
}
uint32_t SubSat(uint32_t d, uint32_t s) {
    uint32_t out = 0;
    for (int shift : {0, 8, 16})
        out |= (Channel(d, shift) > Channel(s, shift) ? Channel(d, shift) - Channel(s, shift) : 0) << shift;
    return out;
}

} // namespace

TEST(ImgCompose, PerPixelRules) {
    struct Case {
        RectOp op;
        uint32_t s, d, expected;
    };
    for (const Case& c : {Case{IMGBlitAddSat, 0x00F01010, 0x00201020, 0x00FF2030},
                          Case{IMGBlitAdd, 0x00F01010, 0x00201020, 0x01102030},
                          Case{IMGBlitAdd, 0xFFFFFFFF, 0x00000002, 0x00000001},
                          Case{IMGBlitSubSat, 0x00102030, 0x00201010, 0x00100000},
                          Case{IMGBlitAddSat, 0xFF000001, 0xFF0000FF, 0x000000FF},
                          Case{IMGBlit, 0x00000000, 0x00123456, 0x00000000},
                          Case{IMGBlitTransparent, 0x00000000, 0x00123456, 0x00123456}}) {
        Picture src = MakePicture(1, 1, {c.s});
        Picture dst = MakePicture(1, 1, {c.d});
        c.op(src.get(), dst.get(), 0, 0, 0, 0, 1, 1);
        EXPECT_EQ(dst->pixels[0], c.expected) << std::hex << c.s << " onto " << c.d;
    }
}

// The saturating blits work on whole groups of bytes with a one-by-one tail; both must give
// the per-channel result on every pixel, whatever the width and offset.
TEST(ImgCompose, SaturatingBlitsMatchThePerChannelRule) {
    Picture src = MakePicture(67, 9), dst = MakePicture(67, 9);
    FillRandom(src.get(), 1);
    for (int w : {1, 7, 8, 9, 33, 64, 67}) {
        using Rule = uint32_t (*)(uint32_t, uint32_t);
        for (auto [op, rule] : {std::pair<RectOp, Rule>{IMGBlitAddSat, AddSat}, {IMGBlitSubSat, SubSat}}) {
            FillRandom(dst.get(), uint32_t(w));
            const auto before = Pixels(dst.get());
            op(src.get(), dst.get(), 67 - w, 1, 0, 2, w, 9);
            for (int y = 0; y < 9; ++y)
                for (int x = 0; x < 67; ++x) {
                    const size_t i = size_t(y) * 67 + size_t(x);
                    const uint32_t want =
                        (x < w && y >= 2) ? rule(before[i], IMGGetPixel(src.get(), 67 - w + x, y - 1)) : before[i];
                    ASSERT_EQ(dst->pixels[i], want) << "w " << w << " at " << x << "," << y;
                }
        }
    }
}

// Every rectangle operation changes exactly the destination pixels whose requested source pixel
// lies inside the source, and takes that pixel; checked against that definition pixel by pixel.
TEST(ImgCompose, AllRectangleOperationsClipAlike) {
    Picture src = Numbered(7, 5, 1);
    const int cases[][6] = {{0, 0, 0, 0, 7, 5},      {-3, -2, 1, 1, 9, 9},   {2, 1, -4, -1, 9, 9},
                            {5, 4, 8, 5, 3, 3},      {0, 0, 9, 0, 5, 5},     {0, 0, 0, 6, 5, 5},
                            {7, 0, 0, 0, 5, 5},      {0, -5, 0, 0, 5, 5},    {0, 0, -5, 0, 5, 5},
                            {1, 1, 1, 1, -2, 3},     {INT_MIN, 0, 0, 0, INT_MAX, 5},
                            {0, 0, INT_MAX, 0, INT_MAX, 5}, {-2, 0, INT_MIN, 0, INT_MAX, 5}};
    for (RectOp op : {IMGBlitTransparent, IMGBlit, IMGBlitAdd, IMGBlitAddSat, IMGBlitSubSat}) {
        for (const auto& c : cases) {
            const auto [sx, sy, dx, dy, w, h] = std::tuple{c[0], c[1], c[2], c[3], c[4], c[5]};
            Picture dst = MakePicture(9, 6);
            std::fill_n(dst->pixels, 54, 0x00FFFFFFu); // subtraction then shows every touched pixel
            if (op == IMGBlitTransparent || op == IMGBlit || op == IMGBlitAdd || op == IMGBlitAddSat)
                std::fill_n(dst->pixels, 54, 0u);
            op(src.get(), dst.get(), sx, sy, dx, dy, w, h);
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 9; ++x) {
                    const int64_t c0 = int64_t(x) - dx, r0 = int64_t(y) - dy;
                    const int64_t px = sx + c0, py = sy + r0;
                    const bool inside = c0 >= 0 && c0 < w && r0 >= 0 && r0 < h && px >= 0 && px < 7 && py >= 0 &&
                                        py < 5;
                    const uint32_t s = inside ? uint32_t(py * 7 + px + 1) : 0;
                    const uint32_t want = op == IMGBlitSubSat ? (inside ? SubSat(0xFFFFFF, s) : 0xFFFFFFu) : s;
                    ASSERT_EQ(IMGGetPixel(dst.get(), x, y), want)
                        << "case " << sx << "," << sy << "," << dx << "," << dy << "," << w << "," << h << " at "
                        << x << "," << y;
                }
        }
    }
}

TEST(ImgCompose, CopiesWithinOnePictureFollowTheWalkOrder) {
    // Rows from the top, pixels from the left: a copy one pixel to the right smears the first.
    Picture img = Numbered(6, 1, 1);
    IMGBlit(img.get(), img.get(), 0, 0, 1, 0, 5, 1);
    EXPECT_EQ(Pixels(img.get()), (std::vector<uint32_t>{1, 1, 1, 1, 1, 1}));
    // One pixel to the left copies cleanly.
    img = Numbered(6, 1, 1);
    IMGBlit(img.get(), img.get(), 1, 0, 0, 0, 5, 1);
    EXPECT_EQ(Pixels(img.get()), (std::vector<uint32_t>{2, 3, 4, 5, 6, 6}));
    // A picture subtracted from itself goes black.
    img = MakePicture(40, 3);
    FillRandom(img.get(), 5);
    IMGBlitSubSat(img.get(), img.get(), 0, 0, 0, 0, 40, 3);
    EXPECT_EQ(Pixels(img.get()), std::vector<uint32_t>(120, 0));
    // A pixel doubled onto itself saturates.
    img = MakePicture(9, 1, std::vector<uint32_t>(9, 0x00807F01));
    IMGBlitAddSat(img.get(), img.get(), 0, 0, 0, 0, 9, 1);
    EXPECT_EQ(Pixels(img.get()), std::vector<uint32_t>(9, 0x00FFFE02));
}

TEST(ImgCompose, HalfBlend) {
    Picture src = MakePicture(2, 1, {0x00FF0000, 0x00000000});
    Picture dst = MakePicture(3, 2, std::vector<uint32_t>(6, 0x000000FF));
    IMGBlitHalf(src.get(), dst.get(), 1, 1);
    EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x007F007F, 0xFF}));
    IMGBlitHalf(src.get(), dst.get(), -1, 0); // only the zero pixel lands
    EXPECT_EQ(dst->pixels[0], 0xFFu);
    IMGBlitHalf(src.get(), dst.get(), -2, 0);
    IMGBlitHalf(src.get(), dst.get(), 3, 0);
    EXPECT_EQ(dst->pixels[0], 0xFFu);
}

TEST(ImgCompose, WrapCopies) {
    Picture row = Numbered(4, 1, 1);
    for (int at : {6, -2, 14}) {
        Picture dst = MakePicture(8, 2);
        IMGCopyRowWrap(row.get(), dst.get(), 0, 1, at);
        EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 0, 0, 3, 4, 0, 0, 0, 0, 1, 2}))
            << at;
    }
    Picture wide = Numbered(10, 1, 1);
    Picture dst = MakePicture(8, 1);
    IMGCopyRowWrap(wide.get(), dst.get(), 0, 0, 0);
    EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7, 8}));

    // Zeros are skipped by the copy and change nothing in the OR.
    Picture holes = MakePicture(3, 1, {0x10, 0, 0x01});
    dst = MakePicture(3, 1, {0x02, 0x03, 0x04});
    IMGCopyRowWrap(holes.get(), dst.get(), 0, 0, 1);
    EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{0x01, 0x10, 0x04}));
    IMGOrRowWrap(holes.get(), dst.get(), 0, 0, 0);
    EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{0x11, 0x10, 0x05}));

    Picture column = Numbered(1, 3, 1);
    dst = MakePicture(2, 4);
    IMGCopyColumnWrap(column.get(), dst.get(), 0, 1, -1);
    EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{0, 2, 0, 3, 0, 0, 0, 1}));

    // Rows and columns outside their pictures, and an empty destination, are refused.
    const auto before = Pixels(dst.get());
    IMGCopyRowWrap(row.get(), dst.get(), 1, 0, 0);
    IMGOrRowWrap(row.get(), dst.get(), 0, 4, 0);
    IMGCopyColumnWrap(column.get(), dst.get(), 0, 2, 0);
    IMGCopyColumnWrap(column.get(), dst.get(), -1, 0, 0);
    Picture empty = MakePicture(0, 1);
    IMGCopyRowWrap(row.get(), empty.get(), 0, 0, 3);
    EXPECT_EQ(Pixels(dst.get()), before);
}

TEST(ImgCompose, SpacedCopy) {
    Picture src = MakePicture(3, 1, {7, 8, 9});
    Picture dst = MakePicture(6, 2, std::vector<uint32_t>(12, 1));
    IMGBlitSpaced(src.get(), dst.get(), 0, 0, 0, 0, 3, 1, 2, 1);
    EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{7, 1, 8, 1, 9, 1, 1, 1, 1, 1, 1, 1}));

    // Steps of 1 equal the transparent copy, clipping included.
    Picture big = Numbered(9, 7, 1);
    Picture a = MakePicture(8, 8), b = MakePicture(8, 8);
    IMGBlitSpaced(big.get(), a.get(), -2, 1, 3, -1, 20, 20, 1, 1);
    IMGBlitTransparent(big.get(), b.get(), -2, 1, 3, -1, 20, 20);
    EXPECT_EQ(Pixels(a.get()), Pixels(b.get()));

    // Far-reaching arguments visit only what lands inside; steps below 1 are refused.
    Picture c = MakePicture(8, 8);
    IMGBlitSpaced(big.get(), c.get(), 0, 0, -INT_MAX, 0, INT_MAX, 1, 3, INT_MAX);
    IMGBlitSpaced(big.get(), c.get(), 0, 0, 0, 0, 9, 7, 0, 1);
    IMGBlitSpaced(big.get(), c.get(), 0, 0, 0, 0, 9, 7, 1, -1);
    EXPECT_EQ(Pixels(c.get()), std::vector<uint32_t>(64, 0));
}

TEST(ImgCompose, RowCopyMaskAndInvert) {
    Picture src = Numbered(5, 2, 1);
    Picture dst = MakePicture(3, 2);
    IMGCopyRow(src.get(), dst.get(), 1, 0);
    EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{6, 7, 8, 0, 0, 0}));
    IMGCopyRow(src.get(), dst.get(), 2, 0);
    EXPECT_EQ(dst->pixels[0], 6u);

    Picture mask = MakePicture(2, 2, {0x00FF00FF, 0, 0xFFFFFFFF, 0x0F});
    Picture img = MakePicture(2, 2, std::vector<uint32_t>(4, 0x00123456));
    IMGAnd(mask.get(), img.get());
    EXPECT_EQ(Pixels(img.get()), (std::vector<uint32_t>{0x00120056, 0, 0x00123456, 0x06}));
    Picture small = MakePicture(1, 1, {0xFFFF});
    IMGAnd(mask.get(), small.get()); // only the word the destination has
    EXPECT_EQ(small->pixels[0], 0xFFu);

    Picture inv = MakePicture(2, 1, {0x00FF0000, 0x01000000});
    IMGInvert(inv.get());
    EXPECT_EQ(Pixels(inv.get()), (std::vector<uint32_t>{0x0000FFFF, 0x00FFFFFF}));
}

TEST(ImgCompose, OutlinesAndCircles) {
    Picture img = MakePicture(5, 4);
    IMGDrawRect(img.get(), 1, 1, 1, 1, 9);
    EXPECT_EQ(std::count(img->pixels, img->pixels + 20, 9u), 1);
    IMGClear(img.get());
    IMGDrawRect(img.get(), 1, 0, 4, 3, 9);
    EXPECT_EQ(Pixels(img.get()), (std::vector<uint32_t>{0, 9, 9, 9, 9, 0, 9, 0, 0, 9, 0, 9, 9, 9, 9, 0, 0, 0, 0, 0}));
    IMGDrawRect(img.get(), 2, 0, 4, 3, 5); // reaches past the edge: nothing
    EXPECT_EQ(std::count(img->pixels, img->pixels + 20, 5u), 0);

    Picture canvas = MakePicture(40, 40);
    IMGDrawCircle(canvas.get(), 20, 20, 10, 1);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            if (!IMGGetPixel(canvas.get(), x, y)) continue;
            // On the outline: radius 10 with the samples rounded down, the right half one column
            // to the left of the left half's mirror image; mirrored about the centre row.
            const int dy = y - 20, left = 20 - x, right = x + 1 - 20;
            const bool onOutline = (left >= 0 && left * left + dy * dy >= 64 && left * left + dy * dy <= 100) ||
                                   (right >= 0 && right * right + dy * dy >= 64 && right * right + dy * dy <= 100);
            EXPECT_TRUE(onOutline) << x << "," << y;
            EXPECT_TRUE(IMGGetPixel(canvas.get(), x, 40 - y)) << x << "," << y;
        }
    EXPECT_TRUE(IMGGetPixel(canvas.get(), 11, 20));
    EXPECT_TRUE(IMGGetPixel(canvas.get(), 28, 20));
    EXPECT_FALSE(IMGGetPixel(canvas.get(), 29, 20));

    // Only the centre has to be inside; a centre outside is refused even if the outline is not.
    Picture other = MakePicture(10, 10);
    IMGDrawCircle(other.get(), -1, 5, 4, 1);
    IMGDrawCircle(other.get(), 5, 5, 0, 1);
    EXPECT_EQ(Pixels(other.get()), std::vector<uint32_t>(100, 0));
    IMGDrawCircle(other.get(), 0, 0, INT_MAX, 1);
    IMGDrawCircle(other.get(), 9, 9, 3, 1);
    EXPECT_TRUE(IMGGetPixel(other.get(), 7, 9));
}
