// The interface table and its fillers.

#include <cstring>

#include "engine/core/interface_functions.h"
#include "engine/core/log.h"
#include "engine/core/state.h"
#include "engine/core/threads.h"

zekar_t zekar;
zekar_t* zk = nullptr;

zk_achievements_api_t zk_achievements_api;
zk_audio_api_t zk_audio_api;
zk_cloud_api_t zk_cloud_api;
zk_extension_api_t zk_extension_api;
zk_file_system_api_t zk_file_system_api;
zk_graphics_api_t zk_graphics_api;
zk_leaderboards_api_t zk_leaderboards_api;
zk_notifications_api_t zk_notifications_api;
zk_social_api_t zk_social_api;
zk_statistic_api_t zk_statistic_api;
zk_ugc_api_t zk_ugc_api;

static void SetBasicFunctions(zekar_t* t) {
    t->ZK_Printf = ZK_Printf;
    t->ZK_PrintDebugf = ZK_PrintDebugf;
    t->ZK_Popupf = ZK_Popupf;
    t->ZK_AddConsoleAutocompletionString = ZK_AddConsoleAutocompletionString;
    t->ZKT_Sleep = ZKT_Sleep;
    t->ZK_GetTime = ZK_GetTime;
    t->ZK_GetTimeNanoseconds = ZK_GetTimeNanoseconds;
    t->ZK_GetTimeSecondsElapsedSinceEpoch = ZK_GetTimeSecondsElapsedSinceEpoch;
    t->ZK_GetEpochTimeConvertedToDate = ZK_GetEpochTimeConvertedToDate;
    t->ZK_GetDate = ZK_GetDate;
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
    t->ZKD_SetCursor = ZKD_SetCursor;
    t->ZK_SignalShutdown = ZK_SignalShutdown;
    t->ZK_IsShutdownSignalled = ZK_IsShutdownSignalled;
    t->ZK_ProductFeatureExists = ZK_ProductFeatureExists;
    t->ZK_GetProductValue = ZK_GetProductValue;
    t->ZK_ReinitializeWithParameters = ZK_ReinitializeWithParameters;
    t->ZK_CallExtension = ZK_CallExtension;
    t->ZK_FreeList = ZK_FreeList;
    t->ZK_SendHttpRequest = ZK_SendHttpRequest;
    t->ZK_SendHttpRequestWithHeader = ZK_SendHttpRequestWithHeader;
    t->ZK_AllocBuffer = ZK_AllocBuffer;
    t->ZK_FreeBuffer = ZK_FreeBuffer;
    t->ZK_AllocMemory = ZK_AllocMemory;
    t->ZK_FreeMemory = ZK_FreeMemory;
    t->ZK_SendEventQueued = ZK_SendEventQueued;
    t->ZK_SetupEvent = ZK_SetupEvent;
    t->ZK_GetKeyStatei = ZK_GetKeyStatei;
    t->ZK_SetKeyStatei = ZK_SetKeyStatei;
    t->ZK_GetKeyStatef = ZK_GetKeyStatef;
    t->ZK_SetKeyStatef = ZK_SetKeyStatef;
    t->ZKI_IsDeveloperModeEnabled = ZKI_IsDeveloperModeEnabled;
}

void ZKI_SetInterfaceAchievements(zekar_t* t) {
    ZKI_FillAchievementsInterface(&zk_achievements_api);
    t->achievements = &zk_achievements_api;
}

void ZKI_SetInterfaceAudio(zekar_t* t) {
    ZKI_FillAudioInterface(&zk_audio_api);
    t->audio = &zk_audio_api;
}

void ZKI_SetInterfaceCloud(zekar_t* t) {
    ZKI_FillCloudInterface(&zk_cloud_api);
    t->cloud = &zk_cloud_api;
}

void ZKI_SetInterfaceFileSystem(zekar_t* t) {
    ZKI_FillFileSystemInterface(&zk_file_system_api);
    t->file_system = &zk_file_system_api;
}

void ZKI_SelectColorSetters(zk_graphics_api_t* api, int vertex_color_format) {
    if (vertex_color_format == 0) {
        api->ZK_Graphics_SetColor = ZK_Graphics_SetColor_RGBA;
        api->ZK_Graphics_SetColorWithAlpha = ZK_Graphics_SetColorWithAlpha_RGBA;
    } else {
        api->ZK_Graphics_SetColor = ZK_Graphics_SetColor_BGRA;
        api->ZK_Graphics_SetColorWithAlpha = ZK_Graphics_SetColorWithAlpha_BGRA;
    }
}

void ZKI_SetInterfaceGraphics(zekar_t* t) {
    ZKI_FillGraphicsInterface(&zk_graphics_api);
    // The renderer decides the byte order of packed vertex colours.
    ZKI_SelectColorSetters(&zk_graphics_api, ZKI_GetRendererVertexColorFormat());
    t->graphics = &zk_graphics_api;
}

void ZKI_SetInterfaceLeaderboards(zekar_t* t) {
    ZKI_FillLeaderboardsInterface(&zk_leaderboards_api);
    t->leaderboards = &zk_leaderboards_api;
}

void ZKI_SetInterfaceNotifications(zekar_t* t) {
    ZKI_FillNotificationsInterface(&zk_notifications_api);
    t->notifications = &zk_notifications_api;
}

void ZKI_SetInterfaceStatistic(zekar_t* t) {
    ZKI_FillStatisticInterface(&zk_statistic_api);
    t->statistic = &zk_statistic_api;
}

void ZKI_SetInterfaceSocial(zekar_t* t) {
    ZKI_FillSocialInterface(&zk_social_api);
    t->social = &zk_social_api;
}

void ZKI_SetInterfaceUGC(zekar_t* t) {
    ZKI_FillUGCInterface(&zk_ugc_api);
    t->ugc = &zk_ugc_api;
}

void ZKI_SetBasicInterface(zekar_t* t) {
    if (!t) return;
    SetBasicFunctions(t);
    ZKI_SetInterfaceAchievements(t);
    ZKI_SetInterfaceAudio(t);
    ZKI_SetInterfaceCloud(t);
    ZKI_FillExtensionInterface(&zk_extension_api);
    t->ext = &zk_extension_api;
    ZKI_SetInterfaceFileSystem(t);
    ZKI_SetInterfaceGraphics(t);
    ZKI_SetInterfaceLeaderboards(t);
    ZKI_SetInterfaceNotifications(t);
    ZKI_SetInterfaceSocial(t);
    ZKI_SetInterfaceStatistic(t);
    ZKI_SetInterfaceUGC(t);
}
