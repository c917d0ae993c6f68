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
// Who fills what (ZKI_SetBasicInterface in engine/core/interface.cpp calls
// one filler per subsystem and stores each sub-table's address in its slot):
//   - engine core (engine/core): top-level slots 0..40.
//   - storage (engine/storage):   ZKI_FillFileSystemInterface(zk_file_system_api_t*),
//                                 and the top-level ZK_SendHttpRequest,
//                                 ZK_SendHttpRequestWithHeader, ZK_AllocBuffer,
//                                 ZK_FreeBuffer (slots 28-31)
//   - media (engine/media):       ZKI_FillAudioInterface(zk_audio_api_t*),
//                                 ZKI_FillGraphicsInterface(zk_graphics_api_t*),
//                                 ZKI_FillExtensionInterface(zk_extension_api_t*),
//                                 ZKI_GetRendererVertexColorFormat(), and the four
//                                 colour setters ZK_Graphics_SetColor[WithAlpha]_RGBA/_BGRA
//                                 (the core installs one pair in slots 88 and 89)
//   - services (engine/services): ZKI_FillAchievementsInterface, ZKI_FillCloudInterface,
//                                 ZKI_FillLeaderboardsInterface, ZKI_FillNotificationsInterface,
//                                 ZKI_FillSocialInterface, ZKI_FillStatisticInterface,
//                                 ZKI_FillUGCInterface (each taking its sub-table).
// Until a subsystem exists, a stand-in file under engine/core/standins/
// (storage_standins, http_standins, graphics_standins, audio_standins,
// services_standins) defines its fillers and functions neutrally (false,
// zero or null). Each stand-in gives way by itself: as soon as a .cpp file
// of the subsystem's folder defines the filler named in the stand-in's first
// line (a definition that starts its line with the return type), the
// core's CMakeLists drops the stand-in and links the subsystem's
// library (zk_storage, zk_media, zk_services). Define the same names with
// the signatures of engine/core/interface_functions.h; nothing may rely on a
// stand-in's behaviour.
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

struct zk_mutex_t;        // engine/core/state.h
struct zk_date_t;         // engine/core/threads.h
struct zk_event_t;        // engine/core/event.h
struct zk_parms_t;        // engine/core/state.h
struct zk_file_t;         // engine/storage
struct zk_file_info_t;    // engine/storage
struct zk_bitmap_t;       // engine/core/media_records.h
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
// Sub-tables. Members in slot order; each holds the function of its name.

struct zk_achievements_api_t {
    void (*ZK_UnlockAchievement)(int user, const char* id);
    void (*ZK_SetAchievementProgress)(int user, const char* id, int progress);
    bool (*ZK_IsNativeAchievementViewSupported)();
    void (*ZK_ShowNativeAchievementView)(int user);
    void (*ZK_SetStatisticsInt)(const char* name, int value);
    int (*ZK_GetStatisticsInt)(const char* name);
};

struct zk_audio_api_t {
    zk_sound_t* (*ZK_Audio_GetChannelSound)(long channel);
    bool (*ZK_Audio_GetMusicPlaying)();
    zk_sound_t* (*ZK_Audio_GetSound)(const char* name);
    zk_sound_t* (*ZK_Audio_GetSoundWithCacheMode)(const char* name, int mode);
    void (*ZK_Audio_IncreaseSoundReferenceCount)(zk_sound_t* sound, int count);
    bool (*ZK_Audio_IsChannelAlive)(long channel);
    zk_sound_t* (*ZK_Audio_LoadSound)(const char* name);
    void (*ZK_Audio_PlayMusic)(zk_sound_t* sound, float volume, float fade_in_time);
    long (*ZK_Audio_PlaySound)(zk_sound_t* sound, float volume, float pan, float frequency);
    long (*ZK_Audio_PlaySoundDelayed)(zk_sound_t* sound, float volume, float pan, float frequency, float delay);
    void (*ZK_Audio_ReleaseSound)(zk_sound_t* sound);
    void (*ZK_Audio_SetChannelFrequency)(long channel, float frequency);
    void (*ZK_Audio_SetChannelLooping)(long channel, bool looping);
    void (*ZK_Audio_SetChannelPan)(long channel, float pan);
    void (*ZK_Audio_SetChannelPaused)(long channel, bool paused);
    void (*ZK_Audio_SetChannelVolume)(long channel, float volume);
    void (*ZK_Audio_SetMasterVolume)(float volume);
    void (*ZK_Audio_SetMusicPaused)(bool paused);
    void (*ZK_Audio_SlideChannelVolume)(long channel, float target, float time);
    void (*ZK_Audio_SlideMusicVolume)(float target, float time);
    bool (*ZK_Audio_SoundExists)(const char* name);
    void (*ZK_Audio_StopChannel)(long channel);
    void (*ZK_Audio_StopChannelWithFade)(long channel, float time);
    void (*ZK_Audio_StopMusic)(float fade_out_time);
};

