// The transform stacks: their limits and messages, how world and view
// pushes differ, the world-view cache and the view position, and where the
// default projection puts the corners of the target.

#include "engine/drawing/current_transforms.h"

#include <cstring>
#include <string>
#include <vector>

#include "engine/base/tests/transform_helpers.h"
#include "engine/drawing/tests/graphics_fixture.h"
#include "engine/runtime/interface_functions.h"

namespace {

bool Same(const nTransform& a, const nTransform& b) { return memcmp(&a, &b, sizeof(nTransform)) == 0; }

// A point through a matrix and the perspective divide.
void Project(const nTransform& m, float x, float y, float z, float* cx, float* cy) {
    float in[4] = {x, y, z, 1.0f}, out[4] = {};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k) out[i] += m.m[4 * i + k] * in[k];
    *cx = out[0] / out[3];
    *cy = out[1] / out[3];
}

class TransformStacksTest : public GraphicsTest {};

TEST_F(TransformStacksTest, EachStackHoldsThirtyTwoAndReportsMisuse) {
    struct Stack {
        const char* name;
        void (*push)(const nTransform*);
        void (*pop)();
        int32_t* top;
        nTransform* entries;
        const char* full;
        const char* empty;
    } stacks[] = {
        {"world", ZK_Graphics_PushWorldTransform, ZK_Graphics_PopWorldTransform, &zk_state.world_transform_top,
         zk_state.world_transform_stack,
         "1:[POPUP] ZK_Graphics_PushWorldTransform: world transform stack is full (max size 32), transform not "
         "pushed.",
         "1:[POPUP] ZK_Graphics_PopWorldTransform: called too many times."},
        {"view", ZK_Graphics_PushViewTransform, ZK_Graphics_PopViewTransform, &zk_state.view_transform_top,
         zk_state.view_transform_stack,
         "1:[POPUP] ZK_Graphics_PushViewTransform: view transform stack is full (max size 32), transform not pushed.",
         "1:[POPUP] ZK_Graphics_PopViewTransform: called too many times."},
        {"projection", ZK_Graphics_PushProjectionTransform, ZK_Graphics_PopProjectionTransform,
         &zk_state.projection_transform_top, zk_state.projection_transform_stack,
         "1:[POPUP] ZK_Graphics_PushProjectionTransform: projection transform stack is full (max size 32), "
         "transform not pushed.",
         "1:[POPUP] ZK_Graphics_PopProjectionTransform: called too many times."},
    };
    const nTransform last = Scale(2.0f);
    for (const Stack& s : stacks) {
        SCOPED_TRACE(s.name);
        ClearLines();
        for (int i = 0; i < 31; ++i) s.push(nullptr);
        s.push(&last);
        EXPECT_EQ(*s.top, 31);
        EXPECT_EQ(Popups(), std::vector<std::string>{});
        EXPECT_TRUE(Same(s.entries[31], last));
        s.push(&zk_transform_identity);
        EXPECT_EQ(*s.top, 31);
        EXPECT_EQ(Popups(), std::vector<std::string>{s.full});
        EXPECT_TRUE(Same(s.entries[31], last));  // the refused push left the top alone
        ClearLines();
        ZKI_ResetPopupHistory();
        for (int i = 0; i < 32; ++i) s.pop();
        EXPECT_EQ(*s.top, -1);
        EXPECT_EQ(Popups(), std::vector<std::string>{});
        s.pop();
        EXPECT_EQ(*s.top, -1);
        EXPECT_EQ(Popups(), std::vector<std::string>{s.empty});
    }
}

TEST_F(TransformStacksTest, WorldPushesCombineWithTheTopAndViewPushesReplaceIt) {
    const nTransform a = Translation(10, 20, 0), t = Scale(2.0f);
    nTransform a_then_t;
    nTransform::Combine(a_then_t, a, t);
    g()->ZK_Graphics_PushWorldTransform(&a);
    g()->ZK_Graphics_PushWorldTransform(&t);
    g()->ZK_Graphics_PushViewTransform(&a);
    g()->ZK_Graphics_PushViewTransform(&t);
    EXPECT_TRUE(Same(g()->ZK_Graphics_PeekWorldTransform(), a_then_t));
    EXPECT_TRUE(Same(g()->ZK_Graphics_PeekViewTransform(), t));
    g()->ZK_Graphics_PushWorldTransform(nullptr);  // null is the identity, not combined
    EXPECT_TRUE(Same(*ZKI_GetWorldTransform(), zk_transform_identity));
    g()->ZK_Graphics_PopWorldTransform();
    // The world-view follows every change: Combine(view, world).
    nTransform world_view;
    nTransform::Combine(world_view, t, a_then_t);
    EXPECT_TRUE(Same(zk_state.world_view_transform, world_view));
    g()->ZK_Graphics_PopViewTransform();
    g()->ZK_Graphics_PopViewTransform();
    EXPECT_TRUE(Same(zk_state.world_view_transform, a_then_t));
    g()->ZK_Graphics_PopWorldTransform();
    g()->ZK_Graphics_PopWorldTransform();
    EXPECT_TRUE(Same(zk_state.world_view_transform, zk_transform_identity));
    // An emptied world stack starts from the identity again.
    EXPECT_TRUE(Same(zk_state.world_transform_stack[0], zk_transform_identity));
    EXPECT_TRUE(Same(g()->ZK_Graphics_PeekViewTransform(), zk_transform_identity));
}

