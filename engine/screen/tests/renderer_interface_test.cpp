// Starting and shutting down the renderer: the order of the start
// and shutdown steps, the fall-backs of a failing start, the resources
// brought back, and the wait for a lost renderer.

#include "engine/screen/renderer_interface.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/fonts/fonts.h"
#include "engine/render/renderer_null.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/runtime/interface_functions.h"
#include "engine/render/tests/media_fixture.h"
#include "engine/events/events.h"

namespace {

// Steps of the start and the shutdown, in order, as the renderer, the
// graphics and the core slots of the table and the printed lines show
// them: the start's and the shutdown's own calls, and those of the parts
// they bring up and take down, named after the step that made them.
std::vector<std::string> steps;
void Step(const std::string& step) { steps.push_back(step); }

std::string Name(const char* name) { return name ? name : "null"; }

// A glyph page of the fonts state, which the start uploads and the
// shutdown frees.
zk_glyph_t extension_glyph = {};
uint32_t extension_pixel = 0;

bool IsTexture(const std::string& texture, const zk_bitmap_t::hw_data_t& hw) {
    return hw.renderer_data && texture == RecordingRenderer::Pointer(hw.renderer_data);
}

// The renderer's calls; a freed texture is named by whose it is.
void NoteRendererCall(const std::string& call) {
    std::string operation = call.substr(0, call.find(' '));
    std::string argument = call.size() > operation.size() ? call.substr(operation.size() + 1) : "";
    const char* kept[] = {"Initialize", "InitializeBuiltInShaders", "Shutdown", "FreeShader", "GetTextureFormat",
                          "GetVertexColorFormat"};
    for (const char* name : kept)
        if (operation == name) Step("renderer " + call);
    if (operation == "CreateRenderTarget") Step("CallRendererToCreateBitmap " + argument);
    if (operation == "LoadBitmap" && argument == "extension glyph") Step("LoadFontsGPUResources");
    if (operation != "FreeBitmap") return;
    if (IsTexture(argument, extension_glyph.bitmap.hw_data)) return Step("FreeFontsGPUResources");
    for (int i = 0; i < zk_state.num_bitmaps; ++i) {
        const zk_bitmap_t& b = zk_state.bitmaps[i];
        if (IsTexture(argument, b.hw_data))
            return Step("ReleaseBitmapHardwareData " + Name(b.name) + " locked " + std::to_string(b.locked));
    }
    // A font's atlas is freed by its record: the test makes the record its
    // texture.
    Step("CallRendererToFreeBitmap " + argument);
}

// The translator's mutex is taken at the start and let go at the
// shutdown; a font whose atlas is made again asks for the largest texture
// while it holds its lock.
zk_mutex_t* TakeTranslatorMutex(const char* name) {
    if (name && strcmp(name, "ShaderTranslator") == 0) Step("InitializeShaderTranslator");
    return ZK_GetMutex(name);
}
void LetGoOfTranslatorMutex(zk_mutex_t* mutex) {
    if (mutex && mutex->name && strcmp(mutex->name, "ShaderTranslator") == 0) Step("DeinitializeShaderTranslator");
    ZK_ReleaseMutex(mutex);
}
int LargestTextureForAtlas() {
    for (int i = 0; i < zk_state.num_fonts; ++i)
        if (zk_state.fonts[i].locked) Step("RecreateFontAtlas " + Name(zk_state.fonts[i].name));
    return ZK_Graphics_GetMaximumTextureSize();
}

// The batch renderer's lines mark its start and its shutdown; a shader
// that cannot be had from its file says so, which marks its load. The
// translator's mutex says when it is made (the start's step above).
bool TakeLifeLines(const std::string& line) {
    if (line == "0:Created Mutex 'ShaderTranslator'..") return true;
    if (line == "0:Batch renderer initializing buffers.") return Step("InitializeBatchRenderer"), true;
    if (line == "0:Batch renderer freeing assets.") return Step("FreeBatchRenderer"), true;
    static const std::string kFailed = "2:[POPUP] Failed to translate shader '";
    if (line.compare(0, kFailed.size(), kFailed) == 0) {
        Step("LoadShaderInRenderer " + line.substr(kFailed.size(), line.find('\'', kFailed.size()) - kFailed.size()));
        return true;
    }
    return false;
}

void RecordSteps() {
    zk->ZK_GetMutex = TakeTranslatorMutex;
    zk->ZK_ReleaseMutex = LetGoOfTranslatorMutex;
    zk->graphics->ZK_Graphics_GetMaximumTextureSize = LargestTextureForAtlas;
    extension_glyph = zk_glyph_t();
    static char glyph_name[] = "extension glyph";
    extension_glyph.bitmap.name = glyph_name;
    extension_glyph.bitmap.width = extension_glyph.bitmap.height = 1;
    extension_glyph.bitmap.texture_width = extension_glyph.bitmap.texture_height = 1;
    extension_glyph.bitmap.pixels = &extension_pixel;
    zk_fonts_state.extensions.InsertLast(new zk_font_extension_t());
    zk_fonts_state.extensions.items[0]->glyphs.InsertLast(&extension_glyph);
}

void ForgetExtensionGlyph() {
    for (int i = 0; i < zk_fonts_state.extensions.count; ++i) delete zk_fonts_state.extensions.items[i];
    zk_fonts_state.extensions.count = 0;
}

void RecordGraphics() {
    zk_graphics_api_t* g = zk->graphics;
    g->ZK_Graphics_SetBitmapCacheMode = [](zk_bitmap_t* b, int mode) -> zk_bitmap_t* {
        Step("SetBitmapCacheMode " + Name(b->name) + " " + std::to_string(mode) + " over " +
             std::to_string(static_cast<uint8_t>(b->cache_mode)));
        b->cache_mode = static_cast<int8_t>(mode);
        return b;
    };
    g->ZK_Graphics_SetBitmapFrame = [](zk_bitmap_t* b, int frame) {
        Step("SetBitmapFrame " + Name(b->name) + " " + std::to_string(frame));
    };
    g->ZK_Graphics_SetDepthDefault = [](const float& z) { Step("SetDepthDefault " + std::to_string(z)); };
    g->ZK_Graphics_SetDepthRange = [](float a, float b, float c) {
        Step("SetDepthRange " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c));
    };
}

