// The diagnostics: the frame-rate counter's arithmetic and drawing, nothing
// drawn without a font, the developer keys, the information panel's names,
// the frame-time graph's size, the memory watchdog's sampling and chart,
// the frame-rate test overlay, and the console sliding and drawing itself at
// the end of the pass.

#include "engine/screen/diagnostics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/console/tests/console_fixture.h"
#include "engine/runtime/tests/recording_graphics.h"
#include "engine/render/tests/media_fixture.h"

namespace {

namespace r = recording_graphics;

const uint32_t kMiB = 1024u * 1024u;

// The extension calls made, and the memory figures the refresh publishes
// (total, system, GPU, sound, vertex data).
std::vector<std::string> extension_calls;
uint32_t figures[5] = {};

const char* RecordExtension(const char* name, const char* value) {
    extension_calls.push_back(std::string(name ? name : "(null)") + " " + (value ? value : "(null)"));
    if (name && std::string(name) == "RefreshMemUsageEstimates") {
        const int keys[5] = {2000, 2001, 2002, 2004, 2005};
        for (int i = 0; i < 5; ++i) zk_state.key_states_i[keys[i]] = static_cast<int32_t>(figures[i]);
    }
    return nullptr;
}

void DrawLine(const float& x0, const float& y0, const float& x1, const float& y1) {
    r::Record("DrawLine", {x0, y0, x1, y1});
}

class DiagnosticsTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        graphics_.Install();
        zk->graphics->ZK_Graphics_DrawLine = DrawLine;
        zk->ZK_CallExtension = RecordExtension;
        extension_calls.clear();
        std::fill(figures, figures + 5, 0u);
        program_ = zk_prog_t();
        program_.parms.width = zk_parms.width = 1024;
        program_.parms.height = zk_parms.height = 768;
        zk_prog = &program_;
        UseFont(true);
    }
    void TearDown() override {
        UseFont(false);
        delete zk_memdog;
        zk_memdog = nullptr;
        EmptyConsole();
        zk_console.enabled = 0;
        zk_console.blink_timer = 0.0f;
        zk_console.mutex = nullptr;
        zk_prog = nullptr;
        zk_device_info = zk_device_info_t();
        zk_platform_info = zk_platform_info_t();
        graphics_.Restore();
        MediaTest::TearDown();
    }

    // The pool's only font, 16 pixels high with 18 between lines.
    void UseFont(bool loaded) {
        zk_font_t& font = zk_state.fonts[0];
        font = zk_font_t();
        if (loaded) {
            font.name = font_name_;
            font.height = 16;
            font.line_spacing = 18;
        }
        zk_state.num_fonts = loaded ? 1 : 0;
    }
    // The console enabled in developer mode and opened, not yet slid in.
    static void OpenConsole() {
        zk_state.developer_mode = 1;
        zk_console.mutex = ZK_GetMutex("ZK_CONSOLE");
        zk_console.enabled = 1;
        zk_console.open = 1;
    }
    static void Hold(std::initializer_list<int> keys) {
        for (int key : keys) zk_state.key_states_i[key] = 1;
    }
    std::vector<std::string> Drawn() const {
        std::vector<std::string> drawn;
        for (const std::string& call : graphics_.calls)
            if (call.compare(0, 4, "Draw") == 0) drawn.push_back(call);
        return drawn;
    }
    bool Has(const std::string& call) const {
        return std::find(graphics_.calls.begin(), graphics_.calls.end(), call) != graphics_.calls.end();
    }

    RecordingGraphics graphics_;
    zk_prog_t program_;
    char font_name_[32] = "core/console.mft";
};

