// The neutral fillers of the table's parts, and the runtime's part.

#include "engine/runtime/interface_filling.h"

#include <type_traits>

#include "engine/base/clock.h"

#include "engine/base/ntransform.h"
#include "engine/base/types.h"
#include "engine/runtime/backends.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"

// --- Neutral parts -----------------------------------------------------------------

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

// --- The runtime's part ------------------------------------------------------------

void ZKI_FillRuntimeInterface(zekar_t* t) {
#define ZK_TOP_SLOT(ret, name, params, attributes) t->name = zk_neutral<ret(*) params>::Call;
#define ZK_SUB_TABLE(type, object, member) \
    ZKI_FillNeutralInterface(&object);     \
    t->member = &object;
#include "engine/runtime/interface.def"
    // Logging and popups.
    t->ZK_Printf = ZK_Printf;
    t->ZK_PrintDebugf = ZK_PrintDebugf;
    t->ZK_Popupf = ZK_Popupf;
    t->ZK_AddConsoleAutocompletionString = ZK_AddConsoleAutocompletionString;
    // Time.
    t->ZKT_Sleep = ZKT_Sleep;
    t->ZK_GetTime = ZK_GetTime;
    t->ZK_GetTimeNanoseconds = ZK_GetTimeNanoseconds;
    t->ZK_GetTimeSecondsElapsedSinceEpoch = ZK_GetTimeSecondsElapsedSinceEpoch;
    t->ZK_GetEpochTimeConvertedToDate = ZK_GetEpochTimeConvertedToDate;
    t->ZK_GetDate = ZK_GetDate;
    // Mutexes and threads.
    t->ZK_GetMutex = ZK_GetMutex;
    t->ZK_ReleaseMutex = ZK_ReleaseMutex;
    t->ZK_LockMutex = ZK_LockMutex;
    t->ZK_UnlockMutex = ZK_UnlockMutex;
    t->ZK_CreateThread = ZK_CreateThread;
    t->ZK_GetCurrentThreadId = ZK_GetCurrentThreadId;
    t->ZK_IsMainThread = ZK_IsMainThread;
    t->ZK_SynchronizeWithMainThreadBegin = ZK_SynchronizeWithMainThreadBegin;
    t->ZK_SynchronizeWithMainThreadEnd = ZK_SynchronizeWithMainThreadEnd;
    t->ZK_IsSynchronizedWithMainThread = ZK_IsSynchronizedWithMainThread;
    // Shutdown, product features, lists and memory.
    t->ZK_SignalShutdown = ZK_SignalShutdown;
    t->ZK_IsShutdownSignalled = ZK_IsShutdownSignalled;
    t->ZK_ProductFeatureExists = ZK_ProductFeatureExists;
    t->ZK_FreeList = ZK_FreeList;
    t->ZK_AllocMemory = ZK_AllocMemory;
    t->ZK_FreeMemory = ZK_FreeMemory;
    // Events, key states and the developer mode.
    t->ZK_SendEventQueued = ZK_SendEventQueued;
    t->ZK_SetupEvent = ZK_SetupEvent;
    t->ZK_GetKeyStatei = ZK_GetKeyStatei;
    t->ZK_SetKeyStatei = ZK_SetKeyStatei;
    t->ZK_GetKeyStatef = ZK_GetKeyStatef;
    t->ZK_SetKeyStatef = ZK_SetKeyStatef;
    t->ZKI_IsDeveloperModeEnabled = ZKI_IsDeveloperModeEnabled;
}