std::vector<zk_event_t> events;
int KeepEvent(zk_event_t event) {
    events.push_back(event);
    return 0;
}

class RendererStartTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        steps.clear();
        events.clear();
        RecordSteps();
        RecordGraphics();
        renderer_.make_textures = true;
        renderer_.on_call = NoteRendererCall;
        TakeLines() = TakeLifeLines;
        program_.EventProc = KeepEvent;
        zk_prog = &program_;
        zk_state.parms.width = 1024;
        zk_state.parms.height = 768;
        zk_state.parms.windowed = 0;
        zk_parms = zk_state.parms;
        ForgetEarlierFailures();
    }
    void TearDown() override {
        ZKI_ShutdownRendImp();  // the glyph page's texture goes back to the renderer
        ForgetExtensionGlyph();
        zk_prog = nullptr;
        zk_device_info = zk_device_info_t();
        zk_parms = zk_parms_t();
        MediaTest::TearDown();
    }

    // Failures in a row are counted across starts; a start whose first
    // attempt succeeds forgets them.
    void ForgetEarlierFailures() {
        RecordingRenderer fine;
        fine.make_textures = true;
        fine.Install();
        ZKI_InitRendImp();
        ZKI_ShutdownRendImp();
        renderer_.Install();
        steps.clear();
        ClearLines();
        zk_state.renderer_initialized = 0;
    }

    std::vector<std::string> InitializeCalls() { return renderer_.CallsOf("Initialize"); }

    zk_prog_t program_ = {};
};