struct zk_cloud_api_t {
    bool (*ZK_Cloud_IsAvailable)();
    void (*ZK_Cloud_SetKeyValue)(const char* key, const void* data, int size);
    zk_buffer_t* (*ZK_Cloud_GetKeyValue)(const char* key);
    void (*ZK_Cloud_DeleteKeyValue)(const char* key);
};

// The extension interface: the table ZKIE_GetExtensionInterface hands out.
struct zk_extension_api_t {
    void (*ZK_DrawQuad)(zk_vertex_format_t format, void* four_vertices);
};

struct zk_file_system_api_t {
    void (*ZK_FileSystem_AddSearchPath)(const char* path, bool flag);
    // False when the file's content did not all reach it; the handle is
    // freed either way.
    bool (*ZK_FileSystem_CloseFile)(zk_file_t* file);
    bool (*ZK_FileSystem_CreateDirectory)(const char* path);
    bool (*ZK_FileSystem_DeleteDirectory)(const char* path, bool with_files);
    bool (*ZK_FileSystem_DeleteFile)(const char* path);
    zk_list_t* (*ZK_FileSystem_FindFiles)(const char* path, const char* wildcards, bool recursive);
    bool (*ZK_FileSystem_FileExists)(const char* path);
    void (*ZK_FileSystem_FlushFile)(zk_file_t* file);
    bool (*ZK_FileSystem_GetFileInfo)(const char* path, zk_file_info_t* info);
    int64_t (*ZK_FileSystem_GetFilePosition)(zk_file_t* file);
    int (*ZK_FileSystem_GetNumberOfSearchPaths)();
    const char* (*ZK_FileSystem_GetSearchPathByIndex)(int index);
    bool (*ZK_FileSystem_IsPathValid)(const char* path);
    bool (*ZK_FileSystem_Mount)(const char* name, int index);
    zk_file_t* (*ZK_FileSystem_OpenFile)(const char* path, const char* mode);
    size_t (*ZK_FileSystem_ReadFile)(void* buffer, size_t size, zk_file_t* file);
    void (*ZK_FileSystem_RemoveSearchPath)(const char* path);
    bool (*ZK_FileSystem_SearchPathExists)(const char* path);
    int (*ZK_FileSystem_SetFilePosition)(zk_file_t* file, int offset, zk_seek_t origin);
    void (*ZK_FileSystem_Unmount)(const char* name);
    size_t (*ZK_FileSystem_WriteFile)(const void* data, size_t size, zk_file_t* file);
};

struct zk_graphics_api_t {
    // Four colour targets, one depth target, a cube-map side (0-5) per
    // colour target. All null means the screen.
    struct RenderTargets {
        zk_bitmap_t* color[4];
        zk_bitmap_t* depth;
        int cube_side[4];
    };

