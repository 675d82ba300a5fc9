#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "maps.h"

using Points = std::vector<std::pair<int, int>>;

TEST(BytemapCore, NewSizeAndPixelAccess) {
    Map map(BYTEMAPNew());
    ASSERT_TRUE(map);
    EXPECT_EQ(map->width, 16);
    EXPECT_EQ(map->height, 16);
    EXPECT_EQ(map->x + map->y + map->z + map->depth, 0);
    EXPECT_EQ(Bytes(map.get()), std::vector<uint8_t>(256, 0));
    EXPECT_EQ(BYTEMAPGetPixel(map.get(), 16, 0), 0);
    EXPECT_EQ(BYTEMAPGetPixel(map.get(), -1, 0), 0);

    // Values are stored as bytes; points outside are dropped without touching the store.
    BYTEMAPSetPixel(map.get(), 15, 15, 0x1FF);
    BYTEMAPSetPixel(map.get(), 16, 0, 9);
    BYTEMAPSetPixel(map.get(), 0, -1, 9);
    EXPECT_EQ(BYTEMAPGetPixel(map.get(), 15, 15), 255);
    EXPECT_EQ(Lit(map.get()), (Points{{15, 15}}));

    map->x = 7;
    map->y = -3;
    BYTEMAPSetSize(map.get(), 3, 2);
    EXPECT_EQ(BYTEMAPGetPixel(map.get(), 2, 1), 0);
    EXPECT_EQ(Bytes(map.get()), std::vector<uint8_t>(6, 0));
    EXPECT_EQ(std::make_pair(map->x, map->y), std::make_pair(7, -3));

    // A size that cannot be held leaves the map as it was, still usable.
    BYTEMAPSetPixel(map.get(), 1, 1, 5);
    BYTEMAPSetSize(map.get(), -1, 4);
    BYTEMAPSetSize(map.get(), INT_MAX, 2);
    BYTEMAPSetSize(map.get(), 65536, 65536); // 2^32 pixels: 0 in a 32-bit size_t
    EXPECT_EQ(std::make_pair(map->width, map->height), std::make_pair(3, 2));
    EXPECT_EQ(BYTEMAPGetPixel(map.get(), 1, 1), 5);

    BYTEMAPClear(map.get());
    EXPECT_EQ(Bytes(map.get()), std::vector<uint8_t>(6, 0));
}

TEST(BytemapCore, RefusedArgumentsChangeNothing) {
    BYTEMAP* none = nullptr;
    BYTEMAPFree(nullptr);
    BYTEMAPFree(&none);
    BYTEMAPSetSize(nullptr, 2, 2);
    BYTEMAPSetPixel(nullptr, 0, 0, 1);
    EXPECT_EQ(BYTEMAPGetPixel(nullptr, 0, 0), 0);
    EXPECT_EQ(BYTEMAPCopy(nullptr), nullptr);

    // A record without a store is refused by everything that touches pixels.
    BYTEMAP hollow{0, 0, 0, 4, 4, 0, nullptr};
    Map real = Numbered(4, 4, 1);
    BYTEMAPSetPixel(&hollow, 1, 1, 3);
    BYTEMAPClear(&hollow);
    BYTEMAPFillRectClipped(&hollow, 0, 0, 4, 4, 1);
    BYTEMAPLine(&hollow, 0, 0, 3, 3, 1);
    BYTEMAPBlit(&hollow, real.get(), 0, 0, 0, 0, 4, 4);
    BYTEMAPCopyPixels(&hollow, real.get());
    BYTEMAPScale(&hollow, real.get());
    EXPECT_EQ(BYTEMAPGetPixel(&hollow, 1, 1), 0);
    EXPECT_EQ(BYTEMAPEqual(&hollow, &hollow), 0);
    EXPECT_EQ(BYTEMAPCopy(&hollow), nullptr);
    EXPECT_EQ(BYTEMAPRotate(&hollow, 0), nullptr);
    EXPECT_EQ(BYTEMAPToASCII(&hollow), nullptr);
    EXPECT_EQ(Bytes(real.get()), Bytes(Numbered(4, 4, 1).get()));

    Map map = MakeMap(2, 2);
    BYTEMAP* alias = map.release();
    BYTEMAPFree(&alias);
    EXPECT_EQ(alias, nullptr);
    BYTEMAPFree(&alias); // a second release of the same variable is refused
}

