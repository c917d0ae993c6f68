// The current transforms: the top of each stack, the world-view cache, the
// view position, and the default projection of the current target.

#include "engine/drawing/current_transforms.h"

#include "engine/render/renderer_implementation.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/media_records.h"
#include "engine/runtime/screen.h"
#include "engine/runtime/state.h"

namespace {

// The top entry of a stack, or null while it is empty.
const nTransform* TopOf(const nTransform* entries, int32_t top) { return top >= 0 ? &entries[top] : nullptr; }
const nTransform* WorldTop() { return TopOf(zk_state.world_transform_stack, zk_state.world_transform_top); }
const nTransform* ViewTop() { return TopOf(zk_state.view_transform_stack, zk_state.view_transform_top); }
const nTransform* ProjectionTop() {
    return TopOf(zk_state.projection_transform_stack, zk_state.projection_transform_top);
}

// Guards the divisions below against a target without a size.
float Side(int pixels) { return pixels > 0 ? static_cast<float>(pixels) : 1.0f; }

}  // namespace

// --- Reading the stacks ----------------------------------------------------------------

const nTransform* ZKI_GetWorldTransform() {
    const nTransform* top = WorldTop();
    return top ? top : &zk_transform_identity;
}

const nTransform* ZKI_GetViewTransform() {
    const nTransform* top = ViewTop();
    return top ? top : &zk_transform_identity;
}

const nTransform* ZKI_GetProjectionTransform() {
    if (const nTransform* top = ProjectionTop()) return top;
    static nTransform default_projection;
    default_projection = ZKI_ComputeDefaultProjection();
    return &default_projection;
}

nTransform ZK_Graphics_PeekWorldTransform() { return *ZKI_GetWorldTransform(); }
nTransform ZK_Graphics_PeekViewTransform() { return *ZKI_GetViewTransform(); }
nTransform ZK_Graphics_PeekProjectionTransform() { return *ZKI_GetProjectionTransform(); }

void ZKI_UpdateWorldViewTransform() {
    if (zk_state.world_view_transform_valid) return;
    const nTransform* world = WorldTop();
    const nTransform* view = ViewTop();
    if (!view)
        zk_state.world_view_transform = *ZKI_GetWorldTransform();
    else if (!world)
        zk_state.world_view_transform = *view;
    else
        nTransform::Combine(zk_state.world_view_transform, *view, *world);
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

// --- The default projection ------------------------------------------------------------

void ZKI_GetTargetSize(const zk_bitmap_t* first, int* width, int* height) {
    *width = first ? first->texture_width : zk_device_info.screen_width;
    *height = first ? first->texture_height : zk_device_info.screen_height;
}

void ZKI_GetCurrentTargetSize(int* width, int* height) {
    ZKI_GetTargetSize(zk_state.render_targets.color[0], width, height);
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
