// Render targets: what may be drawn into, the pushes and pops with the
// transforms they carry, the frame's screen entry, the overlay zoom set
// aside while drawing into a bitmap, and stages holding a new target.

#include "engine/drawing/render_targets.h"

#include <cstring>
#include <string>
#include <vector>

#include "engine/drawing/tests/graphics_fixture.h"
#include "engine/drawing/current_transforms.h"
#include "engine/runtime/interface_functions.h"

namespace {

class RenderTargetsTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        // The frame's screen entry, as each pass begins.
        zk_graphics_api_t::RenderTargets screen = {};
        g()->ZK_Graphics_PushRenderTargets(&screen);
        renderer_.ClearCalls();
    }
    void TearDown() override {
        zk_state.render_targets = zk_graphics_api_t::RenderTargets{};
        GraphicsTest::TearDown();
    }
    std::vector<std::string> TargetCalls() const { return CallsOf({"SetRenderTargets", "SetViewport", "SetTexture"}); }
    static std::string Targets(const zk_bitmap_t* color, const zk_bitmap_t* depth = nullptr) {
        auto name = [](const zk_bitmap_t* b) { return std::string(b ? b->name : "null"); };
        return "SetRenderTargets " + name(color) + " null null null " + name(depth);
    }
    static void ExpectDepths(int targets, int world, int projection) {
        EXPECT_EQ(zk_state.render_target_stack.count, targets);
        EXPECT_EQ(zk_state.world_transform_top, world);
        EXPECT_EQ(zk_state.projection_transform_top, projection);
    }
};

TEST_F(RenderTargetsTest, PushAndPopSwitchTheTargetWithItsViewportAndTransforms) {
    zk_bitmap_t& canvas = RenderTarget("canvas", 256, 128);
    const nTransform world = zk_transform_identity;
    g()->ZK_Graphics_PushWorldTransform(&world);
    ExpectDepths(1, 1, 0);

    g()->ZK_Graphics_PushRenderTarget(&canvas);
    EXPECT_EQ(TargetCalls(), (std::vector<std::string>{Targets(&canvas), "SetViewport 0 0 256 128 0 1"}));
    ExpectDepths(2, 2, 1);
    EXPECT_EQ(g()->ZK_Graphics_PeekRenderTarget(), &canvas);
    EXPECT_EQ(memcmp(ZKI_GetProjectionTransform(), &zk_state.projection_transform_stack[1], sizeof(nTransform)), 0);
    int width = 0, height = 0;
    g()->ZKI_Graphics_GetViewportDimensions(width, height);
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 128);
    // The new target's projection maps its own pixels.
    nTransform projection = g()->ZK_Graphics_PeekProjectionTransform();
    EXPECT_NEAR(projection.m[0] * 256.0f, 2.0f * 9.0f * 0.5f, 1e-4);

    renderer_.ClearCalls();
    g()->ZK_Graphics_PopRenderTarget();
    EXPECT_EQ(TargetCalls(), (std::vector<std::string>{Targets(nullptr), "SetViewport 0 0 640 480 0 1"}));
    ExpectDepths(1, 1, 0);
    g()->ZKI_Graphics_GetViewportDimensions(width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(Popups(), std::vector<std::string>{});
}

TEST_F(RenderTargetsTest, PoppingTheScreenEntryWarnsAndStillPopsItsTransforms) {
    g()->ZK_Graphics_PopRenderTarget();
    ExpectDepths(1, -1, -1);
    EXPECT_EQ(TargetCalls(), std::vector<std::string>{});
    EXPECT_EQ(Popups(), std::vector<std::string>{
                            "1:[POPUP] ZK_Graphics_PopRenderTarget: Render target stack is empty! You've called "
                            "PopRenderTarget() too many times. The number of PushRenderTarget(s) and PopRenderTarget "
                            "calls during a render frame needs to be the same."});
    // The frame's own pop takes the entry; the transforms are gone already.
    ClearLines();
    ZKI_ResetPopupHistory();
    ZKI_PopScreenRenderTarget();
    ExpectDepths(0, -1, -1);
    EXPECT_EQ(Popups(), (std::vector<std::string>{
                            "1:[POPUP] ZK_Graphics_PopWorldTransform: called too many times.",
                            "1:[POPUP] ZK_Graphics_PopProjectionTransform: called too many times."}));
}

TEST_F(RenderTargetsTest, TheScreenEntryAndItsTransformsComeOffTogether) {
    for (int frame = 0; frame < 40; ++frame) {
        ZKI_PopScreenRenderTarget();
        ExpectDepths(0, -1, -1);
        zk_graphics_api_t::RenderTargets screen = {};
        g()->ZK_Graphics_PushRenderTargets(&screen);
    }
    ExpectDepths(1, 0, 0);
    EXPECT_EQ(Popups(), std::vector<std::string>{});
    EXPECT_EQ(TargetCalls(), std::vector<std::string>{});  // the screen was current all along
}

