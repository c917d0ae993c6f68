// The bitmaps of the graphics table: names, counting, creating, releasing
// and hibernating, cache modes, frames, render targets, resizing, saving
// and refreshing.

#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "engine/images/bitmap_pixels.h"
#include "engine/screen/renderer_interface.h"
#include "engine/bitmaps/tests/bitmap_fixture.h"
#include "engine/runtime/interface_functions.h"

namespace {

class BitmapApi : public BitmapTest {
protected:
    static int RecordsNamed(const char* name) {
        int found = 0;
        for (int i = 0; i < zk_state.num_bitmaps; ++i) found += zk_state.bitmaps[i].name && !strcmp(zk_state.bitmaps[i].name, name);
        return found;
    }
    static bool AllBytesAre(const zk_bitmap_t* b, uint8_t value) {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(b->pixels);
        for (size_t i = 0; i < size_t(b->texture_width) * size_t(b->texture_height) * 4; ++i) {
            if (p[i] != value) return false;
        }
        return true;
    }
};

TEST_F(BitmapApi, NamesAreNormalisedBeforeTheLookUp) {
    struct Case {
        const char* asked;
        const char* stored;
        int warnings;
    } cases[] = {{nullptr, "!NONE", 0}, {"", "!NONE", 0}, {"//ui/a", "ui/a", 2}, {"/", "!NONE", 1}, {"b", "b", 0}};
    for (const Case& c : cases) {
        ClearLines();
        zk_bitmap_t* bitmap = g()->ZK_Graphics_GetBitmapWithCacheMode(c.asked, ZK_CACHE_NOTHING);
        ASSERT_NE(bitmap, nullptr) << (c.asked ? c.asked : "null");
        EXPECT_STREQ(bitmap->name, c.stored);
        EXPECT_EQ(int(Popups().size()), c.warnings) << (c.asked ? c.asked : "null");
    }
    ClearLines();
    g()->ZK_Graphics_GetBitmapWithCacheMode("//ui/a", ZK_CACHE_NOTHING);
    EXPECT_EQ(Popups(), (std::vector<std::string>{"1:Bitmap '//ui/a' name path starting with '/'. Not allowed.",
                                                  "1:Bitmap '/ui/a' name path starting with '/'. Not allowed."}));
    EXPECT_EQ(RecordsNamed("ui/a"), 1);
}

TEST_F(BitmapApi, TextureTypeAndRendererHintComeFromTheName) {
    struct Case {
        const char* name;
        uint32_t type;
        int hint;
    } cases[] = {
        {"plain.tga", ZK_TEXTURE_2D, 1},        {"sky_CUBE.tga", ZK_TEXTURE_CUBE, 1},
        {"cloud_3D.tga", ZK_TEXTURE_3D, 1},     {"a_3D.b_CUBE.tga", ZK_TEXTURE_CUBE, 1},
        {"a_CUBE.b_x.tga", ZK_TEXTURE_CUBE, 1}, {"a_CUBE.tga_2D.", ZK_TEXTURE_2D, 1},
        {"a_cube.tga", ZK_TEXTURE_2D, 1},       {"textures/wall_2D.tga", ZK_TEXTURE_2D, 0},
    };
    for (const Case& c : cases) {
        zk_bitmap_t* bitmap = g()->ZK_Graphics_GetBitmapWithCacheMode(c.name, ZK_CACHE_NOTHING);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->type, c.type) << c.name;
        EXPECT_EQ(bitmap->renderer_hint, c.hint) << c.name;
    }
}