TEST(BytemapCore, EqualityAndCopies) {
    Map a = MakeMap(2, 3, {1, 2, 3, 4, 5, 6});
    Map b = MakeMap(2, 3, {1, 2, 3, 4, 5, 6});
    b->x = 40;
    b->y = 50;
    EXPECT_EQ(BYTEMAPEqual(a.get(), b.get()), 1);
    Map turned = MakeMap(3, 2, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(BYTEMAPEqual(a.get(), turned.get()), 0);
    b->data[5] = 7;
    EXPECT_EQ(BYTEMAPEqual(a.get(), b.get()), 0);
    EXPECT_EQ(BYTEMAPEqual(a.get(), nullptr), 0);

    Map copy(BYTEMAPCopy(b.get()));
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->data, b->data);
    EXPECT_EQ(Bytes(copy.get()), Bytes(b.get()));
    EXPECT_EQ(std::make_pair(copy->x, copy->y), std::make_pair(0, 0));

    BYTEMAPCopyPixels(a.get(), copy.get());
    EXPECT_EQ(Bytes(copy.get()), Bytes(a.get()));
    BYTEMAPCopyPixels(turned.get(), copy.get()); // sizes differ: refused
    EXPECT_EQ(Bytes(copy.get()), Bytes(a.get()));

    Map empty = MakeMap(0, 0);
    Map emptyCopy(BYTEMAPCopy(empty.get()));
    ASSERT_TRUE(emptyCopy);
    EXPECT_EQ(BYTEMAPEqual(empty.get(), emptyCopy.get()), 1);
}

TEST(BytemapCore, HorizontalAndVerticalLines) {
    Map map = MakeMap(8, 4);
    BYTEMAPHLine(map.get(), -5, 1, 10, 9); // columns -5 .. 5, clipped
    EXPECT_EQ(Row(map.get(), 1), (std::vector<uint8_t>{9, 9, 9, 9, 9, 9, 0, 0}));
    BYTEMAPHLine(map.get(), 6, 2, 100, 3); // runs off the right edge
    EXPECT_EQ(Row(map.get(), 2), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 3, 3}));
    BYTEMAPHLine(map.get(), 2, 3, 0, 4); // length 0 is one pixel
    EXPECT_EQ(Row(map.get(), 3), (std::vector<uint8_t>{0, 0, 4, 0, 0, 0, 0, 0}));

    const std::vector<uint8_t> before = Bytes(map.get());
    BYTEMAPHLine(map.get(), 0, 4, 3, 1);        // row outside
    BYTEMAPHLine(map.get(), -5, 0, 4, 1);       // ends left of the map
    BYTEMAPHLine(map.get(), 8, 0, 4, 1);        // starts right of it
    BYTEMAPHLine(map.get(), INT_MAX, 0, 1, 1);  // no overflow in x + length
    BYTEMAPVLine(map.get(), 8, 0, 3, 1);
    BYTEMAPVLine(map.get(), 0, -9, 4, 1);
    BYTEMAPVLine(map.get(), 0, 4, 1, 1);
    EXPECT_EQ(Bytes(map.get()), before);

    BYTEMAPVLine(map.get(), 7, -2, 3, 6); // rows -2 .. 1
    BYTEMAPVLine(map.get(), 0, 2, 50, 5); // rows 2 .. 52
    EXPECT_EQ(BYTEMAPGetPixel(map.get(), 7, 0), 6);
    EXPECT_EQ(BYTEMAPGetPixel(map.get(), 7, 1), 6);
    EXPECT_EQ(BYTEMAPGetPixel(map.get(), 7, 2), 3); // the earlier line, untouched
    EXPECT_EQ(BYTEMAPGetPixel(map.get(), 0, 1), 9);
    EXPECT_EQ(BYTEMAPGetPixel(map.get(), 0, 2), 5);
    EXPECT_EQ(BYTEMAPGetPixel(map.get(), 0, 3), 5);
}

