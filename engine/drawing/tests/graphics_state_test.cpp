// Graphics state: colour bytes and their byte order, alpha, texture stage
// ranges, texture inputs, render states, depth range and depth clears, and
// the renderer queries with and without a renderer.

#include "engine/drawing/graphics_state.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "engine/drawing/tests/graphics_fixture.h"
#include "engine/drawing/current_transforms.h"
#include "engine/runtime/interface_functions.h"

namespace {

class GraphicsStateTest : public GraphicsTest {
protected:
    static std::vector<int> Bytes(uint32_t packed) {
        uint8_t b[4];
        memcpy(b, &packed, 4);
        return {b[0], b[1], b[2], b[3]};
    }
};

TEST_F(GraphicsStateTest, ColourComponentsBecomeTheLowByteOfTheTruncatedProduct) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float component;
        int byte;
    } cases[] = {
        {0.0f, 0},      {1.0f, 255},     {0.5f, 127},      {1.5f, 126},    {2.0f, 254},   {10.0f, 246},
        {-0.5f, 129},   {-3.0f, 3},      {-0.001f, 0},     {1e10f, 0},     {-1e10f, 0},   {3.0e38f, 255},
        {65536.0f, 0},  {std::nanf(""), 0}, {inf, 255},    {-inf, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ZKI_ColorComponentToByte(c.component), c.byte) << c.component;
}

TEST_F(GraphicsStateTest, ColourSettersWriteTheirByteOrderIntoTheScratchQuad) {
    struct Case {
        const char* name;
        void (*set)();
        std::vector<int> bytes;
        color_t stored;
    } cases[] = {
        {"RGBA", [] { ZK_Graphics_SetColor_RGBA(1.0f, 0.5f, 0.0f); }, {255, 127, 0, 255}, {1.0f, 0.5f, 0.0f, 1.0f}},
        {"BGRA", [] { ZK_Graphics_SetColor_BGRA(1.0f, 0.5f, 0.0f); }, {0, 127, 255, 255}, {1.0f, 0.5f, 0.0f, 1.0f}},
        {"RGBA with alpha", [] { ZK_Graphics_SetColorWithAlpha_RGBA(0.0f, 1.5f, 1.0f, 0.5f); }, {0, 126, 255, 127},
         {0.0f, 1.5f, 1.0f, 0.5f}},
        {"BGRA with alpha", [] { ZK_Graphics_SetColorWithAlpha_BGRA(0.0f, 1.5f, 1.0f, 0.5f); }, {255, 126, 0, 127},
         {0.0f, 1.5f, 1.0f, 0.5f}},
        {"alpha clamped high", [] { ZK_Graphics_SetAlpha(2.0f); }, {255, 255, 255, 255}, {1, 1, 1, 1.0f}},
        {"alpha clamped low", [] { ZK_Graphics_SetAlpha(-1.0f); }, {255, 255, 255, 0}, {1, 1, 1, 0.0f}},
        {"alpha not a number", [] { ZK_Graphics_SetAlpha(std::nanf("")); }, {255, 255, 255, 0}, {1, 1, 1, 0.0f}},
        {"alpha", [] { ZK_Graphics_SetAlpha(0.25f); }, {255, 255, 255, 63}, {1, 1, 1, 0.25f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Start from opaque white, as the state does.
        ZK_Graphics_SetColorWithAlpha_RGBA(1.0f, 1.0f, 1.0f, 1.0f);
        c.set();
        EXPECT_EQ(Bytes(zk_state.current_packed_color), c.bytes);
        for (const zk_vertex_t& v : zk_state.quad_vertices) EXPECT_EQ(Bytes(v.color), c.bytes);
        color_t got = ZK_Graphics_GetColor();
        EXPECT_EQ(got.r, c.stored.r);
        EXPECT_EQ(got.g, c.stored.g);
        EXPECT_EQ(got.b, c.stored.b);
        EXPECT_EQ(got.a, c.stored.a);
        EXPECT_EQ(ZK_Graphics_GetAlpha(), c.stored.a);
    }
}

TEST_F(GraphicsStateTest, TheStateStartsOpaqueWhite) {
    color_t color = ZK_Graphics_GetColor();
    EXPECT_EQ(color.r + color.g + color.b + color.a, 4.0f);
    EXPECT_EQ(zk_state.current_packed_color, zk_state.quad_vertices[0].color);
    EXPECT_EQ(zk_state.current_packed_color, 0xFFFFFFFFu);
}

TEST_F(GraphicsStateTest, TextureStagesOutsideZeroToSevenAreIgnoredWithAWarning) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    static zk_bitmap_t* bitmap;
    bitmap = &hero;
    struct Call {
        const char* function;
        void (*call)(int stage);
    } calls[] = {
        {"ZK_Graphics_SetTextureFilter", [](int s) { zk->graphics->ZK_Graphics_SetTextureFilter(s, 1, 1, 1); }},
        {"ZK_Graphics_SetTextureAddressMode",
         [](int s) { zk->graphics->ZK_Graphics_SetTextureAddressMode(s, 2, 2, 2); }},
        {"ZK_Graphics_SetTextureInput", [](int s) { zk->graphics->ZK_Graphics_SetTextureInput(s, bitmap); }},
    };
    const int stages[] = {-1, 8, 1000, std::numeric_limits<int>::min()};
    const BatchRenderer before = zk_batch_renderer;
    for (const Call& call : calls) {
        for (int stage : stages) {
            SCOPED_TRACE(std::string(call.function) + " " + std::to_string(stage));
            ClearLines();
            call.call(stage);
            EXPECT_EQ(Popups(), std::vector<std::string>{"1:[POPUP] " + std::string(call.function) +
                                                         ": texture stage " + std::to_string(stage) +
                                                         " is outside 0-7, ignored."});
        }
    }
    EXPECT_EQ(memcmp(&before, &zk_batch_renderer, sizeof(BatchRenderer)), 0);
    EXPECT_EQ(renderer_.Calls(), std::vector<std::string>{});
    // Stage 7 is taken.
    g()->ZK_Graphics_SetTextureInput(7, &hero);
    EXPECT_EQ(renderer_.CallsOf("SetTexture"), std::vector<std::string>{"SetTexture 7 " + TextureOf(hero)});
}

TEST_F(GraphicsStateTest, TextureInputsBindLoadedBitmapsOnly) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    zk_bitmap_t& unloaded = Bitmap("unloaded", 8, 8);
    unloaded.hw_data.loaded = 0;
    g()->ZK_Graphics_DrawBitmap(&hero, 0, 0);
    g()->ZK_Graphics_SetTextureInput(2, &hero);
    g()->ZK_Graphics_SetTextureInput(2, &hero);
    g()->ZK_Graphics_SetTextureInput(2, &unloaded);
    // The pending quad went first.
    EXPECT_EQ(CallsOf({"SetTexture", "DrawIndexedTriangles"}),
              (std::vector<std::string>{"SetTexture 0 " + TextureOf(hero),
                                        "DrawIndexedTriangles " + RecordingRenderer::Pointer(zk_batch_renderer.ring[0]) +
                                            " 4 " + RecordingRenderer::Pointer(zk_batch_renderer.quad_indices) + " 2",
                                        "SetTexture 2 " + TextureOf(hero), "SetTexture 2 null"}));
}

