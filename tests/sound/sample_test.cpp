#include "sound/sample.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {
struct Freer {
    void operator()(SAMPLE* s) const { SAMPLEFree(&s); }
};
using Owned = std::unique_ptr<SAMPLE, Freer>;

Owned Make(const std::vector<int32_t>& values) {
    SAMPLE* s = SAMPLENew();
    SAMPLESetLength(s, static_cast<int>(values.size()));
    for (size_t i = 0; i < values.size(); ++i) s->items[i] = values[i];
    return Owned(s);
}

std::vector<int32_t> Values(const SAMPLE* s) { return std::vector<int32_t>(s->items, s->items + s->length); }

std::string Text(const SAMPLE* s) {
    char* text = SAMPLEToASCII(s);
    std::string out = text ? text : "(null)";
    std::free(text);
    return out;
}

// A temporary binary file holding `bytes`, rewound for reading.
std::FILE* FileOf(const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

std::vector<unsigned char> Written(const SAMPLE* s, int width, char order) {
    std::FILE* f = std::tmpfile();
    SAMPLEWriteRaw(s, f, width, order);
    std::vector<unsigned char> bytes(static_cast<size_t>(std::ftell(f)));
    std::rewind(f);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
    return bytes;
}
} // namespace

TEST(Sample, LengthAndCapacity) {
    Owned s(SAMPLENew());
    EXPECT_EQ(s->length, 0);
    EXPECT_EQ(s->capacity, 32);

    SAMPLESetLength(s.get(), 10);
    EXPECT_EQ(s->capacity, 32);
    for (int i = 0; i < 10; ++i) s->items[i] = i + 1;
    SAMPLESetLength(s.get(), 5);
    SAMPLESetLength(s.get(), 10); // the values beyond the shorter length come back
    EXPECT_EQ(Values(s.get()), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    SAMPLESetCapacity(s.get(), 0); // refused
    SAMPLESetLength(s.get(), -1);  // refused
    EXPECT_EQ(s->capacity, 32);
    EXPECT_EQ(s->length, 10);
    SAMPLESetCapacity(s.get(), 3);
    EXPECT_EQ(Values(s.get()), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(s->capacity, 3);

    SAMPLESetLength(s.get(), 50000);
    EXPECT_EQ(s->capacity, 50000);
    EXPECT_EQ(s->items[2], 3);
    for (int i = 3; i < 50000; ++i) ASSERT_EQ(s->items[i], 0) << i;
}

TEST(Sample, RefusalsChangeNothing) {
    SAMPLE empty = {3, 3, nullptr}; // a record without values
    EXPECT_EQ(SAMPLECopy(nullptr), nullptr);
    EXPECT_EQ(SAMPLECopy(&empty), nullptr);
    EXPECT_EQ(SAMPLEGet(nullptr, 0), 0);
    EXPECT_EQ(SAMPLEGet(&empty, 0), 0);
    EXPECT_EQ(SAMPLEToASCII(&empty), nullptr);
    EXPECT_EQ(SAMPLEFromASCII(nullptr), nullptr);
    EXPECT_EQ(SAMPLEMin(&empty), 0);
    EXPECT_EQ(SAMPLEFind(&empty, 0, 0), -1);
    SAMPLEFree(nullptr);
    SAMPLE* none = nullptr;
    SAMPLEFree(&none);
    SAMPLEClear(&empty);
    SAMPLEShiftLeft(&empty, 1);
    SAMPLERotateRight(&empty, 1);
    SAMPLEInsertValue(&empty, 1, 0);
    EXPECT_EQ(empty.length, 3);
    EXPECT_EQ(empty.items, nullptr);

    Owned s = Make({1, 2, 3, 4});
    EXPECT_EQ(SAMPLEGet(s.get(), 4), 0); // at the length
    EXPECT_EQ(SAMPLEGet(s.get(), -1), 0);
    SAMPLESet(s.get(), 9, 4);
    SAMPLEMove(s.get(), s.get(), 2, 3, 0); // runs past the source's length
    SAMPLEMove(s.get(), s.get(), 2, 0, 3); // runs past the target's length
    SAMPLEMove(s.get(), s.get(), 1, -1, 0);
    SAMPLEMove(s.get(), s.get(), INT_MAX, 1, 0); // no overflow in the bounds test
    SAMPLEInsertValue(s.get(), 9, 5);
    SAMPLERemoveValue(s.get(), 4);
    SAMPLEShiftLeft(s.get(), 33);
    SAMPLEShiftRight(s.get(), 33);
    EXPECT_EQ(Values(s.get()), (std::vector<int32_t>{1, 2, 3, 4}));
}

TEST(Sample, ArithmeticWrapsAndShiftsArithmetically) {
    Owned big(SAMPLENew());
    SAMPLESetLength(big.get(), 50000);
    for (int i = 0; i < 50000; ++i) big->items[i] = 7;
    Owned small = Make({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    SAMPLEAdd(big.get(), small.get());
    for (int i = 0; i < 50000; ++i) ASSERT_EQ(big->items[i], i < 10 ? 8 + i : 7) << i;
    SAMPLEAdd(small.get(), big.get()); // only the shorter length is added
    EXPECT_EQ(small->length, 10);
    EXPECT_EQ(small->items[9], 27);

    Owned w = Make({INT_MAX, INT_MIN});
    Owned one = Make({1, -1});
    SAMPLEAdd(w.get(), one.get());
    EXPECT_EQ(Values(w.get()), (std::vector<int32_t>{INT_MIN, INT_MAX}));
    SAMPLEScale(w.get(), 3);
    EXPECT_EQ(Values(w.get()), (std::vector<int32_t>{INT_MIN, INT_MAX - 2}));
    Owned m = Make({65536, -3, 5});
    Owned f = Make({65536, 4});
    SAMPLEMultiply(m.get(), f.get());
    EXPECT_EQ(Values(m.get()), (std::vector<int32_t>{0, -12, 5}));

    Owned s = Make({-1, -5, 1 << 30, 40000});
    SAMPLEShiftRight(s.get(), 32); // count modulo 32: unchanged
    SAMPLEShiftLeft(s.get(), 32);
    EXPECT_EQ(Values(s.get()), (std::vector<int32_t>{-1, -5, 1 << 30, 40000}));
    SAMPLEShiftRight(s.get(), 1);
    EXPECT_EQ(Values(s.get()), (std::vector<int32_t>{-1, -3, 1 << 29, 20000}));
    SAMPLEShiftRight(s.get(), 1);
    SAMPLEShiftLeft(s.get(), 2);
    EXPECT_EQ(Values(s.get()), (std::vector<int32_t>{-4, -8, 1 << 30, 40000}));
    SAMPLEShiftLeft(s.get(), 1);
    EXPECT_EQ(s->items[2], INT_MIN);
    Owned neg = Make({-1});
    SAMPLEShiftRight(neg.get(), -1); // -1 is 31 modulo 32
    SAMPLEShiftRight(neg.get(), 2);
    EXPECT_EQ(neg->items[0], -1);
}

TEST(Sample, RotationsMoveValuesCyclically) {
    const std::vector<int32_t> five = {1, 2, 3, 4, 5};
    for (int k : {2, 7, -3}) { // -3 turns the other way: the same as 2 to the right
        Owned s = Make(five);
        SAMPLERotateRight(s.get(), k);
        EXPECT_EQ(Values(s.get()), (std::vector<int32_t>{4, 5, 1, 2, 3})) << k;
        EXPECT_EQ(s->capacity, 32);
    }
    Owned left = Make(five);
    SAMPLERotateLeft(left.get(), 2);
    EXPECT_EQ(Values(left.get()), (std::vector<int32_t>{3, 4, 5, 1, 2}));
    SAMPLERotateLeft(left.get(), -2);
    EXPECT_EQ(Values(left.get()), five);
    for (int k : {0, 5, INT_MIN, INT_MAX}) {
        Owned s = Make(five);
        SAMPLERotateRight(s.get(), k);
        SAMPLERotateLeft(s.get(), k);
        EXPECT_EQ(Values(s.get()), five) << k;
    }
    Owned empty(SAMPLENew());
    SAMPLERotateRight(empty.get(), 3); // nothing to rotate
    EXPECT_EQ(empty->length, 0);

    // A bar-sized rotation: every value lands k places on, wrapping.
    Owned bar(SAMPLENew());
    SAMPLESetLength(bar.get(), 50000);
    for (int i = 0; i < 50000; ++i) bar->items[i] = i;
    SAMPLERotateRight(bar.get(), 46875);
    for (int i = 0; i < 50000; ++i) ASSERT_EQ(bar->items[i], (i - 46875 + 50000) % 50000) << i;
    EXPECT_EQ(bar->capacity, 50000);
}

TEST(Sample, MovesWithinOneSampleHonourOverlap) {
    Owned up = Make({1, 2, 3, 4});
    SAMPLEMove(up.get(), up.get(), 3, 0, 1);
    EXPECT_EQ(Values(up.get()), (std::vector<int32_t>{1, 1, 2, 3}));
    Owned down = Make({1, 2, 3, 4});
    SAMPLEMove(down.get(), down.get(), 3, 1, 0);
    EXPECT_EQ(Values(down.get()), (std::vector<int32_t>{2, 3, 4, 4}));
    Owned other = Make({0, 0, 0, 0});
    SAMPLEMove(down.get(), other.get(), 2, 2, 1);
    SAMPLEMove(down.get(), other.get(), 0, 4, 4); // zero values at the very end
    SAMPLEMove(down.get(), other.get(), -3, 0, 0);
    EXPECT_EQ(Values(other.get()), (std::vector<int32_t>{0, 4, 4, 0}));
}

TEST(Sample, CopiesOwnTheirValues) {
    static const int32_t table[3] = {5, -6, 32767};
    const SAMPLE record = {3, 3, const_cast<int32_t*>(table)}; // static data, never written
    Owned copy(SAMPLECopy(&record));
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->items, table);
    EXPECT_EQ(copy->capacity, 3);
    EXPECT_TRUE(SAMPLEEqual(copy.get(), &record));
    const SAMPLE none = {0, 0, const_cast<int32_t*>(table)};
    Owned empty(SAMPLECopy(&none));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->length, 0);
    EXPECT_EQ(empty->capacity, 32);

    Owned s = Make({10, 11, 12, 13, 14, 15});
    Owned range(SAMPLECopyRange(s.get(), -5, 3));
    EXPECT_EQ(Values(range.get()), (std::vector<int32_t>{10, 11, 12}));
    EXPECT_EQ(range->capacity, 3);
    Owned tail(SAMPLECopyRange(s.get(), 4, 100));
    EXPECT_EQ(Values(tail.get()), (std::vector<int32_t>{14, 15}));
    Owned nothing(SAMPLECopyRange(s.get(), 8, 9));
    EXPECT_EQ(nothing->length, 0);
    EXPECT_EQ(SAMPLECopyRange(s.get(), 4, 2), nullptr);

    EXPECT_FALSE(SAMPLEEqual(nullptr, nullptr));
    EXPECT_FALSE(SAMPLEEqual(s.get(), range.get()));
    Owned same = Make({10, 11, 12, 13, 14, 15});
    EXPECT_TRUE(SAMPLEEqual(s.get(), same.get()));
    same->items[0] = 9;
    EXPECT_FALSE(SAMPLEEqual(s.get(), same.get()));
}

TEST(Sample, TextFormRoundTrips) {
    Owned s = Make({7, -3});
    EXPECT_EQ(Text(s.get()), "SAMPLE{2\n7\n-3\n}\n");
    Owned empty(SAMPLENew());
    EXPECT_EQ(Text(empty.get()), "SAMPLE{}\n");
    Owned back(SAMPLEFromASCII("SAMPLE{}\n"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->length, 0);

    Owned wide = Make({INT_MIN, INT_MAX, 0, -1, 32767, -32768, 1000000});
    const std::string text = Text(wide.get());
    Owned parsed(SAMPLEFromASCII(text.c_str()));
    EXPECT_TRUE(SAMPLEEqual(parsed.get(), wide.get()));
    EXPECT_EQ(parsed->capacity, 7);

    // Whatever stands around the numbers is skipped.
    Owned loose(SAMPLEFromASCII("junk SAMPLE {count 3: 4, -5; x6 } more"));
    EXPECT_EQ(Values(loose.get()), (std::vector<int32_t>{4, -5, 6}));

    // Texts that end too early, and counts the text cannot hold, give null.
    for (const char* bad : {"", "SAMPLE", "SAMPLE{", "SAMPLE{3\n1\n2\n", "SAMPL{1\n1\n}", "SAMPLE{2000000000\n1\n}\n",
                            "SAMPLE{99999999999999999999\n1\n}\n"}) {
        EXPECT_EQ(SAMPLEFromASCII(bad), nullptr) << bad;
    }

    Owned numbers(SAMPLEReadNumbers("a 12, -7 and 3-4 x - 5"));
    EXPECT_EQ(Values(numbers.get()), (std::vector<int32_t>{12, -7, 3, -4, 5}));
}

TEST(Sample, EditingOperations) {
    Owned s = Make({1, 2, 3});
    Owned ins = Make({8, 9});
    SAMPLESplice(s.get(), ins.get(), 1);
    EXPECT_EQ(Values(s.get()), (std::vector<int32_t>{1, 8, 9, 2, 3}));
    EXPECT_EQ(s->capacity, 5);
    SAMPLESplice(s.get(), ins.get(), 5);
    EXPECT_EQ(Values(s.get()), (std::vector<int32_t>{1, 8, 9, 2, 3, 8, 9}));
    Owned outside = Make({1, 2});
    SAMPLESplice(outside.get(), ins.get(), 3);
    EXPECT_EQ(Values(outside.get()), (std::vector<int32_t>{1, 2, 0, 0}));
    Owned self = Make({1, 2});
    SAMPLESplice(self.get(), self.get(), 1);
    EXPECT_EQ(Values(self.get()), (std::vector<int32_t>{1, 1, 2, 2}));

    Owned v = Make({1, 2});
    for (int i = 0; i < 40; ++i) SAMPLEInsertValue(v.get(), 100 + i, 1); // grows past 32 by doubling
    EXPECT_EQ(v->length, 42);
    EXPECT_EQ(v->capacity, 64);
    EXPECT_EQ(v->items[0], 1);
    EXPECT_EQ(v->items[1], 139);
    EXPECT_EQ(v->items[40], 100);
    EXPECT_EQ(v->items[41], 2);
    SAMPLEInsertValue(v.get(), 7, 42); // at the end
    EXPECT_EQ(v->items[42], 7);
    EXPECT_EQ(SAMPLEFind(v.get(), 100, 0), 40);
    EXPECT_EQ(SAMPLEFind(v.get(), 1, 1), -1);
    SAMPLERemoveValue(v.get(), 0);
    SAMPLERemoveValue(v.get(), v->length - 1);
    EXPECT_EQ(v->length, 41);
    EXPECT_EQ(v->items[0], 139);
    EXPECT_EQ(v->items[40], 2);

    Owned r = Make({4, -9, 6, 1});
    SAMPLEReverse(r.get());
    EXPECT_EQ(Values(r.get()), (std::vector<int32_t>{1, 6, -9, 4}));
    SAMPLESet(r.get(), 50, 3);
    EXPECT_EQ(SAMPLEMin(r.get()), -9);
    EXPECT_EQ(SAMPLEMax(r.get()), 50);
    Owned none(SAMPLENew());
    EXPECT_EQ(SAMPLEMin(none.get()), 0);
    EXPECT_EQ(SAMPLEMax(none.get()), 0);
}

TEST(Sample, MatchingOffsets) {
    Owned a = Make({1, 2, 3, 4, 5, 6});
    Owned b = Make({4, 5, 9});
    EXPECT_EQ(SAMPLEMatches(a.get(), b.get(), 3), 2);
    EXPECT_EQ(SAMPLEMatches(a.get(), b.get(), 5), 0); // only 6 against 4 overlaps
    EXPECT_EQ(SAMPLEMatches(a.get(), b.get(), -3), 0); // refused: no overlap
    EXPECT_EQ(SAMPLEBestOffset(a.get(), b.get()), 3);
    Owned c = Make({9, 1});
    EXPECT_EQ(SAMPLEBestOffset(a.get(), c.get()), -1); // 1 overlaps a's start
    Owned d = Make({7, 7});
    EXPECT_EQ(SAMPLEBestOffset(a.get(), d.get()), -2); // nothing matches anywhere
    Owned e = Make({5, 5, 5});
    Owned f = Make({5});
    EXPECT_EQ(SAMPLEBestOffset(e.get(), f.get()), 0); // the lowest on a tie
}

TEST(Sample, RawFiles) {
    struct Case {
        std::vector<unsigned char> bytes;
        int width;
        char order, sign;
        std::vector<int32_t> values;
    };
    const Case cases[] = {
        {{0x12, 0x34}, 16, 'b', 's', {4660}},
        {{0x12, 0x34}, 16, 'l', 's', {13330}},
        {{0xFF, 0xFF, 0x00, 0x80, 0x7F}, 16, 'l', 's', {-1, -32768}}, // the lone last byte is dropped
        {{0xFF, 0xFF, 0x00, 0x00}, 16, 'b', 'u', {32767, -32768}},
        {{0xFF, 0x80, 0x01}, 8, 'b', 's', {-256, -32768, 256}},
        {{0xFF, 0x00}, 8, 'l', 'u', {32512, -32768}},
    };
    for (const Case& c : cases) {
        std::FILE* f = FileOf(c.bytes);
        Owned s(SAMPLEReadRaw(f, c.width, c.order, c.sign));
        std::fclose(f);
        ASSERT_TRUE(s);
        EXPECT_EQ(Values(s.get()), c.values) << c.width << c.order << c.sign;
    }
    std::FILE* f = std::tmpfile();
    EXPECT_EQ(SAMPLEReadRaw(f, 12, 'b', 's'), nullptr);
    EXPECT_EQ(SAMPLEReadRaw(f, 16, 'x', 's'), nullptr);
    EXPECT_EQ(SAMPLEReadRaw(f, 16, 'b', 'x'), nullptr);
    EXPECT_EQ(SAMPLEReadRaw(nullptr, 16, 'b', 's'), nullptr);
    std::fclose(f);

    EXPECT_EQ(Written(Make({40000}).get(), 16, 'b'), (std::vector<unsigned char>{0x7F, 0xFF}));
    EXPECT_EQ(Written(Make({-40000, 0x1234}).get(), 16, 'l'), (std::vector<unsigned char>{0x00, 0x80, 0x34, 0x12}));
    EXPECT_EQ(Written(Make({300, -1}).get(), 8, 'b'), (std::vector<unsigned char>{0x7F, 0xFF}));
    EXPECT_EQ(Written(Make({0x123456, -9000000}).get(), 24, 'b'),
              (std::vector<unsigned char>{0x12, 0x34, 0x56, 0x80, 0x00, 0x00}));
    EXPECT_EQ(Written(Make({0x123456}).get(), 24, 'l'), (std::vector<unsigned char>{0x56, 0x34, 0x12}));
    EXPECT_EQ(Written(Make({INT_MIN, 0x01020304}).get(), 32, 'b'),
              (std::vector<unsigned char>{0x80, 0x00, 0x00, 0x01, 0x01, 0x02, 0x03, 0x04}));
    EXPECT_EQ(Written(Make({0x01020304}).get(), 32, 'l'), (std::vector<unsigned char>{0x04, 0x03, 0x02, 0x01}));

    // A long file crosses several doublings of the capacity and comes back whole.
    Owned wave(SAMPLENew());
    SAMPLESetLength(wave.get(), 70001);
    for (int i = 0; i < wave->length; ++i) wave->items[i] = (i * 7919) % 65536 - 32768;
    const std::vector<unsigned char> bytes = Written(wave.get(), 16, 'l');
    ASSERT_EQ(bytes.size(), 140002u);
    f = FileOf(bytes);
    Owned back(SAMPLEReadRaw(f, 16, 'l', 's'));
    std::fclose(f);
    EXPECT_TRUE(SAMPLEEqual(back.get(), wave.get()));
    EXPECT_EQ(back->capacity, 70001); // not the last doubling

    // An endless input ends at a clear bound instead of exhausting memory.
    f = std::fopen("/dev/zero", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(SAMPLEReadRaw(f, 8, 'b', 's'), nullptr);
    std::fclose(f);
}

TEST(Sample, NormalizeAndResample) {
    Owned s = Make({0, 50, 100});
    SAMPLENormalize(s.get(), 0, 32767);
    EXPECT_EQ(Values(s.get()), (std::vector<int32_t>{0, 16383, 32766})); // largest approximately hi
    Owned full = Make({-5, 0, 5});
    SAMPLENormalize(full.get(), -32768, 32767); // a range whose 32-bit factor would wrap
    EXPECT_EQ(full->items[0], -32768);
    EXPECT_NEAR(full->items[1], 0, 1);
    EXPECT_NEAR(full->items[2], 32767, 1);
    Owned flat = Make({9, 9});
    SAMPLENormalize(flat.get(), -2, 2);
    EXPECT_EQ(Values(flat.get()), (std::vector<int32_t>{-2, -2}));

    Owned two = Make({3, 8});
    SAMPLEResample(two.get(), 4);
    EXPECT_EQ(Values(two.get()), (std::vector<int32_t>{3, 3, 8, 8}));
    EXPECT_EQ(two->capacity, 4);
    Owned three = Make({1, 2, 3});
    SAMPLEResample(three.get(), 7);
    EXPECT_EQ(Values(three.get()), (std::vector<int32_t>{1, 1, 2, 2, 3, 3, 3}));
    Owned ten = Make({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    SAMPLEResample(ten.get(), 5);
    EXPECT_EQ(Values(ten.get()), (std::vector<int32_t>{0, 2, 4, 6, 8}));
    SAMPLEResample(ten.get(), 5); // same length: refused
    SAMPLEResample(ten.get(), 0);
    EXPECT_EQ(ten->length, 5);
}