    void (*ZK_Graphics_ClearDepth)(float depth);                                                    // 0
    void (*ZK_Graphics_ClearScreen)(float r, float g, float b);
    void (*ZK_Graphics_ClearScreenWithAlpha)(float r, float g, float b, float a);
    zk_bitmap_t* (*ZK_Graphics_CreateBitmap)(const char* name, const zk_bitmap_parameters_t* parameters);
    bool (*ZK_Graphics_CopyBitmapRenderTargetDataToPixels)(zk_bitmap_t* bitmap);
    zk_index_buffer_t* (*ZK_Graphics_CreateIndexBufferWithIndices)(unsigned short* indices, unsigned int count,
                                                                   zk_buffer_usage_t usage);
    zk_vertex_buffer_t* (*ZK_Graphics_CreateVertexBufferWithVertices)(zk_vertex_format_t format, void* vertices,
                                                                      unsigned int count, zk_buffer_usage_t usage);
    void (*ZK_Graphics_DisableScissorRect)();
    void (*ZK_Graphics_DrawBitmap)(const zk_bitmap_t* bitmap, const float& x, const float& y);
    void (*ZK_Graphics_DrawBitmap4V)(const zk_bitmap_t* bitmap, const zk_vertex_t* four);
    void (*ZK_Graphics_DrawBitmapLine)(const zk_bitmap_t* bitmap, const vec2_t* from, const vec2_t* to,
                                       float width_from, float width_to, const color_t* color_from,
                                       const color_t* color_to);                                   // 10
    void (*ZK_Graphics_DrawBitmapRS)(const zk_bitmap_t* bitmap, const float& x, const float& y,
                                     const float& rotation, const float& scale);
    void (*ZK_Graphics_DrawLine)(const float& x0, const float& y0, const float& x1, const float& y1);
    void (*ZK_Graphics_DrawLine2V)(const zk_vertex_t* two);
    void (*ZK_Graphics_DrawRect)(const float& x, const float& y, const float& width, const float& height);
    void (*ZK_Graphics_DrawSubBitmap)(const zk_bitmap_t* bitmap, const float& x, const float& y, const float& left,
                                      const float& top, const float& right, const float& lower);
    float (*ZK_Graphics_DrawTextf)(zk_font_t* font, const float& x, const float& y, const char* format, ...)
        ZK_PRINTF_LIKE(4, 5);
    void (*ZK_Graphics_DrawTriangles)(const zk_bitmap_t* bitmap, zk_vertex_t* vertices, int vertex_count,
                                      unsigned short* indices, int index_count);
    void (*ZK_Graphics_DrawVerticesWithIndices)(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices);
    void (*ZK_Graphics_DrawVerticesWithIndicesInstanced)(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices,
                                                         unsigned instances);
    void (*ZK_Graphics_DrawVerticesWithIndicesSubset)(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices,
                                                      const unsigned& start, const unsigned& count);  // 20
    void (*ZK_Graphics_FreeIndexBuffer)(zk_index_buffer_t* buffer);
    void (*ZK_Graphics_FreeVertexBuffer)(zk_vertex_buffer_t* buffer);
    float (*ZK_Graphics_GetAlpha)();
    zk_bitmap_t* (*ZK_Graphics_GetBitmap)(const char* name);
    zk_bitmap_t* (*ZK_Graphics_GetBitmapByIndex)(const int& index);
    zk_bitmap_t* (*ZK_Graphics_GetBitmapWithCacheMode)(const char* name, int mode);
    zk_blend_mode_t (*ZK_Graphics_GetBlend)();
    color_t (*ZK_Graphics_GetColor)();
    float (*ZK_Graphics_GetDepthDefault)();
    unsigned int (*ZK_Graphics_GetFeatures)();                                                      // 30
    zk_font_t* (*ZK_Graphics_GetFont)(const char* name);
    int (*ZK_Graphics_GetMaximumTextureSize)();
    int (*ZK_Graphics_GetNumberOfBitmaps)();
    zk_filter_t (*ZK_Graphics_GetPixelFilter)();
    bool (*ZK_Graphics_GetRenderStateb)(zk_render_state_t state);
    float (*ZK_Graphics_GetRenderStatef)(zk_render_state_t state);
    int (*ZK_Graphics_GetRenderStatei)(zk_render_state_t state);
    zk_shader_t* (*ZK_Graphics_GetShader)(const char* name);
    void* (*ZK_Graphics_GetShaderPixelConstant)(zk_shader_t* shader, int index);
    int (*ZK_Graphics_GetShaderPixelConstantIndex)(zk_shader_t* shader, const char* name);         // 40
    const char* (*ZK_Graphics_GetShaderTags)(zk_shader_t* shader);
    const char* (*ZK_Graphics_GetShaderUserValue)(zk_shader_t* shader, const char* key);
    void* (*ZK_Graphics_GetShaderVertexConstant)(zk_shader_t* shader, int index);
    int (*ZK_Graphics_GetShaderVertexConstantIndex)(zk_shader_t* shader, const char* name);
    unsigned int (*ZK_Graphics_GetTextAlign)();
    float (*ZK_Graphics_GetTextHeightf)(zk_font_t* font, const char* format, ...) ZK_PRINTF_LIKE(2, 3);
    void (*ZK_Graphics_GetTextSizef)(zk_font_t* font, float* width, float* height, const char* format, ...)
        ZK_PRINTF_LIKE(4, 5);
    int (*ZK_Graphics_GetTextureInputIndex)(zk_shader_t* shader, const char* name);
    float (*ZK_Graphics_GetTextWidthf)(zk_font_t* font, const char* format, ...) ZK_PRINTF_LIKE(2, 3);
    void (*ZKI_Graphics_GetViewportDimensions)(int& width, int& height);                             // 50
    const float* (*ZK_Graphics_GetViewPosition)();
    void (*ZK_Graphics_IncreaseBitmapReferenceCount)(zk_bitmap_t* bitmap, int amount);
    bool (*ZK_Graphics_IsShaderSupported)(zk_shader_t* shader);
    bool (*ZK_Graphics_IsTextureFormatSupported)(const zk_bitmap_parameters_t& parameters);
    zk_bitmap_t* (*ZK_Graphics_LoadBitmap)(const char* name, int mode);
    zk_font_t* (*ZK_Graphics_LoadFont)(const char* name);
    bool (*ZK_Graphics_LockIndexBuffer)(zk_index_buffer_t* buffer);
    bool (*ZK_Graphics_LockVertexBuffer)(zk_vertex_buffer_t* buffer);
    nTransform (*ZK_Graphics_PeekProjectionTransform)();
    zk_bitmap_t* (*ZK_Graphics_PeekRenderTarget)();                                                // 60
    nTransform (*ZK_Graphics_PeekViewTransform)();
    nTransform (*ZK_Graphics_PeekWorldTransform)();
    void (*ZK_Graphics_PopProjectionTransform)();
    void (*ZK_Graphics_PopRenderTarget)();
    void (*ZK_Graphics_PopScissorRectangle)();
    void (*ZK_Graphics_PopViewTransform)();
    void (*ZK_Graphics_PopWorldTransform)();
    void (*ZK_Graphics_PushProjectionTransform)(const nTransform* transform);
    void (*ZK_Graphics_PushRenderTarget)(zk_bitmap_t* color);
    void (*ZK_Graphics_PushRenderTargets)(RenderTargets* targets);                                 // 70
    void (*ZK_Graphics_PushRenderTargetWithDepth)(zk_bitmap_t* color, zk_bitmap_t* depth);
    bool (*ZK_Graphics_PushScissorRectangle)(int x, int y, int width, int height);
    void (*ZK_Graphics_PushViewTransform)(const nTransform* transform);
    void (*ZK_Graphics_PushWorldTransform)(const nTransform* transform);
    bool (*ZK_Graphics_RefreshBitmap)(zk_bitmap_t* bitmap);
    void (*ZK_Graphics_RefreshFont)(zk_font_t* font);
    void (*ZK_Graphics_ReleaseBitmap)(zk_bitmap_t* bitmap);
    void (*ZK_Graphics_ReleaseFont)(zk_font_t* font);
    bool (*ZK_Graphics_ReloadShader)(zk_shader_t* shader);
    void (*ZK_Graphics_RemoveBitmapHandle)(zk_bitmap_t* bitmap);                                   // 80
    bool (*ZK_Graphics_ResizeBitmap)(zk_bitmap_t* bitmap, int width, int height);
    bool (*ZK_Graphics_SaveBitmap)(zk_bitmap_t* bitmap, const char* path, int quality);
    bool (*ZK_Graphics_SaveFont)(zk_font_t* font, const char* path);
    void (*ZK_Graphics_SetAlpha)(const float& a);
    zk_bitmap_t* (*ZK_Graphics_SetBitmapCacheMode)(zk_bitmap_t* bitmap, int mode);
    void (*ZK_Graphics_SetBitmapFrame)(zk_bitmap_t* bitmap, int frame);
    void (*ZK_Graphics_SetBlend)(zk_blend_mode_t mode);
    // Slots 88 and 89 hold the _RGBA or the _BGRA variant (see the filler).
    void (*ZK_Graphics_SetColor)(const float& r, const float& g, const float& b);
    void (*ZK_Graphics_SetColorWithAlpha)(const float& r, const float& g, const float& b, const float& a);
    void (*ZK_Graphics_SetDepthDefault)(const float& z);                                            // 90
    void (*ZK_Graphics_SetDepthRange)(float near_depth, float middle_depth, float far_depth);
    void (*ZK_Graphics_SetFontShader)(zk_shader_t* shader);
    void (*ZK_Graphics_SetPixelFilter)(zk_filter_t filter);
    void (*ZK_Graphics_SetPresentInterval)(int interval);
    void (*ZK_Graphics_SetRenderStateb)(zk_render_state_t state, bool value);
    void (*ZK_Graphics_SetRenderStatef)(zk_render_state_t state, float value);
    void (*ZK_Graphics_SetRenderStatei)(zk_render_state_t state, int value);
    void (*ZK_Graphics_SetRenderTargetVirtualRect)(zk_bitmap_t* bitmap, int x, int y, int width, int height);
    bool (*ZK_Graphics_SetScissorRect)(int x, int y, int width, int height);
    void (*ZK_Graphics_SetShader)(zk_shader_t* shader);                                            // 100
    void (*ZK_Graphics_SetShaderPixelConstant)(zk_shader_t* shader, int index, zk_shader_constant_type_t type,
                                               const void* value, int count);
    void (*ZK_Graphics_SetShaderVertexConstant)(zk_shader_t* shader, int index, zk_shader_constant_type_t type,
                                                const void* value, int count);
    void (*ZK_Graphics_SetTextureAddressMode)(int stage, zk_address_mode_t u, zk_address_mode_t v,
                                              zk_address_mode_t w);
    void (*ZK_Graphics_SetTextureFilter)(int stage, zk_filter_t mag, zk_filter_t min, zk_filter_t mip);
    void (*ZK_Graphics_SetTextAlign)(const unsigned int& flags);
    void (*ZK_Graphics_SetTextHorizontalSpacing)(const float& spacing);
    void (*ZK_Graphics_SetTextboxWidth)(const float& width);
    void (*ZK_Graphics_SetTextTransform)(const float& sx, const float& sy, const float& angle);
    void (*ZK_Graphics_SetTextVerticalSpacing)(const float& spacing);
    bool (*ZK_Graphics_FontHasGlyphsToDrawText)(zk_font_t* font, const char* text);                // 110
    void (*ZK_Graphics_SetTextureInput)(int stage, zk_bitmap_t* bitmap);
    bool (*ZK_Graphics_ShaderTagExists)(zk_shader_t* shader, const char* tag);
    void (*ZK_Graphics_UnlockIndexBuffer)(zk_index_buffer_t* buffer);
    void (*ZK_Graphics_UnlockVertexBuffer)(zk_vertex_buffer_t* buffer);                             // 114
};

