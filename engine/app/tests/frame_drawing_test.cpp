// The engine's frame over the real graphics table, the batch renderer and
// the recording renderer: every frame draws, not only the first, and every
// stack is as balanced after the frame as before it, with and without the
// overlay zoom, with the console overlay drawn over the program.

#include <string>
#include <vector>

#include "engine/app/frame.h"
#include "engine/screen/diagnostics.h"
#include "engine/fonts/fonts.h"
#include "engine/drawing/tests/graphics_fixture.h"
#include "engine/runtime/interface_functions.h"
#include "engine/console/tests/console_fixture.h"

namespace {

// What the program saw while it drew.
struct DrawView {
    int targets, world, projection;
    float world_x, world_y;
    zk_bitmap_t* target;
};
std::vector<DrawView> draw_views;
zk_bitmap_t* hero_bitmap = nullptr;
zk_bitmap_t* canvas_bitmap = nullptr;
zk_bitmap_t* frame_buffer_bitmap = nullptr;

void ProgramDraw(float) {
    zk_graphics_api_t* g = zk->graphics;
    nTransform world = g->ZK_Graphics_PeekWorldTransform();
    draw_views.push_back({zk_state.render_target_stack.count, zk_state.world_transform_top,
                          zk_state.projection_transform_top, world.m[3], world.m[7], zk_state.render_targets.color[0]});
    g->ZK_Graphics_SetAlpha(1.0f);
    g->ZK_Graphics_DrawBitmap(hero_bitmap, 10, 10);
    // A render target of its own, balanced.
    g->ZK_Graphics_PushRenderTarget(canvas_bitmap);
    g->ZK_Graphics_DrawRect(0, 0, 8, 8);
    g->ZK_Graphics_PopRenderTarget();
    g->ZK_Graphics_PushScissorRectangle(0, 0, 100, 100);
    g->ZK_Graphics_DrawLine(0, 0, 50, 50);
    g->ZK_Graphics_PopScissorRectangle();
}

class FrameDrawingTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        program_ = zk_prog_t();
        program_.Draw = ProgramDraw;
        program_.parms.ref_width = 640;
        program_.parms.ref_height = 480;
        // A program screen 10 x 14 pixels smaller than the device's: the
        // screen fitting centres it, moving it by (5, 7).
        program_.parms.width = 630;
        program_.parms.height = 466;
        zk_prog = &program_;
        zk_parms.width = 640;
        zk_parms.height = 480;
        zk_state.initialized = 1;
        zk_run_silent = 1;  // the program's start lines; popups are still kept
        zk_console.Init();
        EmptyConsole();
        hero_bitmap = &Bitmap("hero", 16, 16);
        canvas_bitmap = &RenderTarget("canvas", 64, 64);
        frame_buffer_bitmap = &RenderTarget("TRANSFORMED_FRAME_BUFFER", 640, 480);
        g()->ZK_Graphics_CreateBitmap = [](const char*, const zk_bitmap_parameters_t*) { return frame_buffer_bitmap; };
        g()->ZK_Graphics_ResizeBitmap = [](zk_bitmap_t*, int, int) { return true; };
        draw_views.clear();
    }
    void TearDown() override {
        EmptyConsole();
        // The console's font stays in the pool; the next test's fresh state
        // would lose it.
        for (int i = 0; i < zk_state.num_fonts && i < ZK_MAX_FONTS; ++i) {
            if (zk_state.fonts[i].name) ZKI_FONTS_ReleaseFont(&zk_state.fonts[i]);
        }
        zk_console.font = nullptr;
        zk_console.enabled = 0;
        zk_console.mutex = nullptr;
        delete zk_memdog;  // the developer overlays' chart, made by the first frame in developer mode
        zk_memdog = nullptr;
        zk_prog = nullptr;
        zk_state.render_targets = zk_graphics_api_t::RenderTargets{};
        GraphicsTest::TearDown();
    }

    void OpenConsole() {
        zk_state.developer_mode = 1;
        zk_state.console_enabled = 1;
        zk_console.enabled = 1;
        zk_console.open = 1;
        zk_console.slide = 1.0f;
    }

    // The quads and lines the renderer was asked to draw since the last
    // ClearCalls.
    int DrawnVertices() const {
        int vertices = 0;
        for (const std::string& call : renderer_.Calls()) {
            if (call.compare(0, 21, "DrawIndexedTriangles ") == 0) vertices += std::stoi(call.substr(call.find(' ', 21)));
        }
        return vertices;
    }
    int Count(const std::string& operation) const { return renderer_.Count(operation); }

    zk_prog_t program_;
};