TEST_F(RendererStartTest, StartRunsItsStepsInOrder) {
    zk_state.depth_default = 0.5f;
    zk_state.depth_range[0] = 0.1f;
    zk_state.depth_range[1] = 0.5f;
    zk_state.depth_range[2] = 1.0f;
    EXPECT_TRUE(ZKI_InitRendImp());
    EXPECT_EQ(zk_state.renderer_initialized, 1);
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "renderer Initialize 1024x768 fullscreen", "InitializeShaderTranslator",
                         "renderer InitializeBuiltInShaders", "renderer GetTextureFormat",
                         "renderer GetVertexColorFormat", "LoadFontsGPUResources", "InitializeBatchRenderer",
                         "SetDepthDefault 0.500000", "SetDepthRange 0.100000 0.500000 1.000000"}));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"3:Renderer Initializing: 1024x768 fullscreen..",
                                                 "3:Renderer Initialization done.",
                                                 "0:Batch renderer initializing done.", "0:Renderer ready."}));
}

TEST_F(RendererStartTest, SecondStartShutsTheFirstDownAndEndsReadyAgain) {
    ASSERT_TRUE(ZKI_InitRendImp());
    steps.clear();
    EXPECT_TRUE(ZKI_InitRendImp());
    EXPECT_EQ(zk_state.renderer_initialized, 1);
    std::vector<std::string> lines = Lines();
    std::vector<std::string> second(lines.begin() + 4, lines.end());
    EXPECT_EQ(second, (std::vector<std::string>{
                          "0:Renderer in ready state, shutting it down before new init.", "3:Zekar RendImp Shutdown.",
                          "3:Renderer Initializing: 1024x768 fullscreen..", "3:Renderer Initialization done.",
                          "0:Batch renderer initializing done.", "0:Renderer ready."}));
    // The shutdown's steps come before the new start's.
    EXPECT_EQ(std::vector<std::string>(steps.begin(), steps.begin() + 5),
              (std::vector<std::string>{"FreeFontsGPUResources", "FreeBatchRenderer", "renderer Shutdown",
                                        "DeinitializeShaderTranslator", "renderer Initialize 1024x768 fullscreen"}));
}

TEST_F(RendererStartTest, NullRendererStartsTwiceInARow) {
    renderer_.Uninstall();
    ri = GetRendImpNull();
    zk_state.rend_imp = ri;
    EXPECT_TRUE(ZKI_InitRendImp());
    EXPECT_TRUE(ZKI_InitRendImp());
    EXPECT_EQ(zk_state.renderer_initialized, 1);
    EXPECT_EQ(Lines().back(), "0:Renderer ready.");
    EXPECT_EQ(zk_state.renderer_texture_format, 0);
    EXPECT_EQ(zk_state.renderer_vertex_color_format, 1);
    ri = nullptr;
}

TEST_F(RendererStartTest, SmallSizesStartWindowed) {
    struct Case {
        int width, height;
        bool windowed;
        const char* tried;
    } cases[] = {
        {800, 400, false, "Initialize 800x400 windowed"},   {639, 480, false, "Initialize 639x480 windowed"},
        {640, 479, false, "Initialize 640x479 windowed"},   {640, 480, false, "Initialize 640x480 fullscreen"},
        {1024, 768, true, "Initialize 1024x768 windowed"},
    };
    for (const Case& c : cases) {
        renderer_.ClearCalls();
        zk_state.parms.width = c.width;
        zk_state.parms.height = c.height;
        zk_state.parms.windowed = c.windowed;
        EXPECT_TRUE(ZKI_InitRendImp());
        EXPECT_EQ(InitializeCalls(), std::vector<std::string>{c.tried}) << c.width << "x" << c.height;
        // The state's own request is left as it was.
        EXPECT_EQ(zk_state.parms.windowed, c.windowed ? 1 : 0);
    }
}

