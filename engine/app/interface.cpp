// Set-up of the state and the interface table, and the table's filling: every
// slot from interface.def, each part from the layer that provides it.

#include "engine/app/interface.h"

#include <cstring>

#include "engine/console/console_overlay.h"
#include "engine/app/startup.h"
#include "engine/base/clock.h"
#include "engine/sound/audio_api.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/drawing/graphics_state.h"
#include "engine/drawing/drawing_interface.h"
#include "engine/screen/graphics_interface.h"
#include "engine/render/renderer_implementation.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/runtime/backends.h"
#include "engine/console/console.h"
#include "engine/runtime/basic_functions.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
#include "engine/runtime/state_setup.h"
#include "engine/runtime/threads.h"
#include "engine/services/extension_modules.h"
#include "engine/services/services.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/settings.h"
#include "platform/macos/device/platform.h"

static void SetBasicFunctions(zekar_t* t) {
#define ZK_TOP_SLOT(ret, name, params, attributes) t->name = name;
#include "engine/runtime/interface.def"
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

void ZKI_SetInterfaceGraphics(zekar_t* t) {
    ZKM_FillGraphicsInterface(&zk_graphics_api);
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
    ZKM_FillExtensionInterface(&zk_extension_api);
    t->ext = &zk_extension_api;
    ZKI_SetInterfaceFileSystem(t);
    ZKI_SetInterfaceGraphics(t);
    ZKI_SetInterfaceLeaderboards(t);
    ZKI_SetInterfaceNotifications(t);
    ZKI_SetInterfaceSocial(t);
    ZKI_SetInterfaceStatistic(t);
    ZKI_SetInterfaceUGC(t);
}

// --- Set-up of the state and the table -------------------------------------------

// A second set-up (a second pre-initialisation, or a test setting the
// engine up again) resets the state, which frees the mutexes of the first
// one: whatever holds one lets go of it before. The file systems go first
// (the PAK system locks its mutex as it is destroyed), then the console,
// which would lock its own for any line printed before it is set up again,
// then the run-time shaders (their translator's mutex, and queues naming
// the old state's records) and the extension modules, whose service
// implementations hold mutexes of their own.
static void LetGoOfAnEarlierStart() {
    ZKFileSystem::Deinitialize();
    zk_console.Detach();
    ZKI_ForgetRunTimeShaders();
    ZK_ShutdownExtensionModules();
}

void ZKI_StateSetup(void* platform_argument) {
    LetGoOfAnEarlierStart();
    ZKI_SetUpState(platform_argument);
    // Where a layer calls up into one above it, the one above puts its
    // functions in place before the table is filled.
    ZKD_RegisterDevice();
    ZKI_SetBasicInterface(&zekar);
}

