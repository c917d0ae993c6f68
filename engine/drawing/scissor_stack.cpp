// The scissor rectangle and its stack of 32 entries (zk_state), kept by
// their edges. Rectangles come in the program's coordinates; drawing to the
// screen they are moved onto the device by the autoscale and the overlay
// zoom, then fitted to the target.

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/drawing/batch_renderer.h"
#include "engine/drawing/render_targets.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/screen.h"
#include "engine/runtime/state.h"

namespace {

// trunc(value), held inside the int range (NaN gives 0).
int32_t TruncatedInt(double value) {
    if (std::isnan(value)) return 0;
    const double lowest = std::numeric_limits<int32_t>::min(), highest = std::numeric_limits<int32_t>::max();
    if (value <= lowest) return std::numeric_limits<int32_t>::min();
    if (value >= highest) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

bool RendererReady() { return ri && zk_state.renderer_initialized; }

struct Rect {
    int32_t x, y, width, height;
};

// From the program's screen onto the device.
void MoveOntoDevice(Rect& r) {
    if (zk_state.autoscale) {
        float sx = zk_state.autoscale_scale_x, sy = zk_state.autoscale_scale_y;
        r = Rect{TruncatedInt(r.x * sx + zk_state.autoscale_offset_x), TruncatedInt(r.y * sy + zk_state.autoscale_offset_y),
                 TruncatedInt(r.width * sx), TruncatedInt(r.height * sy)};
    }
    // The whole screen stays the whole screen under the zoom.
    bool whole_screen = r.x == 0 && r.y == 0 && r.width == zk_device_info.screen_width &&
                        r.height == zk_device_info.screen_height;
    if (ZKI_IsOverlayZoomSet() && !whole_screen) {
        float zoom = zk_state.overlay_zoom;
        r = Rect{TruncatedInt(r.x * zoom + zk_state.overlay_offset_x), TruncatedInt(r.y * zoom + zk_state.overlay_offset_y),
                 TruncatedInt(r.width * zoom), TruncatedInt(r.height * zoom)};
    }
}

// What remains of a side past a negative start, within the limit; never
// below 0, which clips everything.
int32_t FittedSide(int32_t start, int32_t side, int32_t limit) {
    int64_t fitted = int64_t(side) + (start < 0 ? start : 0);
    if (fitted > limit) fitted = limit;
    return fitted > 0 ? static_cast<int32_t>(fitted) : 0;
}

bool ApplyEdges(const zk_scissor_rect_t& r) {
    int64_t width = int64_t(r.right) - r.left, height = int64_t(r.lower) - r.top;
    if (width <= 0 || height <= 0) return false;
    return ZK_Graphics_SetScissorRect(r.left, r.top, TruncatedInt(double(width)), TruncatedInt(double(height)));
}

}  // namespace

bool ZK_Graphics_SetScissorRect(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    zk_batch_renderer.Flush();
    Rect r{x, y, width, height};
    const zk_bitmap_t* target = zk_state.render_targets.color[0];
    if (!target && zk_prog) MoveOntoDevice(r);
    int limit_width = 0, limit_height = 0;
    if (target) {
        limit_width = target->width;
        limit_height = target->height;
    } else {
        ZKI_GetDeviceSizeInProgramOrientation(&limit_width, &limit_height);
    }
    if (!RendererReady()) return false;
    int32_t fitted_width = FittedSide(r.x, r.width, limit_width);
    int32_t fitted_height = FittedSide(r.y, r.height, limit_height);
    return ri->SetScissorRect(r.x > 0 ? r.x : 0, r.y > 0 ? r.y : 0, fitted_width, fitted_height);
}

bool ZK_Graphics_PushScissorRectangle(int x, int y, int width, int height) {
    int32_t& top = zk_state.scissor_rect_top;
    if (top >= ZK_SCISSOR_STACK_SIZE - 1) {
        zk->ZK_Popupf(ZK_MESSAGE_ERROR,
                      "ZK_Graphics_PushScissorRectangle: scissor rectangle stack overflow (%d):make sure each push "
                      "operation matches pop in each frame.",
                      static_cast<int>(ZK_SCISSOR_STACK_SIZE));
        return false;
    }
    zk_scissor_rect_t r = {x, y, TruncatedInt(double(int64_t(x) + width)), TruncatedInt(double(int64_t(y) + height))};
    if (top >= 0) {
        const zk_scissor_rect_t& outer = zk_state.scissor_rect_stack[top];
        if (outer.left > r.left) r.left = outer.left;
        if (outer.top > r.top) r.top = outer.top;
        if (outer.right < r.right) r.right = outer.right;
        if (outer.lower < r.lower) r.lower = outer.lower;
    }
    zk_state.scissor_rect_stack[++top] = r;
    // An empty intersection keeps the scissor that is set.
    return ApplyEdges(r);
}

void ZK_Graphics_PopScissorRectangle() {
    int32_t& top = zk_state.scissor_rect_top;
    if (top < 0) {
        zk->ZK_Popupf(ZK_MESSAGE_ERROR,
                      "ZK_Graphics_PopScissorRectangle: too many pop operations called! Make sureonly one pop is "
                      "called per each push each frame.");
        return;
    }
    --top;
    if (top < 0) {
        zk_batch_renderer.Flush();
        if (RendererReady()) ri->DisableScissorRect();
        return;
    }
    ApplyEdges(zk_state.scissor_rect_stack[top]);
}

void ZK_Graphics_DisableScissorRect() {
    zk_batch_renderer.Flush();
    if (RendererReady()) ri->DisableScissorRect();
}
