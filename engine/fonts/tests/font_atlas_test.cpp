// Fonts by name on their way to the renderer: the atlas packed from a
// generated strip, uploaded at once or from the queue, the capitals that
// stand in for missing small letters through release and refresh, the
// reference counts of GetFont and LoadFont, glyphs as textures of their own,
// and the renderer's restart.
#include <atomic>
#include <thread>

#include "engine/screen/upload_pass.h"
#include "engine/bitmaps/bitmap_api.h"
#include "engine/bitmaps/bitmap_upload.h"
#include "engine/fonts/font_generation.h"
#include "engine/screen/renderer_interface.h"
#include "engine/fonts/tests/font_fixture.h"
#include "engine/runtime/state.h"

using font_test::TgaFromArt;

namespace {

const char kFont[] = "fonts/strip.mft";

class FontAtlasTest : public FontTest {
protected:
    void SetUp() override {
        FontTest::SetUp();
        renderer_.make_textures = true;
        zk_state.renderer_initialized = 1;
        zk_state.pack_bitmaps = 1;
        zk_state.reference_counting = 1;
        Write("fonts/strip.tga", TgaFromArt(font_test::kStrip));
        Write("fonts/strip.mft.xml", font_test::SettingsXml(font_test::kSettings));
    }
    void TearDown() override {
        for (int i = 0; i < zk_state.num_fonts; ++i) {
            if (zk_state.fonts[i].name) ZKI_FONTS_ReleaseFont(&zk_state.fonts[i]);
        }
        DrainQueues();
        EXPECT_EQ(renderer_.LiveTextures(), 0) << "textures left in the renderer";
        zk_state.pack_bitmaps = 0;
        zk_state.reference_counting = 0;
        zk_state.print_reference_count_changes = 0;
        FontTest::TearDown();
    }

