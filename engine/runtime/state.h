// The engine state record, the start parameters and the program record.
//
// One zk_state_t exists for the whole process (zk_state). It is constant-
// initialised (every member has an initialiser and the containers have
// constexpr constructors), so it is valid, zeroed, before any static
// constructor runs: the printers and the mutex registry work before main.
// Never memset the record: it holds nArray and nString members. Use
// ZKI_StateReset (engine/runtime/state.cpp) to zero the plain fields and empty
// the containers.
#pragma once

#include <cstdint>

#include "engine/base/mutex.h"
#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "engine/base/ntransform.h"
#include "engine/runtime/event.h"
#include "engine/runtime/media_records.h"
#include "engine/runtime/zekar.h"

class InputImplementation;
class SoundImplementation;
class RendererImplementation;
class ImageLoaderImp;

// Index of the thirteen core mutexes in zk_state_t::core_mutexes.
enum zk_core_mutex_t {
    ZK_CORE_MUTEX_PRINT = 0,
    ZK_CORE_MUTEX_GET_MUTEX = 1,
    ZK_CORE_MUTEX_CREATE_DIR = 2,
    ZK_CORE_MUTEX_GET_PATH = 3,
    ZK_CORE_MUTEX_GET_BITMAP = 4,
    ZK_CORE_MUTEX_GET_SOUND = 5,
    ZK_CORE_MUTEX_GET_FONT = 6,
    ZK_CORE_MUTEX_GET_SHADER = 7,
    ZK_CORE_MUTEX_MAIN_LOOP = 8,
    ZK_CORE_MUTEX_RESOURCE_QUEUE = 9,
    ZK_CORE_MUTEX_SHARED_BITMAP = 10,
    ZK_CORE_MUTEX_CORE_IMP = 11,
    ZK_CORE_MUTEX_CORE_VARIABLE = 12,
    ZK_NUM_CORE_MUTEXES = 13,
};

// The mutex name of a core mutex index; "UNKNOWN" outside 0..12.
const char* ZKI_GetCoreMutexName(int id);

// The engine's start parameters; always copied whole.
struct zk_parms_t {
    int32_t width = 0;
    int32_t height = 0;
    uint8_t windowed = 0;
    uint8_t no_sound = 0;
    uint8_t multitouch = 0;
    int32_t min_frame_time_ms = 0;
    uint8_t developer_mode = 0;
    void* command_line_params = nullptr;
    const char* locale = nullptr;
    uint8_t shutdown_requested = 0;
    int32_t ref_width = 0;
    int32_t ref_height = 0;
    // Fields nothing in the engine reads; they travel with the record.
    uint8_t reserved[120 - 52] = {};
};
static_assert(sizeof(zk_parms_t) == 120, "zk_parms_t is a 120-byte record");

// The program record: one per program, owned by the program.
struct zk_prog_t {
    uint32_t api_version = 0;   // 0x000F0A00 for API 15.10.00
    char id[32] = {};
    char title[128] = {};
    char version[32] = {};
    zk_parms_t parms;
    bool (*Init)() = nullptr;
    void (*Shutdown)() = nullptr;
    void (*Update)(float dt) = nullptr;
    void (*Draw)(float dt) = nullptr;
    int (*EventProc)(zk_event_t event) = nullptr;
};

struct zk_device_info_t {
    int32_t screen_width = 0;   // 0: none reported
    int32_t screen_height = 0;
    uint8_t fixed_resolution = 0;
    int32_t orientation = 0;    // 1 portrait, 4 landscape
    int32_t desktop_width = 0;
    int32_t desktop_height = 0;
};

struct zk_platform_info_t {
    int32_t platform_id = 0;
    int32_t screen_size_id = 0; // 0 SMALL, 1 MEDIUM, 2 LARGE
    char device_model[32] = {};
    char os_name[256] = {};
    char unique_id[256] = {};
    char gpu_description[128] = {};
    char cpu_description[128] = {};
};

// A scissor rectangle by its edges: right = left + width, lower = top +
// height.
struct zk_scissor_rect_t {
    int32_t left, top, right, lower;
};

enum {
    ZK_MAX_BITMAPS = 3072,
    ZK_MAX_SOUNDS = 512,
    ZK_MAX_FONTS = 32,
    ZK_MAX_SHADERS = 128,
    ZK_TRANSFORM_STACK_SIZE = 32,
    ZK_SCISSOR_STACK_SIZE = 32,
    ZK_NUM_KEY_STATES = 2048,
    ZK_NUM_PACKAGE_PATHS = 7,
    ZK_MAX_INPUT_IMPS = 8,
    ZK_CURSOR_BLOCK_SIZE = 768,
};

// Byte-order marks of zk_state_t::endianness.
enum { ZK_LITTLE_ENDIAN = 1234, ZK_BIG_ENDIAN = 4321 };

