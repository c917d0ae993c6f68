// The interface table and its filling: every slot from interface.def, the
// runtime's, storage's, the device's and start-up's functions directly, the
// media and services parts through their registration records.

#include <cstring>

#include "engine/core/backends.h"
#include "engine/core/core_services.h"
#include "engine/core/interface_functions.h"
#include "engine/core/log.h"
#include "engine/core/registration.h"
#include "engine/core/state.h"
#include "engine/core/threads.h"
#include "engine/storage/settings.h"
#include "platform/macos/platform.h"

zekar_t zekar;
zekar_t* zk = nullptr;

#define ZK_SUB_TABLE(type, object, member) type object;
#include "engine/core/interface.def"

static void SetBasicFunctions(zekar_t* t) {
#define ZK_TOP_SLOT(ret, name, params, attributes) t->name = name;
#include "engine/core/interface.def"
}

void ZKI_SetInterfaceAchievements(zekar_t* t) {
    zk_services.FillAchievementsInterface(&zk_achievements_api);
    t->achievements = &zk_achievements_api;
}

void ZKI_SetInterfaceAudio(zekar_t* t) {
    zk_media.FillAudioInterface(&zk_audio_api);
    t->audio = &zk_audio_api;
}

void ZKI_SetInterfaceCloud(zekar_t* t) {
    zk_services.FillCloudInterface(&zk_cloud_api);
    t->cloud = &zk_cloud_api;
}

void ZKI_SetInterfaceFileSystem(zekar_t* t) {
    ZKI_FillFileSystemInterface(&zk_file_system_api);
    t->file_system = &zk_file_system_api;
}

void ZKI_SelectColorSetters(zk_graphics_api_t* api, int vertex_color_format) {
    const zk_color_setters_t& pair = vertex_color_format == 0 ? zk_media.rgba : zk_media.bgra;
    api->ZK_Graphics_SetColor = pair.SetColor;
    api->ZK_Graphics_SetColorWithAlpha = pair.SetColorWithAlpha;
}

void ZKI_SetInterfaceGraphics(zekar_t* t) {
    zk_media.FillGraphicsInterface(&zk_graphics_api);
    // The renderer decides the byte order of packed vertex colours; without
    // one the colours are B,G,R,A.
    ZKI_SelectColorSetters(&zk_graphics_api, ri ? ri->GetVertexColorFormat() : 1);
    t->graphics = &zk_graphics_api;
}

void ZKI_SetInterfaceLeaderboards(zekar_t* t) {
    zk_services.FillLeaderboardsInterface(&zk_leaderboards_api);
    t->leaderboards = &zk_leaderboards_api;
}

void ZKI_SetInterfaceNotifications(zekar_t* t) {
    zk_services.FillNotificationsInterface(&zk_notifications_api);
    t->notifications = &zk_notifications_api;
}

void ZKI_SetInterfaceStatistic(zekar_t* t) {
    zk_services.FillStatisticInterface(&zk_statistic_api);
    t->statistic = &zk_statistic_api;
}

void ZKI_SetInterfaceSocial(zekar_t* t) {
    zk_services.FillSocialInterface(&zk_social_api);
    t->social = &zk_social_api;
}

void ZKI_SetInterfaceUGC(zekar_t* t) {
    zk_services.FillUGCInterface(&zk_ugc_api);
    t->ugc = &zk_ugc_api;
}

void ZKI_SetBasicInterface(zekar_t* t) {
    if (!t) return;
    SetBasicFunctions(t);
    ZKI_SetInterfaceAchievements(t);
    ZKI_SetInterfaceAudio(t);
    ZKI_SetInterfaceCloud(t);
    zk_media.FillExtensionInterface(&zk_extension_api);
    t->ext = &zk_extension_api;
    ZKI_SetInterfaceFileSystem(t);
    ZKI_SetInterfaceGraphics(t);
    ZKI_SetInterfaceLeaderboards(t);
    ZKI_SetInterfaceNotifications(t);
    ZKI_SetInterfaceSocial(t);
    ZKI_SetInterfaceStatistic(t);
    ZKI_SetInterfaceUGC(t);
}