TEST_F(RendererStartTest, FailedStartsRollBackThenGiveUp) {
    struct Case {
        const char* name;
        zk_parms_t saved;               // zk_parms before the start
        std::deque<bool> results;       // answers of Initialize, then false
        std::vector<std::string> tried;
        bool started;
        const char* final_parms;
    };
    zk_parms_t big = zk_parms_t();
    big.width = 1024;
    big.height = 768;
    zk_parms_t same = zk_parms_t();
    same.width = 800;
    same.height = 600;
    const Case cases[] = {
        {"never starts: the old size, the old size windowed, then the popup",
         big,
         {},
         {"Initialize 800x600 fullscreen", "Initialize 1024x768 fullscreen", "Initialize 800x600 fullscreen",
          "Initialize 1024x768 windowed", "Initialize 800x600 fullscreen"},
         false,
         "800x600 fullscreen"},
        {"nothing to roll back to", same, {}, {"Initialize 800x600 fullscreen"}, false, "800x600 fullscreen"},
        {"the old size starts", big, {false, true},
         {"Initialize 800x600 fullscreen", "Initialize 1024x768 fullscreen"}, true, "1024x768 fullscreen"},
        {"starts on the second round", big, {false, false, true},
         {"Initialize 800x600 fullscreen", "Initialize 1024x768 fullscreen", "Initialize 800x600 fullscreen"},
         true, "800x600 fullscreen"},
    };
    for (const Case& c : cases) {
        ForgetEarlierFailures();
        renderer_.ClearCalls();
        renderer_.initialize_results = c.results;
        renderer_.initialize_result = false;
        zk_state.parms = same;
        zk_parms = c.saved;
        int lines_before = static_cast<int>(Lines().size());
        EXPECT_EQ(ZKI_InitRendImp(), c.started) << c.name;
        EXPECT_EQ(InitializeCalls(), c.tried) << c.name;
        EXPECT_EQ(zk_state.renderer_initialized, c.started ? 1 : 0) << c.name;
        std::string final_parms = std::to_string(zk_parms.width) + "x" + std::to_string(zk_parms.height) +
                                  (zk_parms.windowed ? " windowed" : " fullscreen");
        EXPECT_EQ(final_parms, c.final_parms) << c.name;
        std::vector<std::string> lines = Lines();
        bool popup = false;
        for (size_t i = static_cast<size_t>(lines_before); i < lines.size(); ++i)
            popup |= lines[i] ==
                     "2:[POPUP] Unable to initialize the renderer.\n\nPlease try updating your display adapter "
                     "drivers and rebooting.";
        EXPECT_EQ(popup, !c.started) << c.name;
    }
}

TEST_F(RendererStartTest, FailuresInARowAreCountedAcrossStarts) {
    renderer_.initialize_result = false;
    zk_state.parms.width = 800;
    zk_state.parms.height = 600;
    zk_parms = zk_state.parms;
    EXPECT_FALSE(ZKI_InitRendImp());  // nothing to roll back to: one failure
    renderer_.ClearCalls();
    zk_parms.width = 1024;
    zk_parms.height = 768;
    EXPECT_FALSE(ZKI_InitRendImp());
    // The second failure in a row falls back to a window; the third gives up.
    EXPECT_EQ(InitializeCalls(), (std::vector<std::string>{"Initialize 800x600 fullscreen",
                                                           "Initialize 1024x768 windowed",
                                                           "Initialize 800x600 fullscreen"}));
}

TEST_F(RendererStartTest, StartWithoutRendererFails) {
    renderer_.Uninstall();
    EXPECT_FALSE(ZKI_InitRendImp());
    EXPECT_EQ(Lines(), std::vector<std::string>{"0:Renderer doesn't exist, can't continue with init."});
    EXPECT_TRUE(steps.empty());
}

TEST_F(RendererStartTest, StartTellsTheDeviceItsSizeUnlessTheSizeIsFixed) {
    zk_state.parms.width = 1280;
    zk_state.parms.height = 720;
    renderer_.texture_format = 1;
    renderer_.vertex_color_format = 0;
    ASSERT_TRUE(ZKI_InitRendImp());
    EXPECT_EQ(zk_device_info.screen_width, 1280);
    EXPECT_EQ(zk_device_info.screen_height, 720);
    EXPECT_EQ(zk_state.renderer_texture_format, 1);
    EXPECT_EQ(zk_state.pixel_byte_order, 1);
    EXPECT_EQ(zk_state.renderer_vertex_color_format, 0);

    zk_device_info.fixed_resolution = 1;
    zk_state.parms.width = 800;
    zk_state.parms.height = 600;
    ASSERT_TRUE(ZKI_InitRendImp());
    EXPECT_EQ(zk_device_info.screen_width, 1280);
}

