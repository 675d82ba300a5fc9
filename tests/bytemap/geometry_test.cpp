#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "img/img.h"
#include "maps.h"
#include "sound/sample.h"

using V = std::vector<uint8_t>;

namespace {
std::vector<int> Owned(int* list, size_t count) {
    std::vector<int> values(list, list + count);
    std::free(list);
    return values;
}

std::vector<int> LinePoints(int x0, int y0, int x1, int y1) {
    int* list = BYTEMAPLinePoints(x0, y0, x1, y1);
    return Owned(list, size_t(list[0]) + 1);
}

Map Scaled(const BYTEMAP* src, int width, int height) {
    Map dst = MakeMap(width, height);
    BYTEMAPScale(src, dst.get());
    return dst;
}
} // namespace

TEST(BytemapGeometry, ScaleInAllFourDirections) {
    Map two = MakeMap(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(Bytes(Scaled(two.get(), 4, 4).get()), (V{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
    EXPECT_EQ(Bytes(Scaled(two.get(), 1, 1).get()), V{4}); // the bottom-right pixel survives

    Map six = Numbered(3, 2);
    EXPECT_EQ(Bytes(Scaled(six.get(), 5, 3).get()), (V{0, 0, 1, 1, 2, 0, 0, 1, 1, 2, 3, 3, 4, 4, 5}));
    Map sixteen = Numbered(4, 4);
    EXPECT_EQ(Bytes(Scaled(sixteen.get(), 2, 2).get()), (V{5, 7, 13, 15}));
    EXPECT_EQ(Bytes(Scaled(sixteen.get(), 3, 3).get()), (V{5, 6, 7, 9, 10, 11, 13, 14, 15}));
    EXPECT_EQ(Bytes(Scaled(sixteen.get(), 4, 4).get()), Bytes(sixteen.get()));

    // Wider but shorter: the first row of each row run, widened.
    Map tall = Numbered(2, 4);
    EXPECT_EQ(Bytes(Scaled(tall.get(), 4, 2).get()), (V{0, 0, 1, 1, 4, 4, 5, 5}));
    // Narrower but taller: the last column of each column run, each row repeated.
    Map flat = Numbered(4, 2);
    EXPECT_EQ(Bytes(Scaled(flat.get(), 2, 4).get()), (V{1, 3, 1, 3, 5, 7, 5, 7}));

    // Larger maps in every direction: with pixel (x, y) = x, every target row is the same
    // non-decreasing pick of columns that ends with the last one (and, widening, starts with
    // the first).
    Map columns = MakeMap(200, 130);
    for (int i = 0; i < 200 * 130; ++i) columns->data[i] = uint8_t(i % 200);
    for (auto [w, h] : {std::pair{256, 256}, std::pair{77, 300}, std::pair{301, 50}, std::pair{13, 9}}) {
        Map out = Scaled(columns.get(), w, h);
        const V first = Row(out.get(), 0);
        EXPECT_TRUE(std::is_sorted(first.begin(), first.end())) << w;
        EXPECT_EQ(first.back(), 199) << w;
        if (w >= 200) {
            EXPECT_EQ(first.front(), 0) << w;
        }
        for (int y = 1; y < h; ++y) ASSERT_EQ(Row(out.get(), y), first) << w << " " << y;
    }

    // Empty maps on either side leave everything alone; a negative target size is refused.
    Map empty = MakeMap(0, 3);
    Map target = MakeMap(2, 2, {9, 9, 9, 9});
    BYTEMAPScale(empty.get(), target.get());
    BYTEMAPScale(two.get(), empty.get());
    target->width = -2;
    BYTEMAPScale(two.get(), target.get());
    target->width = 2;
    EXPECT_EQ(Bytes(target.get()), V(4, 9));
}

// The scaler's four walks spelled out pixel by pixel from the run tables: each source
// column run X ends at the sum of the runs up to X, minus one.
Map ScaledByRuns(const BYTEMAP* src, int dw, int dh) {
    const int sw = src->width, sh = src->height;
    const std::vector<int> cx = Owned(BYTEMAPSpread(dw, sw), size_t(std::min(dw, sw)) + 1);
    const std::vector<int> cy = Owned(BYTEMAPSpread(dh, sh), size_t(std::min(dh, sh)) + 1);
    // Source index of each target index along one axis: widening repeats, narrowing keeps the
    // last (or, for rows shrinking under a growing width, the first) of each run.
    auto pick = [](const std::vector<int>& runs, int from, int to, bool first) {
        std::vector<int> index;
        int start = 0;
        for (int r = 0; r < std::min(from, to); ++r) {
            if (to >= from) index.insert(index.end(), size_t(runs[size_t(r)]), r);
            else index.push_back(first ? start : start + runs[size_t(r)] - 1);
            start += runs[size_t(r)];
        }
        return index;
    };
    const std::vector<int> columns = pick(cx, sw, dw, false), rows = pick(cy, sh, dh, dw >= sw);
    Map out = MakeMap(dw, dh);
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x) out->data[y * dw + x] = src->data[rows[size_t(y)] * sw + columns[size_t(x)]];
    return out;
}

TEST(BytemapGeometry, ScaleMatchesItsRunsAtEveryFactor) {
    // Whole factors, runs of one or two, long and uneven runs, in both directions.
    const int sizes[] = {1, 2, 3, 4, 5, 7, 8, 9, 12, 13, 16, 24, 31, 64};
    for (int sw : sizes) {
        for (int dw : sizes) {
            Map src = Numbered(sw, 3, 1);
            for (int dh : {1, 2, 3, 5, 9}) {
                Map fast = Scaled(src.get(), dw, dh);
                ASSERT_EQ(Bytes(fast.get()), Bytes(ScaledByRuns(src.get(), dw, dh).get()))
                    << sw << "x3 to " << dw << "x" << dh;
            }
        }
    }
}

TEST(BytemapGeometry, RunTablesAndLinePoints) {
    EXPECT_EQ(Owned(BYTEMAPSpread(3, 7), 4), (std::vector<int>{3, 2, 2, 1}));
    EXPECT_EQ(Owned(BYTEMAPSpread(-7, 3), 4), (std::vector<int>{3, 2, 2, 1}));
    EXPECT_EQ(Owned(BYTEMAPSpread(8, 5), 6), (std::vector<int>{2, 2, 1, 2, 1, 1}));
    EXPECT_EQ(Owned(BYTEMAPSpread(0, 3), 1), (std::vector<int>{4}));

    // The minor step is taken as soon as the error term reaches 0.
    EXPECT_EQ(LinePoints(0, 0, 3, 1), (std::vector<int>{8, 0, 0, 1, 1, 2, 1, 3, 1}));
    // A line never steps along an axis whose distance is 0.
    EXPECT_EQ(LinePoints(0, 0, 1, 0), (std::vector<int>{4, 0, 0, 1, 0}));
    EXPECT_EQ(LinePoints(2, 0, 2, -2), (std::vector<int>{6, 2, 0, 2, -1, 2, -2}));
    EXPECT_EQ(LinePoints(3, 3, 3, 3), (std::vector<int>{2, 3, 3}));
    EXPECT_EQ(LinePoints(0, 0, -3, 3), (std::vector<int>{8, 0, 0, -1, 1, -2, 2, -3, 3}));
    EXPECT_EQ(LinePoints(0, 0, 1, 4), (std::vector<int>{10, 0, 0, 0, 1, 1, 2, 1, 3, 1, 4}));
}

TEST(BytemapGeometry, Rotation) {
    Map map = MakeMap(16, 16);
    map->x = 5;
    Map turned(BYTEMAPRotate(map.get(), 100));
    ASSERT_TRUE(turned);
    EXPECT_EQ(std::make_tuple(turned->width, turned->height, turned->x), std::make_tuple(22, 22, 0));
    Map tiny(BYTEMAPRotate(MakeMap(2, 2).get(), 0));
    EXPECT_EQ(std::make_pair(tiny->width, tiny->height), std::make_pair(2, 2));

    // Angle 0 is half a turn about the centre; the table's 32766 rounds offsets of -1 to 0.
    Map numbered = Numbered(4, 4);
    Map half(BYTEMAPRotate(numbered.get(), 0));
    ASSERT_EQ(half->width, 5);
    EXPECT_EQ(Bytes(half.get()), (V{15, 14, 14, 13, 12, 11, 10, 10, 9, 8, 11, 10, 10, 9, 8, //
                                    7,  6,  6,  5,  4,  3,  2,  2,  1, 0}));
    Map again(BYTEMAPRotate(numbered.get(), -1024 * 3));
    EXPECT_EQ(Bytes(again.get()), Bytes(half.get()));

    // The same rotation as the picture module's, pixel for pixel, at any angle.
    Map pattern = Numbered(9, 6, 1);
    IMG* picture = IMGNew();
    IMGSetSize(picture, 9, 6);
    for (int i = 0; i < 54; ++i) picture->pixels[i] = pattern->data[i];
    for (int angle : {37, 256, 300, 512, 700, -90}) {
        Map grey(BYTEMAPRotate(pattern.get(), angle));
        IMG* colour = IMGRotate(picture, angle);
        ASSERT_EQ(grey->width * grey->height, colour->width * colour->height);
        for (int i = 0; i < grey->width * grey->height; ++i) ASSERT_EQ(grey->data[i], colour->pixels[i]) << angle;
        IMGFree(&colour);
    }
    IMGFree(&picture);
    EXPECT_EQ(BYTEMAPRotate(nullptr, 0), nullptr);
}

TEST(BytemapGeometry, ColouringThroughAPalette) {
    SAMPLE* palette = SAMPLENew();
    SAMPLESetLength(palette, 256);
    for (int i = 0; i < 256; ++i) palette->items[i] = int32_t(0x00010203 * i) & 0x00FFFFFF;
    Map map = MakeMap(3, 1, {0, 1, 255});
    IMG* img = IMGNew();
    IMGSetSize(img, 3, 1);
    BYTEMAPToIMG(map.get(), img, palette);
    EXPECT_EQ(std::vector<uint32_t>(img->pixels, img->pixels + 3),
              (std::vector<uint32_t>{0, 0x010203, (0x010203u * 255) & 0xFFFFFF}));

    // Refused: another size, a short palette, anything missing.
    IMG* other = IMGNew();
    IMGSetSize(other, 3, 2);
    BYTEMAPToIMG(map.get(), other, palette);
    EXPECT_EQ(other->pixels[1], 0u);
    IMGFree(&other);
    img->pixels[1] = 77;
    SAMPLESetLength(palette, 255);
    BYTEMAPToIMG(map.get(), img, palette);
    BYTEMAPToIMG(map.get(), img, nullptr);
    BYTEMAPToIMG(map.get(), nullptr, palette);
    BYTEMAPToIMG(nullptr, img, palette);
    EXPECT_EQ(img->pixels[1], 77u);

    // A larger palette is used for its first 256 entries.
    SAMPLESetLength(palette, 1536);
    BYTEMAPToIMG(map.get(), img, palette);
    EXPECT_EQ(img->pixels[1], 0x010203u);
    IMGFree(&img);
    SAMPLEFree(&palette);
}
