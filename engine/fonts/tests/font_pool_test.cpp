// The font pool: slots, reference counting and release, the per-font lock,
// glyph look-up by code point and the fonts state's extensions.
#include <atomic>
#include <thread>

#include "engine/base/mutex.h"
#include "engine/fonts/tests/font_fixture.h"
#include "engine/render/tests/recording_renderer.h"
#include "engine/runtime/state.h"

namespace {

class FontPoolTest : public FontTest {
protected:
    void TearDown() override {
        zk_state.reference_counting = 0;
        zk_state.developer_mode = 0;
        zk_fonts_state.dynamic_glyphs = 0;
        FontTest::TearDown();
    }

    static bool GetFontMutexIsFree() {
        zk_mutex_t* mutex = zk_state.core_mutexes[ZK_CORE_MUTEX_GET_FONT];
        if (!ZKT_TryLockMutex(mutex)) return false;
        pthread_mutex_unlock(mutex->mutex);
        return true;
    }
};

TEST_F(FontPoolTest, NewFontsTakeTheFirstFreeSlotUntilAll32AreTaken) {
    zk_font_t* first = ZKI_CreateNewFont("fonts/a.mft");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->name, "fonts/a.mft");
    EXPECT_EQ(first->hash, nStringHash("fonts/a.mft"));
    EXPECT_EQ(first->state, 3u);
    EXPECT_EQ(first->slot, 0u);
    EXPECT_EQ(first->reference_count, 1);
    EXPECT_EQ(first->scale, 1.0f);
    zk_font_t* unnamed = ZKI_CreateNewFont(nullptr);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_STREQ(unnamed->name, "");
    EXPECT_EQ(unnamed->hash, 0u);

    ZKI_FONTS_ReleaseFont(first);
    EXPECT_EQ(first->name, nullptr);
    EXPECT_EQ(ZKI_CreateNewFont("again"), &zk_state.fonts[0]);
    for (int i = 2; i < ZK_MAX_FONTS; ++i) ASSERT_NE(ZKI_CreateNewFont(("f" + std::to_string(i)).c_str()), nullptr);
    EXPECT_EQ(zk_state.num_fonts, 32);
    EXPECT_EQ(ZKI_CreateNewFont("one too many"), nullptr);
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:[POPUP] Out of free fonts."});
    EXPECT_EQ(zk_state.num_fonts, 32);
}

TEST_F(FontPoolTest, ReleasingCountsDownHibernatesAtZeroAndAlwaysLetsGoOfThePool) {
    struct Case {
        const char* what;
        bool counting;
        uint8_t flags;
        int16_t count_before;
        int16_t count_after;      // -1: the font is freed
        std::vector<std::string> popups;
    };
    const Case cases[] = {
        {"counting down", true, 0, 3, 2, {}},
        {"reaching zero", true, 0, 1, 0, {}},
        {"reaching zero after GetFont", true, ZK_FONT_COUNTED_BY_GET, 1, 0,
         {"1:[POPUP] ZK_Graphics_ReleaseFont: font 'f.mft' has been released too many times: ref counting will get "
          "messed up. NOTE: font has been accessed using GetFont() which increses ref count by 1 once."}},
        {"below zero", true, 0, 0, 0,
         {"1:[POPUP] ZK_Graphics_ReleaseFont: reference count of font 'f.mft' is less than zero."}},
        {"without reference counting", false, 0, 5, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLines();
        zk_state.reference_counting = c.counting;
        zk_font_t* font = ZKI_CreateNewFont("f.mft");
        ASSERT_TRUE(ZKI_ResetFontGlyphs(font, 256));
        font->flags = c.flags;
        font->reference_count = c.count_before;
        zk->graphics->ZK_Graphics_ReleaseFont(font);
        EXPECT_TRUE(GetFontMutexIsFree());
        EXPECT_EQ(Popups(), c.popups);
        if (c.count_after < 0) {
            EXPECT_EQ(font->name, nullptr);
            EXPECT_EQ(font->glyphs, nullptr);
            continue;
        }
        EXPECT_EQ(font->reference_count, c.count_after);
        EXPECT_STREQ(font->name, "f.mft");  // hibernating keeps everything
        EXPECT_EQ(font->num_glyphs, 256);
        EXPECT_EQ(WasPrinted("0:ZK_Graphics_ReleaseFont: hibernating Font 'f.mft'."), c.count_after == 0 && c.count_before == 1);
        ZKI_FONTS_ReleaseFont(font);
    }
    ClearLines();
    zk->graphics->ZK_Graphics_ReleaseFont(nullptr);
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:[POPUP] ZK_Graphics_ReleaseFont: font is null."});
    EXPECT_TRUE(GetFontMutexIsFree());
}

TEST_F(FontPoolTest, ReleasingAFontWithGlyphsUploadedOneByOneFreesTheirTextures) {
    int texture[2];
    zk_font_t* font = ZKI_CreateNewFont("f.mft");
    ASSERT_TRUE(ZKI_ResetFontGlyphs(font, 4));
    for (int i = 0; i < 3; ++i) font->glyphs[i].bitmap.pixels = static_cast<uint32_t*>(calloc(1, 4));
    font->glyphs[0].bitmap.hw_data = {1, {}, 0, 0, &texture[0]};
    // Not loaded, yet with data: the free call warns and leaves the renderer alone.
    zk_bitmap_t::hw_data_t* stray = &font->glyphs[2].bitmap.hw_data;
    *stray = {0, {}, 0, 0, &texture[1]};
    font->glyphs[3].bitmap.hw_data = font->glyphs[0].bitmap.hw_data;  // no pixels: a stand-in owns no texture
    ClearLines();
    ZKI_FONTS_ReleaseFont(font);
    EXPECT_EQ(renderer_.CallsOf("FreeBitmap"), std::vector<std::string>{"FreeBitmap " + RecordingRenderer::Pointer(&texture[0])});
    char warning[128];
    snprintf(warning, sizeof(warning),
             "1:ZKI_CallRendererToFreeBitmap: Bitmap %x not loaded to gpu but implementation data exists.",
             static_cast<unsigned>(reinterpret_cast<uintptr_t>(stray)));
    EXPECT_TRUE(WasPrinted(warning));

    // Glyphs of a packed atlas share its texture, which goes with the atlas.
    renderer_.ClearCalls();
    font = ZKI_CreateNewFont("g.mft");
    ASSERT_TRUE(ZKI_ResetFontGlyphs(font, 1));
    font->atlas.width = 64;
    font->glyphs[0].bitmap.hw_data = {1, {}, 0, 0, &texture[0]};
    ZKI_FONTS_ReleaseFont(font);
    EXPECT_EQ(renderer_.CallsOf("FreeBitmap"), std::vector<std::string>{});
}

TEST_F(FontPoolTest, TheFontLockWaitsForItsHolder) {
    zk_font_t* font = ZKI_CreateNewFont("f.mft");
    ASSERT_TRUE(ZKI_LockFont(font));
    std::atomic<bool> taken{false};
    std::thread other([&] {
        ZKI_LockFont(font);
        taken = true;
        ZKI_UnlockFont(font);
    });
    ZKT_Sleep(20);
    EXPECT_FALSE(taken);
    ZKI_UnlockFont(font);
    other.join();
    EXPECT_TRUE(taken);
    EXPECT_EQ(font->locked, 0);

    // Developer mode shows the popup on the platform.
    zk_state.developer_mode = 1;
    zk_run_no_popups = 0;
    ZKD_ResetPopupRecord();
    ZKI_UnlockFont(font);
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 1);
    EXPECT_STREQ(ZKD_GetLastPopupText(), "ZKI_UnlockFont called on unlocked font ('f.mft').");
}