TEST_F(DiagnosticsTest, TheFrameRateCountsWholeMilliseconds) {
    struct Case {
        float dt;
        int frames_until_rate;
        const char* shown;
    } cases[] = {
        {0.02f, 76, "50"},         // exactly 50 frames a second
        {1.0f / 60.0f, 94, "62"},  // 16 whole milliseconds a frame
        {0.0333f, 46, "30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        zk_state.fps_frames = 0;
        zk_state.fps_seconds = 0.0f;
        zk_state.fps_rate = 0.0f;
        for (int frame = 1; frame < c.frames_until_rate; ++frame) ZKI_UpdateAndDrawHUDs(c.dt);
        EXPECT_EQ(zk_state.fps_rate, 0.0f);
        ZKI_UpdateAndDrawHUDs(c.dt);
        char text[16];
        snprintf(text, sizeof(text), "%.0f", static_cast<double>(zk_state.fps_rate));
        EXPECT_STREQ(text, c.shown);
        EXPECT_EQ(zk_state.fps_frames, 0);
        EXPECT_EQ(zk_state.fps_seconds, 0.0f);
    }
    // The next rate comes as many frames later.
    float first = zk_state.fps_rate;
    zk_state.fps_rate = 0.0f;
    for (int frame = 1; frame < 46; ++frame) ZKI_UpdateAndDrawHUDs(0.0333f);
    EXPECT_EQ(zk_state.fps_rate, 0.0f);
    ZKI_UpdateAndDrawHUDs(0.0333f);
    EXPECT_EQ(zk_state.fps_rate, first);
}

TEST_F(DiagnosticsTest, TheFrameRateCounterIsDrawnInTheCorner) {
    zk_state.show_fps = 1;
    zk_state.fps_rate = 50.0f;
    ZKI_UpdateAndDrawHUDs(0.02f);
    // The text is 8 pixels a character wide here.
    EXPECT_EQ(graphics_.calls,
              (std::vector<std::string>{"SetColor 0 0 0", "SetAlpha 0.7", "DrawRect 1 1 18 18", "SetColor 1 1 1",
                                        "SetAlpha 1", "SetBlend 1", "SetTextAlign 0", "SetTextTransform 1 1 0",
                                        "DrawText 2 2 50"}));

    // It is sized by the pool's first font, whichever that is.
    char small_name[] = "small.mft";
    zk_state.fonts[1] = zk_state.fonts[0];
    zk_state.fonts[0].name = small_name;
    zk_state.fonts[0].height = 10;
    zk_state.num_fonts = 2;
    graphics_.calls.clear();
    ZKI_UpdateAndDrawHUDs(0.02f);
    EXPECT_TRUE(Has("DrawRect 1 1 18 12"));
    zk_state.fonts[1] = zk_font_t();
}

TEST_F(DiagnosticsTest, WithoutAFontNothingIsDrawn) {
    UseFont(false);
    zk_state.show_fps = 1;
    zk_state.developer_mode = 1;
    zk_state.product_feature_lists[0] = "SHOW_INFO";
    Hold({112, 113, 114, 115, 116, 117});
    ZKI_UpdateAndDrawHUDs(0.02f);
    zk_state.product_feature_lists[0] = nullptr;
    EXPECT_EQ(Drawn(), std::vector<std::string>{});
    // What does not draw still happens.
    EXPECT_EQ(extension_calls, (std::vector<std::string>{"RefreshMemUsageEstimates ", "ListResourceUsage (null)",
                                                          "Cache ReloadResources"}));
}

// The console slides in by four times the step before it draws, so the
// pass's last calls are the console's own drawing at its new slide, with
// or without a font for the diagnostics.
TEST_F(DiagnosticsTest, ThePassEndsWithTheConsoleSlidingInByTheStepAndThenDrawing) {
    for (bool pool_font : {true, false}) {
        SCOPED_TRACE(pool_font ? "with the pool's font" : "without a font");
        UseFont(pool_font);
        OpenConsole();
        zk_console.slide = 0.0f;
        zk_console.blink_timer = 0.0f;
        zk_console.font = nullptr;
        graphics_.calls.clear();
        ZKI_UpdateAndDrawHUDs(0.1f);
        std::vector<std::string> pass = graphics_.calls;
        EXPECT_FLOAT_EQ(zk_console.slide, 0.4f);
        EXPECT_FLOAT_EQ(zk_console.blink_timer, 0.1f);

        // The console's drawing on its own, from the same slide.
        zk_console.font = nullptr;
        graphics_.calls.clear();
        zk_console.Draw();
        std::vector<std::string> console = graphics_.calls;
        ASSERT_LE(console.size(), pass.size());
        EXPECT_EQ(std::vector<std::string>(pass.end() - console.size(), pass.end()), console);
        // Its background, 0.8 of the 768-pixel screen, slid in to sin(0.4 * pi / 2).
        char background[64];
        snprintf(background, sizeof(background), "DrawRect 0 0 1024 %g",
                 static_cast<double>(614.0f * sinf(0.4f * 3.14159265358979f * 0.5f)));
        EXPECT_NE(std::find(console.begin(), console.end(), background), console.end()) << background;
    }
}

TEST_F(DiagnosticsTest, DeveloperKeysActEveryFrameWhileHeld) {
    struct Case {
        const char* what;
        bool developer;
        int key;
        std::vector<std::string> calls;  // extension calls after the refresh
        const char* drawn;               // null: no text
    } cases[] = {
        {"frame rate", true, 112, {}, "DrawText 100 50 42"},
        {"list resources", true, 115, {"ListResourceUsage (null)", "ListResourceUsage (null)"}, nullptr},
        {"reload resources", true, 116, {"Cache ReloadResources", "Cache ReloadResources"}, nullptr},
        {"no key", true, 0, {}, nullptr},
        {"not a developer", false, 115, {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        graphics_.calls.clear();
        extension_calls.clear();
        zk_state.developer_mode = c.developer;
        zk_state.fps_rate = 42.0f;
        for (int key = 112; key <= 117; ++key) zk_state.key_states_i[key] = key == c.key;
        ZKI_UpdateAndDrawHUDs(0.001f);
        ZKI_UpdateAndDrawHUDs(0.001f);
        std::vector<std::string> calls;
        for (const std::string& call : extension_calls)
            if (call.compare(0, 24, "RefreshMemUsageEstimates") != 0) calls.push_back(call);
        EXPECT_EQ(calls, c.calls);
        std::vector<std::string> texts = graphics_.Matching("DrawText");
        EXPECT_EQ(texts.size(), c.drawn ? 2u : 0u);
        if (c.drawn && !texts.empty()) {
            EXPECT_EQ(texts[0], c.drawn);
        }
    }
}

TEST_F(DiagnosticsTest, TheInformationPanelNamesWhatItKnows) {
    struct Case {
        int platform_id;
        const char* platform;
        int orientation;
        const char* orientation_name;
    } cases[] = {
        {2, "MAC", 4, "LANDSCAPE"},     {19, "ANDROID_TV", 8, "LANDSCAPE"}, {4, "UNKNOWN", 1, "PORTRAIT"},
        {6, "UNKNOWN", 2, "PORTRAIT"},  {0, "UNKNOWN", 3, "UNKNOWN"},       {21, "UNKNOWN", 0, "UNKNOWN"},
    };
    zk_state.developer_mode = 1;
    Hold({117});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.platform_id);
        graphics_.calls.clear();
        zk_platform_info.platform_id = c.platform_id;
        zk_device_info.orientation = c.orientation;
        ZKI_UpdateAndDrawHUDs(0.016f);
        EXPECT_TRUE(Has(std::string("DrawText 605 23 Native platform: ") + c.platform));
        EXPECT_TRUE(Has(std::string("DrawText 5 77 Orientation: ") + c.orientation_name));
    }
}

TEST_F(DiagnosticsTest, TheInformationPanelLaysOutFiveColumns) {
    zk_state.product_feature_lists[0] = "SHOW_INFO";
    zk_state.developer_mode = 1;
    zk_device_info.screen_width = 1280;
    zk_device_info.screen_height = 800;
    zk_state.overlay_zoom = 0.5f;
    zk_state.overlay_offset_x = 320;
    zk_state.num_bitmaps = 7;
    program_.parms.ref_width = 640;
    program_.parms.ref_height = 400;
    snprintf(program_.title, sizeof(program_.title), "Demo");
    ZKI_UpdateAndDrawHUDs(0.016f);
    zk_state.product_feature_lists[0] = nullptr;
    for (const char* call :
         {"DrawRect 0 0 1280 210", "DrawText 5 5 Device Info:", "DrawText 5 23 Screen: 1280x800",
          "DrawText 5 59 Free resolution", "DrawRect 190 5 1 200", "DrawText 205 5 Boot Settings:",
          "DrawText 205 41 Not autoscaling", "DrawText 205 59 Overlay Zoom", "DrawText 205 77 Zoom 0.500",
          "DrawText 205 95 Offset X 320.000", "DrawRect 390 5 1 200", "DrawText 405 23 Current size 1024x768",
          "DrawText 405 41 Ref size 640x400", "DrawText 405 77 Title: Demo", "DrawRect 590 5 1 200",
          "DrawText 605 41 Mouse 0, 0", "DrawRect 790 5 1 200", "DrawText 805 23 Bitmaps: 7 / 3072",
          "DrawText 805 41 Sounds: 0 / 512", "DrawText 805 59 Fonts: 1 / 32", "DrawText 805 77 Shaders: 0 / 128"})
        EXPECT_TRUE(Has(call)) << call;
    EXPECT_FALSE(Has("DrawRect -10 5 1 200"));  // no rule before the first column
}

TEST_F(DiagnosticsTest, TheFrameTimeGraphIsAsWideAsTheProgramAllows) {
    struct Case {
        int width;
        int samples;  // 0: not drawn
    } cases[] = {{1024, 1004}, {21, 1}, {20, 0}, {-5, 0}, {5000, 2048}};
    zk_state.developer_mode = 1;
    Hold({114});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        graphics_.calls.clear();
        zk_parms.width = c.width;
        ZKI_UpdateAndDrawHUDs(0.016f);
        std::vector<std::string> lines = graphics_.Matching("DrawLine");
        if (c.samples == 0) {
            EXPECT_TRUE(lines.empty());
            EXPECT_TRUE(graphics_.Matching("DrawRect").empty());
            continue;
        }
        // The 30-frames-a-second level, then one segment per sample.
        ASSERT_EQ(lines.size(), static_cast<size_t>(c.samples) + 1);
        EXPECT_EQ(lines[0], "DrawLine 10 76.6667 " + std::to_string(c.samples + 10) + " 76.6667");
        EXPECT_TRUE(Has("DrawRect 10 10 " + std::to_string(c.samples) + " 100"));
        EXPECT_TRUE(Has("DrawText 10 10 High: 100ms"));
    }
}