struct zk_leaderboards_api_t {
    void (*ZK_SubmitScore)(int user, zk_score_t score, const char* category);
    bool (*ZK_RequestScores)(int first, int count, zk_leaderboard_filter_t filter, const char* category);
    bool (*ZK_RequestScoresAroundUserRank)(int user, int count, const char* category);
    bool (*ZK_IsNativeLeaderboardsViewSupported)();
    void (*ZK_ShowNativeLeaderboardsView)(int user, const char* category);
    const char* (*ZK_GetUserId)(int user);
    int (*ZK_GetLeaderboardsLoginState)(int user);
    void (*ZK_LeaderboardsLogin)(int user);
    bool (*ZK_IsNativeUserProfileViewSupported)();
    void (*ZK_ShowNativeUserProfileView)(const char* user_id);
    int (*ZK_GetNumberOfLeaderboardCategories)();
    const char* (*ZK_GetLeaderboardCategoryIdByIndex)(int index);
    int (*ZK_GetLeaderboardCategoryIndexById)(const char* id);
    int (*ZK_GetLeaderboardCategorySortOrder)(const char* category);
    int (*ZK_GetMaximumNumberOfScoresPerRequest)();
    const char* (*ZK_GetLeaderboardCategoryValue)(const char* id, const char* key);
};