// The pool as a start finds it: which records come back and how.
TEST_F(RendererStartTest, StartBringsPooledResourcesBack) {
    char placeholder[] = "!placeholder", unreferenced[] = "unreferenced", queued[] = "queued", target[] = "target",
         plain[] = "plain", font[] = "core/console.mft", shader_xml[] = "shaders/a.xml", shader_bin[] = "b.bin",
         too_short[] = "xml", just_xml[] = ".xml";
    zk_bitmap_t* b = zk_state.bitmaps;
    b[0].name = placeholder;
    b[0].reference_count = 1;
    b[1].name = nullptr;  // a free slot
    b[2].name = unreferenced;
    b[3].name = queued;
    b[3].reference_count = 1;
    b[4].name = target;
    b[4].reference_count = 1;
    b[4].flags = 4;
    b[5].name = plain;
    b[5].reference_count = 2;
    b[5].cache_mode = 6;
    zk_state.num_bitmaps = 6;
    zk_state.bitmap_upload_queue.InsertLast(&b[3]);
    zk_state.fonts[1].name = font;
    zk_state.fonts[1].height = 16;  // a font without a height has no atlas to make
    zk_state.num_fonts = 2;
    const char* shader_names[] = {shader_xml, shader_bin, too_short, just_xml};
    for (int i = 0; i < 4; ++i) zk_state.shaders[i].name = const_cast<char*>(shader_names[i]);
    zk_state.num_shaders = 4;

    zk_state.reference_counting = 1;
    ASSERT_TRUE(ZKI_InitRendImp());
    std::vector<std::string> expected = {
        "renderer Initialize 1024x768 fullscreen",
        "InitializeShaderTranslator",
        "renderer InitializeBuiltInShaders",
        "renderer GetTextureFormat",
        "renderer GetVertexColorFormat",
        "CallRendererToCreateBitmap target",
        "SetBitmapFrame target 0",
        "SetBitmapCacheMode plain 6 over 255",
        "SetBitmapFrame plain 0",
        "RecreateFontAtlas core/console.mft",
        "LoadShaderInRenderer shaders/a.xml",
        "LoadShaderInRenderer .xml",
        "LoadFontsGPUResources",
        "InitializeBatchRenderer",
    };
    EXPECT_EQ(std::vector<std::string>(steps.begin(), steps.end() - 2), expected);
    EXPECT_TRUE(WasPrinted("0:Bitmap 'queued' already queued for upload."));
    EXPECT_EQ(b[5].cache_mode, 6);
    // The program hears at once that the render target was made again.
    ASSERT_EQ(events.size(), 1u);
    zk_render_target_event_t event = ZKI_EventAs<zk_render_target_event_t>(events[0]);
    EXPECT_EQ(event.type, static_cast<zk_event_type_t>(ZK_EVENT_RENDER_TARGET_RECREATED));
    EXPECT_EQ(event.bitmap, &b[4]);

    // Without reference counting the unreferenced bitmap comes back too.
    zk_state.reference_counting = 0;
    steps.clear();
    ASSERT_TRUE(ZKI_InitRendImp());
    EXPECT_NE(std::find(steps.begin(), steps.end(), "SetBitmapFrame unreferenced 0"), steps.end());

    zk_state.bitmap_upload_queue.count = 0;
    for (int i = 0; i < 6; ++i) zk_state.bitmaps[i] = zk_bitmap_t();
    zk_state.num_bitmaps = 0;
    zk_state.fonts[1] = zk_font_t();
    zk_state.num_fonts = 0;
    for (int i = 0; i < 4; ++i) zk_state.shaders[i] = zk_shader_t();
    zk_state.num_shaders = 0;
}

