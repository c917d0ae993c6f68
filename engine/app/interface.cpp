// Set-up of the state and the interface table, and the table's filling: every
// slot from interface.def, each part from the layer that provides it.

#include "engine/app/interface.h"

#include <cstring>

#include "engine/app/console_overlay.h"
#include "engine/app/startup.h"
#include "engine/base/clock.h"
#include "engine/sound/audio_api.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/screen/diagnostics.h"
#include "engine/drawing/graphics_state.h"
#include "engine/drawing/drawing_interface.h"
#include "engine/screen/graphics_interface.h"
#include "engine/render/renderer_implementation.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/runtime/backends.h"
#include "engine/runtime/console.h"
#include "engine/runtime/core_services.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
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

void ZKI_SelectColorSetters(zk_graphics_api_t* api, int vertex_color_format) {
    bool rgba = vertex_color_format == 0;
    api->ZK_Graphics_SetColor = rgba ? ZK_Graphics_SetColor_RGBA : ZK_Graphics_SetColor_BGRA;
    api->ZK_Graphics_SetColorWithAlpha = rgba ? ZK_Graphics_SetColorWithAlpha_RGBA : ZK_Graphics_SetColorWithAlpha_BGRA;
}

void ZKI_SetInterfaceGraphics(zekar_t* t) {
    ZKM_FillGraphicsInterface(&zk_graphics_api);
    // The renderer decides the byte order of packed vertex colours; without
    // one the colours are B,G,R,A.
    ZKI_SelectColorSetters(&zk_graphics_api, ri ? ri->GetVertexColorFormat() : 1);
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

static void SetIdentity(nTransform& t) {
    t = nTransform();
    t.m[0] = t.m[5] = t.m[10] = t.m[15] = 1.0f;
}

static int HostByteOrder() {
    const uint16_t probe = 1;
    unsigned char first;
    memcpy(&first, &probe, 1);
    return first == 1 ? ZK_LITTLE_ENDIAN : ZK_BIG_ENDIAN;
}

static void SetDefaults(zk_state_t& s) {
    s.reference_counting = 1;
    s.log_verbose_level = 2;
    s.console_toggle_key = 112;
    s.windowed = 1;
    s.world_transform_top = s.view_transform_top = s.projection_transform_top = -1;
    s.scissor_rect_top = -1;
    SetIdentity(s.world_view_transform);
    s.world_view_transform_valid = 1;
    SetIdentity(zk_transform_identity);
    s.pack_bitmaps = 1;
    s.allowed_orientations = 12;
    s.interface_orientation = 8;
    s.target_orientation = 8;
    s.default_bitmap_cache_mode = 4;
    s.default_bitmap_flags = 2;
    s.depth_range[0] = 0.1f;
    s.depth_range[1] = 0.5f;
    s.depth_range[2] = 1.0f;
    s.depth_default = 0.5f;
    // Opaque white, as the scratch quad's colour below says.
    for (float& component : s.current_color) component = 1.0f;
    s.current_packed_color = 0xFFFFFFFFu;
    for (int i = 0; i < 4; ++i) {
        s.quad_vertices[i].z = s.quad_vertices_4v[i].z = 0.5f;
        s.quad_vertices[i].color = s.quad_vertices_4v[i].color = 0xFFFFFFFFu;
    }
    s.overlay_zoom = s.overlay_zoom_saved = 1.0f;
    s.endianness = HostByteOrder();
}

// The diagnostics end each frame with the console overlay.
static void ConsoleUpdate(float dt) { zk_console.Update(dt); }
static void ConsoleDraw() { zk_console.Draw(); }

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
    ri = nullptr;
    zk = &zekar;
    zekar = zekar_t();
    zk_parms = zk_parms_t();
    ZKI_StateReset();
    // Where a layer calls up into one above it, the one above puts its
    // functions in place before the table is filled.
    ZKD_RegisterDevice();
    ZKI_ConnectBatchRendererToShaders();
    zk_console_overlay_hooks = {ConsoleUpdate, ConsoleDraw};
    ZKI_SetBasicInterface(&zekar);
    zk_state.zk = zk;
    zk_state.device_info = &zk_device_info;
    SetDefaults(zk_state);
    zk_parms.command_line_params = zk_command_line_params;
    if (platform_argument) {
        zk_state.has_platform_argument = 1;
        zk_state.platform_argument = platform_argument;
    }
    zk_state.start_time_ms = ZKT_GetTime();
    zk_state.start_steady_clock = ZKT_GetSteadyClockNanoseconds();
}

