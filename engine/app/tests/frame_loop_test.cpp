// A started engine over the null renderer runs a thousand frames of a
// program that draws bitmaps, shapes and text and plays sounds, while the
// screen is zoomed, turned, re-initialised and resized and the developer
// overlays are up; afterwards every stack is as it began and nothing popped
// up. And the media layer leaves no part of the engine's seam at its
// neutral default, but for the parts other media work still brings.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/app/frame.h"
#include "engine/app/tests/startup_test_support.h"
#include "engine/imageformats/tests/image_test_support.h"
#include "engine/bitmaps/bitmap_api.h"
#include "engine/images/bitmap_pool.h"
#include "engine/storage/tests/storage_test_support.h"
#include "engine/screen/diagnostics.h"
#include "engine/fonts/fonts.h"
#include "engine/screen/renderer_interface.h"
#include "engine/screen/resolution_selection.h"
#include "engine/sound/sound_manager.h"
#include "engine/fonts/tests/font_file_builder.h"
#include "engine/events/events.h"
#include "engine/runtime/interface_filling.h"
#include "engine/runtime/screen.h"
#include "engine/services/extension_modules.h"

namespace {

// --- The program -------------------------------------------------------------------------------

struct ProgramView {
    int draws = 0;
    int updates = 0;
    std::vector<std::string> screen_sizes;  // event 12
    zk_bitmap_t* hero = nullptr;
    zk_bitmap_t* canvas = nullptr;
    zk_font_t* font = nullptr;
    zk_sound_t* sound = nullptr;
};
ProgramView view;

bool LoopInit() {
    zk_graphics_api_t* g = zk->graphics;
    view.hero = g->ZK_Graphics_GetBitmap("gfx/hero.tga");
    zk_bitmap_parameters_t canvas = {};
    canvas.width = canvas.height = 64;
    canvas.depth = 1;
    canvas.type = ZK_TEXTURE_2D;
    canvas.render_target = 1;
    view.canvas = g->ZK_Graphics_CreateBitmap("canvas", &canvas);
    view.font = g->ZK_Graphics_GetFont("core/console.mft");
    view.sound = zk->audio->ZK_Audio_GetSound("sounds/boom");
    return true;
}

void LoopUpdate(float) {
    ++view.updates;
    if (view.sound && view.updates % 10 == 0) zk->audio->ZK_Audio_PlaySound(view.sound, 0.5f, 0.0f, 1.0f);
}

void LoopDraw(float) {
    zk_graphics_api_t* g = zk->graphics;
    ++view.draws;
    g->ZK_Graphics_ClearScreen(0.1f, 0.1f, 0.2f);
    if (view.hero) g->ZK_Graphics_DrawBitmap(view.hero, 10.0f, 10.0f);
    if (view.canvas) {
        g->ZK_Graphics_PushRenderTarget(view.canvas);
        g->ZK_Graphics_DrawRect(0.0f, 0.0f, 8.0f, 8.0f);
        g->ZK_Graphics_PopRenderTarget();
        g->ZK_Graphics_DrawBitmap(view.canvas, 100.0f, 10.0f);
    }
    g->ZK_Graphics_SetColor(1.0f, 0.5f, 0.0f);
    g->ZK_Graphics_DrawRect(200.0f, 200.0f, 50.0f, 30.0f);
    g->ZK_Graphics_DrawLine(0.0f, 0.0f, 800.0f, 600.0f);
    g->ZK_Graphics_PushScissorRectangle(0, 0, 400, 300);
    g->ZK_Graphics_DrawTextf(view.font, 20.0f, 500.0f, "Frame %d", view.draws);
    g->ZK_Graphics_PopScissorRectangle();
}

int LoopEvent(zk_event_t event) {
    if (event.type == ZK_EVENT_SCREEN_SIZE) {
        const zk_screen_size_event_t& size = ZKI_EventAs<zk_screen_size_event_t>(event);
        view.screen_sizes.push_back(std::to_string(size.width) + "x" + std::to_string(size.height));
    }
    return 0;
}

zk_prog_t loop_program;

// --- The clock and what popped up ------------------------------------------------------------

int64_t clock_ms = 0;
int64_t LoopClock() { return clock_ms; }
void LoopSleep(int ms) { clock_ms += ms; }

std::vector<std::string> popups;
void KeepPopups(short, const char* text) {
    if (text && std::string(text).compare(0, 8, "[POPUP] ") == 0) popups.push_back(text);
}

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The program's bitmap, a 32-bit TGA written from the format, in a
        // data folder of its own made the current directory.
        char saved[4096];
        ASSERT_NE(getcwd(saved, sizeof(saved)), nullptr);
        saved_directory_ = saved;
        ASSERT_EQ(chdir(folder_.Path().c_str()), 0);
        ASSERT_EQ(mkdir("gfx", 0755), 0);
        image_test::Bytes tga = image_test::TgaHeader(2, 8, 8, 32, true);
        for (int i = 0; i < 64; ++i) image_test::PutPixel(&tga, image_test::ColourAt(i % 8, i / 8), 32);
        std::ofstream("gfx/hero.tga", std::ios::binary).write(reinterpret_cast<const char*>(tga.data()),
                                                              std::streamsize(tga.size()));
        // The console's font: a few glyphs of a version 7 file.
        ASSERT_EQ(mkdir("core", 0755), 0);
        font_test::FontDescription font;
        font.height = font.line_spacing = 12;
        font.baseline = 10;
        font.glyphs.resize(128);
        for (int c = '0'; c <= 'z'; ++c) font.glyphs[size_t(c)] = font_test::PatternGlyph(uint32_t(c), 6, 10, uint8_t(c));
        font_test::Bytes file = font_test::FontFileBytes(font);
        std::ofstream("core/console.mft", std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                                  std::streamsize(file.size()));

