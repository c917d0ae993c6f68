// The records of the seam with their defaults: neutral answers and table
// parts filled with neutral functions. There is no renderer and no sound
// back end until the media layer registers them. Registered subsystems
// overwrite what they provide.

#include "engine/runtime/registration.h"

#include <type_traits>

#include "engine/base/ntransform.h"
#include "engine/base/types.h"
#include "engine/runtime/backends.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"

// --- Table parts nobody has registered ----------------------------------------

template <class Table>
void ZKI_FillNeutralInterface(Table* api) {
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

template void ZKI_FillNeutralInterface(zk_achievements_api_t*);
template void ZKI_FillNeutralInterface(zk_audio_api_t*);
template void ZKI_FillNeutralInterface(zk_cloud_api_t*);
template void ZKI_FillNeutralInterface(zk_extension_api_t*);
template void ZKI_FillNeutralInterface(zk_graphics_api_t*);
template void ZKI_FillNeutralInterface(zk_leaderboards_api_t*);
template void ZKI_FillNeutralInterface(zk_notifications_api_t*);
template void ZKI_FillNeutralInterface(zk_social_api_t*);
template void ZKI_FillNeutralInterface(zk_statistic_api_t*);
template void ZKI_FillNeutralInterface(zk_ugc_api_t*);

namespace {

typedef zk_color_setters_t Setters;
constexpr Setters kNeutralColorSetters = {zk_neutral<decltype(Setters::SetColor)>::Call,
                                          zk_neutral<decltype(Setters::SetColorWithAlpha)>::Call};

// Without an image loader the singleton is only an address to hand out.
struct NoImageLoader {
    int unused;
};

// No resolution selection yet: keep the size there is.
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

// --- Device ------------------------------------------------------------------------------

int NoPopup(int /*type*/, const char* /*text*/) { return 4; }
int KeepThreadPrecedence(pthread_t /*thread*/, int /*importance*/) { return 0; }
int KeepThreadPolicy(pthread_t /*thread*/) { return 0; }

}  // namespace

zk_device_t zk_device = {NoPopup, KeepThreadPrecedence, KeepThreadPolicy};

constexpr zk_media_t kMediaDefaults = {
    zk_neutral<decltype(zk_media_t::GetRendImpNull)>::Call,
    zk_neutral<decltype(zk_media_t::LoadRendImp)>::Call,
    zk_neutral<decltype(zk_media_t::InitRendImp)>::Call,
    zk_neutral<decltype(zk_media_t::ActivateRendererWindow)>::Call,
    zk_neutral<decltype(zk_media_t::IsResolutionSupportedByRenderer)>::Call,
    KeepTheResolution,
    ResetScreenFitting,
    NoFonts,
    StoreImageLoader,
    zk_neutral<decltype(zk_media_t::GetSoundImpNull)>::Call,
    zk_neutral<decltype(zk_media_t::ResetSoundManager)>::Call,
    zk_neutral<decltype(zk_media_t::GetSoundMasterVolume)>::Call,
    zk_neutral<decltype(zk_media_t::ActivateSound)>::Call,
    ZKI_FillNeutralInterface<zk_graphics_api_t>,
    ZKI_FillNeutralInterface<zk_audio_api_t>,
    ZKI_FillNeutralInterface<zk_extension_api_t>,
    kNeutralColorSetters,
    kNeutralColorSetters,
    zk_neutral<decltype(zk_media_t::SetDeviceScreenSize)>::Call,
};

const zk_media_t zk_media_defaults = kMediaDefaults;
zk_media_t zk_media = kMediaDefaults;

zk_frame_backend_t zk_frame_backend;
