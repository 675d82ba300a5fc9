#include "text/cursor.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>

namespace {
struct CursorTest : ::testing::Test {
    CURSOR* cursor = CURSORNew();
    ~CursorTest() override {
        if (cursor) CURSORFree(&cursor);
    }
};
} // namespace

TEST_F(CursorTest, StartsOnItsDefaultText) {
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->length, 31);
    EXPECT_EQ(cursor->step, 1);
    EXPECT_EQ(cursor->unit, 1);
    EXPECT_EQ(cursor->position, 0);
    EXPECT_EQ(std::strncmp(cursor->data, "This is a CURSOR default data. ", 31), 0);
}

TEST_F(CursorTest, WrapsBothWays) {
    const char text[] = "abcde";
    CURSORSet(cursor, text, 5, 1, 1);
    CURSORSetPosition(cursor, 4);
    CURSORStep(cursor);
    EXPECT_EQ(cursor->position, 0);

    cursor->step = -1;
    CURSORStep(cursor);
    EXPECT_EQ(cursor->position, 4);

    CURSORSetPosition(cursor, 0);
    cursor->step = -6; // -(length + 1)
    CURSORStep(cursor);
    EXPECT_EQ(cursor->position, 4);

    cursor->step = 13;
    CURSORStep(cursor);
    EXPECT_EQ(cursor->position, 2);

    // Steps at the ends of the int range neither overflow nor leave the range.
    cursor->step = INT_MAX;
    CURSORSetPosition(cursor, 4);
    CURSORStep(cursor);
    EXPECT_EQ(cursor->position, int((4 + int64_t(INT_MAX)) % 5));
    cursor->step = INT_MIN;
    CURSORStep(cursor);
    EXPECT_GE(cursor->position, 0);
    EXPECT_LT(cursor->position, 5);

    CURSORSetPosition(cursor, -1);
    EXPECT_EQ(cursor->position, 4);
    CURSORSetPosition(cursor, 5);
    EXPECT_EQ(cursor->position, 0);
    CURSORSetPosition(cursor, -11);
    EXPECT_EQ(cursor->position, 4);
}

TEST_F(CursorTest, SavedPositionSurvivesSetAndStaysInRange) {
    const char longer[] = "0123456789";
    const char shorter[] = "xyz";
    CURSORSet(cursor, longer, 10, 1, 1);
    CURSORSetPosition(cursor, 7);
    CURSORSave(cursor);
    CURSORStep(cursor);
    CURSORRestore(cursor);
    EXPECT_EQ(cursor->position, 7);

    CURSORSet(cursor, shorter, 3, 1, 2);
    EXPECT_EQ(cursor->position, 0);
    EXPECT_EQ(cursor->step, 2);
    EXPECT_EQ(cursor->saved, 7);
    // Restored over shorter data, the old position must not point past its end.
    CURSORRestore(cursor);
    EXPECT_EQ(cursor->position, 1);
    EXPECT_EQ(*CURSORAddress(cursor), 'y');
}

TEST_F(CursorTest, AddressIsTheElementAtThePosition) {
    const int values[6] = {10, 11, 12, 13, 14, 15};
    CURSORSet(cursor, reinterpret_cast<const char*>(values), 6, int(sizeof(int)), 1);
    CURSORSetPosition(cursor, 4);
    int value;
    std::memcpy(&value, CURSORAddress(cursor), sizeof value);
    EXPECT_EQ(value, 14);
    EXPECT_EQ(CURSORAddress(nullptr), nullptr);
}

TEST_F(CursorTest, RefusesWhatItCannotWalk) {
    const char text[] = "abc";
    CURSORSet(cursor, text, 3, 1, 1);
    CURSORSetPosition(cursor, 2);

    CURSORSet(cursor, text, -1, 1, 1);     // impossible length
    CURSORSet(cursor, nullptr, 3, 1, 1);   // elements without data
    EXPECT_EQ(cursor->data, text);
    EXPECT_EQ(cursor->length, 3);
    EXPECT_EQ(cursor->position, 2);

    // Empty data is kept, but nothing may move over it.
    CURSORSet(cursor, text, 0, 1, 1);
    EXPECT_EQ(cursor->length, 0);
    CURSORStep(cursor);
    CURSORSetPosition(cursor, 5);
    EXPECT_EQ(cursor->position, 0);

    CURSORStep(nullptr);
    CURSORSetPosition(nullptr, 1);
    CURSORSave(nullptr);
    CURSORRestore(nullptr);
    CURSORSet(nullptr, text, 3, 1, 1);
    CURSORFree(nullptr);
    CURSOR* none = nullptr;
    CURSORFree(&none);

    CURSORFree(&cursor);
    EXPECT_EQ(cursor, nullptr);
}