TEST_F(GraphicsStateTest, RenderStatesReachTheRendererOnceEachAndTheRestIsReported) {
    struct Case {
        const char* name;
        void (*set)();
        const char* call;   // the renderer's, or null
        const char* popup;  // or null
    } cases[] = {
        {"depth test", [] { zk->graphics->ZK_Graphics_SetRenderStateb(10, true); }, "SetDepthTest 1", nullptr},
        {"depth test again", [] { zk->graphics->ZK_Graphics_SetRenderStateb(10, true); }, nullptr, nullptr},
        {"depth test off", [] { zk->graphics->ZK_Graphics_SetRenderStateb(10, false); }, "SetDepthTest 0", nullptr},
        {"depth write", [] { zk->graphics->ZK_Graphics_SetRenderStateb(12, true); }, "SetDepthWrite 1", nullptr},
        {"colour write", [] { zk->graphics->ZK_Graphics_SetRenderStateb(13, false); }, "SetColorWrite 0", nullptr},
        {"depth function", [] { zk->graphics->ZK_Graphics_SetRenderStatei(11, 3); }, "SetDepthTestFunction 3",
         nullptr},
        {"cull mode", [] { zk->graphics->ZK_Graphics_SetRenderStatei(14, 2); }, "SetCullMode 2", nullptr},
        {"int state as bool", [] { zk->graphics->ZK_Graphics_SetRenderStateb(11, true); }, nullptr,
         "1:[POPUP] ZK_Graphics_SetRenderStateb: (11, true) state not supported with this method."},
        {"bool state as int", [] { zk->graphics->ZK_Graphics_SetRenderStatei(10, 1); }, nullptr,
         "1:[POPUP] ZK_Graphics_SetRenderStatei: (10, 1) state not supported with this method."},
        {"float state", [] { zk->graphics->ZK_Graphics_SetRenderStatef(5, 1.5f); }, nullptr,
         "1:[POPUP] SetRenderStatef (5, 1.5) state not supported with this method."},
        {"float state again", [] { zk->graphics->ZK_Graphics_SetRenderStatef(5, 1.5f); }, nullptr, nullptr},
        {"float state NaN", [] { zk->graphics->ZK_Graphics_SetRenderStatef(5, std::nanf("")); }, nullptr,
         "1:[POPUP] SetRenderStatef (5, nan) state not supported with this method."},
        {"id past the table", [] { zk->graphics->ZK_Graphics_SetRenderStateb(32, true); }, nullptr,
         "1:[POPUP] ZK_Graphics_SetRenderStateb: (32, true) state not supported with this method."},
        {"negative id", [] { zk->graphics->ZK_Graphics_SetRenderStatei(-1, 7); }, nullptr,
         "1:[POPUP] ZK_Graphics_SetRenderStatei: (-1, 7) state not supported with this method."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        renderer_.ClearCalls();
        ClearLines();
        ZKI_ResetPopupHistory();
        c.set();
        std::vector<std::string> calls;
        for (const std::string& call : renderer_.Calls())
            if (call.compare(0, 3, "Set") == 0) calls.push_back(call);
        EXPECT_EQ(calls, c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{});
        EXPECT_EQ(Popups(), c.popup ? std::vector<std::string>{c.popup} : std::vector<std::string>{});
    }
    EXPECT_TRUE(g()->ZK_Graphics_GetRenderStateb(11));  // kept though not supported
    EXPECT_EQ(g()->ZK_Graphics_GetRenderStatei(14), 2);
    EXPECT_TRUE(std::isnan(g()->ZK_Graphics_GetRenderStatef(5)));
    EXPECT_FALSE(g()->ZK_Graphics_GetRenderStateb(32));
    // After the frame's invalidation the same value reaches the renderer again.
    renderer_.ClearCalls();
    ZKI_InvalidateRenderStates();
    g()->ZK_Graphics_SetRenderStatei(14, 2);
    EXPECT_EQ(renderer_.CallsOf("SetCullMode"), std::vector<std::string>{"SetCullMode 2"});
}

TEST_F(GraphicsStateTest, ARenderStateChangeDrawsThePendingBatchFirst) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    g()->ZK_Graphics_DrawBitmap(&hero, 0, 0);
    g()->ZK_Graphics_SetRenderStateb(10, true);
    EXPECT_EQ(CallsOf({"DrawIndexedTriangles", "SetDepthTest"}).back(), "SetDepthTest 1");
    EXPECT_EQ(CallsOf({"DrawIndexedTriangles", "SetDepthTest"}).size(), 2u);
}