    static void DrainQueues() {
        for (int pass = 0; pass < 100 && (zk_state.font_upload_queue.count || zk_state.bitmap_release_queue.count);
             ++pass) {
            ZKI_ProcessBitmapResourceQueues();
        }
    }
    static void ExpectRectangle(const zk_glyph_t& glyph, float left, float top, float right, float bottom) {
        const float* uv = glyph.bitmap.hw_data.uv;
        EXPECT_EQ(std::vector<float>(uv, uv + 4), (std::vector<float>{left / 32, top / 32, right / 32, bottom / 32}));
    }
};

TEST_F(FontAtlasTest, AGeneratedFontIsPackedIntoOneAtlasAndUploaded) {
    zk_font_t* font = zk->graphics->ZK_Graphics_LoadFont(kFont);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(Read(kFont).empty(), false);  // generated, saved and read back
    EXPECT_EQ(font->atlas.width, 32);
    EXPECT_EQ(font->atlas.height, 32);
    EXPECT_EQ(font->atlas.state, 3);
    EXPECT_EQ(renderer_.CallsOf("LoadBitmap"), std::vector<std::string>{"LoadBitmap atlas"});
    // Rows as high as the tallest glyph plus 2, glyphs 2 apart from (2, 2)
    // in glyph order.
    ExpectRectangle(font->glyphs['"'], 2, 2, 5, 4);
    ExpectRectangle(font->glyphs['-'], 7, 2, 9, 3);
    ExpectRectangle(font->glyphs['L'], 11, 2, 14, 6);
    ExpectRectangle(font->glyphs['T'], 16, 2, 19, 6);
    for (int glyph : {'"', 'L', 'T', '-', 'A'}) {
        EXPECT_EQ(font->glyphs[glyph].bitmap.hw_data.renderer_data, font->atlas.hw_data.renderer_data);
    }
    ASSERT_NE(font->atlas.hw_data.renderer_data, nullptr);
    const uint8_t* atlas = reinterpret_cast<const uint8_t*>(font->atlas.pixels);
    EXPECT_EQ(atlas[(5 * 32 + 13) * 4 + 3], 255);  // L's foot
    EXPECT_EQ(atlas[(3 * 32 + 13) * 4 + 3], 0);
    EXPECT_EQ(font->glyphs['T'].kern['L'], -1);
    EXPECT_EQ(Popups(), std::vector<std::string>{});
}

TEST_F(FontAtlasTest, SmallLettersAFontLacksStandInAsCapitalsThroughReleaseAndRefresh) {
    zk_font_t* font = zk->graphics->ZK_Graphics_LoadFont(kFont);
    ASSERT_NE(font, nullptr);
    auto expect_stand_ins = [&] {
        for (int small : {'l', 't'}) {
            const zk_glyph_t& letter = font->glyphs[small];
            const zk_glyph_t& capital = font->glyphs[small - 32];
            EXPECT_EQ(letter.bitmap.pixels, nullptr);  // the capital's block is not shared
            EXPECT_EQ(letter.bitmap.width, capital.bitmap.width);
            EXPECT_EQ(letter.bitmap.height, capital.bitmap.height);
            EXPECT_EQ(letter.advance, capital.advance);
            EXPECT_EQ(std::vector<float>(letter.bitmap.hw_data.uv, letter.bitmap.hw_data.uv + 4),
                      std::vector<float>(capital.bitmap.hw_data.uv, capital.bitmap.hw_data.uv + 4));
            EXPECT_EQ(letter.bitmap.hw_data.renderer_data, font->atlas.hw_data.renderer_data);
            ASSERT_NE(letter.kern, capital.kern);
            EXPECT_EQ(0, memcmp(letter.kern, capital.kern, 256));
        }
        // Kerned as capitals on both sides: t after L and T after l.
        EXPECT_EQ(font->glyphs['t'].kern['L'], -1);
        EXPECT_EQ(font->glyphs['T'].kern['l'], -1);
        EXPECT_EQ(font->glyphs['a'].bitmap.width, 0);  // no capital A either
    };
    expect_stand_ins();

    zk->graphics->ZK_Graphics_ReleaseFont(font);  // to 0: hibernating, nothing freed
    EXPECT_STREQ(font->name, kFont);
    zk->graphics->ZK_Graphics_RefreshFont(font);
    expect_stand_ins();
    EXPECT_EQ(zk->graphics->ZK_Graphics_LoadFont(kFont), font);  // found again by name
    EXPECT_EQ(font->reference_count, 1);

    zk_state.reference_counting = 0;
    zk->graphics->ZK_Graphics_ReleaseFont(font);  // freed
    EXPECT_EQ(font->name, nullptr);
    zk->graphics->ZK_Graphics_RefreshFont(font);  // a freed record stays free
    EXPECT_EQ(font->glyphs, nullptr);
    EXPECT_EQ(Popups(), std::vector<std::string>{});
}

TEST_F(FontAtlasTest, FromAnotherThreadTheAtlasWaitsForTheRendererThread) {
    zk_font_t* font = nullptr;
    std::thread([&] { font = zk->graphics->ZK_Graphics_LoadFont(kFont); }).join();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 0);
    EXPECT_EQ(font->atlas.state, 2);
    ASSERT_EQ(zk_state.font_upload_queue.count, 1);
    EXPECT_EQ(font->glyphs['l'].bitmap.hw_data.renderer_data, nullptr);  // stand-ins wait too

    std::thread([&] { ZKI_LoadFontToHardware(font); }).join();
    EXPECT_TRUE(WasPrinted("1:Font 'fonts/strip.mft' already exists in upload queue, not adding twice."));
    EXPECT_EQ(zk_state.font_upload_queue.count, 1);
    // A pass where the renderer may not be called puts the font back.
    std::thread([&] { ZKI_ProcessBitmapResourceQueues(); }).join();
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 0);
    EXPECT_EQ(zk_state.font_upload_queue.count, 1);

    ZKI_ProcessBitmapResourceQueues();
    EXPECT_EQ(zk_state.font_upload_queue.count, 0);
    EXPECT_EQ(renderer_.CallsOf("LoadBitmap"), std::vector<std::string>{"LoadBitmap atlas"});
    EXPECT_EQ(font->atlas.state, 3);
    ASSERT_NE(font->atlas.hw_data.renderer_data, nullptr);
    for (int glyph : {'L', 'l', ' '}) {
        EXPECT_EQ(font->glyphs[glyph].bitmap.hw_data.renderer_data, font->atlas.hw_data.renderer_data);
    }

    // A renderer that takes bitmaps from any thread is called at once.
    renderer_.thread_safe_features = ZK_RENDERER_THREAD_SAFE_BITMAPS;
    std::thread([&] { zk->graphics->ZK_Graphics_RefreshFont(font); }).join();
    EXPECT_EQ(zk_state.font_upload_queue.count, 0);
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 2);
}

