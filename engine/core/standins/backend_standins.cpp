// stand-in until: engine/media zk_media ZKI_LoadRendImp
// The null renderer, the null sound back end, the image loader and the
// screen helpers as start-up and the extension call need them, until the
// media subsystem brings its own. They answer as the null back ends do: the
// renderer initialises, draws nothing, lists no resolutions and has a
// maximum texture size of 2048; the sound back end initialises and plays
// nothing.

#include <cstring>

#include "engine/core/backends.h"
#include "engine/core/log.h"
#include "engine/core/state.h"

namespace {

class RendererImplementationNull : public RendererImplementation {
public:
    const char* GetName() override { return "Null"; }
    bool Initialize(zekar_t*, zk_state_t*, zk_parms_t*) override { return true; }
    void Shutdown() override {}
    int GetMaximumTextureSize() override { return 2048; }
    bool IsReadyToRender() override { return true; }
    bool IsResolutionSupported(int, int) override { return true; }
    void UpdateSupportedResolutions() override {}
    const char* GetListOfSupportedResolutions() override { return nullptr; }
    int GetVertexColorFormat() override { return 1; }
    const char* CallExtension(const char*, const char*) override { return nullptr; }
    void ActivateWindow(bool) override {}
};

class SoundImplementationNull : public SoundImplementation {
public:
    const char* GetName() override { return "SoundImp Null"; }
    bool Initialize(zk_state_t*, zk_parms_t*) override { return true; }
    void SetMasterVolume(float) override {}
    void ActivateWindow(bool) override {}
};

// The image loader is only a singleton's address for the core.
struct ImageLoaderStandIn {
    int unused;
};

float sound_master_volume = 1.0f;
SoundImplementation* sound_manager_imp = nullptr;

}  // namespace

RendererImplementation* GetRendImpNull() {
    static RendererImplementationNull renderer;
    return &renderer;
}

SoundImplementation* GetSoundImpNull() {
    static SoundImplementationNull sound;
    return &sound;
}

float ZKI_GetSoundMasterVolume() { return sound_master_volume; }
void ZKI_ResetSoundManager(SoundImplementation* imp) { sound_manager_imp = imp; }

bool ZKI_LoadRendImp() {
    if (ri) return true;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Loading renderer implementation...");
    ri = GetRendImpNull();
    zk_state.rend_imp = ri;
    ZKI_SetBasicInterface(zk);
    return true;
}

bool ZKI_InitRendImp() {
    if (!ri) {
        ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Renderer doesn't exist, can't continue with init.");
        return false;
    }
    zk_parms.width = zk_state.parms.width;
    zk_parms.height = zk_state.parms.height;
    zk_parms.windowed = zk_state.parms.windowed;
    if (zk_parms.width < 640 || zk_parms.height < 480) zk_parms.windowed = 1;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Renderer Initializing: %dx%d %s..", zk_parms.width, zk_parms.height,
                   zk_parms.windowed ? "windowed" : "fullscreen");
    if (!ri->Initialize(zk, &zk_state, &zk_parms)) return false;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Renderer Initialization done.");
    if (!zk_device_info.fixed_resolution) {
        zk_device_info.screen_width = zk_parms.width;
        zk_device_info.screen_height = zk_parms.height;
    }
    zk_state.renderer_vertex_color_format = ri->GetVertexColorFormat();
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Batch renderer initializing done.");
    zk_state.renderer_initialized = 1;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Renderer ready.");
    return true;
}

bool ZKI_SelectOptimalResolution(bool windowed, bool /*forcing*/) {
    if (!zk_state.supported_resolutions) return false;
    // Only the null renderer exists: keep the size there is.
    zk_state.parms.windowed = windowed ? 1 : 0;
    return false;
}

void ZKI_SetupAutoscaling() {
    if (!zk_state.autoscale) {
        zk_state.autoscale_offset_x = zk_state.autoscale_offset_y = 0.0f;
        zk_state.autoscale_scale_x = zk_state.autoscale_scale_y = 1.0f;
        zk_state.autoscale_inverse_scale_x = zk_state.autoscale_inverse_scale_y = 1.0f;
    }
}

void ZKI_InitializeFonts() {}

bool ZKID_InitImageLoader() {
    static ImageLoaderStandIn loader;
    zk_il = reinterpret_cast<ImageLoaderImp*>(&loader);
    zk_state.image_loader = zk_il;
    return true;
}

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
    // A zoom of 0 or less would later be divided by.
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