TEST_F(TransformStacksTest, TheViewPositionIsWhereTheViewLooksFrom) {
    const nTransform view = Translation(-3, -4, -5);
    const float* position = g()->ZK_Graphics_GetViewPosition();
    EXPECT_EQ(position[0] + position[1] + position[2], 0.0f);
    g()->ZK_Graphics_PushViewTransform(&view);
    position = g()->ZK_Graphics_GetViewPosition();
    EXPECT_FLOAT_EQ(position[0], 3.0f);
    EXPECT_FLOAT_EQ(position[1], 4.0f);
    EXPECT_FLOAT_EQ(position[2], 5.0f);
    g()->ZK_Graphics_PopViewTransform();
    EXPECT_EQ(g()->ZK_Graphics_GetViewPosition()[2], 0.0f);
}

// A renderer whose pixel centres lie off the pixel corners.
class OffsetRenderer : public RecordingRenderer {
public:
    vec2_t offset = {0, 0};
    vec2_t GetPixelRenderingOffset() override { return offset; }
};

TEST_F(TransformStacksTest, TheDefaultProjectionMapsTheTargetOntoTheClipRange) {
    zk_bitmap_t& target = RenderTarget("target", 256, 128);
    OffsetRenderer offset_renderer;
    struct Case {
        const char* name;
        zk_bitmap_t* target;
        vec2_t offset;
        float near_depth, middle, far_depth;
        float width, height;
    } cases[] = {
        {"screen", nullptr, {0, 0}, 0.1f, 0.5f, 1.0f, 640, 480},
        {"render target", &target, {0, 0}, 0.1f, 0.5f, 1.0f, 256, 128},
        {"half-pixel offset", nullptr, {0.5f, 0.5f}, 0.1f, 0.5f, 1.0f, 640, 480},
        {"other depth range", &target, {0, 0}, 0.2f, 0.6f, 2.0f, 256, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        offset_renderer.offset = c.offset;
        offset_renderer.Install();
        zk_state.render_targets.color[0] = c.target;
        zk_state.depth_range[0] = c.near_depth;
        zk_state.depth_range[1] = c.middle;
        zk_state.depth_range[2] = c.far_depth;
        // At the middle depth the pixel corners land on the clip corners.
        const struct {
            float x, y, cx, cy;
        } corners[] = {{0, 0, -1, 1}, {c.width, 0, 1, 1}, {0, c.height, -1, -1}, {c.width, c.height, 1, -1},
                       {c.width / 2, c.height / 2, 0, 0}};
        const nTransform projection = *ZKI_GetProjectionTransform();
        for (const auto& corner : corners) {
            float cx, cy;
            Project(projection, corner.x + c.offset.x, corner.y + c.offset.y, c.middle, &cx, &cy);
            EXPECT_NEAR(cx, corner.cx, 1e-5) << corner.x << "," << corner.y;
            EXPECT_NEAR(cy, corner.cy, 1e-5) << corner.x << "," << corner.y;
        }
        EXPECT_TRUE(Same(g()->ZK_Graphics_PeekProjectionTransform(), projection));
        g()->ZK_Graphics_PushProjectionTransform(nullptr);
        EXPECT_TRUE(Same(*ZKI_GetProjectionTransform(), projection));
        g()->ZK_Graphics_PopProjectionTransform();
    }
    zk_state.render_targets = zk_graphics_api_t::RenderTargets{};
    renderer_.Install();
}

TEST_F(TransformStacksTest, TheWorldViewProjectionTakesTheWorldFirst) {
    const nTransform world = Translation(320, 240, 0);
    g()->ZK_Graphics_PushWorldTransform(&world);
    float cx, cy;
    Project(ZKI_GetWorldViewProjectionTransform(), 0, 0, 0.5f, &cx, &cy);
    EXPECT_NEAR(cx, 0.0f, 1e-5);
    EXPECT_NEAR(cy, 0.0f, 1e-5);
}

TEST_F(TransformStacksTest, ATransformChangeDrawsThePendingBatchFirst) {
    zk_bitmap_t& hero = Bitmap("hero", 8, 8);
    struct Case {
        const char* name;
        void (*change)();
    } cases[] = {
        {"world push", [] { zk->graphics->ZK_Graphics_PushWorldTransform(nullptr); }},
        {"world pop", [] { zk->graphics->ZK_Graphics_PopWorldTransform(); }},
        {"view push", [] { zk->graphics->ZK_Graphics_PushViewTransform(nullptr); }},
        {"view pop", [] { zk->graphics->ZK_Graphics_PopViewTransform(); }},
        {"projection push", [] { zk->graphics->ZK_Graphics_PushProjectionTransform(nullptr); }},
        {"projection pop", [] { zk->graphics->ZK_Graphics_PopProjectionTransform(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g()->ZK_Graphics_DrawBitmap(&hero, 0, 0);
        renderer_.ClearCalls();
        c.change();
        EXPECT_EQ(renderer_.Count("DrawIndexedTriangles"), 1);
    }
}

}  // namespace
