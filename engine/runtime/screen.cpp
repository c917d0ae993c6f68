// Screen facts shared by the frame, start-up and the extension call.

#include "engine/runtime/screen.h"

#include <cstring>

#include "engine/runtime/state.h"

namespace {

struct PlatformName {
    const char* name;
    int id;
};
// A name that extends a shorter one comes before it.
const PlatformName kPlatformNames[] = {
    {"WINDOWS_RT", 13}, {"WINDOWS_PHONE", 14}, {"WINDOWS", 1}, {"MAC", 2},      {"IOS", 3},
    {"ANDROID_TV", 19}, {"ANDROID", 5},        {"WEBOS", 7},   {"QNX", 8},      {"PS3", 9},
    {"PS_VITA", 10},    {"PS4", 11},           {"LINUX", 12},  {"FLASH", 15},   {"TIZEN", 16},
    {"XBOX_ONE", 17},   {"APPLE_TV", 18},      {"SWITCH", 20},
};

}  // namespace

int ZKI_GetPlatformIdFromString(const char* text) {
    if (!text) return 0;
    for (const PlatformName& entry : kPlatformNames) {
        if (strncmp(text, entry.name, strlen(entry.name)) == 0) return entry.id;
    }
    return 0;
}

int ZKI_GetProgramOrientation() {
    const zk_prog_t* prog = zk_state.prog;
    if (!prog) return 1;
    return prog->parms.ref_width > prog->parms.ref_height ? 4 : 1;
}

void ZKI_SetOverlayZoom(float zoom) {
    if (!(zoom > 0.0f)) return;
    if (zk_state.overlay_zoom_disabled) zoom = 1.0f;
    zk_state.overlay_zoom = zoom;
    float w = static_cast<float>(zk_device_info.screen_width);
    float h = static_cast<float>(zk_device_info.screen_height);
    if (zk_device_info.orientation != ZKI_GetProgramOrientation()) {
        float t = w;
        w = h;
        h = t;
    }
    zk_state.overlay_offset_x = static_cast<int>((w - zoom * w) * 0.5f);
    zk_state.overlay_offset_y = static_cast<int>((h - zoom * h) * 0.5f);
}