struct zk_state_t {
    zk_state_t() = default;
    zk_state_t(const zk_state_t&) = delete;
    zk_state_t& operator=(const zk_state_t&) = default; // ZKI_StateReset only
    ~zk_state_t();

    // 1. Header
    zekar_t* zk = nullptr;
    zk_prog_t* prog = nullptr;
    zk_device_info_t* device_info = nullptr;
    ImageLoaderImp* image_loader = nullptr;
    uint8_t prog_initialized = 0;
    uint8_t developer_mode = 0;
    uint8_t log_to_file = 0;
    int32_t log_verbose_level = 0;
    uint8_t console_enabled = 0;
    int32_t console_toggle_key = 0;
    int32_t screen_width = 0;
    int32_t screen_height = 0;
    uint8_t windowed = 0;
    uint8_t override_parameters = 0;
    uint8_t allow_multiple_instances = 0;
    uint8_t autoscale = 0;
    char* locale = nullptr;
    nString package_paths[ZK_NUM_PACKAGE_PATHS];
    int32_t endianness = 0;            // 4321: big-endian host, file readers swap

    // 2. Current start parameters
    zk_parms_t parms;

    // 3. Run-time flags and orientation
    uint8_t shutdown_signalled = 0;
    uint8_t reinit_requested = 0;
    uint8_t has_platform_argument = 0;
    int32_t allowed_orientations = 0;  // 3 portrait, 12 landscape
    int32_t interface_orientation = 0;
    float interface_rotation_angle = 0;
    int32_t target_orientation = 0;
    float orientation_transition_time = 0;
    float orientation_transition_duration = 0;
    uint8_t print_reference_count_changes = 0;
    int16_t default_bitmap_cache_mode = 0;
    int32_t default_bitmap_flags = 0;
    uint8_t pack_bitmaps = 0;
    uint8_t unlimited_memory = 0;
    uint8_t app_active = 0;
    uint8_t initialized = 0;
    uint8_t main_thread_sync_requested = 0;
    float frame_time_delta = 0;
    char* supported_resolutions = nullptr;
    void* resolution_override = nullptr;
    uint8_t validated_resolution_set = 0;
    int32_t validated_resolution_width = 0;
    int32_t validated_resolution_height = 0;
    uint8_t allow_all_resolutions = 0;
    const char* platform_name = nullptr;
    const char* product_feature_lists[2] = {};
    uint8_t queue_input_events = 0;
    const char* input_imp_names[ZK_MAX_INPUT_IMPS] = {};
    InputImplementation* input_imps[ZK_MAX_INPUT_IMPS] = {};
    int32_t num_input_imps = 0;
    SoundImplementation* sound_imp = nullptr;
    uint8_t music_requested = 0;       // set by PlayMusic, cleared by StopMusic
    RendererImplementation* rend_imp = nullptr;
    int32_t renderer_texture_format = 0;
    int32_t renderer_vertex_color_format = 0;
    int32_t pixel_byte_order = 0;      // 0 R,G,B,A; 1 B,G,R,A

    // 4. Program record used before a program is installed
    zk_prog_t default_prog;

    // 5. Rendering state
    zk_graphics_api_t::RenderTargets render_targets = {};
    nArray<zk_graphics_api_t::RenderTargets> render_target_stack;
    uint8_t render_state_set[32] = {};
    uint8_t render_states_b[32] = {};
    int32_t render_states_i[32] = {};
    float render_states_f[32] = {};
    zk_bitmap_t* transformed_frame_buffer = nullptr;
    float current_color[4] = {};       // r, g, b as given, then alpha
    uint32_t current_packed_color = 0;

    // 6. Locks and queues
    nArray<zk_mutex_t*> named_mutexes;
    zk_mutex_t* core_mutexes[ZK_NUM_CORE_MUTEXES] = {};
    uint8_t renderer_initialized = 0;
    uint8_t show_fps = 0;
    nArray<zk_event_t> event_queue;

    // 7. Screen fitting and frame rate
    float autoscale_offset_x = 0;
    float autoscale_offset_y = 0;
    float autoscale_scale_x = 0;
    float autoscale_scale_y = 0;
    float autoscale_inverse_scale_x = 0;
    float autoscale_inverse_scale_y = 0;
    float overlay_zoom = 0;
    float overlay_zoom_saved = 0;
    int32_t overlay_offset_x = 0;
    int32_t overlay_offset_y = 0;
    uint8_t overlay_zoom_disabled = 0;
    int32_t fps_frames = 0;            // frames counted
    float fps_seconds = 0;             // seconds counted
    float fps_rate = 0;                // last rate, frames per second

