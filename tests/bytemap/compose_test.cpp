#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "maps.h"
#include "support/random.h"

using V = std::vector<uint8_t>;

TEST(BytemapCompose, RectangleTransfersClipAgainstBothMaps) {
    Map src = MakeMap(4, 2, {1, 2, 0, 4, 5, 6, 7, 8});
    Map dst = MakeMap(5, 3, V(15, 9));

    // Target corner two columns left of the map: source column sx + 2 lands on column 0.
    BYTEMAPBlitTransparent(src.get(), dst.get(), 0, 0, -2, 1, 4, 2);
    EXPECT_EQ(Row(dst.get(), 0), V(5, 9));
    EXPECT_EQ(Row(dst.get(), 1), (V{9, 4, 9, 9, 9})); // the source 0 left the target alone
    EXPECT_EQ(Row(dst.get(), 2), (V{7, 8, 9, 9, 9}));

    // A source corner outside the source drops those columns and shifts the rest along.
    dst = MakeMap(5, 3);
    BYTEMAPBlit(src.get(), dst.get(), -1, 1, 0, 0, 3, 5);
    EXPECT_EQ(Row(dst.get(), 0), (V{0, 5, 6, 0, 0}));
    EXPECT_EQ(Row(dst.get(), 1), V(5, 0));

    // The plain copy copies zeros; both clip at the far edges.
    dst = MakeMap(5, 3, V(15, 9));
    BYTEMAPBlit(src.get(), dst.get(), 0, 0, 3, 2, 4, 2);
    EXPECT_EQ(Row(dst.get(), 2), (V{9, 9, 9, 1, 2}));
    BYTEMAPBlit(src.get(), dst.get(), 1, 0, 0, 0, 2, 1);
    EXPECT_EQ(Row(dst.get(), 0), (V{2, 0, 9, 9, 9}));

    // Rectangles that miss either map, and extreme corners, draw nothing.
    const V before = Bytes(dst.get());
    BYTEMAPBlit(src.get(), dst.get(), 0, 0, 5, 0, 4, 2);
    BYTEMAPBlit(src.get(), dst.get(), 0, 0, -5, 0, 4, 2);
    BYTEMAPBlit(src.get(), dst.get(), 4, 0, 0, 0, 4, 2);
    BYTEMAPBlit(src.get(), dst.get(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    BYTEMAPBlitTransparent(src.get(), nullptr, 0, 0, 0, 0, 4, 2);
    EXPECT_EQ(Bytes(dst.get()), before);

    // A map onto itself, overlapping, keeps the left-to-right pixel order.
    Map self = MakeMap(5, 1, {1, 2, 3, 4, 5});
    BYTEMAPBlit(self.get(), self.get(), 0, 0, 1, 0, 4, 1);
    EXPECT_EQ(Bytes(self.get()), (V{1, 1, 1, 1, 1}));
}

TEST(BytemapCompose, HalfAndSpacedTransfers) {
    Map src = MakeMap(3, 1, {255, 1, 0});
    Map dst = MakeMap(4, 2, {255, 0, 77, 10, 3, 3, 3, 3});
    BYTEMAPBlitHalf(src.get(), dst.get(), 0, 0);
    EXPECT_EQ(Row(dst.get(), 0), (V{254, 0, 77, 10})); // 127 + 127; 0 + 0; a source 0 skipped
    BYTEMAPBlitHalf(src.get(), dst.get(), -1, 1);      // only the source's last two pixels land
    EXPECT_EQ(Row(dst.get(), 1), (V{1, 3, 3, 3}));
    BYTEMAPBlitHalf(src.get(), dst.get(), 4, 0);
    BYTEMAPBlitHalf(nullptr, dst.get(), 0, 0);
    EXPECT_EQ(Row(dst.get(), 0), (V{254, 0, 77, 10}));

    // Steps of 2 and 1: columns 0, 2 and 4, the gaps untouched; source zeros are skipped.
    Map row = MakeMap(3, 2, {7, 8, 9, 0, 6, 0});
    Map wide = MakeMap(6, 3, V(18, 1));
    BYTEMAPBlitSpaced(row.get(), wide.get(), 0, 0, 0, 0, 3, 2, 2, 2);
    EXPECT_EQ(Row(wide.get(), 0), (V{7, 1, 8, 1, 9, 1}));
    EXPECT_EQ(Row(wide.get(), 2), (V{1, 1, 6, 1, 1, 1}));
    // Landing points outside the target, or steps below 1, place nothing.
    BYTEMAPBlitSpaced(row.get(), wide.get(), 0, 0, 1, 0, 3, 1, 3, 1); // 1, 4 and 7: 7 is outside
    EXPECT_EQ(Row(wide.get(), 0), (V{7, 7, 8, 1, 8, 1}));
    BYTEMAPBlitSpaced(row.get(), wide.get(), 0, 0, 0, 0, 3, 1, 0, 1);
    BYTEMAPBlitSpaced(row.get(), wide.get(), 0, 0, 0, 0, 3, 1, 1, -1);
    EXPECT_EQ(Row(wide.get(), 0), (V{7, 7, 8, 1, 8, 1}));
    EXPECT_EQ(Row(wide.get(), 1), V(6, 1));
}

TEST(BytemapCompose, WrappingRowAndColumnTransfers) {
    Map src = MakeMap(4, 1, {1, 2, 0, 4});
    for (int offset : {6, -2, 14}) {
        Map dst = MakeMap(8, 1, V(8, 9));
        BYTEMAPCopyRowWrap(src.get(), dst.get(), 0, 0, offset);
        EXPECT_EQ(Bytes(dst.get()), (V{9, 4, 9, 9, 9, 9, 1, 2})) << offset;
    }
    Map dst = MakeMap(8, 1, V(8, 0x10));
    BYTEMAPOrRowWrap(src.get(), dst.get(), 0, 0, 7);
    EXPECT_EQ(Bytes(dst.get()), (V{0x12, 0x10, 0x14, 0x10, 0x10, 0x10, 0x10, 0x11}));

    // Only as many source pixels as the target row holds are used.
    Map longRow = Numbered(10, 1, 1);
    Map shortRow = MakeMap(8, 1);
    BYTEMAPCopyRowWrap(longRow.get(), shortRow.get(), 0, 0, 3);
    EXPECT_EQ(Bytes(shortRow.get()), (V{6, 7, 8, 1, 2, 3, 4, 5}));

    Map column = MakeMap(1, 3, {5, 0, 6});
    Map grid = MakeMap(2, 4, V(8, 9));
    BYTEMAPCopyColumnWrap(column.get(), grid.get(), 0, 1, -1);
    EXPECT_EQ(Bytes(grid.get()), (V{9, 9, 9, 6, 9, 9, 9, 5}));

    // Rows or columns outside their map, and targets without room to wrap in, are refused.
    const V before = Bytes(grid.get());
    BYTEMAPCopyRowWrap(src.get(), grid.get(), 1, 0, 0);
    BYTEMAPCopyRowWrap(src.get(), grid.get(), 0, 4, 0);
    BYTEMAPOrRowWrap(src.get(), grid.get(), -1, 0, 0);
    BYTEMAPCopyColumnWrap(column.get(), grid.get(), 1, 0, 0);
    BYTEMAPCopyColumnWrap(column.get(), grid.get(), 0, 2, 0);
    EXPECT_EQ(Bytes(grid.get()), before);
    Map flat = MakeMap(3, 0);
    Map thin = MakeMap(0, 2);
    BYTEMAPCopyColumnWrap(column.get(), flat.get(), 0, 0, 5);
    BYTEMAPCopyRowWrap(src.get(), thin.get(), 0, 0, 5);
}

TEST(BytemapCompose, PerPixelArithmetic) {
    Map map = MakeMap(4, 1, {0, 10, 250, 255});
    BYTEMAPAdd(map.get(), 10);
    EXPECT_EQ(Bytes(map.get()), (V{10, 20, 4, 9}));
    BYTEMAPAdd(map.get(), -266); // taken as a byte: 246
    EXPECT_EQ(Bytes(map.get()), (V{0, 10, 250, 255}));
    BYTEMAPFade(map.get(), 300); // taken as a byte: 44
    EXPECT_EQ(Bytes(map.get()), (V{0, 0, 206, 211}));
    BYTEMAPInvert(map.get());
    EXPECT_EQ(Bytes(map.get()), (V{255, 255, 49, 44}));
    BYTEMAPReplace(map.get(), 255, 7);
    BYTEMAPReplace(map.get(), 256 + 44, 1); // 300 is the byte 44
    EXPECT_EQ(Bytes(map.get()), (V{7, 7, 49, 1}));

    // Long maps take the vectorised path; every byte must still come out exact.
    Map ramp = Numbered(100, 7);
    BYTEMAPFade(ramp.get(), 100);
    for (int i = 0; i < 700; ++i) ASSERT_EQ(ramp->data[i], std::max(i % 256 - 100, 0)) << i;

    Map mask = MakeMap(4, 1, {0x0F, 0xF0, 0xFF, 0});
    BYTEMAPAnd(mask.get(), map.get());
    EXPECT_EQ(Bytes(map.get()), (V{7, 0, 49, 0}));
    Map other = MakeMap(2, 2, V(4, 0));
    BYTEMAPAnd(other.get(), map.get()); // same count, other size: refused
    EXPECT_EQ(Bytes(map.get()), (V{7, 0, 49, 0}));
}

TEST(BytemapCompose, LookupAndNoise) {
    Map table = MakeMap(16, 16);
    for (int i = 0; i < 256; ++i) table->data[i] = uint8_t(255 - i);
    Map map = MakeMap(3, 1, {0, 1, 200});
    BYTEMAPLookup(map.get(), table.get());
    EXPECT_EQ(Bytes(map.get()), (V{255, 254, 55}));

    // Through itself: the table is read as it was before the call.
    BYTEMAPLookup(table.get(), table.get());
    for (int i = 0; i < 256; ++i) ASSERT_EQ(table->data[i], i);

    Map small = MakeMap(255, 1);
    BYTEMAPLookup(map.get(), small.get());
    EXPECT_EQ(Bytes(map.get()), (V{255, 254, 55}));

    // One draw a pixel, from the last pixel to the first.
    Map noise = MakeMap(5, 2);
    RANDSeed(1234);
    BYTEMAPNoise(noise.get(), 200, 0x7F);
    RANDSeed(1234);
    for (int i = 9; i >= 0; --i) EXPECT_EQ(noise->data[i], uint8_t(200 + (RANDNext() & 0x7F))) << i;
    BYTEMAPNoise(noise.get(), -3, 0);
    EXPECT_EQ(Bytes(noise.get()), V(10, 253));
}
