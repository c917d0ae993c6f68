// The transform stacks, the world-view cache, the view position and the
// default projection.

#include "engine/drawing/transform_stacks.h"

#include "engine/drawing/batch_renderer.h"
#include "engine/drawing/render_targets.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"

namespace {

// One of the three stacks, with its messages.
struct TransformStack {
    nTransform* entries;
    int32_t* top;
    const char* full_message;   // %d: the stack size
    const char* empty_message;
};

TransformStack WorldStack() {
    return {zk_state.world_transform_stack, &zk_state.world_transform_top,
            "ZK_Graphics_PushWorldTransform: world transform stack is full (max size %d), transform not pushed.",
            "ZK_Graphics_PopWorldTransform: called too many times."};
}
TransformStack ViewStack() {
    return {zk_state.view_transform_stack, &zk_state.view_transform_top,
            "ZK_Graphics_PushViewTransform: view transform stack is full (max size %d), transform not pushed.",
            "ZK_Graphics_PopViewTransform: called too many times."};
}
TransformStack ProjectionStack() {
    return {zk_state.projection_transform_stack, &zk_state.projection_transform_top,
            "ZK_Graphics_PushProjectionTransform: projection transform stack is full (max size %d), transform not "
            "pushed.",
            "ZK_Graphics_PopProjectionTransform: called too many times."};
}

bool IsEmpty(const TransformStack& s) { return *s.top < 0; }
const nTransform& Top(const TransformStack& s) { return s.entries[*s.top]; }

// Warns and answers false when the stack cannot take another entry.
bool HasRoom(const TransformStack& s) {
    if (*s.top < ZK_TRANSFORM_STACK_SIZE - 1) return true;
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, s.full_message, static_cast<int>(ZK_TRANSFORM_STACK_SIZE));
    return false;
}

// Warns and answers false when there is nothing to pop.
bool HasEntry(const TransformStack& s) {
    if (!IsEmpty(s)) return true;
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "%s", s.empty_message);
    return false;
}

void Push(const TransformStack& s, const nTransform& t) { s.entries[++*s.top] = t; }

void InvalidateWorldView() { zk_state.world_view_transform_valid = 0; }

// Guards the divisions below against a target without a size.
float Side(int pixels) { return pixels > 0 ? static_cast<float>(pixels) : 1.0f; }

}  // namespace

// --- Reading the stacks ----------------------------------------------------------------

const nTransform* ZKI_GetWorldTransform() {
    TransformStack s = WorldStack();
    return IsEmpty(s) ? &zk_transform_identity : &Top(s);
}

const nTransform* ZKI_GetViewTransform() {
    TransformStack s = ViewStack();
    return IsEmpty(s) ? &zk_transform_identity : &Top(s);
}

const nTransform* ZKI_GetProjectionTransform() {
    TransformStack s = ProjectionStack();
    if (!IsEmpty(s)) return &Top(s);
    static nTransform default_projection;
    default_projection = ZKI_ComputeDefaultProjection();
    return &default_projection;
}

nTransform ZK_Graphics_PeekWorldTransform() { return *ZKI_GetWorldTransform(); }
nTransform ZK_Graphics_PeekViewTransform() { return *ZKI_GetViewTransform(); }
nTransform ZK_Graphics_PeekProjectionTransform() { return *ZKI_GetProjectionTransform(); }

void ZKI_UpdateWorldViewTransform() {
    if (zk_state.world_view_transform_valid) return;
    TransformStack world = WorldStack(), view = ViewStack();
    if (IsEmpty(view))
        zk_state.world_view_transform = *ZKI_GetWorldTransform();
    else if (IsEmpty(world))
        zk_state.world_view_transform = Top(view);
    else
        nTransform::Combine(zk_state.world_view_transform, Top(view), Top(world));
    zk_state.world_view_transform_valid = 1;
}

nTransform ZKI_GetWorldViewProjectionTransform() {
    ZKI_UpdateWorldViewTransform();
    nTransform result;
    nTransform::Combine(result, *ZKI_GetProjectionTransform(), zk_state.world_view_transform);
    return result;
}

