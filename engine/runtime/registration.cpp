// The device services' defaults and the neutral fillers of the table's parts.

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

// --- Device ------------------------------------------------------------------------------

int NoPopup(int /*type*/, const char* /*text*/) { return 4; }
int KeepThreadPrecedence(pthread_t /*thread*/, int /*importance*/) { return 0; }
int KeepThreadPolicy(pthread_t /*thread*/) { return 0; }

}  // namespace

zk_device_t zk_device = {NoPopup, KeepThreadPrecedence, KeepThreadPolicy};
