// The engine's interface table.
//
// Every engine service reaches every other through the table `zekar` behind
// the global pointer `zk`: log lines through zk->ZK_Printf, files through
// zk->file_system->ZK_FileSystem_OpenFile, drawing through zk->graphics->...
// A program built on the engine uses the same table, and programs index it by
// position, so the order of the members below is binding: never insert,
// remove or reorder a member.
//
// Top level: slots 0..40 are functions, slots 41..51 point at the eleven
// sub-tables. Each slot member bears the name of the function it holds.
//
// interface.def lists every slot once; the structs below, the prototypes
// (interface_functions.h), the fillers and the slot-order test are all
// generated from it. Start-up fills the table (ZKI_SetBasicInterface,
// engine/app), each part with the functions of the layer that provides it;
// a slot no layer provides holds a neutral function (interface_filling.h).
#pragma once

#include <cstddef>
#include <cstdint>

#define ZK_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))

// ---------------------------------------------------------------------------
// Small shared types the table speaks of.

// Message types of the printers: 0 INFO, 1 WARNING, 2 ERROR, 3 SYSTEM.
typedef int zk_message_type_t;
enum {
    ZK_MESSAGE_INFO = 0,
    ZK_MESSAGE_WARNING = 1,
    ZK_MESSAGE_ERROR = 2,
    ZK_MESSAGE_SYSTEM = 3,
};

typedef uint32_t zk_event_type_t;
typedef int zk_seek_t;               // 0 start, 1 current, 2 end
typedef int zk_blend_mode_t;
typedef int zk_filter_t;             // 0 default, 1 POINT, 2 LINEAR, 3 ANISOTROPIC
typedef int zk_address_mode_t;       // 0 default, 1 CLAMP, 2 WRAP, 3 MIRROR
typedef int zk_render_state_t;
typedef int zk_vertex_format_t;
typedef int zk_buffer_usage_t;
typedef int zk_leaderboard_filter_t;
typedef int zk_vertex_color_format_t; // 0 R,G,B,A in memory; other values B,G,R,A
// One play of a sound; handed out from 1 upward, never reused; 0 is none.
typedef int64_t zk_sound_channel;

// {char** items; count}: the list FindFiles returns; freed with ZK_FreeList.
struct zk_list_t {
    char** items;
    int count;
};

// Response buffer of the HTTP operations: data (owned), a word that stays 0,
// bytes held, bytes expected.
struct zk_buffer_t {
    void* data;
    uint32_t reserved;
    int size;
    int capacity;
};

// A leaderboard score, passed by value through the table: id, player name,
// points, rank (1-based position in an answered list), extra data with its
// length (0-188), time stamp (seconds since the epoch).
struct zk_score_t {
    char id[64];
    char player_name[64];
    int32_t points;
    int32_t rank;
    uint8_t extra_data[188];
    int32_t extra_data_length;
    int32_t time_stamp;
};
static_assert(sizeof(zk_score_t) == 332, "zk_score_t has no gaps");

namespace ZKFileSystem {
class File;
}

// An open file of the file-system table (engine/storage). The handle owns
// its name (a copy of the path as the caller gave it) and its file;
// CloseFile frees all three.
struct zk_file_t {
    char* name;
    int64_t size;  // bytes when opened; 0 when opened for writing
    ZKFileSystem::File* file;
};

// Second counts from the file's status.
struct zk_file_info_t {
    uint32_t status_change_time;
    uint32_t modification_time;
    uint32_t access_time;
};

struct zk_mutex_t;        // engine/base/mutex.h
struct zk_date_t;         // engine/base/clock.h
struct zk_event_t;        // engine/runtime/event.h
struct zk_parms_t;        // engine/runtime/state.h
struct zk_bitmap_t;       // engine/runtime/media_records.h
struct zk_bitmap_parameters_t;
struct zk_font_t;
struct zk_sound_t;
struct zk_shader_t;
struct zk_vertex_t;
struct zk_vertex_buffer_t;
struct zk_index_buffer_t;
struct zk_ugc_item_info_t;
struct vec2_t;
struct color_t;
class nTransform;
class nString;

// Element type of the shader constant setters (a zk_shader_t constant type).
typedef int zk_shader_constant_type_t;

// ---------------------------------------------------------------------------
// The tables, generated from interface.def: members in slot order, each
// named after the function it holds.

struct zk_achievements_api_t;
struct zk_audio_api_t;
struct zk_cloud_api_t;
struct zk_extension_api_t;
struct zk_file_system_api_t;
struct zk_graphics_api_t;
struct zk_leaderboards_api_t;
struct zk_notifications_api_t;
struct zk_social_api_t;
struct zk_statistic_api_t;
struct zk_ugc_api_t;

#define ZK_SLOT_MEMBER(ret, name, params, attributes) ret(*name) params attributes;