const float* ZK_Graphics_GetViewPosition() {
    if (!zk_state.view_position_valid) {
        nTransform inverse = *ZKI_GetViewTransform();
        inverse.Invert();
        zk_state.view_position[0] = inverse.m[3];
        zk_state.view_position[1] = inverse.m[7];
        zk_state.view_position[2] = inverse.m[11];
        zk_state.view_position_valid = 1;
    }
    return zk_state.view_position;
}

nTransform ZKI_ComputeDefaultProjection() {
    int width = 0, height = 0;
    ZKI_GetCurrentTargetSize(&width, &height);
    float w = Side(width), h = Side(height);
    vec2_t offset = ri ? ri->GetPixelRenderingOffset() : vec2_t{0.0f, 0.0f};
    float n = zk_state.depth_range[0], m = zk_state.depth_range[1], f = zk_state.depth_range[2];

    nTransform scale = zk_transform_identity;
    scale.m[0] = 2.0f / w;
    scale.m[5] = -2.0f / h;
    nTransform move = zk_transform_identity;
    move.m[3] = -(2.0f * offset.x / w + 1.0f);
    move.m[7] = 2.0f * offset.y / h + 1.0f;
    // The perspective divides by 8m + z, which is 9m at the middle depth:
    // there x and y come out at pixel scale again.
    nTransform perspective = {};
    perspective.m[0] = 9.0f * m;
    perspective.m[5] = 9.0f * m;
    perspective.m[10] = f / (f - n);
    perspective.m[11] = 0.99f * 8.0f * m - n * f / (f - n);
    perspective.m[14] = 1.0f;
    perspective.m[15] = 8.0f * m;

    nTransform pixels_to_clip, projection;
    nTransform::Combine(pixels_to_clip, move, scale);
    nTransform::Combine(projection, perspective, pixels_to_clip);
    return projection;
}

// --- World ----------------------------------------------------------------------------------

void ZK_Graphics_PushWorldTransform(const nTransform* transform) {
    TransformStack s = WorldStack();
    if (!HasRoom(s)) return;
    zk_batch_renderer.Flush();
    InvalidateWorldView();
    if (!transform) {
        Push(s, zk_transform_identity);
    } else if (IsEmpty(s)) {
        Push(s, *transform);
    } else {
        nTransform combined;
        nTransform::Combine(combined, Top(s), *transform);
        Push(s, combined);
    }
    ZKI_UpdateWorldViewTransform();
}

void ZK_Graphics_PopWorldTransform() {
    TransformStack s = WorldStack();
    if (!HasEntry(s)) return;
    zk_batch_renderer.Flush();
    --*s.top;
    InvalidateWorldView();
    if (IsEmpty(s)) s.entries[0] = zk_transform_identity;
    ZKI_UpdateWorldViewTransform();
}

// --- View ------------------------------------------------------------------------------------

void ZK_Graphics_PushViewTransform(const nTransform* transform) {
    TransformStack s = ViewStack();
    if (!HasRoom(s)) return;
    zk_batch_renderer.Flush();
    zk_state.view_position_valid = 0;
    InvalidateWorldView();
    Push(s, transform ? *transform : zk_transform_identity);
    ZKI_UpdateWorldViewTransform();
}

void ZK_Graphics_PopViewTransform() {
    TransformStack s = ViewStack();
    if (!HasEntry(s)) return;
    zk_batch_renderer.Flush();
    --*s.top;
    zk_state.view_position_valid = 0;
    InvalidateWorldView();
    ZKI_UpdateWorldViewTransform();
}

// --- Projection ---------------------------------------------------------------------------------

void ZK_Graphics_PushProjectionTransform(const nTransform* transform) {
    TransformStack s = ProjectionStack();
    if (!HasRoom(s)) return;
    zk_batch_renderer.Flush();
    Push(s, transform ? *transform : ZKI_ComputeDefaultProjection());
}

void ZK_Graphics_PopProjectionTransform() {
    TransformStack s = ProjectionStack();
    if (!HasEntry(s)) return;
    zk_batch_renderer.Flush();
    --*s.top;
}