TEST_F(DiagnosticsTest, TheFrameTimeGraphRunsFromTheNewestSample) {
    zk_state.developer_mode = 1;
    Hold({114});
    zk_parms.width = 23;
    for (float dt : {0.01f, 0.02f, 0.03f}) {
        graphics_.calls.clear();
        ZKI_UpdateAndDrawHUDs(dt);
    }
    std::vector<std::string> lines = graphics_.Matching("DrawLine");
    EXPECT_EQ(lines, (std::vector<std::string>{"DrawLine 10 76.6667 13 76.6667", "DrawLine 10 110 10 80",
                                               "DrawLine 10 80 11 100", "DrawLine 11 100 12 90"}));
}

// --- Memory watchdog -------------------------------------------------------------------------------

TEST_F(DiagnosticsTest, TheWatchdogSamplesEveryThirtiethCall) {
    MemoryWatchdog dog;
    for (int call = 0; call < 61; ++call) {
        figures[0] = static_cast<uint32_t>(call + 1) * kMiB;
        figures[1] = 1;
        figures[2] = 2;
        figures[3] = 4;
        figures[4] = 5;
        dog.Update();
    }
    EXPECT_EQ(extension_calls, std::vector<std::string>(3, "RefreshMemUsageEstimates "));
    ASSERT_EQ(dog.total.count, 3);
    EXPECT_EQ(dog.total.items[1], 31 * kMiB);
    EXPECT_EQ(dog.system.items[0], 1u);
    EXPECT_EQ(dog.gpu.items[0], 2u);
    EXPECT_EQ(dog.sound.items[0], 4u);
    EXPECT_EQ(dog.vertex_data.items[0], 5u);
    EXPECT_EQ(dog.peak_total, 61 * kMiB);
}

