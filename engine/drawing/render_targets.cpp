// Render targets, their stack, and the overlay zoom set aside while drawing
// into a bitmap.

#include "engine/drawing/render_targets.h"

#include <cmath>

#include "engine/drawing/batch_renderer.h"
#include "engine/drawing/current_transforms.h"
#include "engine/images/bitmap_pool.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/screen.h"
#include "engine/runtime/state.h"

namespace {

const int kCubeSides = 6;

bool IsRenderTargetBitmap(const zk_bitmap_t* bitmap) { return (bitmap->flags & ZK_BITMAP_RENDER_TARGET) != 0; }

// Refuses what can never be drawn into.
bool AreUsableTargets(const zk_graphics_api_t::RenderTargets& targets) {
    for (int slot = 0; slot < 4; ++slot) {
        const zk_bitmap_t* color = targets.color[slot];
        if (!color) continue;
        if (!IsRenderTargetBitmap(color)) return false;
        int side = targets.cube_side[slot];
        if (color->type == ZK_TEXTURE_CUBE && (side < 0 || side >= kCubeSides)) {
            zk->ZK_Popupf(ZK_MESSAGE_ERROR, "ZKI_SetRenderTargets: invalid cube map side specified.");
            return false;
        }
    }
    return !targets.depth || IsRenderTargetBitmap(targets.depth);
}

bool SameBitmaps(const zk_graphics_api_t::RenderTargets& a, const zk_graphics_api_t::RenderTargets& b) {
    for (int slot = 0; slot < 4; ++slot) {
        if (a.color[slot] != b.color[slot]) return false;
    }
    return a.depth == b.depth;
}

// Drawing into a bitmap is never zoomed: the zoom waits until drawing
// returns to the screen.
void SetOverlayZoomAside(const zk_bitmap_t* before, const zk_bitmap_t* after) {
    if (!before && after) {
        zk_state.overlay_zoom_saved = zk_state.overlay_zoom;
        zk_state.overlay_zoom = 1.0f;
        zk_state.overlay_offset_x = zk_state.overlay_offset_y = 0;
    } else if (before && !after) {
        zk_state.overlay_zoom = zk_state.overlay_zoom_disabled ? 1.0f : zk_state.overlay_zoom_saved;
        ZKI_UpdateOverlayZoom();
    }
}

bool RendererReady() { return ri && zk_state.renderer_initialized; }

}  // namespace

bool ZKI_SetRenderTargets(zk_graphics_api_t::RenderTargets* targets) {
    zk_graphics_api_t::RenderTargets wanted = targets ? *targets : zk_graphics_api_t::RenderTargets{};
    if (!AreUsableTargets(wanted)) return false;
    zk_graphics_api_t::RenderTargets& current = zk_state.render_targets;
    if (SameBitmaps(wanted, current)) return true;
    bool result = false;
    if (RendererReady()) {
        zk_batch_renderer.Flush();
        zk_batch_renderer.CheckRenderTargetsToBeSet(&wanted);
        result = ri->SetRenderTargets(&wanted);
        int width = 0, height = 0;
        ZKI_GetTargetSize(wanted.color[0], &width, &height);
        ri->SetViewport(0, 0, width, height, 0.0f, 1.0f);
    }
    const zk_bitmap_t* before = current.color[0];
    current = wanted;
    SetOverlayZoomAside(before, wanted.color[0]);
    return result;
}

void ZK_Graphics_PushRenderTargets(zk_graphics_api_t::RenderTargets* targets) {
    zk_graphics_api_t::RenderTargets entry = targets ? *targets : zk_graphics_api_t::RenderTargets{};
    ZKI_SetRenderTargets(&entry);
    zk_state.render_target_stack.InsertLast(entry);
    ZK_Graphics_PushProjectionTransform(nullptr);
    ZK_Graphics_PushWorldTransform(nullptr);
}

void ZK_Graphics_PushRenderTarget(zk_bitmap_t* color) { ZK_Graphics_PushRenderTargetWithDepth(color, nullptr); }

void ZK_Graphics_PushRenderTargetWithDepth(zk_bitmap_t* color, zk_bitmap_t* depth) {
    zk_graphics_api_t::RenderTargets targets = {};
    targets.color[0] = color;
    targets.depth = depth;
    ZK_Graphics_PushRenderTargets(&targets);
}

void ZK_Graphics_PopRenderTarget() {
    nArray<zk_graphics_api_t::RenderTargets>& stack = zk_state.render_target_stack;
    if (stack.count < 2) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "ZK_Graphics_PopRenderTarget: Render target stack is empty! You've called PopRenderTarget() too "
                      "many times. The number of PushRenderTarget(s) and PopRenderTarget calls during a render frame "
                      "needs to be the same.");
    } else {
        zk_batch_renderer.Flush();
        zk_graphics_api_t::RenderTargets below = stack.items[stack.count - 2];
        ZKI_SetRenderTargets(&below);
        stack.RemoveItemAtIndex(stack.count - 1);
    }
    ZK_Graphics_PopWorldTransform();
    ZK_Graphics_PopProjectionTransform();
}

void ZKI_PopScreenRenderTarget() {
    nArray<zk_graphics_api_t::RenderTargets>& stack = zk_state.render_target_stack;
    if (stack.count < 1) return;
    zk_batch_renderer.Flush();
    stack.RemoveItemAtIndex(stack.count - 1);
    ZK_Graphics_PopWorldTransform();
    ZK_Graphics_PopProjectionTransform();
}

zk_bitmap_t* ZK_Graphics_PeekRenderTarget() {
    const nArray<zk_graphics_api_t::RenderTargets>& stack = zk_state.render_target_stack;
    return stack.count > 0 ? stack.items[stack.count - 1].color[0] : nullptr;
}

void ZKI_Graphics_GetViewportDimensions(int& width, int& height) {
    const nArray<zk_graphics_api_t::RenderTargets>& stack = zk_state.render_target_stack;
    // Only an entry above the frame's screen entry can name a bitmap.
    const zk_bitmap_t* top = stack.count > 1 ? stack.items[stack.count - 1].color[0] : nullptr;
    ZKI_GetTargetSize(top, &width, &height);
}