TEST_F(RendererStartTest, ShutdownReleasesEveryRendererResource) {
    char bitmap[] = "hero", font[] = "core/console.mft", idle_font[] = "idle", shader[] = "shaders/a.xml";
    int hero_texture = 0, glyph_texture = 0;
    zk_state.bitmaps[0].name = bitmap;
    zk_state.bitmaps[0].hw_data.loaded = 1;
    zk_state.bitmaps[0].hw_data.renderer_data = &hero_texture;
    zk_state.num_bitmaps = 2;  // slot 1 is free
    zk_state.fonts[0].name = font;
    zk_state.fonts[0].atlas.hw_data.loaded = 1;
    zk_state.fonts[0].atlas.hw_data.renderer_data = &zk_state.fonts[0].atlas.hw_data;
    zk_state.fonts[1].name = idle_font;  // nothing in the renderer
    zk_state.num_fonts = 2;
    int renderer_shader = 0;
    zk_state.shaders[0].name = shader;
    zk_state.shaders[0].renderer_shader = &renderer_shader;
    zk_state.shaders[0].flags = 3;
    zk_state.num_shaders = 1;
    zk_state.renderer_initialized = 1;
    extension_glyph.bitmap.hw_data.loaded = 1;
    extension_glyph.bitmap.hw_data.renderer_data = &glyph_texture;
    ZKI_InitializeShaderTranslator();  // as a start does
    steps.clear();

    ZKI_ShutdownRendImp();
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "ReleaseBitmapHardwareData hero locked 1",
                         "CallRendererToFreeBitmap " + RecordingRenderer::Pointer(&zk_state.fonts[0].atlas.hw_data),
                         "renderer FreeShader shaders/a.xml", "FreeFontsGPUResources", "FreeBatchRenderer",
                         "renderer Shutdown", "DeinitializeShaderTranslator"}));
    EXPECT_EQ(zk_state.bitmaps[0].locked, 0);
    EXPECT_EQ(zk_state.shaders[0].renderer_shader, nullptr);
    EXPECT_EQ(zk_state.shaders[0].flags, 1);
    EXPECT_EQ(zk_state.renderer_initialized, 0);
    EXPECT_EQ(Lines(), std::vector<std::string>{"3:Zekar RendImp Shutdown."});

    zk_state.bitmaps[0] = zk_bitmap_t();
    zk_state.fonts[0] = zk_font_t();
    zk_state.fonts[1] = zk_font_t();
    zk_state.shaders[0] = zk_shader_t();
    zk_state.num_bitmaps = zk_state.num_fonts = zk_state.num_shaders = 0;
}

TEST_F(RendererStartTest, ShutdownWaitsForABitmapLockedElsewhere) {
    char name[] = "busy";
    int texture = 0;
    zk_bitmap_t& bitmap = zk_state.bitmaps[0];
    bitmap.name = name;
    bitmap.hw_data.loaded = 1;
    bitmap.hw_data.renderer_data = &texture;
    zk_state.renderer_initialized = 1;  // a running renderer's textures are freed
    zk_state.num_bitmaps = 1;
    bitmap.locked = 1;
    std::atomic<bool> released{false};
    std::thread holder([&] {
        ZKT_Sleep(30);
        released = true;
        ZKI_LockCoreMutex(ZK_CORE_MUTEX_SHARED_BITMAP);
        bitmap.locked = 0;
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_SHARED_BITMAP);
    });
    ZKI_ShutdownRendImp();
    holder.join();
    EXPECT_TRUE(released);
    EXPECT_EQ(steps.front(), "ReleaseBitmapHardwareData busy locked 1");
    EXPECT_EQ(bitmap.locked, 0);
    bitmap = zk_bitmap_t();
    zk_state.num_bitmaps = 0;
}

TEST_F(RendererStartTest, ShutdownWithoutRendererOnlySaysSo) {
    renderer_.Uninstall();
    ZKI_ShutdownRendImp();
    EXPECT_EQ(Lines(), std::vector<std::string>{"3:Zekar RendImp Shutdown."});
    EXPECT_TRUE(steps.empty());
}

}  // namespace