// The renderer thread holds a font's lock while it uploads it; replacing or
// freeing its glyphs meanwhile waits.
TEST_F(FontAtlasTest, RefreshAndReleaseWaitForAFontBeingUploaded) {
    zk_font_t* font = zk->graphics->ZK_Graphics_LoadFont(kFont);
    ASSERT_NE(font, nullptr);
    zk_state.reference_counting = 0;
    for (auto change : {ZK_Graphics_RefreshFont, ZK_Graphics_ReleaseFont}) {
        ASSERT_TRUE(ZKI_LockFont(font));
        const zk_glyph_t* glyphs = font->glyphs;
        bool untouched_while_held = false;
        std::thread holder([&] {
            ZKT_Sleep(20);
            untouched_while_held = font->glyphs == glyphs && font->name != nullptr;
            ZKI_UnlockFont(font);
        });
        change(font);
        holder.join();
        EXPECT_TRUE(untouched_while_held);
    }
    EXPECT_EQ(font->name, nullptr);
    EXPECT_EQ(font->locked, 0);
    EXPECT_EQ(Popups(), std::vector<std::string>{});
}

TEST_F(FontAtlasTest, GetFontCountsItsOwnFontsOnceAndLoadFontEveryTime) {
    Write("a.mft", font_test::FontFileBytes(font_test::FontDescription()));
    zk_state.print_reference_count_changes = 1;
    zk_font_t* got = zk->graphics->ZK_Graphics_GetFont("a.mft");
    ASSERT_NE(got, nullptr);
    EXPECT_TRUE(WasPrinted("0:'a.mft' ref count = 1 (GetFont)"));
    EXPECT_TRUE(WasPrinted("0:..caching font 'a.mft'"));
    EXPECT_EQ(zk->graphics->ZK_Graphics_GetFont("a.mft"), got);
    EXPECT_EQ(got->reference_count, 1);
    EXPECT_EQ(zk->graphics->ZK_Graphics_LoadFont("a.mft"), got);
    EXPECT_EQ(got->reference_count, 2);
    EXPECT_TRUE(WasPrinted("0:'a.mft' ref count++: now 2"));

    zk_font_t* loaded = zk->graphics->ZK_Graphics_LoadFont("a.mft.copy");
    EXPECT_TRUE(WasPrinted("0:..caching font 'a.mft.copy' "));
    EXPECT_TRUE(WasPrinted("1:[POPUP] ZK_Graphics_RefreshFont: failed to load font 'a.mft.copy'."));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->num_glyphs, 256);  // a usable, empty font
    EXPECT_EQ(zk->graphics->ZK_Graphics_GetFont("a.mft.copy"), loaded);
    EXPECT_EQ(zk->graphics->ZK_Graphics_GetFont("a.mft.copy"), loaded);
    EXPECT_EQ(loaded->reference_count, 3);  // not created by GetFont: counted each time
    EXPECT_TRUE(WasPrinted("0:'a.mft.copy' ref count++ (GetFont): now 3"));

    ClearLines();
    zk_font_t* none = zk->graphics->ZK_Graphics_LoadFont("!NONE");
    EXPECT_EQ(zk->graphics->ZK_Graphics_LoadFont("!NONE"), none);
    EXPECT_EQ(none->reference_count, 1);
    EXPECT_EQ(none->num_glyphs, 256);
    EXPECT_FALSE(WasPrinted("0:Font '!NONE' file not found."));
    EXPECT_EQ(Popups(), std::vector<std::string>{});

    for (int i = zk_state.num_fonts; i < ZK_MAX_FONTS; ++i) {
        ASSERT_NE(zk->graphics->ZK_Graphics_LoadFont(("!NONE" + std::to_string(i)).c_str()), nullptr);
    }
    EXPECT_EQ(zk->graphics->ZK_Graphics_GetFont("!one too many"), nullptr);
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:[POPUP] Out of free fonts."});
}

TEST_F(FontAtlasTest, WithoutPackingEveryGlyphIsATextureOfItsOwn) {
    zk_state.pack_bitmaps = 0;
    zk_font_t* font = zk->graphics->ZK_Graphics_LoadFont(kFont);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->atlas.pixels, nullptr);
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 4);
    EXPECT_EQ(renderer_.LiveTextures(), 4);
    EXPECT_NE(font->glyphs['L'].bitmap.hw_data.renderer_data, font->glyphs['T'].bitmap.hw_data.renderer_data);
    EXPECT_EQ(font->glyphs['L'].bitmap.state, 3);
    EXPECT_EQ(font->glyphs['l'].bitmap.width, 0);  // no stand-ins without an atlas
}