        SetUpEngineForTest();
        ASSERT_TRUE(ZKI_PreInit(nullptr));
        view = ProgramView();
        loop_program = zk_prog_t();
        snprintf(loop_program.title, sizeof(loop_program.title), "Frame loop");
        loop_program.parms.width = zk_state.parms.width = 1280;
        loop_program.parms.height = zk_state.parms.height = 720;
        loop_program.parms.windowed = zk_state.parms.windowed = 1;
        loop_program.parms.ref_width = 800;
        loop_program.parms.ref_height = 600;
        loop_program.Init = LoopInit;
        loop_program.Update = LoopUpdate;
        loop_program.Draw = LoopDraw;
        loop_program.EventProc = LoopEvent;
        zk_prog = zk_state.prog = &loop_program;
        zk_parms = loop_program.parms;
        zk_device_info.orientation = 4;
        zk_device_info.desktop_width = 1920;
        zk_device_info.desktop_height = 1080;
        zk_state.autoscale = 1;
        zk_state.developer_mode = 1;
        zk_state.allow_all_resolutions = 1;
        zk_state.log_verbose_level = 0;
        zk_run_no_popups = 1;
        ASSERT_TRUE(ZKI_Init());
        zk_state.product_feature_lists[0] = "AUTOSCALE_RETAIN_ASPECT_RATIO";
        zk_state.show_fps = 1;
        zk_state.prog_initialized = 0;
        zk_frame_clock.GetTime = LoopClock;
        zk_frame_clock.Sleep = LoopSleep;
        ZKI_ResetFrameTime();
        popups.clear();
        zk_console_line_hook = KeepPopups;
    }
    void TearDown() override {
        zk_console_line_hook = nullptr;
        zk_state.product_feature_lists[0] = nullptr;
        FreePools();
        ZKI_ShutdownRendImp();
        ZK_ShutdownExtensionModules();
        delete zk_memdog;
        zk_memdog = nullptr;
        ri = nullptr;
        zk_prog = nullptr;
        zk_run_no_popups = 0;
        StopKeepingPrintedLines();
        EXPECT_EQ(chdir(saved_directory_.c_str()), 0);
    }

    // What the program and the overlays took from the pools, which the
    // next test's fresh state would otherwise drop unfreed.
    static void FreePools() {
        for (int i = 0; i < zk_state.num_fonts && i < ZK_MAX_FONTS; ++i) {
            if (zk_state.fonts[i].name) ZKI_FONTS_ReleaseFont(&zk_state.fonts[i]);
        }
        for (int i = 0; i < zk_state.num_bitmaps && i < ZK_MAX_BITMAPS; ++i) {
            if (zk_state.bitmaps[i].name) ZKI_FreeBitmap(&zk_state.bitmaps[i]);
        }
        for (zk_sound_t& sound : zk_state.sounds) {
            if (sound.data && zk_state.sound_imp) zk_sound_imp_man.FreeSound(&sound);
            free(sound.name);
            free(sound.file_name);
            sound = zk_sound_t();
        }
    }

    static void Frame() {
        clock_ms += 16;
        ZKI_Frame();
    }
    static void Hold(std::initializer_list<int> keys, int value) {
        for (int key : keys) zk_state.key_states_i[key] = value;
    }

    storage_test::TempDirectory folder_;
    std::string saved_directory_;
};

