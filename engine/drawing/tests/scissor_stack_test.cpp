// Scissor rectangles: the way from the program's rectangle to the
// renderer's (screen fitting, clipping to the target), the stack's
// intersections, its limits and its messages.

#include <climits>
#include <string>
#include <vector>

#include "engine/drawing/tests/graphics_fixture.h"
#include "engine/runtime/interface_functions.h"

namespace {

class ScissorStackTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        program_.parms.ref_width = 640;
        program_.parms.ref_height = 480;
    }
    void TearDown() override {
        zk_prog = nullptr;
        zk_state.render_targets = zk_graphics_api_t::RenderTargets{};
        GraphicsTest::TearDown();
    }
    std::vector<std::string> Scissors() const { return CallsOf({"SetScissorRect", "DisableScissorRect"}); }
    zk_prog_t program_;
};

TEST_F(ScissorStackTest, RectanglesAreFittedToTheTarget) {
    zk_bitmap_t& small = RenderTarget("small", 64, 64);
    struct Case {
        const char* name;
        int x, y, width, height;
        zk_bitmap_t* target;
        bool program, autoscale;
        float zoom;
        bool ready;
        const char* call;  // null: none, and false
    } cases[] = {
        {"inside the screen", 10, 20, 100, 50, nullptr, false, false, 1, true, "SetScissorRect 10 20 100 50"},
        {"negative x on a small target", -10, 5, 100, 50, &small, false, false, 1, true, "SetScissorRect 0 5 64 50"},
        {"negative y", 5, -30, 20, 40, nullptr, false, false, 1, true, "SetScissorRect 5 0 20 10"},
        {"larger than the screen", 10, 10, 1000, 1000, nullptr, false, false, 1, true, "SetScissorRect 10 10 640 480"},
        {"entirely left of the screen", -700, 0, 100, 100, nullptr, false, false, 1, true,
         "SetScissorRect 0 0 0 100"},
        {"empty width", 0, 0, 0, 10, nullptr, false, false, 1, true, nullptr},
        {"negative height", 0, 0, 10, -1, nullptr, false, false, 1, true, nullptr},
        {"no initialised renderer", 0, 0, 10, 10, nullptr, false, false, 1, false, nullptr},
        {"autoscaled", 5, 5, 10, 10, nullptr, true, true, 1, true, "SetScissorRect 20 10 20 20"},
        {"autoscale without a program", 5, 5, 10, 10, nullptr, false, true, 1, true, "SetScissorRect 5 5 10 10"},
        {"autoscale is for the screen only", 5, 5, 10, 10, &small, true, true, 1, true, "SetScissorRect 5 5 10 10"},
        {"zoomed", 100, 100, 40, 40, nullptr, true, false, 0.5f, true, "SetScissorRect 210 170 20 20"},
        {"zoomed whole screen", 0, 0, 640, 480, nullptr, true, false, 0.5f, true, "SetScissorRect 0 0 640 480"},
        {"far past the int range", INT_MAX - 1, 0, INT_MAX, 10, nullptr, true, true, 1, true,
         "SetScissorRect 2147483647 0 640 20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        renderer_.ClearCalls();
        zk_prog = c.program ? &program_ : nullptr;
        zk_state.render_targets.color[0] = c.target;
        zk_state.autoscale = c.autoscale;
        zk_state.autoscale_scale_x = zk_state.autoscale_scale_y = 2.0f;
        zk_state.autoscale_offset_x = 10.0f;
        zk_state.autoscale_offset_y = 0.0f;
        zk_state.overlay_zoom = c.zoom;
        zk_state.overlay_offset_x = 160;
        zk_state.overlay_offset_y = 120;
        zk_state.renderer_initialized = c.ready;
        bool applied = g()->ZK_Graphics_SetScissorRect(c.x, c.y, c.width, c.height);
        EXPECT_EQ(applied, c.call != nullptr);
        EXPECT_EQ(Scissors(), c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{});
    }
}

TEST_F(ScissorStackTest, ScreenLimitsFollowTheProgramsOrientation) {
    zk_device_info.orientation = 1;  // held upright, the program is landscape
    g()->ZK_Graphics_SetScissorRect(0, 0, 1000, 1000);
    EXPECT_EQ(Scissors(), std::vector<std::string>{"SetScissorRect 0 0 480 640"});
}

TEST_F(ScissorStackTest, PushedRectanglesIntersectAndPopsRestoreTheOuterOne) {
    struct Step {
        const char* name;
        bool push;  // else pop
        int x, y, width, height;
        bool result;
        std::vector<std::string> calls;
    } steps[] = {
        {"outer", true, 0, 0, 100, 100, true, {"SetScissorRect 0 0 100 100"}},
        {"overlapping", true, 50, 50, 100, 100, true, {"SetScissorRect 50 50 50 50"}},
        {"apart: nothing left, the scissor stays", true, 200, 200, 50, 50, false, {}},
        {"pop the empty one: the overlap again", false, 0, 0, 0, 0, false, {"SetScissorRect 50 50 50 50"}},
        {"pop the overlap: the outer again", false, 0, 0, 0, 0, false, {"SetScissorRect 0 0 100 100"}},
        {"pop the last: no scissor", false, 0, 0, 0, 0, false, {"DisableScissorRect"}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        renderer_.ClearCalls();
        if (s.push)
            EXPECT_EQ(g()->ZK_Graphics_PushScissorRectangle(s.x, s.y, s.width, s.height), s.result);
        else
            g()->ZK_Graphics_PopScissorRectangle();
        EXPECT_EQ(Scissors(), s.calls);
    }
    EXPECT_EQ(zk_state.scissor_rect_top, -1);
    EXPECT_EQ(Popups(), std::vector<std::string>{});
}

TEST_F(ScissorStackTest, TheStackHoldsThirtyTwoAndReportsMisuse) {
    for (int i = 0; i < 32; ++i) EXPECT_TRUE(g()->ZK_Graphics_PushScissorRectangle(i, i, 100, 100));
    EXPECT_FALSE(g()->ZK_Graphics_PushScissorRectangle(0, 0, 10, 10));
    EXPECT_EQ(zk_state.scissor_rect_top, 31);
    EXPECT_EQ(zk_state.scissor_rect_stack[31].left, 31);
    for (int i = 0; i < 33; ++i) g()->ZK_Graphics_PopScissorRectangle();
    EXPECT_EQ(zk_state.scissor_rect_top, -1);
    EXPECT_EQ(Popups(), (std::vector<std::string>{
                            "2:[POPUP] ZK_Graphics_PushScissorRectangle: scissor rectangle stack overflow (32):make "
                            "sure each push operation matches pop in each frame.",
                            "2:[POPUP] ZK_Graphics_PopScissorRectangle: too many pop operations called! Make sureonly "
                            "one pop is called per each push each frame."}));
    // Edges past the int range are held at its end.
    EXPECT_TRUE(g()->ZK_Graphics_PushScissorRectangle(INT_MAX - 5, 0, INT_MAX, 10));
    EXPECT_EQ(zk_state.scissor_rect_stack[0].right, INT_MAX);
    g()->ZK_Graphics_PopScissorRectangle();
}

TEST_F(ScissorStackTest, DisablingLeavesTheStackAlone) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    g()->ZK_Graphics_PushScissorRectangle(0, 0, 10, 10);
    g()->ZK_Graphics_DrawBitmap(&hero, 0, 0);
    renderer_.ClearCalls();
    g()->ZK_Graphics_DisableScissorRect();
    EXPECT_EQ(CallsOf({"DrawIndexedTriangles", "DisableScissorRect"}).back(), "DisableScissorRect");
    EXPECT_EQ(renderer_.Count("DrawIndexedTriangles"), 1);
    EXPECT_EQ(zk_state.scissor_rect_top, 0);
    zk_state.renderer_initialized = 0;
    renderer_.ClearCalls();
    g()->ZK_Graphics_DisableScissorRect();
    g()->ZK_Graphics_PopScissorRectangle();
    EXPECT_EQ(Scissors(), std::vector<std::string>{});
}

}  // namespace