TEST_F(FontPoolTest, GlyphsAreFoundByCodeAndExtensionsOnlyWithDynamicGlyphs) {
    zk_font_t* font = ZKI_CreateNewFont("f.mft");
    ASSERT_TRUE(ZKI_ResetFontGlyphs(font, 3));
    font->glyphs[0].code = 'a';
    font->glyphs[1].code = 0x263A;
    font->glyphs[2].code = 'a';
    EXPECT_EQ(ZKI_GetFontGlyphUTF32(font, 0x263A), &font->glyphs[1]);
    EXPECT_EQ(ZKI_GetFontGlyphUTF32(font, 'a'), &font->glyphs[0]);
    EXPECT_EQ(Popups(), std::vector<std::string>{});

    zk_glyph_t extra = {};
    extra.code = 'z';
    zk_fonts_state.GetFontExtensionForFont(font)->glyphs.InsertLast(&extra);
    EXPECT_EQ(ZKI_GetFontGlyphUTF32(font, 'z'), nullptr);
    EXPECT_FALSE(ZKI_FontHasGlyphUTF32(font, 'z'));
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:[POPUP] Font 'f.mft' Missing unicode 122 (0x7a) ('z')"});

    ClearLines();
    zk_fonts_state.dynamic_glyphs = 1;
    EXPECT_EQ(ZKI_GetFontGlyphUTF32(font, 'z'), &extra);
    EXPECT_TRUE(ZKI_FontHasGlyphUTF32(font, 'z'));
    EXPECT_EQ(ZKI_GetFontGlyphUTF32(font, 'q'), nullptr);
    EXPECT_EQ(Popups(), std::vector<std::string>{});
    EXPECT_EQ(zk_fonts_state.GetFontExtensionForFont(font), zk_fonts_state.extensions[0]);

    ZKI_InitializeFonts();
    EXPECT_EQ(zk_fonts_state.dynamic_glyphs, 0);
    for (int i = 0; i < zk_fonts_state.extensions.count; ++i) delete zk_fonts_state.extensions[i];
    zk_fonts_state.extensions.count = 0;
}

TEST_F(FontPoolTest, FreeingGPUResourcesFreesOnlyLoadedExtensionGlyphs) {
    zk_font_t* font = ZKI_CreateNewFont("f.mft");
    zk_glyph_t loaded = {}, unloaded = {};
    int texture = 0;
    loaded.bitmap.hw_data.loaded = 1;
    loaded.bitmap.hw_data.renderer_data = &texture;
    zk_font_extension_t* extension = zk_fonts_state.GetFontExtensionForFont(font);
    extension->glyphs.InsertLast(&loaded);
    extension->glyphs.InsertLast(&unloaded);
    renderer_.ClearCalls();
    zk_fonts_state.FreeGPUResources();
    EXPECT_EQ(renderer_.CallsOf("FreeBitmap"), std::vector<std::string>{"FreeBitmap " + RecordingRenderer::Pointer(&texture)});
    EXPECT_EQ(loaded.bitmap.hw_data.loaded, 0);
    delete extension;
    zk_fonts_state.extensions.count = 0;
}

}  // namespace