    // 8. Fixed resource pools, each followed by its count of slots taken
    zk_bitmap_t bitmaps[ZK_MAX_BITMAPS] = {};
    int32_t num_bitmaps = 0;
    zk_sound_t sounds[ZK_MAX_SOUNDS] = {};
    int32_t num_sounds = 0;
    zk_font_t fonts[ZK_MAX_FONTS] = {};
    int32_t num_fonts = 0;
    zk_shader_t shaders[ZK_MAX_SHADERS] = {};
    int32_t num_shaders = 0;

    // 9. Cursor records of the application layer
    uint8_t cursors[ZK_CURSOR_BLOCK_SIZE] = {};

    // 10. Files
    nArray<nString> search_paths;
    nArray<zk_file_t*> open_files;

    // 11. Transform and scissor stacks (tops -1 when empty)
    nTransform world_transform_stack[ZK_TRANSFORM_STACK_SIZE] = {};
    nTransform view_transform_stack[ZK_TRANSFORM_STACK_SIZE] = {};
    nTransform projection_transform_stack[ZK_TRANSFORM_STACK_SIZE] = {};
    int32_t world_transform_top = 0;
    int32_t view_transform_top = 0;
    int32_t projection_transform_top = 0;
    nTransform world_view_transform = {};
    uint8_t world_view_transform_valid = 0;
    float view_position[3] = {};
    uint8_t view_position_valid = 0;
    zk_scissor_rect_t scissor_rect_stack[ZK_SCISSOR_STACK_SIZE] = {};
    int32_t scissor_rect_top = 0;

    // 12. Drawing defaults
    uint8_t reference_counting = 0;
    uint8_t render_stereo = 0;
    int32_t eye_mode = 0;              // 0 mono, 1 first eye, 2 second eye
    float depth_range[3] = {};
    float depth_default = 0;
    zk_vertex_t quad_vertices[4] = {};
    zk_vertex_t quad_vertices_4v[4] = {};

    // 13. Resource queues (guarded by RESOURCE_QUEUE), in this order
    nArray<zk_bitmap_t::hw_data_t> bitmap_release_queue;
    nArray<zk_bitmap_t*> bitmap_upload_queue;
    nArray<zk_font_t*> font_upload_queue;
    nArray<zk_index_buffer_t*> index_buffer_create_queue;
    nArray<zk_index_buffer_t*> index_buffer_free_queue;
    nArray<zk_index_buffer_t*> index_buffer_load_queue;
    nArray<zk_vertex_buffer_t*> vertex_buffer_create_queue;
    nArray<zk_vertex_buffer_t*> vertex_buffer_free_queue;
    nArray<zk_vertex_buffer_t*> vertex_buffer_load_queue;
    nArray<zk_shader_t*> shader_load_queue;
    nArray<char*> owned_texts;         // its texts are freed with the state
    nArray<void*> extra_list;
    int64_t start_time_ms = 0;         // ZKT_GetTime() at set-up
    int64_t start_steady_clock = 0;    // steady clock (ns) at set-up
    int32_t vertex_buffer_memory = 0;
    int32_t index_buffer_memory = 0;

    // 14. Input
    int32_t key_states_i[ZK_NUM_KEY_STATES] = {};
    float key_states_f[ZK_NUM_KEY_STATES] = {};
    int32_t mouse_x = 0;
    int32_t mouse_y = 0;

    // 15. Tail
    nArray<void*> tail_list_a;
    nArray<void*> tail_list_b;
    uint8_t debug_draw_time_delta_test = 0;
    uint8_t debug_draw_black_screen = 0;
    void* platform_argument = nullptr;
};

// The globals of the spine.
extern zk_state_t zk_state;
extern zk_parms_t zk_parms;
extern zk_prog_t* zk_prog;
extern zk_device_info_t zk_device_info;
extern zk_platform_info_t zk_platform_info;
extern void* zk_command_line_params;
// The current renderer (zk_state.rend_imp holds the same pointer); null
// until the media subsystem loads one. The image loader singleton.
extern RendererImplementation* ri;
extern ImageLoaderImp* zk_il;

// Zeroes the plain fields of zk_state and empties its containers, freeing
// what they own (registered and core mutexes are destroyed). No defaults.
void ZKI_StateReset();

// Creates the thirteen core mutexes (skipping those that exist) and
// destroys them again.
void ZKI_CreateCoreMutexes();
void ZKI_DestroyCoreMutexes();

// Lock or unlock the core mutex of that id; a mutex not yet created (or an
// id outside 0..12) is skipped silently. When the calling thread lets go of
// its last hold of PRINT, the messages it raised meanwhile are printed.
void ZKI_LockCoreMutex(int id);
void ZKI_UnlockCoreMutex(int id);
// Whether the calling thread holds PRINT.
bool ZKI_ThreadHoldsPrint();

// Slot 40: zk_state.developer_mode.
bool ZKI_IsDeveloperModeEnabled();