TEST_F(DiagnosticsTest, UnchangedMemoryAddsNoSample) {
    struct Case {
        const char* what;
        std::vector<uint32_t> totals;
        size_t samples;
    } cases[] = {
        {"constant", std::vector<uint32_t>(10, 7 * kMiB), 4},
        {"a change after four", {1, 1, 1, 1, 1, 2, 2}, 6},
        {"alternating", {1, 2, 1, 2, 1, 2}, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryWatchdog dog;
        for (uint32_t total : c.totals) {
            figures[0] = total;
            for (int call = 0; call < 30; ++call) dog.Update();
        }
        EXPECT_EQ(static_cast<size_t>(dog.total.count), c.samples);
        EXPECT_EQ(dog.gpu.count, dog.total.count);
    }
}

TEST_F(DiagnosticsTest, TheOldestSampleGoesWhenTheBarsWouldFillThreeQuarters) {
    MemoryWatchdog dog;
    dog.width = 8;  // room for three bars of 2 pixels
    for (uint32_t total = 1; total <= 6; ++total) {
        figures[0] = total;
        figures[3] = 100 + total;
        for (int call = 0; call < 30; ++call) dog.Update();
    }
    ASSERT_EQ(dog.total.count, 3);
    EXPECT_EQ(dog.total.items[0], 4u);
    EXPECT_EQ(dog.sound.items[0], 104u);
    EXPECT_EQ(dog.peak_sound, 106u);
}

TEST_F(DiagnosticsTest, TheChartStacksTheSeriesOverItsGrid) {
    program_.parms.width = 1100;
    program_.parms.height = 700;
    MemoryWatchdog dog;
    for (uint32_t mib : {10u, 20u}) {
        dog.total.InsertLast(mib * kMiB + 10 * kMiB);
        dog.sound.InsertLast(mib * kMiB);
        dog.gpu.InsertLast(10 * kMiB);
        dog.system.InsertLast(0);
        dog.vertex_data.InsertLast(0);
    }
    dog.Draw();
    EXPECT_EQ(dog.width, 1000);
    EXPECT_EQ(dog.height, 600);
    EXPECT_EQ(dog.pixels_per_step, 200);
    for (const char* call : {"DrawRect 50 50 1000 600", "DrawRect 50 650 1000 4", "DrawRect 50 650 1000 1",
                             "DrawRect 50 450 1000 1", "DrawText 55 450 10 MB", "DrawText 55 250 20 MB",
                             // sound, then the GPU on top of it
                             "DrawRect 100 450 2 200", "DrawRect 102 250 2 400", "DrawRect 100 250 2 200",
                             "DrawRect 102 50 2 200", "DrawRect 645 285 300 110",
                             "DrawText 650 332 Sound 20.0 MB (peak 0.0 MB)", "DrawText 650 395 Total 30.0 MB (peak 0.0 MB)"})
        EXPECT_TRUE(Has(call)) << call;
    EXPECT_FALSE(Has("DrawText 55 650 0 MB"));
}

TEST_F(DiagnosticsTest, TheChartGrowsInDoubleStepsAndStopsAtTheLargestFigure) {
    struct Case {
        uint32_t total;
        uint32_t graph_max;
    } cases[] = {
        {10 * kMiB, 32 * kMiB},
        {33 * kMiB, 52 * kMiB},
        {100 * kMiB, 112 * kMiB},
        {0xFFFFFFF0u, 0xFFFFFFFFu},  // near 4 GiB the top must not wrap around
    };
    for (const Case& c : cases) {
        MemoryWatchdog dog;
        dog.total.InsertLast(c.total);
        dog.Draw();
        EXPECT_EQ(dog.graph_max, c.graph_max) << c.total;
    }
}

TEST_F(DiagnosticsTest, TheChartNeedsAProgramAndAFont) {
    MemoryWatchdog dog;
    dog.total.InsertLast(kMiB);
    zk_prog = nullptr;
    dog.Draw();
    EXPECT_TRUE(graphics_.calls.empty());
    zk_prog = &program_;
    UseFont(false);
    dog.Draw();
    EXPECT_TRUE(graphics_.calls.empty());
}

// --- Frame-rate test overlay ---------------------------------------------------------------------------

TEST_F(DiagnosticsTest, TheTesterDrawsRecentFramesAsBars) {
    program_.parms.width = 1000;
    program_.parms.height = 700;
    ZK_FramerateTester tester;
    tester.UpdateAndDraw(1.0f / 60.0f);
    for (const char* call : {"DrawRect 0 5 1 50", "DrawRect 0 105 1000 1", "DrawRect 0 55 1000 1"})
        EXPECT_TRUE(Has(call)) << call;

    graphics_.calls.clear();
    tester.UpdateAndDraw(1.5f);
    EXPECT_TRUE(Has("DrawRect 0 5 1 4500"));  // the newest on the left
    EXPECT_TRUE(Has("DrawRect 1 5 1 50"));
    EXPECT_TRUE(Has("DrawRect 505.556 525 23 23"));

    tester.UpdateAndDraw(1.5f);  // past 3 seconds the square starts again
    EXPECT_EQ(tester.timer, 0.0);

    program_.parms.width = 2;
    for (int i = 0; i < 5; ++i) tester.UpdateAndDraw(0.01f);
    EXPECT_EQ(tester.samples.count, 2);

    graphics_.calls.clear();
    zk_prog = nullptr;
    tester.UpdateAndDraw(0.01f);
    EXPECT_TRUE(graphics_.calls.empty());
    EXPECT_EQ(tester.samples.count, 2);
}

}  // namespace
