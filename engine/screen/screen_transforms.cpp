// Autoscaling, the interface rotation, the screen transform and the border
// rectangles.

#include "engine/screen/screen_transforms.h"

#include <cmath>

#include "engine/runtime/basic_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/screen.h"
#include "engine/runtime/state.h"

namespace {

const float kDegreesToRadians = 3.1415927f / 180.0f;
const zk_blend_mode_t kAlphaBlend = 1;
const int kLandscapeOrientations = 12;
const int kPortraitOrientations = 3;

struct OrientationAngle {
    int orientation;
    float degrees;
};
// Orientations not listed (1 among them) are at 0 degrees.
const OrientationAngle kOrientationAngles[] = {{2, 180.0f}, {4, -90.0f}, {8, 90.0f}};

bool DeviceHeldTurned() { return zk_device_info.orientation != ZKI_GetProgramOrientation(); }

// Scales 1, offsets 0: the program's pixels are the device's.
void SetNeutralFit() {
    zk_state.autoscale_scale_x = zk_state.autoscale_scale_y = 1.0f;
    zk_state.autoscale_inverse_scale_x = zk_state.autoscale_inverse_scale_y = 1.0f;
    zk_state.autoscale_offset_x = zk_state.autoscale_offset_y = 0.0f;
}

bool HasReferenceSize(const zk_parms_t& parms) { return parms.ref_width >= 1 && parms.ref_height >= 1; }

// The reference size of the start parameters scaled onto the device and
// centred on it, whole pixels of offset.
void FitReferenceSizeOntoDevice() {
    int device_width = 0, device_height = 0;
    ZKI_GetDeviceSizeInProgramOrientation(&device_width, &device_height);
    // Nothing to scale from, or no screen reported yet to scale onto.
    if (!HasReferenceSize(zk_parms) || device_width < 1 || device_height < 1) {
        SetNeutralFit();
        return;
    }
    float dw = static_cast<float>(device_width), dh = static_cast<float>(device_height);
    float rw = static_cast<float>(zk_parms.ref_width), rh = static_cast<float>(zk_parms.ref_height);
    float scale_x = dw / rw, scale_y = dh / rh;
    if (ZKI_ProductFeatureExists("AUTOSCALE_RETAIN_ASPECT_RATIO")) scale_x = scale_y = fminf(scale_x, scale_y);
    zk_state.autoscale_scale_x = scale_x;
    zk_state.autoscale_scale_y = scale_y;
    zk_state.autoscale_offset_x = truncf((dw - rw * scale_x) * 0.5f);
    zk_state.autoscale_offset_y = truncf((dh - rh * scale_y) * 0.5f);
    zk_state.autoscale_inverse_scale_x = 1.0f / scale_x;
    zk_state.autoscale_inverse_scale_y = 1.0f / scale_y;
}

nTransform Translation(float x, float y) {
    nTransform t = zk_transform_identity;
    t.m[3] = x;
    t.m[7] = y;
    return t;
}

nTransform Scale(float x, float y) {
    nTransform t = zk_transform_identity;
    t.m[0] = x;
    t.m[5] = y;
    return t;
}

nTransform RotationAboutZ(float degrees) {
    float radians = degrees * kDegreesToRadians;
    float c = cosf(radians), s = sinf(radians);
    nTransform t = zk_transform_identity;
    t.m[0] = c;
    t.m[1] = -s;
    t.m[4] = s;
    t.m[5] = c;
    return t;
}

// so_far becomes so_far x next.
void Then(nTransform& so_far, const nTransform& next) {
    nTransform combined;
    nTransform::Combine(combined, so_far, next);
    so_far = combined;
}

void BlackOpaque(zk_graphics_api_t* g) {
    g->ZK_Graphics_SetAlpha(1.0f);
    g->ZK_Graphics_SetColor(0.0f, 0.0f, 0.0f);
    g->ZK_Graphics_SetBlend(kAlphaBlend);
}

// Around the zoomed-out screen, in the program's coordinates.
void DrawZoomBorders(zk_graphics_api_t* g, float w, float h) {
    float z = zk_state.overlay_zoom;
    float ox = static_cast<float>(zk_state.overlay_offset_x), oy = static_cast<float>(zk_state.overlay_offset_y);
    BlackOpaque(g);
    g->ZK_Graphics_DrawRect(-ox / z, -oy / z - 2.0f, w / z, oy / z + 2.0f);
    g->ZK_Graphics_DrawRect(-ox / z, h, w / z, oy / z + 2.0f);
    g->ZK_Graphics_DrawRect(-ox / z - 2.0f, -oy / z, ox / z + 2.0f, h / z);
    g->ZK_Graphics_DrawRect(w, -oy / z, ox / z + 2.0f, h / z);
}

// Beside a letterboxed screen, and all round while it turns.
void DrawLetterboxBorders(zk_graphics_api_t* g, float w, float h) {
    bool turning = ZKI_IsOrientationRotationRunning();
    bool above_and_below = zk_state.autoscale_offset_y > 0.0f || turning;
    bool left_and_right = zk_state.autoscale_offset_x > 0.0f || turning;
    if (!above_and_below && !left_and_right) return;
    BlackOpaque(g);
    if (above_and_below) {
        g->ZK_Graphics_DrawRect(-w, h, 3.0f * w, h);
        g->ZK_Graphics_DrawRect(-w, -h, 3.0f * w, h);
    }
    if (left_and_right) {
        g->ZK_Graphics_DrawRect(w, -1.0f, w, h + 2.0f);
        g->ZK_Graphics_DrawRect(-w, -1.0f, w, h + 2.0f);
    }
    g->ZK_Graphics_SetColor(1.0f, 1.0f, 1.0f);
}

}  // namespace

