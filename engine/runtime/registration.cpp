// The records of the seam with their defaults: neutral answers, the null
// renderer, and table parts filled with neutral functions. Registered
// subsystems overwrite what they provide.

#include "engine/runtime/registration.h"

#include <type_traits>

#include "engine/base/ntransform.h"
#include "engine/base/types.h"
#include "engine/runtime/backends.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"

namespace {

// --- Table parts nobody has registered ----------------------------------------

// Fills every slot of one sub-table with the neutral function of its type.
template <class Table>
void FillNeutral(Table* api) {
#define ZK_NEUTRAL_SLOT(table, ret, name, params) \
    if constexpr (std::is_same<Table, table>::value) api->name = zk_neutral<ret(*) params>::Call;
#define ZK_ACHIEVEMENTS_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(zk_achievements_api_t, ret, name, params)
#define ZK_AUDIO_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(zk_audio_api_t, ret, name, params)
#define ZK_CLOUD_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(zk_cloud_api_t, ret, name, params)
#define ZK_EXTENSION_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(zk_extension_api_t, ret, name, params)
#define ZK_GRAPHICS_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(zk_graphics_api_t, ret, name, params)
#define ZK_LEADERBOARDS_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(zk_leaderboards_api_t, ret, name, params)
#define ZK_NOTIFICATIONS_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(zk_notifications_api_t, ret, name, params)
#define ZK_SOCIAL_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(zk_social_api_t, ret, name, params)
#define ZK_STATISTIC_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(zk_statistic_api_t, ret, name, params)
#define ZK_UGC_SLOT(ret, name, params, attributes) ZK_NEUTRAL_SLOT(zk_ugc_api_t, ret, name, params)
#include "engine/runtime/interface.def"
#undef ZK_NEUTRAL_SLOT
}

typedef zk_color_setters_t Setters;
constexpr Setters kNeutralColorSetters = {zk_neutral<decltype(Setters::SetColor)>::Call,
                                          zk_neutral<decltype(Setters::SetColorWithAlpha)>::Call};

// --- The null back ends -----------------------------------------------------------

// Initialises, draws nothing, lists no resolutions, has a maximum texture
// size of 2048 and B,G,R,A vertex colours.
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

// Without an image loader the singleton is only an address to hand out.
struct NoImageLoader {
    int unused;
};

RendererImplementation* NullRenderer() {
    static RendererImplementationNull renderer;
    return &renderer;
}

bool LoadNullRenderer() {
    if (ri) return true;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Loading renderer implementation...");
    ri = NullRenderer();
    zk_state.rend_imp = ri;
    return true;
}

bool InitCurrentRenderer() {
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

// Only the null renderer exists: keep the size there is.
bool KeepTheResolution(bool windowed, bool /*forcing*/) {
    if (!zk_state.supported_resolutions) return false;
    zk_state.parms.windowed = windowed ? 1 : 0;
    return false;
}

void ResetScreenFitting() {
    if (zk_state.autoscale) return;
    zk_state.autoscale_offset_x = zk_state.autoscale_offset_y = 0.0f;
    zk_state.autoscale_scale_x = zk_state.autoscale_scale_y = 1.0f;
    zk_state.autoscale_inverse_scale_x = zk_state.autoscale_inverse_scale_y = 1.0f;
}

void NoFonts() {}

bool StoreImageLoader() {
    static NoImageLoader loader;
    zk_il = reinterpret_cast<ImageLoaderImp*>(&loader);
    zk_state.image_loader = zk_il;
    return true;
}

// --- Services and device ----------------------------------------------------------------

void NoExtensionModules() {}
const char* NoMapping(const char*, const char*) { return nullptr; }

int NoPopup(int /*type*/, const char* /*text*/) { return 4; }
int KeepThreadPrecedence(pthread_t /*thread*/, int /*importance*/) { return 0; }
int KeepThreadPolicy(pthread_t /*thread*/) { return 0; }

}  // namespace

zk_device_t zk_device = {NoPopup, KeepThreadPrecedence, KeepThreadPolicy};

zk_media_t zk_media = {
    NullRenderer,
    LoadNullRenderer,
    InitCurrentRenderer,
    KeepTheResolution,
    ResetScreenFitting,
    NoFonts,
    StoreImageLoader,
    zk_neutral<decltype(zk_media_t::GetSoundImpNull)>::Call,
    zk_neutral<decltype(zk_media_t::ResetSoundManager)>::Call,
    zk_neutral<decltype(zk_media_t::GetSoundMasterVolume)>::Call,
    zk_neutral<decltype(zk_media_t::ActivateSound)>::Call,
    FillNeutral<zk_graphics_api_t>,
    FillNeutral<zk_audio_api_t>,
    FillNeutral<zk_extension_api_t>,
    kNeutralColorSetters,
    kNeutralColorSetters,
};

zk_services_t zk_services = {
    NoExtensionModules,
    NoExtensionModules,
    NoMapping,
    NoMapping,
    NoMapping,
    NoMapping,
    FillNeutral<zk_achievements_api_t>,
    FillNeutral<zk_cloud_api_t>,
    FillNeutral<zk_leaderboards_api_t>,
    FillNeutral<zk_notifications_api_t>,
    FillNeutral<zk_social_api_t>,
    FillNeutral<zk_statistic_api_t>,
    FillNeutral<zk_ugc_api_t>,
};

zk_frame_backend_t zk_frame_backend;