TEST_F(BitmapApi, GetCountsARecordOnceAndLoadEveryTime) {
    WriteTga("a.tga", 2, 2);
    enum Op { GET, LOAD, GET_NOTHING, LOOK_UP };
    struct Case {
        const char* label;
        std::vector<Op> ops;
        int count;
    } cases[] = {
        {"get twice", {GET, GET}, 1},
        {"load twice", {LOAD, LOAD}, 2},
        {"load then get twice", {LOAD, GET, GET}, 2},
        {"get with nothing cached", {GET_NOTHING}, 0},
        {"look-up only", {LOAD, LOOK_UP, LOOK_UP}, 1},
    };
    for (const Case& c : cases) {
        zk_bitmap_t* bitmap = nullptr;
        for (Op op : c.ops) {
            if (op == GET) bitmap = g()->ZK_Graphics_GetBitmap("a.tga");
            if (op == LOAD) bitmap = g()->ZK_Graphics_LoadBitmap("a.tga", ZK_CACHE_TEXTURE);
            if (op == GET_NOTHING) bitmap = g()->ZK_Graphics_GetBitmapWithCacheMode("a.tga", ZK_CACHE_NOTHING);
            if (op == LOOK_UP) bitmap = g()->ZK_Graphics_GetBitmapWithCacheMode("a.tga", ZK_CACHE_LOOKUP_ONLY);
        }
        ASSERT_NE(bitmap, nullptr) << c.label;
        EXPECT_EQ(bitmap->reference_count, c.count) << c.label;
        g()->ZK_Graphics_RemoveBitmapHandle(bitmap);
    }
    EXPECT_EQ(g()->ZK_Graphics_GetBitmapWithCacheMode("missing.tga", ZK_CACHE_LOOKUP_ONLY), nullptr);
    EXPECT_EQ(RecordsNamed("missing.tga"), 0);
}

TEST_F(BitmapApi, ReferenceCountsStopAt4096WhateverRaisesThem) {
    WriteTga("a.tga", 2, 2);
    zk_bitmap_t* loaded = g()->ZK_Graphics_LoadBitmap("a.tga", ZK_CACHE_TEXTURE);
    ASSERT_NE(loaded, nullptr);
    loaded->reference_count = 4096;
    ClearLines();
    g()->ZK_Graphics_LoadBitmap("a.tga", ZK_CACHE_TEXTURE);
    EXPECT_EQ(loaded->reference_count, 4096);
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:Bitmap 'a.tga' reference count suspiciously high: capping at 4096."});

    zk_bitmap_t* created = Create("c", 2, 2);
    created->reference_count = 4096;
    ClearLines();
    Create("c", 2, 2);
    EXPECT_EQ(created->reference_count, 4096);
    EXPECT_TRUE(Popups().empty());

    // Raises that would wrap the 16-bit count.
    struct Case {
        int start;
        int amount;
        int count;
    } raises[] = {{1, 10, 11}, {4090, 10, 4096}, {1, 40000, 4096}, {1, INT_MAX, 4096}, {5, 0, 5}, {5, -3, 5}};
    for (const Case& c : raises) {
        created->reference_count = int16_t(c.start);
        g()->ZK_Graphics_IncreaseBitmapReferenceCount(created, c.amount);
        EXPECT_EQ(created->reference_count, c.count) << c.start << " + " << c.amount;
    }
}

TEST_F(BitmapApi, RaisingACountFromZeroNeedsALoadFirst) {
    zk_bitmap_t* created = Create("c", 2, 2);
    created->reference_count = 0;
    ClearLines();
    g()->ZK_Graphics_IncreaseBitmapReferenceCount(created, 1);
    EXPECT_EQ(created->reference_count, 1);
    EXPECT_EQ(Popups(), std::vector<std::string>{
                            "2:Trying to increase bitmap 'c' reference count from 0 to 1. You need to load or create "
                            "bitmap first to set reference count to 1."});
}

TEST_F(BitmapApi, CreateFindsANameBeyondAFreeSlot) {
    zk_bitmap_t* first = Create("first", 2, 2);
    zk_bitmap_t* second = Create("second", 2, 2);
    g()->ZK_Graphics_RemoveBitmapHandle(first);
    ASSERT_EQ(first->name, nullptr);
    zk_bitmap_t* again = Create("second", 2, 2);
    EXPECT_EQ(again, second);
    EXPECT_EQ(second->reference_count, 2);
    EXPECT_EQ(RecordsNamed("second"), 1);
    EXPECT_EQ(zk_state.num_bitmaps, 2);
    // The freed slot is still the one a new name takes.
    EXPECT_EQ(Create("third", 2, 2), first);
}