float ZKI_GetOrientationAngle(int orientation) {
    for (const OrientationAngle& entry : kOrientationAngles) {
        if (entry.orientation == orientation) return entry.degrees;
    }
    return 0.0f;
}

bool ZKI_IsOrientationRotationRunning() { return zk_state.target_orientation != zk_state.interface_orientation; }

// --- Autoscaling -------------------------------------------------------------------------

void ZKI_SetupAutoscaling() {
    if (!zk_state.autoscale) {
        SetNeutralFit();
        return;
    }
    zk_prog_t* program = ZKI_GetProgramRecord();
    zk_parms_t& own = program ? program->parms : zk_parms;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Setting up autoscaling from %dx%d -> %dx%d.", own.ref_width, own.ref_height,
                   own.width, own.height);
    if (own.ref_width == own.width && own.ref_height == own.height) {
        ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Target resolution matches source, no need for scaling.");
        zk_state.autoscale = 0;
        SetNeutralFit();
        return;
    }
    // A program without a reference size has nothing to be scaled from; it
    // keeps its own size.
    if (!HasReferenceSize(own)) {
        zk_state.autoscale = 0;
        SetNeutralFit();
        return;
    }
    // The program always sees its virtual screen.
    own.width = own.ref_width;
    own.height = own.ref_height;
    FitReferenceSizeOntoDevice();
    ZKI_UpdateOverlayZoom();
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Offset x=%.2f y=%.2f", static_cast<double>(zk_state.autoscale_offset_x),
                   static_cast<double>(zk_state.autoscale_offset_y));
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Scale x=%.2f y=%.2f", static_cast<double>(zk_state.autoscale_scale_x),
                   static_cast<double>(zk_state.autoscale_scale_y));
}

void ZKI_UpdateAutoscaling() {
    if (zk_state.autoscale) FitReferenceSizeOntoDevice();
}

// --- The screen transform ------------------------------------------------------------------

void ZKI_UpdateScreenTransforms(float /*dt*/) {
    const zk_prog_t* program = ZKI_GetProgramRecord();
    bool landscape = program && program->parms.width > program->parms.height;
    zk_state.allowed_orientations = landscape ? kLandscapeOrientations : kPortraitOrientations;

    float from = ZKI_GetOrientationAngle(zk_state.interface_orientation);
    zk_state.interface_rotation_angle = from;
    if (!ZKI_IsOrientationRotationRunning()) return;
    float to = ZKI_GetOrientationAngle(zk_state.target_orientation);
    // A transition without a duration is a jump to the target.
    float duration = zk_state.orientation_transition_duration;
    float t = duration > 0.0f ? zk_state.orientation_transition_time / duration : 1.0f;
    float s = (3.0f - 2.0f * t) * t * t;
    zk_state.interface_rotation_angle = s * to + (1.0f - s) * from;
}

nTransform ZKI_GetScreenTransform() {
    nTransform m = Translation(static_cast<float>(zk_device_info.screen_width) * 0.5f,
                               static_cast<float>(zk_device_info.screen_height) * 0.5f);
    bool turned = DeviceHeldTurned();
    if (ZKI_IsOverlayZoomSet() || zk_state.autoscale) {
        float zoom = zk_state.overlay_zoom;
        float sx = zk_state.autoscale_scale_x, sy = zk_state.autoscale_scale_y;
        if (zk_state.autoscale && turned) {
            float swap = sx;
            sx = sy;
            sy = swap;
        }
        Then(m, Scale(sx * zoom, sy * zoom));
    }
    if (zk_device_info.fixed_resolution && turned) Then(m, RotationAboutZ(zk_state.interface_rotation_angle));
    const zk_parms_t& own = ZKI_GetProgramParameters();
    Then(m, Translation(-0.5f * static_cast<float>(own.width), -0.5f * static_cast<float>(own.height)));
    return m;
}

void ZKI_PushScreenTransforms() {
    nTransform m = ZKI_GetScreenTransform();
    zk->graphics->ZK_Graphics_PushWorldTransform(&m);
}

void ZKI_DrawScreenBorderRectangles() {
    zk_graphics_api_t* g = zk->graphics;
    const zk_parms_t& own = ZKI_GetProgramParameters();
    float w = static_cast<float>(own.width), h = static_cast<float>(own.height);
    // A zoom of 0 or less is never stored, but the borders divide by it.
    if (zk_state.overlay_zoom > 0.0f && zk_state.overlay_zoom < 1.0f) DrawZoomBorders(g, w, h);
    DrawLetterboxBorders(g, w, h);
}