struct zk_notifications_api_t {
    bool (*ZK_Notifications_IsAvailable)();
    void (*ZK_Notifications_RegisterForNotifications)();
    void (*ZK_Notifications_RemoveAllNotifications)();
    void (*ZK_Notifications_SetNotification)(const char* a, const char* b, const char* c, unsigned int seconds);
};

struct zk_social_api_t {
    bool (*ZK_Social_IsAvailable)();
    void (*ZK_Social_Login)();
    void (*ZK_Social_Logout)();
    void (*ZK_Social_RequestListOfUsers)();
    void (*ZK_Social_PostLocalUserScore)(unsigned int score);
    zk_bitmap_t* (*ZK_Social_GetUserImage)(const char* user_id, int size);
};

struct zk_statistic_api_t {
    // Layouts left open: no implementation exists.
    typedef int Category;
    struct Stats;

    void (*ZK_Statistic_LogEvent)(int user, Category category, const nString& name, Stats& stats);
};

struct zk_ugc_api_t {
    bool (*ZK_UGC_IsAvailable)();
    void (*ZK_UGC_RequestListOfItems)();
    bool (*ZK_UGC_IsListOfItemsReady)();
    int (*ZK_UGC_GetNumberOfItems)();
    zk_ugc_item_info_t* (*ZK_UGC_GetItemInfoByIndex)(int index);
    void (*ZK_UGC_SubscribeItem)(const char* id);
    void (*ZK_UGC_UnsubscribeItem)(const char* id);
    int (*ZK_UGC_CreateItem)(zk_ugc_item_info_t* info);
    void (*ZK_UGC_OpenUGCBrowser)();
};