TEST_F(BitmapApi, CreatedSizesAreClampedAndPixelsStartCleared) {
    struct Case {
        int width, height;
        int maximum;
        int expected_width, expected_height;
        bool warned;
    } cases[] = {
        {0, -5, 2048, 1, 1, false},
        {INT_MIN, 3, 0, 1, 3, false},
        {5000, 100, 4096, 4096, 100, true},
        {3, 9000, 2048, 3, 2048, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        renderer_.maximum_texture_size = c.maximum;
        ZKI_SetPixelAllocatorForTesting([](size_t bytes) {
            void* block = malloc(bytes);
            memset(block, 0xAB, bytes);
            return block;
        });
        ClearLines();
        std::string name = "created" + std::to_string(n++);
        zk_bitmap_t* bitmap = Create(name.c_str(), c.width, c.height);
        ZKI_SetPixelAllocatorForTesting(nullptr);
        ASSERT_NE(bitmap, nullptr) << name;
        EXPECT_EQ(bitmap->width, c.expected_width) << name;
        EXPECT_EQ(bitmap->height, c.expected_height) << name;
        EXPECT_EQ(bitmap->texture_width, c.expected_width) << name;
        ASSERT_NE(bitmap->pixels, nullptr) << name;
        EXPECT_TRUE(AllBytesAre(bitmap, 0)) << name;
        EXPECT_EQ(!Popups().empty(), c.warned) << name;
    }
    EXPECT_TRUE(WasPrinted("1:[POPUP] ZK_Graphics_CreateBitmap: bitmap 'created3' has too large dimension(s) (3, "
                           "9000), each dimension is clamped to 2048."));
}

size_t asked_bytes = 0;

TEST_F(BitmapApi, PixelBlockSizesAreComputedIn64Bits) {
    renderer_.maximum_texture_size = 0;
    ZKI_SetPixelAllocatorForTesting([](size_t bytes) -> void* {
        asked_bytes = bytes;
        return nullptr;
    });
    zk_bitmap_t* bitmap = Create("huge", 65536, 65537);
    ZKI_SetPixelAllocatorForTesting(nullptr);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(asked_bytes, size_t(65536) * 65537 * 4);
    EXPECT_EQ(bitmap->pixels, nullptr);
    EXPECT_TRUE(WasPrinted("2:Not enough memory for a bitmap of 65536x65537 pixels."));
}

TEST_F(BitmapApi, ReleaseHibernatesReloadableBitmapsAndFreesOthers) {
    WriteTga("a.tga", 2, 2);
    zk_bitmap_t* loaded = g()->ZK_Graphics_LoadBitmap("a.tga", ZK_CACHE_TEXTURE);
    zk_bitmap_t* created = Create("c", 2, 2);
    ASSERT_TRUE(loaded && created);
    ASSERT_TRUE(loaded->hw_data.loaded);
    ClearLines();
    g()->ZK_Graphics_ReleaseBitmap(loaded);
    g()->ZK_Graphics_ReleaseBitmap(created);
    EXPECT_TRUE(WasPrinted("0:Hibernating bitmap 'a.tga'.."));
    EXPECT_TRUE(WasPrinted("0:Releasing bitmap 'c'.."));
    EXPECT_STREQ(loaded->name, "a.tga");
    EXPECT_EQ(loaded->state, ZK_BITMAP_NOT_LOADED);
    EXPECT_EQ(loaded->pixels, nullptr);
    EXPECT_FALSE(loaded->hw_data.loaded);
    EXPECT_EQ(created->name, nullptr);
    EXPECT_EQ(renderer_.LiveTextures(), 0);

    // The same record comes back loaded.
    zk_bitmap_t* again = g()->ZK_Graphics_LoadBitmap("a.tga", ZK_CACHE_TEXTURE);
    EXPECT_EQ(again, loaded);
    EXPECT_EQ(again->reference_count, 1);
    EXPECT_EQ(again->state, ZK_BITMAP_READY);
    EXPECT_TRUE(again->hw_data.loaded);
}

TEST_F(BitmapApi, ReleasingTooOftenIsReportedAndCountsStayAtZero) {
    WriteTga("a.tga", 2, 2);
    zk_bitmap_t* got = g()->ZK_Graphics_GetBitmap("a.tga");
    ClearLines();
    g()->ZK_Graphics_ReleaseBitmap(got);
    EXPECT_EQ(Popups(), std::vector<std::string>{
                            "1:Releasing bitmap 'a.tga' too many times: ref counting will get messed up. NOTE: bitmap "
                            "has been accessed using GetBitmap which increses ref count by 1 once."});
    EXPECT_EQ(got->state, ZK_BITMAP_NOT_LOADED);
    ClearLines();
    g()->ZK_Graphics_ReleaseBitmap(got);
    EXPECT_EQ(got->reference_count, 0);
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:Bitmap 'a.tga' reference count less than zero."});
    // Placeholders are never counted or released.
    zk_bitmap_t* placeholder = g()->ZK_Graphics_LoadBitmap("!shared", ZK_CACHE_TEXTURE);
    int before = placeholder->reference_count;
    g()->ZK_Graphics_ReleaseBitmap(placeholder);
    g()->ZK_Graphics_LoadBitmap("!shared", ZK_CACHE_TEXTURE);
    EXPECT_EQ(placeholder->reference_count, before);
    EXPECT_STREQ(placeholder->name, "!shared");
}

// Released by its one holder, a bitmap got by name hibernates; getting it
// again counts the new holder, so that a renderer restart brings it back
// and its release hibernates it once more. A hibernation through the cache
// mode, at any count, keeps the holder counted.
TEST_F(BitmapApi, ABitmapGotAgainAfterHibernationIsCountedAgain) {
    WriteTga("a.tga", 2, 2);
    zk_bitmap_t* got = g()->ZK_Graphics_GetBitmap("a.tga");
    g()->ZK_Graphics_ReleaseBitmap(got);
    ASSERT_EQ(got->state, ZK_BITMAP_NOT_LOADED);
    ASSERT_EQ(g()->ZK_Graphics_GetBitmap("a.tga"), got);
    EXPECT_EQ(got->reference_count, 1);
    EXPECT_EQ(got->state, ZK_BITMAP_READY);
    g()->ZK_Graphics_GetBitmap("a.tga");
    EXPECT_EQ(got->reference_count, 1) << "still once per holder";

    ZKI_ShutdownRendImp();
    ASSERT_FALSE(got->hw_data.loaded);
    ASSERT_TRUE(ZKI_InitRendImp());
    EXPECT_TRUE(got->hw_data.loaded) << "a counted bitmap comes back";

    ClearLines();
    g()->ZK_Graphics_ReleaseBitmap(got);
    EXPECT_EQ(got->state, ZK_BITMAP_NOT_LOADED);
    EXPECT_EQ(got->reference_count, 0);
    EXPECT_EQ(Popups(), std::vector<std::string>{
                            "1:Releasing bitmap 'a.tga' too many times: ref counting will get messed up. NOTE: bitmap "
                            "has been accessed using GetBitmap which increses ref count by 1 once."});

    g()->ZK_Graphics_GetBitmap("a.tga");
    g()->ZK_Graphics_SetBitmapCacheMode(got, ZK_CACHE_NOTHING);
    ASSERT_EQ(got->state, ZK_BITMAP_NOT_LOADED);
    g()->ZK_Graphics_GetBitmap("a.tga");
    EXPECT_EQ(got->reference_count, 1);
    EXPECT_EQ(got->state, ZK_BITMAP_READY);
}

// With unlimited memory a bitmap is counted once more when it starts being
// kept, and only then: a cache mode that changes nothing, or that the
// bitmap refuses, adds no reference, nor does a load of a created bitmap.
TEST_F(BitmapApi, UnlimitedMemoryCountsOnlyAModeThatIsTakenUp) {
    zk_state.unlimited_memory = 1;
    WriteTga("a.tga", 2, 2);
    zk_bitmap_t original = {};
    auto created = [this] { return Create("c", 2, 2); };
    auto loaded = [] { return zk->graphics->ZK_Graphics_LoadBitmap("a.tga", ZK_CACHE_TEXTURE); };
    auto set_mode = [](int mode) {
        return [mode](zk_bitmap_t* b) { zk->graphics->ZK_Graphics_SetBitmapCacheMode(b, mode < 0 ? b->cache_mode : mode); };
    };
    struct Case {
        const char* label;
        std::function<zk_bitmap_t*()> make;
        std::function<void(zk_bitmap_t*)> act;
        int count;
    } cases[] = {
        {"a created bitmap set to its own mode", created, set_mode(-1), 1},
        {"a created bitmap loaded by name", created,
         [](zk_bitmap_t*) { zk->graphics->ZK_Graphics_LoadBitmap("c", ZK_CACHE_TEXTURE); }, 2},
        {"a created bitmap got by name", created, [](zk_bitmap_t*) { zk->graphics->ZK_Graphics_GetBitmap("c"); }, 2},
        {"a render target asked to keep pixels", [this] { return Create("t", 4, 4, true); },
         set_mode(ZK_CACHE_PIXELS), 1},
        {"a loaded bitmap set to its own mode", loaded, set_mode(-1), 2},
        {"a loaded bitmap loaded again", loaded,
         [](zk_bitmap_t*) { zk->graphics->ZK_Graphics_LoadBitmap("a.tga", ZK_CACHE_TEXTURE); }, 3},
    };
    for (const Case& c : cases) {
        zk_bitmap_t* bitmap = c.make();
        ASSERT_NE(bitmap, nullptr) << c.label;
        c.act(bitmap);
        EXPECT_EQ(bitmap->reference_count, c.count) << c.label;
        g()->ZK_Graphics_RemoveBitmapHandle(bitmap);
    }
    // A frame that shares an earlier frame's pixels never changes its mode.
    zk_bitmap_t frame = {};
    frame.name = const_cast<char*>("frame");
    frame.duplicate_of = &original;
    frame.flags = ZK_BITMAP_RELOADABLE;
    g()->ZK_Graphics_SetBitmapCacheMode(&frame, ZK_CACHE_TEXTURE);
    EXPECT_EQ(frame.reference_count, 0);
    EXPECT_EQ(frame.flags, ZK_BITMAP_RELOADABLE);
}

TEST_F(BitmapApi, AReleaseOffTheRendererThreadWithoutCountingFreesNothing) {
    zk_state.reference_counting = 0;
    zk_bitmap_t* created = Create("c", 2, 2);
    uint32_t* pixels = created->pixels;
    renderer_.ClearCalls();
    ClearLines();
    std::thread worker([&] { g()->ZK_Graphics_ReleaseBitmap(created); });
    worker.join();
    EXPECT_EQ(Popups(), std::vector<std::string>{"2:ZK_Graphics_ReleaseBitmap 'c' without reference counting is not "
                                                 "possible from non-main thread."});
    EXPECT_STREQ(created->name, "c");
    EXPECT_EQ(created->pixels, pixels);
    EXPECT_EQ(renderer_.Count("FreeBitmap") + renderer_.Count("LoadBitmap"), 0);
    // The pool's lock was given back exactly once: other threads still get it.
    zk_bitmap_t* other = nullptr;
    std::thread again([&] { other = Create("d", 1, 1); });
    again.join();
    EXPECT_NE(other, nullptr);
    g()->ZK_Graphics_ReleaseBitmap(created);
    EXPECT_EQ(created->name, nullptr);
}

TEST_F(BitmapApi, ReleasingTheCurrentRenderTargetResetsTheTargetsFirst) {
    zk_bitmap_t* target = Create("target", 8, 8, true);
    zk_state.render_targets.color[0] = target;
    ClearLines();
    g()->ZK_Graphics_ReleaseBitmap(target);
    EXPECT_EQ(Popups()[0], "2:ZK_Graphics_ReleaseBitmap: releasing current render target bitmap 'target' is not "
                           "allowed, set the render target to NULL before releasing.");
    EXPECT_EQ(zk_state.render_targets.color[0], nullptr);
    EXPECT_EQ(target->name, nullptr);
}

TEST_F(BitmapApi, RemovingAHandleWarnsWhenItIsStillInUse) {
    WriteTga("a.tga", 2, 2);
    struct Case {
        bool get;
        int extra_loads;
        bool warned;
    } cases[] = {{true, 0, false}, {false, 0, false}, {false, 1, true}, {true, 1, true}};
    for (const Case& c : cases) {
        zk_bitmap_t* bitmap = c.get ? g()->ZK_Graphics_GetBitmap("a.tga") : g()->ZK_Graphics_LoadBitmap("a.tga", 4);
        for (int i = 0; i < c.extra_loads; ++i) g()->ZK_Graphics_LoadBitmap("a.tga", 4);
        if (!c.get) g()->ZK_Graphics_ReleaseBitmap(bitmap);
        ClearLines();
        g()->ZK_Graphics_RemoveBitmapHandle(bitmap);
        EXPECT_EQ(bitmap->name, nullptr);
        EXPECT_EQ(WasPrinted("1:ZK_Graphics_RemoveBitmapHandle: bitmap 'a.tga' is not fully release before this call."),
                  c.warned)
            << c.get << " " << c.extra_loads;
    }
}

TEST_F(BitmapApi, FramesAreChosenModuloTheirCount) {
    zk_bitmap_t* sequence = g()->ZK_Graphics_GetBitmapWithCacheMode("seq", ZK_CACHE_NOTHING);
    sequence->frames = static_cast<zk_bitmap_t*>(calloc(3, sizeof(zk_bitmap_t)));
    sequence->frame_count = 3;
    uint32_t blocks[3][6] = {};
    for (int i = 0; i < 3; ++i) {
        zk_bitmap_t& frame = sequence->frames[i];
        frame.width = frame.texture_width = 10 + i;
        frame.height = frame.texture_height = 20 + i;
        frame.pixels = blocks[i];
        frame.duplicate_of = &frame;  // the test owns the pixels
        frame.hw_data.uv[0] = 0.25f * i;
        if (i == 1) frame.flags = ZK_BITMAP_HAS_ALPHA;
    }
    struct Case {
        int asked;
        int shown;
    } cases[] = {{0, 0}, {-5, 0}, {7, 1}, {2, 2}, {1, 1}, {INT_MAX, INT_MAX % 3}};
    for (const Case& c : cases) {
        g()->ZK_Graphics_SetBitmapFrame(sequence, c.asked);
        EXPECT_EQ(sequence->frame_index, c.shown) << c.asked;
        EXPECT_EQ(sequence->width, 10 + c.shown) << c.asked;
        EXPECT_EQ(sequence->height, 20 + c.shown) << c.asked;
        EXPECT_EQ(sequence->pixels, blocks[c.shown]) << c.asked;
        EXPECT_EQ(sequence->hw_data.uv[0], 0.25f * c.shown) << c.asked;
        EXPECT_EQ(sequence->flags & ZK_BITMAP_HAS_ALPHA, c.shown == 1 ? ZK_BITMAP_HAS_ALPHA : 0) << c.asked;
    }
    for (int i = 0; i < 3; ++i) sequence->frames[i].pixels = nullptr;
}

TEST_F(BitmapApi, CacheModesKeepOrDropPixelsAndTextures) {
    WriteTga("a.tga", 2, 2);
    zk_bitmap_t* bitmap = g()->ZK_Graphics_LoadBitmap("a.tga", ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE);
    ASSERT_NE(bitmap, nullptr);
    struct Step {
        int mode;
        bool pixels;
        bool texture;
        int state;
    } steps[] = {
        {6, true, true, ZK_BITMAP_READY},   {4, false, true, ZK_BITMAP_READY},  {0, false, false, ZK_BITMAP_NOT_LOADED},
        {4, false, true, ZK_BITMAP_READY},  {2, true, false, ZK_BITMAP_READY},  {0, false, false, ZK_BITMAP_NOT_LOADED},
        {16, false, false, ZK_BITMAP_NOT_LOADED}, {2, true, false, ZK_BITMAP_READY},
    };
    for (const Step& s : steps) {
        g()->ZK_Graphics_SetBitmapCacheMode(bitmap, s.mode);
        EXPECT_EQ(bitmap->pixels != nullptr, s.pixels) << s.mode;
        EXPECT_EQ(bitmap->hw_data.loaded != 0, s.texture) << s.mode;
        EXPECT_EQ(renderer_.LiveTextures(), s.texture ? 1 : 0) << s.mode;
        EXPECT_EQ(bitmap->state, s.state) << s.mode;
    }
    EXPECT_STREQ(bitmap->name, "a.tga");
    // Bitmaps that can be read again from nowhere keep their mode.
    zk_bitmap_t* target = Create("target", 4, 4, true);
    ClearLines();
    g()->ZK_Graphics_SetBitmapCacheMode(target, ZK_CACHE_PIXELS);
    EXPECT_EQ(target->cache_mode, ZK_CACHE_TEXTURE);
    EXPECT_EQ(Lines(), std::vector<std::string>{"1:Bitmap 'target' not reloadable, can't change cache mode."});
}

// Loading by name adds the mode asked for only to a bitmap that can be
// read again; a render target found by name keeps its mode and texture,
// and nothing is said about it.
TEST_F(BitmapApi, ARenderTargetLoadedByNameStaysAsItIsWithoutAWarning) {
    zk_bitmap_t* target = Create("target", 4, 4, true);
    void* texture = target->hw_data.renderer_data;
    for (int mode : {int(ZK_CACHE_PIXELS), ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE}) {
        ClearLines();
        renderer_.ClearCalls();
        EXPECT_EQ(g()->ZK_Graphics_LoadBitmap("target", mode), target) << mode;
        EXPECT_EQ(target->cache_mode, ZK_CACHE_TEXTURE) << mode;
        EXPECT_EQ(target->pixels, nullptr) << mode;
        EXPECT_EQ(target->hw_data.renderer_data, texture) << mode;
        EXPECT_EQ(Lines(), std::vector<std::string>{}) << mode;
        EXPECT_EQ(renderer_.Count("CreateRenderTarget") + renderer_.Count("FreeBitmap"), 0) << mode;
    }
}

TEST_F(BitmapApi, RenderTargetsFallBackToFormatsTheRendererSupports) {
    struct Case {
        uint32_t format;
        std::vector<uint32_t> supported;
        uint32_t created;
        std::vector<std::string> asked;
    } cases[] = {
        {6, {4}, 4, {"6", "4"}},
        {3, {1}, 1, {"3", "2", "1"}},
        {2, {2}, 2, {"2"}},
        {2, {}, 2, {"2", "1"}},
        {8, {}, 8, {}},
    };
    int n = 0;
    static std::vector<uint32_t>* supported = nullptr;
    for (Case& c : cases) {
        supported = &c.supported;
        renderer_.texture_format_supported = true;
        renderer_.ClearCalls();
        std::string name = "target" + std::to_string(n++);
        // The recording renderer answers one way for all formats: the
        // support test is told apart by the formats it asks about.
        std::vector<std::string> asked;
        renderer_.on_call = [&](const std::string& call) {
            if (call.rfind("IsTextureFormatSupported ", 0) == 0) {
                std::string format = call.substr(25, call.find(' ', 25) - 25);
                asked.push_back(format);
                bool yes = false;
                for (uint32_t f : *supported) yes = yes || std::to_string(f) == format;
                renderer_.texture_format_supported = yes;
            }
        };
        zk_bitmap_t* target = Create(name.c_str(), 16, 16, true, c.format);
        renderer_.on_call = nullptr;
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(asked, c.asked) << name;
        EXPECT_EQ(target->format, c.created) << name;
        EXPECT_EQ(target->hw_data.loaded != 0, c.supported.size() > 0 || c.asked.empty()) << name;
    }
}

}  // namespace