TEST_F(FontAtlasTest, TheRendererRestartFreesAndRemakesTheAtlas) {
    zk_font_t* font = zk->graphics->ZK_Graphics_LoadFont(kFont);
    ASSERT_NE(font, nullptr);
    ZKI_ShutdownRendImp();
    EXPECT_EQ(renderer_.LiveTextures(), 0);
    EXPECT_EQ(font->atlas.hw_data.loaded, 0);
    ASSERT_TRUE(ZKI_InitRendImp());
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 2);
    EXPECT_EQ(renderer_.LiveTextures(), 1);
    EXPECT_EQ(font->glyphs['l'].bitmap.hw_data.renderer_data, font->atlas.hw_data.renderer_data);
}

TEST_F(FontAtlasTest, AtlasesHoldAtMost4096GlyphsAndNeedAHeight) {
    zk_font_t* font = ZKI_CreateNewFont("many.mft");
    ASSERT_TRUE(ZKI_ResetFontGlyphs(font, 4097));
    font->utf8 = 1;
    for (int i = 0; i < 4097; ++i) {
        font->glyphs[i].code = uint32_t(i);
        font->glyphs[i].bitmap.width = font->glyphs[i].bitmap.height = 1;
        font->glyphs[i].bitmap.pixels = static_cast<uint32_t*>(calloc(1, 4));
    }
    EXPECT_FALSE(ZKI_RecreateFontAtlas(font));  // no height yet
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 0);
    font->height = 1;
    EXPECT_TRUE(ZKI_RecreateFontAtlas(font));
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:[POPUP] ZKI_RecreateFontAtlas too many glyphs (4097) in font "
                                                 "'many.mft' for bitmap buffer. Ignoring some of them."});
    EXPECT_NE(font->glyphs[4095].bitmap.hw_data.uv[2], 0.0f);
    EXPECT_EQ(font->glyphs[4096].bitmap.hw_data.uv[2], 0.0f);  // left out of the atlas
}

TEST_F(FontAtlasTest, ExtensionGlyphsNotInTheRendererAreUploaded) {
    zk_font_t* font = ZKI_CreateNewFont("f.mft");
    zk_glyph_t waiting = {}, loaded = {};
    for (zk_glyph_t* glyph : {&waiting, &loaded}) {
        glyph->bitmap.width = glyph->bitmap.height = 1;
        glyph->bitmap.pixels = static_cast<uint32_t*>(calloc(1, 4));
    }
    loaded.bitmap.hw_data.loaded = 1;
    zk_font_extension_t* extension = zk_fonts_state.GetFontExtensionForFont(font);
    extension->glyphs.InsertLast(&waiting);
    extension->glyphs.InsertLast(&loaded);
    ZKI_LoadFontsGPUResources();
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 1);
    EXPECT_EQ(waiting.bitmap.hw_data.loaded, 1);
    zk_fonts_state.FreeGPUResources();
    EXPECT_EQ(waiting.bitmap.hw_data.loaded, 0);
    free(waiting.bitmap.pixels);
    free(loaded.bitmap.pixels);
    delete extension;
    zk_fonts_state.extensions.count = 0;
}

TEST_F(FontAtlasTest, QueuedFontsAreUploadedTenAFrame) {
    // Each font has an atlas with pixels; the renderer sees each upload.
    char names[12][8];
    uint32_t pixels[12] = {};
    for (int i = 0; i < 12; ++i) {
        zk_font_t& font = zk_state.fonts[i];
        snprintf(names[i], sizeof(names[i]), "font%d", i);
        font.name = names[i];
        font.atlas.name = names[i];
        font.atlas.width = font.atlas.height = font.atlas.texture_width = font.atlas.texture_height = 1;
        font.atlas.pixels = &pixels[i];
        zk_state.font_upload_queue.InsertLast(&font);
    }
    renderer_.ClearCalls();
    ZKI_UploadQueuedFonts();
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 10);
    EXPECT_EQ(zk_state.font_upload_queue.count, 2);
    EXPECT_EQ(zk_state.font_upload_queue.items[0], &zk_state.fonts[10]);
    ZKI_UploadQueuedFonts();
    EXPECT_EQ(renderer_.Count("LoadBitmap"), 12);
    EXPECT_EQ(zk_state.font_upload_queue.count, 0);
    for (int i = 0; i < 12; ++i) {
        ZKI_CallRendererToFreeBitmap(&zk_state.fonts[i].atlas.hw_data);
        zk_state.fonts[i] = zk_font_t();
    }
}

}  // namespace
