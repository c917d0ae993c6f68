// Pixel blocks: allocation sizes, pasting with the parts outside the target
// left out, and comparing with a tolerance.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/images/bitmap_pixels.h"
#include "engine/images/tests/image_engine_fixture.h"
#include "engine/runtime/state.h"

using namespace media_test;

namespace {

using BitmapPixels = MediaTest;

std::vector<size_t> requested;

void* RecordAndRefuse(size_t bytes) {
    requested.push_back(bytes);
    return nullptr;
}

TEST_F(BitmapPixels, AllocationSizesAreCountedIn64Bits) {
    requested.clear();
    ZKI_SetPixelAllocatorForTesting(RecordAndRefuse);
    struct Case {
        int64_t width, height;
        size_t asked;  // 0: refused before asking
    } cases[] = {
        {65536, 65536, size_t(1) << 34}, {40000, 30000, size_t(40000) * 30000 * 4}, {0, 5, 1}, {-1, 5, 0},
        {5, int64_t(1) << 40, 0},
    };
    for (const Case& c : cases) {
        requested.clear();
        ClearRecorded();
        EXPECT_EQ(ZKI_AllocatePixelBlock(c.width, c.height), nullptr);
        std::vector<size_t> expected;
        if (c.asked) expected.push_back(c.asked);
        EXPECT_EQ(requested, expected) << c.width << "x" << c.height;
        EXPECT_EQ(Texts('D').size(), 1u) << c.width << "x" << c.height;
    }
    ZKI_SetPixelAllocatorForTesting(nullptr);
    uint32_t* block = ZKI_AllocatePixelBlock(3, 2);
    ASSERT_NE(block, nullptr);
    block[5] = 1;
    free(block);
}

// A w x h bitmap whose pixel i holds the value base + i.
void Number(TestBitmap& bitmap, uint32_t base) {
    for (int i = 0; i < bitmap->width * bitmap->height; ++i) bitmap->pixels[i] = base + uint32_t(i);
}

TEST_F(BitmapPixels, PasteCopiesRowsAndLeavesOutWhatFallsOutsideTheTarget) {
    struct Case {
        int x, y;
        // The 4x3 target afterwards, row by row: 0 untouched, else the
        // source pixel number (100 + i) that landed there.
        std::vector<uint32_t> target;
    } cases[] = {
        {1, 1, {0, 0, 0, 0, 0, 100, 101, 0, 0, 102, 103, 0}},
        {3, 2, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100}},
        {-1, -1, {103, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {0, 2, {0, 0, 0, 0, 0, 0, 0, 0, 100, 101, 0, 0}},
        {4, 0, std::vector<uint32_t>(12, 0)},
        {0, -2, std::vector<uint32_t>(12, 0)},
    };
    for (const Case& c : cases) {
        TestBitmap source(2, 2), target(4, 3);
        Number(source, 100);
        ZKI_PasteBitmap(source.get(), c.x, c.y, target.get());
        std::vector<uint32_t> result(target->pixels, target->pixels + 12);
        EXPECT_EQ(result, c.target) << "at " << c.x << "," << c.y;
    }
    TestBitmap source(2, 2);
    ZKI_PasteBitmap(source.get(), 0, 0, nullptr);
    ZKI_PasteBitmap(nullptr, 0, 0, source.get());
}

TEST_F(BitmapPixels, MatchingWithinATolerance) {
    struct Case {
        const char* label;
        int difference;  // added to one byte of b
        int b_width;
        float tolerance;
        bool match;
        const char* total;  // the difference printed, null: nothing
    } cases[] = {
        {"equal", 0, 2, 0.0f, true, nullptr},
        {"3 within 3/255", 3, 2, 3.0f / 255, true, "Total difference is 2 units"},
        {"4 beyond 3/255", 4, 2, 3.0f / 255, false, nullptr},
        {"1 beyond 0", 1, 2, 0.0f, false, nullptr},
        {"any within 1.0", 200, 2, 1.0f, true, nullptr},
        {"other width", 0, 3, 1.0f, false, nullptr},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        TestBitmap a(2, 2), b(c.b_width, 2);
        a.Fill(10, 20, 30, 40);
        b.Fill(10, 20, 30, 40);
        b.Bytes(1, 1)[2] = uint8_t(30 + c.difference);
        EXPECT_EQ(ZKI_BitmapPixelsMatch(a.get(), b.get(), c.tolerance), c.match) << c.label;
        std::vector<std::string> expected;
        if (c.total) expected.push_back(c.total);
        EXPECT_EQ(Texts('D'), expected) << c.label;
    }

    ClearRecorded();
    TestBitmap a(2, 2), empty(0, 0), other_empty(0, 0);
    zk_bitmap_t no_pixels = {};
    EXPECT_TRUE(ZKI_BitmapPixelsMatch(empty.get(), other_empty.get(), 0.0f));
    EXPECT_FALSE(ZKI_BitmapPixelsMatch(a.get(), &no_pixels, 1.0f));
    EXPECT_FALSE(ZKI_BitmapPixelsMatch(nullptr, a.get(), 1.0f));
    EXPECT_EQ(Texts('D'), std::vector<std::string>(2, "BitmapPixelsMatch got bad parameters."));
}

}  // namespace