struct zekar_t {
#define ZK_TOP_SLOT ZK_SLOT_MEMBER
#define ZK_SUB_TABLE(type, object, member) type* member;
#include "engine/runtime/interface.def"
};

struct zk_achievements_api_t {
#define ZK_ACHIEVEMENTS_SLOT ZK_SLOT_MEMBER
#include "engine/runtime/interface.def"
};

struct zk_audio_api_t {
#define ZK_AUDIO_SLOT ZK_SLOT_MEMBER
#include "engine/runtime/interface.def"
};

struct zk_cloud_api_t {
#define ZK_CLOUD_SLOT ZK_SLOT_MEMBER
#include "engine/runtime/interface.def"
};

struct zk_extension_api_t {
#define ZK_EXTENSION_SLOT ZK_SLOT_MEMBER
#include "engine/runtime/interface.def"
};

struct zk_file_system_api_t {
#define ZK_FILE_SYSTEM_SLOT ZK_SLOT_MEMBER
#include "engine/runtime/interface.def"
};

struct zk_graphics_api_t {
    // Four colour targets, one depth target, a cube-map side (0-5) per
    // colour target. All null means the screen.
    struct RenderTargets {
        zk_bitmap_t* color[4];
        zk_bitmap_t* depth;
        int cube_side[4];
    };
#define ZK_GRAPHICS_SLOT ZK_SLOT_MEMBER
#include "engine/runtime/interface.def"
};

struct zk_leaderboards_api_t {
#define ZK_LEADERBOARDS_SLOT ZK_SLOT_MEMBER
#include "engine/runtime/interface.def"
};

struct zk_notifications_api_t {
#define ZK_NOTIFICATIONS_SLOT ZK_SLOT_MEMBER
#include "engine/runtime/interface.def"
};

struct zk_social_api_t {
#define ZK_SOCIAL_SLOT ZK_SLOT_MEMBER
#include "engine/runtime/interface.def"
};

struct zk_statistic_api_t {
    // Layouts left open: no implementation exists.
    typedef int Category;
    struct Stats;
#define ZK_STATISTIC_SLOT ZK_SLOT_MEMBER
#include "engine/runtime/interface.def"
};

struct zk_ugc_api_t {
#define ZK_UGC_SLOT ZK_SLOT_MEMBER
#include "engine/runtime/interface.def"
};

#undef ZK_SLOT_MEMBER

static_assert(sizeof(zekar_t) == 52 * sizeof(void*), "zekar_t holds exactly 52 pointer slots");
static_assert(sizeof(zk_achievements_api_t) == 6 * sizeof(void*), "achievements sub-table: 6 slots");
static_assert(sizeof(zk_audio_api_t) == 24 * sizeof(void*), "audio sub-table: 24 slots");
static_assert(sizeof(zk_cloud_api_t) == 4 * sizeof(void*), "cloud sub-table: 4 slots");
static_assert(sizeof(zk_extension_api_t) == 1 * sizeof(void*), "extension sub-table: 1 slot");
static_assert(sizeof(zk_file_system_api_t) == 21 * sizeof(void*), "file-system sub-table: 21 slots");
static_assert(sizeof(zk_graphics_api_t) == 115 * sizeof(void*), "graphics sub-table: 115 slots");
static_assert(sizeof(zk_leaderboards_api_t) == 16 * sizeof(void*), "leaderboards sub-table: 16 slots");
static_assert(sizeof(zk_notifications_api_t) == 4 * sizeof(void*), "notifications sub-table: 4 slots");
static_assert(sizeof(zk_social_api_t) == 6 * sizeof(void*), "social sub-table: 6 slots");
static_assert(sizeof(zk_statistic_api_t) == 1 * sizeof(void*), "statistic sub-table: 1 slot");
static_assert(sizeof(zk_ugc_api_t) == 9 * sizeof(void*), "user-content sub-table: 9 slots");

// The table and the pointer every caller goes through (zk == &zekar once the
// state is set up; null before).
extern zekar_t zekar;
extern zekar_t* zk;

// The eleven sub-tables (static storage; their addresses go into slots 41-51).
extern zk_achievements_api_t zk_achievements_api;
extern zk_audio_api_t zk_audio_api;
extern zk_cloud_api_t zk_cloud_api;
extern zk_extension_api_t zk_extension_api;
extern zk_file_system_api_t zk_file_system_api;
extern zk_graphics_api_t zk_graphics_api;
extern zk_leaderboards_api_t zk_leaderboards_api;
extern zk_notifications_api_t zk_notifications_api;
extern zk_social_api_t zk_social_api;
extern zk_statistic_api_t zk_statistic_api;
extern zk_ugc_api_t zk_ugc_api;

// The file-system sub-table's filler (engine/storage); start-up fills the
// whole table (engine/app/interface.h).
void ZKI_FillFileSystemInterface(zk_file_system_api_t* api);
