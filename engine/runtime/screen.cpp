// Screen facts shared by the frame, start-up, the extension call and the
// media layer.

#include "engine/runtime/screen.h"

#include <cmath>
#include <cstring>

namespace {

struct PlatformName {
    const char* name;
    int id;
};
// Matched by prefix (an override such as "IOS/SMALL" names a platform and
// a size class), so a name that extends a shorter one comes before it.
const PlatformName kPlatformNames[] = {
    {"WINDOWS_RT", 13}, {"WINDOWS_PHONE", 14}, {"WINDOWS", 1}, {"MAC", 2},      {"IOS", 3},
    {"ANDROID_TV", 19}, {"ANDROID", 5},        {"WEBOS", 7},   {"QNX", 8},      {"PS3", 9},
    {"PS_VITA", 10},    {"PS4", 11},           {"LINUX", 12},  {"FLASH", 15},   {"TIZEN", 16},
    {"XBOX_ONE", 17},   {"APPLE_TV", 18},      {"SWITCH", 20},
};

const int kPortrait = 1;
const int kLandscape = 4;

}  // namespace

zk_prog_t* ZKI_GetProgramRecord() { return zk_prog ? zk_prog : zk_state.prog; }

const zk_parms_t& ZKI_GetProgramParameters() {
    const zk_prog_t* program = ZKI_GetProgramRecord();
    return program ? program->parms : zk_parms;
}

int ZKI_GetPlatformIdFromString(const char* text) {
    if (!text) return 0;
    for (const PlatformName& entry : kPlatformNames) {
        if (strncmp(text, entry.name, strlen(entry.name)) == 0) return entry.id;
    }
    return 0;
}

const char* ZKI_GetPlatformNameOfId(int id) {
    for (const PlatformName& entry : kPlatformNames) {
        if (entry.id == id) return entry.name;
    }
    return "UNKNOWN";
}

int ZKI_GetProgramOrientation() {
    const zk_parms_t& parms = ZKI_GetProgramParameters();
    return parms.ref_width > parms.ref_height ? kLandscape : kPortrait;
}

const char* ZKI_GetOrientationName(int orientation) {
    switch (orientation) {
    case 1:
    case 2: return "PORTRAIT";
    case 4:
    case 8: return "LANDSCAPE";
    default: return "UNKNOWN";
    }
}

void ZKI_GetDeviceSizeInProgramOrientation(int* width, int* height) {
    bool turned = zk_device_info.orientation != ZKI_GetProgramOrientation();
    *width = turned ? zk_device_info.screen_height : zk_device_info.screen_width;
    *height = turned ? zk_device_info.screen_width : zk_device_info.screen_height;
}

void ZKI_SetOverlayZoom(float zoom) {
    if (!(zoom > 0.0f)) return;
    zk_state.overlay_zoom = zk_state.overlay_zoom_disabled ? 1.0f : zoom;
    ZKI_UpdateOverlayZoom();
}

void ZKI_UpdateOverlayZoom() {
    int width = 0, height = 0;
    ZKI_GetDeviceSizeInProgramOrientation(&width, &height);
    float w = static_cast<float>(width), h = static_cast<float>(height);
    float zoom = zk_state.overlay_zoom;
    zk_state.overlay_offset_x = static_cast<int32_t>((w - zoom * w) * 0.5f);
    zk_state.overlay_offset_y = static_cast<int32_t>((h - zoom * h) * 0.5f);
}

bool ZKI_IsOverlayZoomSet() { return fabsf(zk_state.overlay_zoom - 1.0f) >= 1e-6f; }

void ZKI_RevertProgramParameters() {
    if (!zk_prog) return;
    zk_state.parms.width = zk_parms.width;
    zk_state.parms.height = zk_parms.height;
    zk_state.parms.windowed = zk_parms.windowed;
}

void ZKI_ValidateParms(zk_parms_t* parms) {
    if (!parms || parms->windowed) return;
    if (parms->width < 640 || parms->height < 480) parms->windowed = 1;
}
