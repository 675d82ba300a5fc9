#include "support/list.h"

#include <gtest/gtest.h>

namespace {
int a, b, c, d, e;

struct ListTest : ::testing::Test {
    LIST* list = LISTNew();
    ~ListTest() override {
        if (list) LISTFree(&list);
    }
    void Fill(std::initializer_list<void*> items) {
        for (void* item : items) LISTAppend(list, item);
    }
};
} // namespace

TEST_F(ListTest, GrowsByDoublingAndNeverShrinks) {
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->capacity, 2);
    EXPECT_EQ(list->count, 0);
    Fill({&a, &b});
    EXPECT_EQ(list->capacity, 2);
    LISTAppend(list, &c);
    EXPECT_EQ(list->capacity, 4);
    LISTAppend(list, &d);
    EXPECT_EQ(list->capacity, 4);
    LISTAppend(list, &e);
    EXPECT_EQ(list->capacity, 8);
    while (list->count) LISTRemove(list, 0);
    EXPECT_EQ(list->capacity, 8);
    for (int i = 0; i < 100; ++i) LISTAppend(list, &a);
    EXPECT_EQ(list->capacity, 128);
    EXPECT_EQ(list->count, 100);
}

TEST_F(ListTest, InsertRemoveKeepOrderAndRefuseBadIndexes) {
    Fill({&a, &c});
    LISTInsert(list, &b, 1);
    LISTInsert(list, &d, 3); // index == count appends
    LISTInsert(list, &e, 5); // count + 1: refused
    LISTInsert(list, &e, -1);
    ASSERT_EQ(list->count, 4);
    EXPECT_EQ(LISTGet(list, 0), &a);
    EXPECT_EQ(LISTGet(list, 1), &b);
    EXPECT_EQ(LISTGet(list, 2), &c);
    EXPECT_EQ(LISTGet(list, 3), &d);
    EXPECT_EQ(LISTGet(list, 4), nullptr);
    EXPECT_EQ(LISTGet(list, -1), nullptr);

    LISTRemove(list, 1);
    ASSERT_EQ(list->count, 3);
    EXPECT_EQ(LISTGet(list, 1), &c);
    EXPECT_EQ(list->items[3], nullptr); // the vacated slot is cleared
    LISTRemove(list, 3);                // refused
    EXPECT_EQ(list->count, 3);

    LISTSet(list, &e, 2);
    LISTSet(list, &e, 3); // refused
    EXPECT_EQ(LISTGet(list, 2), &e);
    EXPECT_EQ(LISTPop(list), &e);
    EXPECT_EQ(LISTPop(list), &c);
    EXPECT_EQ(LISTPop(list), &a);
    EXPECT_EQ(LISTPop(list), nullptr);
    EXPECT_EQ(list->count, 0);
}

TEST_F(ListTest, RemovingTheOnlyItemLeavesAnEmptyNullSlot) {
    LISTAppend(list, &a);
    LISTRemove(list, 0);
    EXPECT_EQ(list->count, 0);
    EXPECT_EQ(list->items[0], nullptr);
    EXPECT_EQ(LISTGet(list, 0), nullptr);
}

TEST_F(ListTest, FindAndEquality) {
    Fill({nullptr, &b, &a, &b});
    EXPECT_EQ(LISTFind(list, &b), 1);
    EXPECT_EQ(LISTFind(list, &c), -1);
    EXPECT_EQ(LISTFind(list, nullptr), -1);
    EXPECT_EQ(LISTFind(nullptr, &a), -1);

    EXPECT_TRUE(LISTEqual(nullptr, nullptr));
    EXPECT_FALSE(LISTEqual(list, nullptr));
    LIST* other = LISTNew();
    LIST* empty = LISTNew();
    EXPECT_TRUE(LISTEqual(other, empty));
    LISTAppend(other, nullptr);
    LISTAppend(other, &a);
    LISTAppend(other, &b);
    LISTAppend(other, &b);
    EXPECT_FALSE(LISTEqual(list, other)); // same pointers, other order
    LIST* copy = LISTCopy(list);
    EXPECT_TRUE(LISTEqual(list, copy));
    EXPECT_NE(copy->items, list->items);
    LIST* emptyCopy = LISTCopy(empty);
    ASSERT_NE(emptyCopy, nullptr);
    EXPECT_EQ(emptyCopy->count, 0);
    LISTFree(&other);
    LISTFree(&empty);
    LISTFree(&copy);
    LISTFree(&emptyCopy);
    EXPECT_EQ(copy, nullptr);
}

TEST_F(ListTest, Ranges) {
    Fill({&a, &b, &c, &d});
    EXPECT_EQ(LISTCopyRange(list, 2, 2), nullptr);
    EXPECT_EQ(LISTCopyRange(list, 0, 5), nullptr);
    EXPECT_EQ(LISTCopyRange(list, -1, 2), nullptr);
    LIST* whole = LISTCopyRange(list, 0, list->count);
    LIST* copy = LISTCopy(list);
    EXPECT_TRUE(LISTEqual(whole, copy));
    LIST* middle = LISTCopyRange(list, 1, 3);
    ASSERT_EQ(middle->count, 2);
    EXPECT_EQ(middle->items[0], &b);
    EXPECT_EQ(middle->items[1], &c);

    // Insert b, c between c and d of [a, b, c, d]: [a, b, c, b, c, d], growing to 8.
    LISTInsertRange(middle, list, 0, 2, 3);
    ASSERT_EQ(list->count, 6);
    EXPECT_EQ(list->capacity, 8);
    void* expected[] = {&a, &b, &c, &b, &c, &d};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(list->items[i], expected[i]) << i;

    LISTRemoveRange(list, 1, 5); // [a, d]
    ASSERT_EQ(list->count, 2);
    EXPECT_EQ(list->items[1], &d);
    LISTRemoveRange(list, 1, 1); // refused
    LISTInsertRange(middle, list, 0, 2, 3); // at beyond count: refused
    EXPECT_EQ(list->count, 2);

    LISTFree(&whole);
    LISTFree(&copy);
    LISTFree(&middle);
}

TEST_F(ListTest, InsertingAListsOwnRangeIntoItself) {
    Fill({&a, &b, &c});
    LISTInsertRange(list, list, 0, 3, 1); // [a, a, b, c, b, c]
    ASSERT_EQ(list->count, 6);
    void* expected[] = {&a, &a, &b, &c, &b, &c};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(list->items[i], expected[i]) << i;
}

TEST(List, NullAndTextFormsAreRefused) {
    LIST* none = nullptr;
    LISTFree(&none);
    LISTFree(nullptr);
    LISTAppend(nullptr, &a);
    EXPECT_EQ(LISTPop(nullptr), nullptr);
    EXPECT_FALSE(LISTGrow(nullptr));
    EXPECT_EQ(LISTCopy(nullptr), nullptr);
    LIST* list = LISTNew();
    EXPECT_EQ(LISTToASCII(list), nullptr);
    EXPECT_EQ(LISTFromASCII("LIST{}"), nullptr);
    LISTAppend(list, &a);
    LISTFree(&list);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(a, 0); // the item itself is untouched
}