// ---------------------------------------------------------------------------
// The table.

struct zekar_t {
    int (*ZK_Printf)(const char* format, ...) ZK_PRINTF_LIKE(1, 2);                                  // 0
    int (*ZK_PrintDebugf)(zk_message_type_t type, const char* format, ...) ZK_PRINTF_LIKE(2, 3);
    int (*ZK_Popupf)(zk_message_type_t type, const char* format, ...) ZK_PRINTF_LIKE(2, 3);
    void (*ZK_AddConsoleAutocompletionString)(const char* word, const char* extra);
    void (*ZKT_Sleep)(int milliseconds);
    uint32_t (*ZK_GetTime)();
    int64_t (*ZK_GetTimeNanoseconds)();
    int64_t (*ZK_GetTimeSecondsElapsedSinceEpoch)();
    zk_date_t (*ZK_GetEpochTimeConvertedToDate)(uint64_t seconds);
    zk_date_t (*ZK_GetDate)();
    zk_mutex_t* (*ZK_GetMutex)(const char* name);                                                    // 10
    void (*ZK_ReleaseMutex)(zk_mutex_t* mutex);
    void (*ZK_LockMutex)(zk_mutex_t* mutex);
    void (*ZK_UnlockMutex)(zk_mutex_t* mutex);
    uint32_t (*ZK_CreateThread)(const char* name, void (*function)(void*), void* data, int flags);
    uint32_t (*ZK_GetCurrentThreadId)();
    bool (*ZK_IsMainThread)();
    void (*ZK_SynchronizeWithMainThreadBegin)();
    void (*ZK_SynchronizeWithMainThreadEnd)();
    bool (*ZK_IsSynchronizedWithMainThread)();
    int (*ZKD_SetCursor)(const char* name);                                                          // 20
    void (*ZK_SignalShutdown)();
    bool (*ZK_IsShutdownSignalled)();
    bool (*ZK_ProductFeatureExists)(const char* name);
    const char* (*ZK_GetProductValue)(const char* name);
    bool (*ZK_ReinitializeWithParameters)(zk_parms_t parms);
    const char* (*ZK_CallExtension)(const char* name, const char* value);
    void (*ZK_FreeList)(zk_list_t* list);
    int (*ZK_SendHttpRequest)(int method, const char* url, const char* content_type, const char* body,
                              int body_size, zk_buffer_t** response, int* unused);
    int (*ZK_SendHttpRequestWithHeader)(int method, const char* url, const char* header, int header_size,
                                        const char* body, int body_size, zk_buffer_t** response,
                                        zk_buffer_t** response_header, int* unused);
    zk_buffer_t* (*ZK_AllocBuffer)(int size);                                                        // 30
    void (*ZK_FreeBuffer)(zk_buffer_t* buffer);
    void* (*ZK_AllocMemory)(unsigned int size);
    void (*ZK_FreeMemory)(void* memory);
    void (*ZK_SendEventQueued)(zk_event_t* event);
    void (*ZK_SetupEvent)(zk_event_t* event, zk_event_type_t type);
    int (*ZK_GetKeyStatei)(int code);
    void (*ZK_SetKeyStatei)(int code, int value);
    float (*ZK_GetKeyStatef)(int code);
    void (*ZK_SetKeyStatef)(int code, float value);
    bool (*ZKI_IsDeveloperModeEnabled)();                                                            // 40
    zk_achievements_api_t* achievements;                                                             // 41
    zk_audio_api_t* audio;
    zk_cloud_api_t* cloud;
    zk_extension_api_t* ext;
    zk_file_system_api_t* file_system;                                                               // 45
    zk_graphics_api_t* graphics;
    zk_leaderboards_api_t* leaderboards;
    zk_notifications_api_t* notifications;
    zk_social_api_t* social;
    zk_statistic_api_t* statistic;                                                                   // 50
    zk_ugc_api_t* ugc;                                                                               // 51
};

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

