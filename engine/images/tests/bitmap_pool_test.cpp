// The bitmap pool: records taken and returned, look-up by hash and name,
// the per-record lock, validation and reference counting.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "engine/base/nstring.h"
#include "engine/images/bitmap_pool.h"
#include "engine/images/tests/image_engine_fixture.h"
#include "engine/runtime/state.h"

using namespace media_test;

namespace {

class BitmapPool : public MediaTest {
protected:
    void TearDown() override {
        EmptyPool();
        zk_state.print_reference_count_changes = 0;
        zk_state.reference_counting = 0;
        zk_state.unlimited_memory = 0;
        MediaTest::TearDown();
    }
    static void EmptyPool() {
        for (int i = 0; i < zk_state.num_bitmaps; ++i) {
            ZKI_ReturnBitmapSlot(&zk_state.bitmaps[i]);
            memset(&zk_state.bitmaps[i], 0, sizeof(zk_bitmap_t));
        }
        zk_state.num_bitmaps = 0;
    }
    static zk_bitmap_t* Take(const char* name) {
        ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
        zk_bitmap_t* bitmap = ZKI_TakeBitmapSlotLocked(name);
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
        return bitmap;
    }
};

TEST_F(BitmapPool, InitBitmapClearsTheRecordAndMarksItTaken) {
    struct Case {
        const char* name;
        const char* stored;
    } cases[] = {{"gfx/ship.png", "gfx/ship.png"}, {"", ""}, {nullptr, ""}};
    for (const Case& c : cases) {
        zk_bitmap_t bitmap;
        memset(&bitmap, 0x5A, sizeof bitmap);
        ZKI_InitBitmap(&bitmap, c.name);
        ASSERT_NE(bitmap.name, nullptr);
        EXPECT_STREQ(bitmap.name, c.stored);
        EXPECT_NE(bitmap.name, c.name) << "a copy of its own";
        EXPECT_EQ(bitmap.hash, nStringHash(c.stored));
        EXPECT_EQ(bitmap.state, ZK_BITMAP_NOT_LOADED);
        EXPECT_EQ(bitmap.taken_word, 1u);
        EXPECT_EQ(bitmap.reference_count, 1);
        EXPECT_EQ(bitmap.pixels, nullptr);
        EXPECT_EQ(bitmap.width, 0);
        EXPECT_EQ(bitmap.flags, 0);
        EXPECT_EQ(bitmap.hw_data.renderer_data, nullptr);
        free(bitmap.name);
    }
    EXPECT_EQ(nStringHash(""), 0u);
}

TEST_F(BitmapPool, FillsAllSlotsThenRefusesWithoutChangingAnything) {
    for (int i = 0; i < ZK_MAX_BITMAPS; ++i) {
        std::string name = "b" + std::to_string(i);
        zk_bitmap_t* bitmap = Take(name.c_str());
        ASSERT_NE(bitmap, nullptr) << i;
        ASSERT_EQ(bitmap->slot, uint32_t(i));
        ASSERT_EQ(bitmap, &zk_state.bitmaps[i]);
    }
    EXPECT_EQ(ZK_Graphics_GetNumberOfBitmaps(), ZK_MAX_BITMAPS);
    EXPECT_EQ(Take("one too many"), nullptr);
    EXPECT_EQ(ZK_Graphics_GetNumberOfBitmaps(), ZK_MAX_BITMAPS);
    EXPECT_EQ(ZKI_FindBitmap("one too many"), nullptr);
    EXPECT_EQ(ZKI_FindBitmap("b3071"), &zk_state.bitmaps[3071]);
}

TEST_F(BitmapPool, AReturnedSlotIsTakenAgainFirstAndIndexLookUpSkipsFreeSlots) {
    for (int i = 0; i < 8; ++i) Take(("b" + std::to_string(i)).c_str());
    zk_bitmap_t* five = &zk_state.bitmaps[5];
    ZKI_ReturnBitmapSlot(five);
    EXPECT_EQ(five->name, nullptr);
    EXPECT_EQ(five->state, ZK_BITMAP_RELEASED);
    EXPECT_EQ(ZKI_FindBitmap("b5"), nullptr);

    struct Case {
        int index;
        zk_bitmap_t* expected;
    } cases[] = {{-1, nullptr}, {0, &zk_state.bitmaps[0]}, {5, nullptr}, {7, &zk_state.bitmaps[7]}, {8, nullptr}};
    for (const Case& c : cases) EXPECT_EQ(ZK_Graphics_GetBitmapByIndex(c.index), c.expected) << c.index;

    zk_bitmap_t* again = Take("new one");
    EXPECT_EQ(again, five);
    EXPECT_EQ(again->slot, 5u);
    EXPECT_EQ(ZK_Graphics_GetNumberOfBitmaps(), 8);
    EXPECT_EQ(ZK_Graphics_GetBitmapByIndex(5), five);
}

TEST_F(BitmapPool, LookUpComparesTheNameWhenHashesCollide) {
    // 'B' * 37 + '0' == 'A' * 37 + 'U'
    ASSERT_EQ(nStringHash("B0"), nStringHash("AU"));
    zk_bitmap_t* first = Take("B0");
    zk_bitmap_t* second = Take("AU");
    EXPECT_EQ(ZKI_FindBitmap("AU"), second);
    EXPECT_EQ(ZKI_FindBitmap("B0"), first);
    EXPECT_EQ(ZKI_FindBitmap("b0"), nullptr) << "names are compared exactly";
    EXPECT_EQ(ZKI_FindBitmap(nullptr), nullptr);
}

TEST_F(BitmapPool, LockWaitsForTheHolder) {
    zk_bitmap_t* bitmap = Take("shared");
    ZKI_LockBitmap(bitmap);
    EXPECT_EQ(bitmap->locked, 1);
    std::atomic<bool> taken{false};
    std::thread other([&] {
        ZKI_LockBitmap(bitmap);
        taken = true;
        ZKI_UnlockBitmap(bitmap);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(taken) << "taken while held";
    ZKI_UnlockBitmap(bitmap);
    other.join();
    EXPECT_TRUE(taken);
    EXPECT_EQ(bitmap->locked, 0);
}

TEST_F(BitmapPool, LockWorksBeforeTheCoreMutexesExist) {
    zk_bitmap_t* bitmap = Take("early");
    ZKI_DestroyCoreMutexes();
    ZKI_LockBitmap(bitmap);
    EXPECT_EQ(bitmap->locked, 1);
    ZKI_UnlockBitmap(bitmap);
    EXPECT_EQ(bitmap->locked, 0);
    ZKI_CreateCoreMutexes();
}

TEST_F(BitmapPool, UnlockingAnUnlockedRecordWarnsInDeveloperModeOnly) {
    zk_bitmap_t* bitmap = Take("loose");
    ZKI_UnlockBitmap(bitmap);
    EXPECT_TRUE(Texts('P').empty());
    zk_state.developer_mode = 1;
    ZKI_UnlockBitmap(bitmap);
    zk_bitmap_t nameless = {};
    ZKI_UnlockBitmap(&nameless);
    EXPECT_EQ(Texts('P'), (std::vector<std::string>{"ZKI_UnlockBitmap called on unlocked bitmap ('loose').",
                                                    "ZKI_UnlockBitmap called on unlocked bitmap ('NULL')."}));
    EXPECT_EQ(bitmap->locked, 0);
}

TEST_F(BitmapPool, Validation) {
    struct Case {
        uint32_t type;
        uint32_t format;
        int depth;
        int texture_width;
        int texture_height;
        uint16_t flags;
        const char* popup;  // null: valid
    } cases[] = {
        {ZK_TEXTURE_2D, 7, 1, 30, 17, 0, nullptr},
        {ZK_TEXTURE_2D, 2, 1, 30, 17, 0, nullptr},
        {ZK_TEXTURE_2D, 7, 2, 30, 17, 0, "Bitmap 'cube' must have depth of 1."},
        {ZK_TEXTURE_3D, 7, 5, 30, 17, 0, nullptr},
        {ZK_TEXTURE_3D, 1, 1, 30, 17, 0, "Depth formats (ZK_TEXTURE_FORMAT_D*_FLOAT) are supported with 2D textures only."},
        {ZK_TEXTURE_CUBE, 3, 1, 64, 384, 0, "Depth formats (ZK_TEXTURE_FORMAT_D*_FLOAT) are supported with 2D textures only."},
        {ZK_TEXTURE_CUBE, 7, 1, 64, 384, 0, nullptr},
        {ZK_TEXTURE_CUBE, 7, 1, 64, 383, 0, "The width and height of cube map 'cube' do not match."},
        {ZK_TEXTURE_CUBE, 7, 1, 48, 288, 0, "Cube map 'cube' must have power of two dimensions."},
        {ZK_TEXTURE_CUBE, 7, 1, 64, 64, ZK_BITMAP_RENDER_TARGET, nullptr},
        {ZK_TEXTURE_CUBE, 7, 1, 64, 384, ZK_BITMAP_RENDER_TARGET, "The width and height of cube map 'cube' do not match."},
        {ZK_TEXTURE_CUBE, 7, 2, 64, 384, 0, "Bitmap 'cube' must have depth of 1."},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        zk_bitmap_t bitmap = {};
        bitmap.name = const_cast<char*>("cube");
        bitmap.type = c.type;
        bitmap.format = c.format;
        bitmap.depth = c.depth;
        bitmap.texture_width = c.texture_width;
        bitmap.texture_height = c.texture_height;
        bitmap.flags = c.flags;
        std::string label = "type " + std::to_string(c.type) + " format " + std::to_string(c.format) + " " +
                            std::to_string(c.texture_width) + "x" + std::to_string(c.texture_height);
        EXPECT_EQ(ZKI_ValidateBitmap(&bitmap), c.popup == nullptr) << label;
        std::vector<std::string> expected;
        if (c.popup) expected.push_back(c.popup);
        EXPECT_EQ(Texts('P'), expected) << label;
        for (const Said& s : Recorded()) EXPECT_EQ(s.type, ZK_MESSAGE_ERROR) << label;
    }
}

TEST_F(BitmapPool, ReferenceCounts) {
    zk_state.print_reference_count_changes = 1;
    enum Step { START, ADD, GET, KEEP, DROP };
    struct Case {
        const char* label;
        Step step;
        int argument;  // cache mode or amount
        int16_t count_before;
        uint16_t flags_before;
        bool counting;
        bool unlimited;
        int16_t count_after;
        uint16_t flags_after;
        const char* printed;  // null: nothing
    } cases[] = {
        {"new record", START, 4, 9, 0, true, false, 1, 0, "'r' ref count = 1"},
        {"new record caching nothing", START, 0, 9, 0, true, false, 0, 0, "'r' ref count = 0 (CACHE_NOTHING)"},
        {"load", ADD, 1, 1, 0, false, false, 2, 0, "'r' ref count++: now 2"},
        {"load up to the cap", ADD, 1, 4095, 0, true, false, 4096, 0, "'r' ref count++: now 4096"},
        {"load past the cap", ADD, 1, 4096, 0, true, false, 4096, 0, "'r' ref count++: now 4096"},
        {"first get", GET, 0, 1, 0, true, false, 2, 8, "'r' ref count++ (GetBitmap): now 2"},
        {"later get", GET, 0, 2, 8, true, false, 2, 8, nullptr},
        {"kept, unlimited memory", KEEP, 4, 1, 0, true, true, 2, 8, "'r' ref count++: now 2"},
        {"kept pixels, unlimited memory", KEEP, 2, 1, 0, true, true, 2, 8, "'r' ref count++: now 2"},
        {"kept but counted already", KEEP, 4, 2, 8, true, true, 2, 8, nullptr},
        {"kept, memory limited", KEEP, 4, 1, 0, true, false, 1, 0, nullptr},
        {"nothing kept", KEEP, 0, 1, 0, true, true, 1, 0, nullptr},
        {"release", DROP, 0, 2, 0, true, false, 1, 0, "ZK_Graphics_ReleaseBitmap: 'r' ref count--: now 1"},
        {"release below zero", DROP, 0, 0, 0, true, false, -1, 0, "ZK_Graphics_ReleaseBitmap: 'r' ref count--: now -1"},
        {"release, counting off", DROP, 0, 2, 0, false, false, 2, 0, nullptr},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        zk_state.reference_counting = c.counting;
        zk_state.unlimited_memory = c.unlimited;
        zk_bitmap_t bitmap = {};
        bitmap.name = const_cast<char*>("r");
        bitmap.reference_count = c.count_before;
        bitmap.flags = c.flags_before;
        bool capped = false;
        int result = 0;
        switch (c.step) {
            case START: ZKI_StartBitmapReferenceCount(&bitmap, c.argument); break;
            case ADD: capped = ZKI_AddBitmapReferences(&bitmap, c.argument); break;
            case GET: ZKI_CountBitmapGet(&bitmap); break;
            case KEEP: ZKI_CountKeptBitmap(&bitmap, c.argument); break;
            case DROP: result = ZKI_DropBitmapReference(&bitmap); break;
        }
        EXPECT_EQ(bitmap.reference_count, c.count_after) << c.label;
        EXPECT_EQ(bitmap.flags, c.flags_after) << c.label;
        if (c.step == DROP) {
            EXPECT_EQ(result, c.count_after) << c.label;
        }
        EXPECT_EQ(capped, c.step == ADD && c.count_before + c.argument > 4096) << c.label;
        std::vector<std::string> expected;
        if (c.printed) expected.push_back(c.printed);
        EXPECT_EQ(Texts('I'), expected) << c.label;
    }
    ClearRecorded();
    zk_state.print_reference_count_changes = 0;
    zk_bitmap_t quiet = {};
    quiet.name = const_cast<char*>("q");
    ZKI_AddBitmapReferences(&quiet, 3);
    EXPECT_EQ(quiet.reference_count, 3);
    EXPECT_TRUE(Recorded().empty());
}

}  // namespace