TEST_F(GraphicsStateTest, DepthRangeChangesOnlyForAFiniteIncreasingRange) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float near_depth, middle, far_depth;
        bool taken;
    } cases[] = {
        {0.2f, 0.6f, 2.0f, true},   {1.0f, 0.5f, 0.1f, false}, {0.5f, 0.5f, 0.5f, false},
        {std::nanf(""), 0.5f, 1.0f, false}, {0.1f, 0.5f, inf, false}, {-inf, 0.5f, 1.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.near_depth) + " " + std::to_string(c.far_depth));
        zk_state.depth_range[0] = 0.1f;
        zk_state.depth_range[1] = 0.5f;
        zk_state.depth_range[2] = 1.0f;
        zk_state.projection_transform_top = -1;
        g()->ZK_Graphics_PushProjectionTransform(&zk_transform_identity);
        g()->ZK_Graphics_SetDepthRange(c.near_depth, c.middle, c.far_depth);
        EXPECT_EQ(zk_state.depth_range[0], c.taken ? c.near_depth : 0.1f);
        EXPECT_EQ(zk_state.depth_range[2], c.taken ? c.far_depth : 1.0f);
        // The projection in use follows a new range, even one the caller
        // pushed.
        nTransform expected = c.taken ? ZKI_ComputeDefaultProjection() : zk_transform_identity;
        EXPECT_EQ(memcmp(&zk_state.projection_transform_stack[0], &expected, sizeof(nTransform)), 0);
    }
}