TEST_F(RenderTargetsTest, OnlyRenderTargetBitmapsAndRealCubeSidesAreTaken) {
    zk_bitmap_t& canvas = RenderTarget("canvas", 64, 64);
    zk_bitmap_t& plain = Bitmap("plain", 64, 64);
    zk_bitmap_t& cube = RenderTarget("cube", 64, 64);
    cube.type = ZK_TEXTURE_CUBE;
    const char* side_error = "2:[POPUP] ZKI_SetRenderTargets: invalid cube map side specified.";
    struct Case {
        const char* name;
        zk_bitmap_t* color;
        int side;
        zk_bitmap_t* depth;
        bool taken;
        const char* popup;
    } cases[] = {
        {"render target", &canvas, 0, nullptr, true, nullptr},
        {"with a depth target", &canvas, 0, &canvas, true, nullptr},
        {"plain bitmap", &plain, 0, nullptr, false, nullptr},
        {"plain depth bitmap", &canvas, 0, &plain, false, nullptr},
        {"cube side 0", &cube, 0, nullptr, true, nullptr},
        {"cube side 5", &cube, 5, nullptr, true, nullptr},
        {"cube side 6", &cube, 6, nullptr, false, side_error},
        {"cube side -1", &cube, -1, nullptr, false, side_error},
        {"a 2D target ignores its side", &canvas, -1, nullptr, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zk_state.render_targets = zk_graphics_api_t::RenderTargets{};
        renderer_.ClearCalls();
        ClearLines();
        ZKI_ResetPopupHistory();
        zk_graphics_api_t::RenderTargets targets = {};
        targets.color[0] = c.color;
        targets.cube_side[0] = c.side;
        targets.depth = c.depth;
        EXPECT_EQ(ZKI_SetRenderTargets(&targets), c.taken);
        EXPECT_EQ(renderer_.Count("SetRenderTargets"), c.taken ? 1 : 0);
        EXPECT_EQ(zk_state.render_targets.color[0], c.taken ? c.color : nullptr);
        EXPECT_EQ(Popups(), c.popup ? std::vector<std::string>{c.popup} : std::vector<std::string>{});
    }
    // The same bitmaps on another side: nothing to change.
    renderer_.ClearCalls();
    zk_graphics_api_t::RenderTargets other_side = zk_state.render_targets;
    other_side.cube_side[0] = 3;
    EXPECT_TRUE(ZKI_SetRenderTargets(&other_side));
    EXPECT_EQ(renderer_.Count("SetRenderTargets"), 0);
}

TEST_F(RenderTargetsTest, WithoutAnInitialisedRendererTargetsAreKeptButNotSet) {
    zk_bitmap_t& canvas = RenderTarget("canvas", 64, 64);
    zk_state.renderer_initialized = 0;
    zk_graphics_api_t::RenderTargets targets = {};
    targets.color[0] = &canvas;
    EXPECT_FALSE(ZKI_SetRenderTargets(&targets));
    EXPECT_EQ(zk_state.render_targets.color[0], &canvas);
    EXPECT_EQ(renderer_.Count("SetRenderTargets"), 0);
}

TEST_F(RenderTargetsTest, TheOverlayZoomWaitsWhileDrawingIntoABitmap) {
    zk_bitmap_t& canvas = RenderTarget("canvas", 64, 64);
    struct Case {
        bool disabled;
        float zoom_after;
        int offset_x, offset_y;
    } cases[] = {{false, 0.5f, 160, 120}, {true, 1.0f, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.disabled);
        zk_state.overlay_zoom = 0.5f;
        zk_state.overlay_offset_x = 160;
        zk_state.overlay_offset_y = 120;
        zk_state.overlay_zoom_disabled = c.disabled;
        g()->ZK_Graphics_PushRenderTarget(&canvas);
        EXPECT_EQ(zk_state.overlay_zoom, 1.0f);
        EXPECT_EQ(zk_state.overlay_offset_x, 0);
        g()->ZK_Graphics_PopRenderTarget();
        EXPECT_EQ(zk_state.overlay_zoom, c.zoom_after);
        EXPECT_EQ(zk_state.overlay_offset_x, c.offset_x);
        EXPECT_EQ(zk_state.overlay_offset_y, c.offset_y);
    }
}

TEST_F(RenderTargetsTest, StagesHoldingTheNewTargetAreEmptiedFirst) {
    zk_bitmap_t& canvas = RenderTarget("canvas", 64, 64);
    g()->ZK_Graphics_SetTextureInput(2, &canvas);
    renderer_.ClearCalls();
    g()->ZK_Graphics_PushRenderTarget(&canvas);
    EXPECT_EQ(TargetCalls(), (std::vector<std::string>{"SetTexture 2 null", Targets(&canvas),
                                                        "SetViewport 0 0 64 64 0 1"}));
    g()->ZK_Graphics_PopRenderTarget();
}

TEST_F(RenderTargetsTest, ANullTargetSetIsTheScreen) {
    zk_bitmap_t& canvas = RenderTarget("canvas", 64, 64);
    g()->ZK_Graphics_PushRenderTargetWithDepth(&canvas, &canvas);
    EXPECT_EQ(renderer_.CallsOf("SetRenderTargets"), std::vector<std::string>{Targets(&canvas, &canvas)});
    g()->ZK_Graphics_PushRenderTargets(nullptr);
    EXPECT_EQ(zk_state.render_targets.color[0], nullptr);
    EXPECT_EQ(zk_state.render_targets.depth, nullptr);
    g()->ZK_Graphics_PopRenderTarget();
    g()->ZK_Graphics_PopRenderTarget();
    ExpectDepths(1, 0, 0);
}

}  // namespace