TEST(BytemapCore, LinesInFixedPoint) {
    auto line = [](int x0, int y0, int x1, int y1, int w = 10, int h = 10) {
        Map map = MakeMap(w, h);
        BYTEMAPLine(map.get(), x0, y0, x1, y1, 1);
        return Lit(map.get());
    };
    // The end point is never drawn; the direction does not matter.
    EXPECT_EQ(line(0, 0, 4, 0), (Points{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    EXPECT_EQ(line(4, 0, 0, 0), (Points{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    EXPECT_EQ(line(3, 3, 3, 3), (Points{{3, 3}}));
    // Rows taken at the pixel centres: (0, 0) to (4, 2) steps half a row a column.
    EXPECT_EQ(line(0, 0, 4, 2), (Points{{0, 0}, {1, 1}, {2, 1}, {3, 2}}));
    // Steep lines walk the rows, upwards too.
    EXPECT_EQ(line(1, 5, 1, 0), (Points{{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}}));
    EXPECT_EQ(line(0, 0, 2, 4), (Points{{0, 0}, {1, 1}, {1, 2}, {2, 3}}));

    // A line entering from above or from the left keeps its slope: nothing folds onto row or
    // column 0.
    EXPECT_EQ(line(0, -4, 8, 4), (Points{{4, 0}, {5, 1}, {6, 2}, {7, 3}}));
    EXPECT_EQ(line(-2, 0, 2, 8), (Points{{0, 3}, {0, 4}, {1, 5}, {1, 6}, {2, 7}}));

    // Far-away end points are walked only where they cross the map.
    EXPECT_EQ(line(INT_MIN, 2, 3, 2), (Points{{0, 2}, {1, 2}, {2, 2}}));
    EXPECT_EQ(line(1, INT_MIN, 1, INT_MAX).size(), 10u);

    // Refused: wholly left, right, above or below.
    EXPECT_TRUE(line(-9, 0, -1, 5).empty());
    EXPECT_TRUE(line(10, 0, 12, 5).empty());
    EXPECT_TRUE(line(0, -5, 9, -1).empty());
    EXPECT_TRUE(line(0, 10, 9, 12).empty());
}

TEST(BytemapCore, RectanglesAndCircles) {
    Map map = MakeMap(6, 4);
    BYTEMAPFillRect(map.get(), 4, 2, 2, 2, 7); // reaches the last column and row exactly
    BYTEMAPFillRect(map.get(), 5, 0, 2, 1, 9); // one column past the edge: refused whole
    BYTEMAPFillRect(map.get(), 0, 0, 0, 1, 9);
    BYTEMAPFillRect(map.get(), -1, 0, 2, 1, 9);
    EXPECT_EQ(Lit(map.get()), (Points{{4, 2}, {5, 2}, {4, 3}, {5, 3}}));

    // Clipped fill: a negative width reaches back from the corner, columns x + w .. x - 1.
    BYTEMAPClear(map.get());
    BYTEMAPFillRectClipped(map.get(), 5, 1, -3, -1, 2);
    EXPECT_EQ(Lit(map.get()), (Points{{2, 0}, {3, 0}, {4, 0}}));
    BYTEMAPFillRectClipped(map.get(), -10, 3, 11, 100, 3);
    EXPECT_EQ(Row(map.get(), 3), (std::vector<uint8_t>{3, 0, 0, 0, 0, 0}));
    BYTEMAPFillRectClipped(map.get(), INT_MAX, -5, INT_MIN, 100, 4); // columns -1 .. INT_MAX - 1
    EXPECT_EQ(Bytes(map.get()), std::vector<uint8_t>(24, 4));

    BYTEMAPClear(map.get());
    BYTEMAPDrawRect(map.get(), 1, 0, 4, 3, 1);
    EXPECT_EQ(Row(map.get(), 0), (std::vector<uint8_t>{0, 1, 1, 1, 1, 0}));
    EXPECT_EQ(Row(map.get(), 1), (std::vector<uint8_t>{0, 1, 0, 0, 1, 0}));
    EXPECT_EQ(Row(map.get(), 2), (std::vector<uint8_t>{0, 1, 1, 1, 1, 0}));
    BYTEMAPClear(map.get());
    BYTEMAPDrawRect(map.get(), 5, 3, 1, 1, 8);
    BYTEMAPDrawRect(map.get(), 3, 1, 4, 2, 8); // past the edge: refused
    EXPECT_EQ(Lit(map.get()), (Points{{5, 3}}));

    // The circle: vertical halves mirror about row cy; the right half sits one column left of
    // the left half's mirror image, so the outline is symmetric about x = cx - 1/2.
    Map disc = MakeMap(40, 40);
    const int cx = 20, cy = 18, r = 9;
    BYTEMAPDrawCircle(disc.get(), cx, cy, r, 5);
    const Points lit = Lit(disc.get());
    ASSERT_FALSE(lit.empty());
    int left = 99, right = -99, top = 99, bottom = -99;
    for (auto [x, y] : lit) {
        EXPECT_EQ(BYTEMAPGetPixel(disc.get(), 2 * cx - 1 - x, y), 5);
        EXPECT_EQ(BYTEMAPGetPixel(disc.get(), x, 2 * cy - y), 5);
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
    // The table peaks at 32766, just under one, so the reach is r - 1 each way.
    EXPECT_EQ(left, cx - (r - 1));
    EXPECT_EQ(right, cx + (r - 1) - 1);
    EXPECT_EQ(top, cy - (r - 1));
    EXPECT_EQ(bottom, cy + (r - 1));

    // Only the centre has to lie inside; a centre outside or no radius draws nothing.
    Map edge = MakeMap(10, 10);
    BYTEMAPDrawCircle(edge.get(), -1, 5, 4, 1);
    BYTEMAPDrawCircle(edge.get(), 5, 5, 0, 1);
    EXPECT_TRUE(Lit(edge.get()).empty());
    BYTEMAPDrawCircle(edge.get(), 0, 0, 4, 1);
    EXPECT_FALSE(Lit(edge.get()).empty());
    BYTEMAPDrawCircle(edge.get(), 5, 5, INT_MAX, 1); // every point far outside: dropped
}