TEST_F(FrameDrawingTest, EveryFrameDrawsWithBalancedStacksZoomedOrNot) {
    struct Case {
        const char* name;
        float zoom;
        int targets_in_draw, world_in_draw, projection_in_draw;
        float world_x;  // the screen transform, or drawing into the frame buffer
        zk_bitmap_t** target_in_draw;
    } cases[] = {
        {"unzoomed", 1.0f, 1, 1, 0, 5.0f, nullptr},
        {"zoomed", 0.5f, 2, 2, 1, 0.0f, &frame_buffer_bitmap},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zk_state.overlay_zoom = c.zoom;
        draw_views.clear();
        for (int frame = 1; frame <= 1000; ++frame) {
            renderer_.ClearCalls();
            ZKI_Frame();
            // Frames 1, 2 and 1000 looked at closely, every frame counted.
            ASSERT_GT(Count("DrawIndexedTriangles"), 0) << "frame " << frame;
            ASSERT_EQ(Count("DrawIndexedLines"), 1) << "frame " << frame;
            ASSERT_EQ(zk_state.render_target_stack.count, 0) << "frame " << frame;
            ASSERT_EQ(zk_state.world_transform_top, -1) << "frame " << frame;
            ASSERT_EQ(zk_state.projection_transform_top, -1) << "frame " << frame;
            ASSERT_EQ(zk_state.view_transform_top, -1) << "frame " << frame;
            ASSERT_EQ(zk_state.scissor_rect_top, -1) << "frame " << frame;
            ASSERT_EQ(zk_state.overlay_zoom, c.zoom) << "frame " << frame;
            if (frame == 1 || frame == 2 || frame == 1000) {
                const DrawView& seen = draw_views.back();
                EXPECT_EQ(seen.targets, c.targets_in_draw) << "frame " << frame;
                EXPECT_EQ(seen.world, c.world_in_draw) << "frame " << frame;
                EXPECT_EQ(seen.projection, c.projection_in_draw) << "frame " << frame;
                EXPECT_EQ(seen.world_x, c.world_x) << "frame " << frame;
                EXPECT_EQ(seen.target, c.target_in_draw ? *c.target_in_draw : nullptr) << "frame " << frame;
                // Each frame takes a ring buffer and hands every one back.
                if (frame > 1) {
                    EXPECT_EQ(renderer_.Count("LockVertexBuffer"), renderer_.Count("UnlockVertexBuffer"))
                        << "frame " << frame;
                }
            }
        }
        EXPECT_EQ(draw_views.size(), 1000u);
        EXPECT_EQ(Popups(), std::vector<std::string>{});
    }
}

TEST_F(FrameDrawingTest, TheZoomedFrameIsDrawnIntoItsBufferAndTheBufferOntoTheScreen) {
    zk_state.overlay_zoom = 0.5f;
    ZKI_Frame();
    std::vector<std::string> targets = renderer_.CallsOf("SetRenderTargets");
    ASSERT_GE(targets.size(), 2u);
    EXPECT_EQ(targets.front(), "SetRenderTargets TRANSFORMED_FRAME_BUFFER null null null null");
    EXPECT_EQ(targets.back(), "SetRenderTargets null null null null null");
    // After the last switch to the screen the buffer's texture is bound and
    // drawn.
    std::vector<std::string> calls = renderer_.Calls();
    size_t screen = 0;
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i] == targets.back()) screen = i;
    bool bound = false, drawn = false;
    for (size_t i = screen; i < calls.size(); ++i) {
        if (calls[i] == "SetTexture 0 " + TextureOf(*frame_buffer_bitmap)) bound = true;
        if (bound && calls[i].compare(0, 21, "DrawIndexedTriangles ") == 0) drawn = true;
    }
    EXPECT_TRUE(drawn);
}

TEST_F(FrameDrawingTest, TheConsoleOverlayDrawsOverTheProgram) {
    ZKI_Frame();
    int program_only = DrawnVertices();
    OpenConsole();
    renderer_.ClearCalls();
    ZKI_Frame();
    EXPECT_GT(DrawnVertices(), program_only);
    renderer_.ClearCalls();
    ZKI_Frame();
    EXPECT_GT(DrawnVertices(), program_only);
    EXPECT_EQ(zk_state.world_transform_top, -1);
    EXPECT_EQ(Popups(), std::vector<std::string>{});
}

}  // namespace
