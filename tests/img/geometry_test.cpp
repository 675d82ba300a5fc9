#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "picture.h"

namespace {

std::vector<int> Table(int* table, size_t count) {
    std::vector<int> out(table, table + count);
    std::free(table);
    return out;
}

std::vector<int> Points(int x0, int y0, int x1, int y1) {
    int* list = IMGLinePoints(x0, y0, x1, y1);
    std::vector<int> out(list, list + 1 + list[0]);
    std::free(list);
    return out;
}

std::vector<uint32_t> Scaled(int sw, int sh, int dw, int dh) {
    Picture src = Numbered(sw, sh);
    Picture dst = MakePicture(dw, dh);
    IMGScale(src.get(), dst.get());
    return Pixels(dst.get());
}

} // namespace

TEST(ImgGeometry, RunTables) {
    EXPECT_EQ(Table(IMGSpread(5, 2), 3), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(Table(IMGSpread(-7, 3), 4), (std::vector<int>{3, 2, 2, 1}));
    EXPECT_EQ(Table(IMGSpread(4, 4), 5), (std::vector<int>{1, 1, 1, 1, 1}));
    EXPECT_EQ(Table(IMGSpread(0, 3), 1), (std::vector<int>{4}));
    EXPECT_EQ(Table(IMGSpread(0, 0), 1), (std::vector<int>{1}));
    EXPECT_EQ(Table(IMGSpread(3, 0), 1), (std::vector<int>{4}));
    std::vector<int> half(128, 2);
    half.push_back(1);
    EXPECT_EQ(Table(IMGSpread(256, 128), 129), half);

    // The run-at-a-time table equals the step-at-a-time definition.
    for (int a = 0; a < 40; ++a)
        for (int b = 0; b < 40; ++b) {
            const int large = std::max(a, b), small = std::min(a, b);
            std::vector<int> want(size_t(small) + 1, 0);
            for (int e = large, k = 0, i = 0; i <= large; ++i) {
                ++want[size_t(k)];
                e -= small;
                if (e <= 0) e += large, ++k;
            }
            ASSERT_EQ(Table(IMGSpread(a, b), want.size()), want) << a << "," << b;
        }

    EXPECT_EQ(Table(IMGSpreadEnds(7, 3), 3), (std::vector<int>{3, 2, 3}));
    EXPECT_EQ(Table(IMGSpreadEnds(4, -10), 4), (std::vector<int>{3, 2, 2, 3}));
    EXPECT_EQ(Table(IMGSpreadEnds(5, 5), 5), (std::vector<int>{1, 1, 1, 1, 1}));
    std::free(IMGSpreadEnds(9, 0));
    // Counts that cannot be held are refused rather than wrapped.
    EXPECT_EQ(IMGSpread(INT_MIN, 1), nullptr);
    EXPECT_EQ(IMGSpreadEnds(INT_MIN, 1), nullptr);
    EXPECT_EQ(Table(IMGSpreadEnds(INT_MAX, 1), 1), (std::vector<int>{INT_MAX}));
}

TEST(ImgGeometry, LinePoints) {
    EXPECT_EQ(Points(0, 0, 4, 1), (std::vector<int>{10, 0, 0, 1, 0, 2, 1, 3, 1, 4, 1}));
    EXPECT_EQ(Points(0, 0, 1, 4), (std::vector<int>{10, 0, 0, 0, 1, 1, 2, 1, 3, 1, 4}));
    EXPECT_EQ(Points(0, 0, -3, 3), (std::vector<int>{8, 0, 0, -1, 1, -2, 2, -3, 3}));
    EXPECT_EQ(Points(3, 3, 3, 3), (std::vector<int>{2, 3, 3}));
    // A zero distance on one axis never steps along it: one-pixel lines end on their end point.
    EXPECT_EQ(Points(0, 0, 1, 0), (std::vector<int>{4, 0, 0, 1, 0}));
    EXPECT_EQ(Points(0, 0, 0, -1), (std::vector<int>{4, 0, 0, 0, -1}));
    EXPECT_EQ(Points(5, 2, 9, 2), (std::vector<int>{10, 5, 2, 6, 2, 7, 2, 8, 2, 9, 2}));

    uint32_t state = 7;
    auto next = [&state] { return int((state = state * 1103515245u + 12345u) >> 16) % 61 - 30; };
    for (int i = 0; i < 500; ++i) {
        const int x0 = next(), y0 = next(), x1 = next(), y1 = next();
        const auto p = Points(x0, y0, x1, y1);
        const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1;
        ASSERT_EQ(p[0], 2 * n);
        EXPECT_EQ(p[1], x0);
        EXPECT_EQ(p[2], y0);
        EXPECT_EQ(p[size_t(2 * n) - 1], x1);
        EXPECT_EQ(p[size_t(2 * n)], y1);
        for (int k = 1; k < n; ++k) { // neighbouring points touch
            EXPECT_LE(std::abs(p[size_t(2 * k + 1)] - p[size_t(2 * k - 1)]), 1);
            EXPECT_LE(std::abs(p[size_t(2 * k + 2)] - p[size_t(2 * k)]), 1);
        }
    }
    EXPECT_EQ(IMGLinePoints(INT_MIN, 0, INT_MAX, 0), nullptr);
}

TEST(ImgGeometry, ScaleWalks) {
    EXPECT_EQ(Scaled(3, 2, 5, 3), (std::vector<uint32_t>{0, 0, 1, 1, 2, 0, 0, 1, 1, 2, 3, 3, 4, 4, 5}));
    EXPECT_EQ(Scaled(4, 4, 2, 2), (std::vector<uint32_t>{5, 7, 13, 15}));
    EXPECT_EQ(Scaled(4, 4, 3, 3), (std::vector<uint32_t>{5, 6, 7, 9, 10, 11, 13, 14, 15}));
    // Only the width grows: the first row of each row run is kept.
    EXPECT_EQ(Scaled(2, 4, 4, 2), (std::vector<uint32_t>{0, 0, 1, 1, 4, 4, 5, 5}));
    // Only the height grows: the last column of each column run, rows repeated.
    EXPECT_EQ(Scaled(4, 2, 2, 4), (std::vector<uint32_t>{1, 3, 1, 3, 5, 7, 5, 7}));
    EXPECT_EQ(Scaled(5, 3, 5, 3), Pixels(Numbered(5, 3).get()));
    EXPECT_EQ(Scaled(3, 3, 1, 1), (std::vector<uint32_t>{8}));

    // The demo's logo: doubled, every pixel a 2 x 2 block.
    const auto doubled = Scaled(128, 32, 256, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x) ASSERT_EQ(doubled[size_t(y * 256 + x)], uint32_t(y / 2 * 128 + x / 2));

    // Empty pictures on either side draw nothing and touch nothing outside.
    EXPECT_EQ(Scaled(0, 3, 4, 2), std::vector<uint32_t>(8, 0));
    EXPECT_EQ(Scaled(3, 0, 4, 2), std::vector<uint32_t>(8, 0));
    EXPECT_TRUE(Scaled(3, 3, 0, 5).empty());
    Picture src = Numbered(2, 2), dst = MakePicture(2, 2);
    dst->width = -1; // refused before anything is read
    IMGScale(src.get(), dst.get());
    dst->width = 2;
    EXPECT_EQ(Pixels(dst.get()), std::vector<uint32_t>(4, 0));
}

TEST(ImgGeometry, Rotate) {
    Picture src = Numbered(2, 2, 1);
    Picture r(IMGRotate(src.get(), 0));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->width, 2);
    EXPECT_EQ(r->height, 2);

    Picture logo = MakePicture(128, 32);
    Picture big(IMGRotate(logo.get(), 100));
    EXPECT_EQ(big->width, 180);
    EXPECT_EQ(big->height, 45);

    // Angle 0 is a half turn: the top-left quarter lands bottom right.
    Picture quarters = MakePicture(64, 64);
    IMGFillRect(quarters.get(), 0, 0, 32, 32, 0xFF0000);
    Picture turned(IMGRotate(quarters.get(), 0));
    ASSERT_EQ(turned->width, 90);
    EXPECT_EQ(IMGGetPixel(turned.get(), 60, 60), 0xFF0000u);
    EXPECT_EQ(IMGGetPixel(turned.get(), 30, 30), 0u);
    // A quarter turn either way moves it to a neighbouring corner; outside the source is black.
    Picture left(IMGRotate(quarters.get(), 256)), right(IMGRotate(quarters.get(), -256));
    EXPECT_NE(IMGGetPixel(left.get(), 30, 60) | IMGGetPixel(left.get(), 60, 30), 0u);
    EXPECT_EQ(IMGGetPixel(left.get(), 30, 60) & IMGGetPixel(left.get(), 60, 30), 0u);
    EXPECT_NE(IMGGetPixel(right.get(), 30, 60), IMGGetPixel(left.get(), 30, 60));
    EXPECT_EQ(IMGGetPixel(turned.get(), 0, 0), 0u);
    EXPECT_EQ(IMGRotate(nullptr, 0), nullptr);
}