// Fills every slot of `table` and of all eleven sub-tables and stores each
// sub-table's address in its slot. Called by state set-up, again once the
// renderer is chosen (the colour setters depend on it) and whenever the
// renderer changes.
void ZKI_SetBasicInterface(zekar_t* table);

// One filler per sub-table: fills it as ZKI_SetBasicInterface does and stores
// its address in its slot (41, 42, 43, 45, 46, 47, 48, 50, 49, 51).
void ZKI_SetInterfaceAchievements(zekar_t* table);
void ZKI_SetInterfaceAudio(zekar_t* table);
void ZKI_SetInterfaceCloud(zekar_t* table);
void ZKI_SetInterfaceFileSystem(zekar_t* table);
void ZKI_SetInterfaceGraphics(zekar_t* table);
void ZKI_SetInterfaceLeaderboards(zekar_t* table);
void ZKI_SetInterfaceNotifications(zekar_t* table);
void ZKI_SetInterfaceStatistic(zekar_t* table);
void ZKI_SetInterfaceSocial(zekar_t* table);
void ZKI_SetInterfaceUGC(zekar_t* table);

// Subsystem fillers (see the top of this file for who provides each).
void ZKI_FillFileSystemInterface(zk_file_system_api_t* api);
void ZKI_FillAudioInterface(zk_audio_api_t* api);
// Fills all 115 graphics slots; the core then puts the colour-setter pair
// that matches the renderer into slots 88 and 89.
void ZKI_FillGraphicsInterface(zk_graphics_api_t* api);
void ZKI_FillExtensionInterface(zk_extension_api_t* api);
void ZKI_FillAchievementsInterface(zk_achievements_api_t* api);
void ZKI_FillCloudInterface(zk_cloud_api_t* api);
void ZKI_FillLeaderboardsInterface(zk_leaderboards_api_t* api);
void ZKI_FillNotificationsInterface(zk_notifications_api_t* api);
void ZKI_FillSocialInterface(zk_social_api_t* api);
void ZKI_FillStatisticInterface(zk_statistic_api_t* api);
void ZKI_FillUGCInterface(zk_ugc_api_t* api);

// Graphics pieces the core's graphics filler needs from the media subsystem.
// The current renderer's GetVertexColorFormat(); 1 (BGRA) when there is none.
int ZKI_GetRendererVertexColorFormat();
void ZK_Graphics_SetColor_RGBA(const float& r, const float& g, const float& b);
void ZK_Graphics_SetColorWithAlpha_RGBA(const float& r, const float& g, const float& b, const float& a);
void ZK_Graphics_SetColor_BGRA(const float& r, const float& g, const float& b);
void ZK_Graphics_SetColorWithAlpha_BGRA(const float& r, const float& g, const float& b, const float& a);
// Installs the pair that matches a vertex colour format in slots 88 and 89:
// 0 the _RGBA pair, any other value the _BGRA pair.
void ZKI_SelectColorSetters(zk_graphics_api_t* api, int vertex_color_format);