TEST_F(FrameLoopTest, AThousandFramesRunCleanWhileTheScreenChanges) {
    zk_parms_t smaller = loop_program.parms;
    smaller.width = 1024;
    smaller.height = 600;
    for (int frame = 1; frame <= 1000; ++frame) {
        switch (frame) {
        case 100: zk->ZK_CallExtension("SetOverlayZoom", "0.8"); break;
        case 200: zk->ZK_CallExtension("SetOverlayZoom", "1"); break;
        case 300:
            zk_state.target_orientation = 4;
            zk_state.orientation_transition_duration = 0.5f;
            break;
        case 400: EXPECT_TRUE(zk->ZK_ReinitializeWithParameters(smaller)); break;
        case 500: ZKI_SetDeviceScreenSize(1366, 768); break;
        case 600: Hold({112, 113, 114, 115, 117}, 1); break;
        case 700: Hold({112, 113, 114, 115, 117}, 0); break;
        case 800: zk_state.debug_draw_time_delta_test = 1; break;
        case 900:
            zk_state.debug_draw_time_delta_test = 0;
            zk_state.console_enabled = 1;
            zk_console.Init();
            zk_console_line_hook = KeepPopups;
            zk_console.Toggle();
            break;
        }
        Frame();
    }

    EXPECT_NE(view.sound, nullptr);
    ASSERT_NE(view.hero, nullptr);
    EXPECT_EQ(view.hero->width, 8);
    ASSERT_NE(view.canvas, nullptr);
    ASSERT_NE(view.font, nullptr);  // the frame count was drawn with a real font
    EXPECT_EQ(view.draws, 1000);
    EXPECT_EQ(view.updates, 999);  // the first frame only starts the clock
    EXPECT_EQ(popups, std::vector<std::string>{});
    // Every stack is as it began: only the screen's own render-target entry.
    EXPECT_EQ(zk_state.world_transform_top, -1);
    EXPECT_EQ(zk_state.view_transform_top, -1);
    EXPECT_EQ(zk_state.projection_transform_top, -1);
    EXPECT_EQ(zk_state.scissor_rect_top, -1);
    EXPECT_EQ(zk_state.render_target_stack.count, 1);
    // Both changes of size reached the renderer; the program kept its
    // virtual screen, letterboxed onto the last size.
    EXPECT_EQ(view.screen_sizes, (std::vector<std::string>{"800x600", "800x600"}));
    EXPECT_EQ(zk_parms.width, 1366);
    EXPECT_EQ(zk_parms.height, 768);
    EXPECT_EQ(zk_state.renderer_initialized, 1);
    EXPECT_FLOAT_EQ(zk_state.autoscale_scale_x, 1.28f);
    EXPECT_FLOAT_EQ(zk_state.autoscale_offset_x, 171.0f);
    EXPECT_EQ(zk_state.interface_orientation, 4);
    char rate[16];
    snprintf(rate, sizeof(rate), "%.0f", static_cast<double>(zk_state.fps_rate));
    EXPECT_STREQ(rate, "62");
}

// --- The seam ------------------------------------------------------------------------------------

template <class F>
bool SameFunction(F a, F b) {
    return a == b;
}

std::vector<std::string> NeutralPartsOfTheSeam() {
    std::vector<std::string> neutral;
    auto note = [&](bool is_neutral, const char* name) {
        if (is_neutral) neutral.push_back(name);
    };
    // Where a part calls up into one above it, the one above is in place.

#define ZK_NEUTRAL_SLOT(table, ret, name, params) \
    note(SameFunction<ret(*) params>(zk->table->name, zk_neutral<ret(*) params>::Call), #name);
#define ZK_AUDIO_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(audio, ret, name, params)
#define ZK_EXTENSION_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(ext, ret, name, params)
#define ZK_GRAPHICS_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(graphics, ret, name, params)
#include "engine/runtime/interface.def"
#undef ZK_NEUTRAL_SLOT
    return neutral;
}

TEST_F(FrameLoopTest, NoPartOfTheMediaSeamIsLeftNeutral) {
    EXPECT_EQ(NeutralPartsOfTheSeam(), std::vector<std::string>{});
}

}  // namespace
