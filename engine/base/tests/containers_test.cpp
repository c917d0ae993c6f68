#include <gtest/gtest.h>

#include "engine/base/narray.h"
#include "engine/base/nbytebuffer.h"
#include "engine/base/nmap.h"
#include "engine/base/nstring.h"

namespace {

void Fill(nArray<int>& a, int n) {
    for (int i = 0; i < n; ++i) a.InsertLast(i);
}

TEST(NArray, GrowthSteps) {
    nArray<int> a;
    EXPECT_EQ(a.capacity, 0);
    EXPECT_EQ(a.items, nullptr);
    Fill(a, 1);
    EXPECT_EQ(a.capacity, 32);
    Fill(a, 31);
    EXPECT_EQ(a.capacity, 32);
    a.InsertLast(32);
    EXPECT_EQ(a.capacity, 64);
    EXPECT_EQ(a.count, 33);

    nArray<int> one;
    one.SetMaximumSize(1);
    one.InsertLast(1);
    EXPECT_EQ(one.capacity, 1);
    one.InsertLast(2);
    EXPECT_EQ(one.capacity, 8);
    EXPECT_EQ(one.items[0], 1);
    EXPECT_EQ(one.items[1], 2);
}

TEST(NArray, SetMaximumSizeNeverDropsElements) {
    nArray<int> a;
    Fill(a, 20);
    a.SetMaximumSize(10);
    EXPECT_EQ(a.capacity, 20);
    int* storage = a.items;
    a.SetMaximumSize(20);
    EXPECT_EQ(a.items, storage);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(a.items[i], i);
}

TEST(NArray, SelfInsertWhenFullCopiesTheOldElement) {
    nArray<nString> a;
    for (int i = 0; i < 32; ++i) a.InsertLast(nString::Format("item %d", i));
    ASSERT_EQ(a.count, a.capacity);
    a.InsertLast(a.items[0]);
    EXPECT_STREQ(a.items[32].text, "item 0");
    a.InsertFirst(a.items[5]);
    EXPECT_STREQ(a.items[0].text, "item 5");
    EXPECT_STREQ(a.items[1].text, "item 0");
    EXPECT_EQ(a.count, 34);
}

TEST(NArray, RemovalAndShrink) {
    nArray<int> keep;
    Fill(keep, 64);
    while (keep.count > 1) keep.RemoveItemAtIndex(0);
    EXPECT_EQ(keep.capacity, 64);

    nArray<int> a;
    a.shrink = true;
    Fill(a, 64);
    struct Step {
        int countAfter;
        int capacityAfter;
    } steps[] = {{17, 64}, {16, 32}, {8, 16}, {1, 2}, {0, 2}};
    for (const Step& step : steps) {
        while (a.count > step.countAfter) a.RemoveItemAtIndex(a.count - 1);
        EXPECT_EQ(a.capacity, step.capacityAfter) << "count " << step.countAfter;
    }
    EXPECT_NE(a.items, nullptr);
}

TEST(NArray, RemoveItemShiftsAndIgnoresBadIndexes) {
    nArray<int> a;
    Fill(a, 5);
    EXPECT_FALSE(a.RemoveItem(42));
    EXPECT_EQ(a.count, 5);
    EXPECT_TRUE(a.RemoveItem(2));
    EXPECT_EQ(a.count, 4);
    EXPECT_EQ(a.items[2], 3);
    a.RemoveItemAtIndex(4);
    a.RemoveItemAtIndex(-1);
    EXPECT_EQ(a.count, 4);
    nArray<int> empty;
    empty.RemoveItemAtIndex(0);
    EXPECT_EQ(empty.count, 0);
}

TEST(NArray, CopyTakesTheSourceCapacity) {
    nArray<nString> source;
    source.SetMaximumSize(64);
    source.InsertLast("a");
    source.InsertLast("b");
    source.InsertLast("c");
    nArray<nString> destination;
    nArray<nString>::Copy(&destination, &source);
    EXPECT_EQ(destination.capacity, 64);
    EXPECT_EQ(destination.count, 3);
    EXPECT_STREQ(destination.items[2].text, "c");
    EXPECT_NE(destination.items[2].text, source.items[2].text);
}

TEST(NMap, IndexingInsertsInOrder) {
    nMap<int> m;
    m["a"] = 0;
    EXPECT_EQ(m.Count(), 1);
    m["a"] = 5;
    EXPECT_EQ(m.Count(), 1);
    EXPECT_EQ(m["a"], 5);
    m["b"] = 2;
    m[nullptr] = 7;
    m[nullptr] = 8;
    EXPECT_EQ(m.Count(), 4);
    EXPECT_STREQ(m.EntryAt(1)->key.text, "b");
    EXPECT_EQ(m.EntryAt(2)->key.text, nullptr);

    EXPECT_TRUE(m.Remove("a"));
    EXPECT_FALSE(m.Remove("a"));
    EXPECT_FALSE(m.Remove(nullptr));
    EXPECT_STREQ(m.EntryAt(0)->key.text, "b");
    EXPECT_FALSE(m.Contains("a"));
    EXPECT_EQ(m.Count(), 3);
}

TEST(NMap, NewValuesStartAtZero) {
    nMap<int> m;
    EXPECT_EQ(m["x"], 0);
    nMap<const char*> names;
    EXPECT_EQ(names["x"], nullptr);
}

TEST(NMap, CopyKeepsOrderAndSizesToTheCount) {
    nMap<nString> source;
    source["one"] = "1";
    source["two"] = "2";
    source["three"] = "3";
    nMap<nString> destination;
    destination["old"] = "x";
    nMap<nString>::Copy(&destination, &source);
    ASSERT_EQ(destination.Count(), 3);
    EXPECT_EQ(destination.entries.capacity, 3);
    EXPECT_STREQ(destination.EntryAt(0)->key.text, "one");
    EXPECT_STREQ(destination.EntryAt(2)->value.text, "3");
    EXPECT_FALSE(destination.Contains("old"));
    // The copy grows by the one-element rule's sibling: doubling.
    destination["four"] = "4";
    EXPECT_EQ(destination.entries.capacity, 6);
}

TEST(NMap, NestedMapsAreDeepCopiesAndRemovedValuesAreDestroyed) {
    nMap<nMap<nString> > outer;
    outer["s"]["x"] = "float";
    nMap<nMap<nString> > copy(outer);
    copy["s"]["x"] = "int";
    EXPECT_STREQ(outer["s"]["x"].text, "float");
    // Under the sanitizer build a leak here would be reported.
    EXPECT_TRUE(outer.Remove("s"));
}

TEST(NByteBuffer, AppendsGrowAndExternalBuffersNever) {
    nByteBuffer b;
    EXPECT_TRUE(b.AppendWithStringAndNullTerminator("ab"));
    EXPECT_EQ(b.size, 3);
    EXPECT_EQ(b.capacity, 6);
    EXPECT_TRUE(b.AppendWithStringAndNullTerminator(nullptr));
    EXPECT_EQ(b.size, 4);
    EXPECT_EQ(b.data[3], 0);
    b.swap = true;
    EXPECT_TRUE(b.AppendU32(0x01020304));
    EXPECT_EQ(b.data[4], 1);

    uint8_t memory[4] = {1, 2, 3, 4};
    nByteBuffer wrapped;
    wrapped.SetExternal(memory, 4);
    EXPECT_FALSE(wrapped.Append("x", 1));
    nByteBuffer copy(wrapped);
    EXPECT_FALSE(copy.external);
    EXPECT_TRUE(copy.Append("x", 1));
    EXPECT_EQ(copy.size, 5);
}

}  // namespace
