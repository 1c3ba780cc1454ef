#include <gtest/gtest.h>

#include "qx/containers.h"

namespace {

void* value(std::intptr_t n) { return reinterpret_cast<void*>(n); }

TEST(PointerArray, GrowsInStepsOfSixteen) {
    qx::PointerArray array;
    EXPECT_EQ(array.capacity(), 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(array.append(value(i + 1)), i);
    }
    EXPECT_EQ(array.capacity(), 16);
    array.append(value(17));
    EXPECT_EQ(array.capacity(), 32);
    array.reserve(32);
    EXPECT_EQ(array.capacity(), 32);
    array.reserve(33);
    EXPECT_EQ(array.capacity(), 48);
    EXPECT_EQ(array.size(), 17);
    EXPECT_EQ(array.get(16), value(17));
    EXPECT_EQ(array.get(17), nullptr);
    EXPECT_EQ(array.get(-1), nullptr);
}

TEST(PointerArray, SetWithinOrAtTheEndAndAssignmentRestarts) {
    qx::PointerArray array;
    array.set(0, value(1));
    array.set(1, value(2));
    array.set(0, value(3));
    array.set(5, value(9)); // beyond the end: refused
    EXPECT_EQ(array.size(), 2);
    EXPECT_EQ(array.get(0), value(3));

    qx::PointerArray big;
    for (int i = 0; i < 40; ++i) {
        big.append(value(i + 1));
    }
    array = big;
    EXPECT_EQ(array.size(), 40);
    EXPECT_EQ(array.capacity(), 48);
    EXPECT_EQ(array.get(39), value(40));
    big = qx::PointerArray();
    EXPECT_EQ(big.capacity(), 16);
    EXPECT_EQ(big.size(), 0);
}

TEST(PointerList, WalksInOrderThenRestarts) {
    qx::PointerList list;
    EXPECT_EQ(list.next(), nullptr);
    EXPECT_EQ(list.next(), nullptr);
    list.append(value(1));
    list.append(value(2));
    list.append(value(3));
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(list.next(), value(1));
        EXPECT_EQ(list.next(), value(2));
        EXPECT_EQ(list.next(), value(3));
        EXPECT_EQ(list.next(), nullptr);
    }
    // An append in the middle of a walk rewinds it.
    EXPECT_EQ(list.next(), value(1));
    list.append(value(4));
    EXPECT_EQ(list.next(), value(1));
    list.clear();
    EXPECT_EQ(list.next(), nullptr);
}

TEST(PointerList, StoredNullEndsAWalkEarly) {
    qx::PointerList list;
    list.append(value(1));
    list.append(nullptr);
    list.append(value(3));
    EXPECT_EQ(list.next(), value(1));
    EXPECT_EQ(list.next(), nullptr);
    EXPECT_EQ(list.next(), value(3));
}

} // namespace