TEST_F(GraphicsStateTest, DepthIsClearedWhereThereIsDepthToClear) {
    zk_bitmap_t& color = RenderTarget("color", 64, 64);
    zk_bitmap_t& depth = RenderTarget("depth", 64, 64);
    struct Case {
        const char* name;
        bool depth_write, developer;
        zk_bitmap_t* color;
        zk_bitmap_t* depth;
        bool cleared;
        bool warned;
    } cases[] = {
        {"screen", true, false, nullptr, nullptr, true, false},
        {"colour and depth targets", true, false, &color, &depth, true, false},
        {"colour target only", true, false, &color, nullptr, false, false},
        {"depth writes off", false, false, nullptr, nullptr, false, false},
        {"depth writes off, developer", false, true, nullptr, nullptr, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        renderer_.ClearCalls();
        ClearLines();
        ZKI_ResetPopupHistory();
        zk_state.developer_mode = c.developer;
        zk_state.prog_initialized = c.developer;  // developer popups are logged once a program runs
        g()->ZK_Graphics_SetRenderStateb(12, c.depth_write);
        zk_state.render_targets = zk_graphics_api_t::RenderTargets{};
        zk_state.render_targets.color[0] = c.color;
        zk_state.render_targets.depth = c.depth;
        g()->ZK_Graphics_ClearDepth(0.75f);
        EXPECT_EQ(renderer_.CallsOf("ClearDepth"),
                  c.cleared ? std::vector<std::string>{"ClearDepth 0.75"} : std::vector<std::string>{});
        EXPECT_EQ(Popups(), c.warned ? std::vector<std::string>{"1:[POPUP] ZK_Graphics_ClearDepth: Depth writes are "
                                                                "disabled, calling ClearDepth() has no effect. Enable "
                                                                "depth writes first."}
                                     : std::vector<std::string>{});
    }
    zk_state.render_targets = zk_graphics_api_t::RenderTargets{};
    zk_state.developer_mode = zk_state.prog_initialized = 0;
}

TEST_F(GraphicsStateTest, RendererQueriesAnswerWithoutARendererToo) {
    renderer_.maximum_texture_size = 4096;
    renderer_.features = 6;
    zk_bitmap_parameters_t parameters = {};
    EXPECT_EQ(g()->ZK_Graphics_GetMaximumTextureSize(), 4096);
    EXPECT_EQ(g()->ZK_Graphics_GetFeatures(), 6u);
    EXPECT_TRUE(g()->ZK_Graphics_IsTextureFormatSupported(parameters));
    g()->ZK_Graphics_ClearScreen(0.5f, 0.25f, 0.0f);
    g()->ZK_Graphics_SetPresentInterval(2);
    EXPECT_EQ(CallsOf({"ClearScreen", "SetPresentInterval"}),
              (std::vector<std::string>{"ClearScreen 0.5 0.25 0 1", "SetPresentInterval 2"}));
    renderer_.Uninstall();
    EXPECT_EQ(g()->ZK_Graphics_GetMaximumTextureSize(), 2048);
    EXPECT_EQ(g()->ZK_Graphics_GetFeatures(), 0u);
    EXPECT_FALSE(g()->ZK_Graphics_IsTextureFormatSupported(parameters));
    g()->ZK_Graphics_ClearScreenWithAlpha(0, 0, 0, 0);
    g()->ZK_Graphics_SetRenderStateb(10, true);
    EXPECT_TRUE(g()->ZK_Graphics_GetRenderStateb(10));
}

TEST_F(GraphicsStateTest, ABitmapThatIsACurrentColourTargetIsReportedWhenBound) {
    zk_bitmap_t& target = RenderTarget("canvas", 64, 64);
    zk_state.render_targets.color[2] = &target;
    zk_batch_renderer.CheckBitmapToBeSet(4, &target);
    zk_state.render_targets = zk_graphics_api_t::RenderTargets{};
    EXPECT_EQ(Lines(), std::vector<std::string>{
                           "1:Trying to set bitmap 'canvas' to stage #4 while it is set to color render "
                           "target slot #2."});
}

}  // namespace
