// Prototypes of every function the interface table installs, derived from
// the slot types of engine/core/zekar.h. Whichever subsystem defines a
// function (or its stand-in, until the subsystem lands), this is the
// prototype it matches; the interface test compares slots against them.
#pragma once

#include "engine/core/zekar.h"

// Top-level slots 0-40
int ZK_Printf(const char* format, ...) ZK_PRINTF_LIKE(1, 2);
int ZK_PrintDebugf(zk_message_type_t type, const char* format, ...) ZK_PRINTF_LIKE(2, 3);
int ZK_Popupf(zk_message_type_t type, const char* format, ...) ZK_PRINTF_LIKE(2, 3);
void ZK_AddConsoleAutocompletionString(const char* word, const char* extra);
void ZKT_Sleep(int milliseconds);
uint32_t ZK_GetTime();
int64_t ZK_GetTimeNanoseconds();
int64_t ZK_GetTimeSecondsElapsedSinceEpoch();
zk_date_t ZK_GetEpochTimeConvertedToDate(uint64_t seconds);
zk_date_t ZK_GetDate();
zk_mutex_t* ZK_GetMutex(const char* name);
void ZK_ReleaseMutex(zk_mutex_t* mutex);
void ZK_LockMutex(zk_mutex_t* mutex);
void ZK_UnlockMutex(zk_mutex_t* mutex);
uint32_t ZK_CreateThread(const char* name, void (*function)(void*), void* data, int flags);
uint32_t ZK_GetCurrentThreadId();
bool ZK_IsMainThread();
void ZK_SynchronizeWithMainThreadBegin();
void ZK_SynchronizeWithMainThreadEnd();
bool ZK_IsSynchronizedWithMainThread();
int ZKD_SetCursor(const char* name);
void ZK_SignalShutdown();
bool ZK_IsShutdownSignalled();
bool ZK_ProductFeatureExists(const char* name);
const char* ZK_GetProductValue(const char* name);
bool ZK_ReinitializeWithParameters(zk_parms_t parms);
const char* ZK_CallExtension(const char* name, const char* value);
void ZK_FreeList(zk_list_t* list);
int ZK_SendHttpRequest(int method, const char* url, const char* content_type, const char* body, int body_size, zk_buffer_t** response, int* unused);
int ZK_SendHttpRequestWithHeader(int method, const char* url, const char* header, int header_size, const char* body, int body_size, zk_buffer_t** response, zk_buffer_t** response_header, int* unused);
zk_buffer_t* ZK_AllocBuffer(int size);
void ZK_FreeBuffer(zk_buffer_t* buffer);
void* ZK_AllocMemory(unsigned int size);
void ZK_FreeMemory(void* memory);
void ZK_SendEventQueued(zk_event_t* event);
void ZK_SetupEvent(zk_event_t* event, zk_event_type_t type);
int ZK_GetKeyStatei(int code);
void ZK_SetKeyStatei(int code, int value);
float ZK_GetKeyStatef(int code);
void ZK_SetKeyStatef(int code, float value);
bool ZKI_IsDeveloperModeEnabled();

// Achievements
void ZK_UnlockAchievement(int user, const char* id);
void ZK_SetAchievementProgress(int user, const char* id, int progress);
bool ZK_IsNativeAchievementViewSupported();
void ZK_ShowNativeAchievementView(int user);
void ZK_SetStatisticsInt(const char* name, int value);
int ZK_GetStatisticsInt(const char* name);

// Audio
zk_sound_t* ZK_Audio_GetChannelSound(long channel);
bool ZK_Audio_GetMusicPlaying();
zk_sound_t* ZK_Audio_GetSound(const char* name);
zk_sound_t* ZK_Audio_GetSoundWithCacheMode(const char* name, int mode);
void ZK_Audio_IncreaseSoundReferenceCount(zk_sound_t* sound, int count);
bool ZK_Audio_IsChannelAlive(long channel);
zk_sound_t* ZK_Audio_LoadSound(const char* name);
void ZK_Audio_PlayMusic(zk_sound_t* sound, float volume, float fade_in_time);
long ZK_Audio_PlaySound(zk_sound_t* sound, float volume, float pan, float frequency);
long ZK_Audio_PlaySoundDelayed(zk_sound_t* sound, float volume, float pan, float frequency, float delay);
void ZK_Audio_ReleaseSound(zk_sound_t* sound);
void ZK_Audio_SetChannelFrequency(long channel, float frequency);
void ZK_Audio_SetChannelLooping(long channel, bool looping);
void ZK_Audio_SetChannelPan(long channel, float pan);
void ZK_Audio_SetChannelPaused(long channel, bool paused);
void ZK_Audio_SetChannelVolume(long channel, float volume);
void ZK_Audio_SetMasterVolume(float volume);
void ZK_Audio_SetMusicPaused(bool paused);
void ZK_Audio_SlideChannelVolume(long channel, float target, float time);
void ZK_Audio_SlideMusicVolume(float target, float time);
bool ZK_Audio_SoundExists(const char* name);
void ZK_Audio_StopChannel(long channel);
void ZK_Audio_StopChannelWithFade(long channel, float time);
void ZK_Audio_StopMusic(float fade_out_time);

// Cloud
bool ZK_Cloud_IsAvailable();
void ZK_Cloud_SetKeyValue(const char* key, const void* data, int size);
zk_buffer_t* ZK_Cloud_GetKeyValue(const char* key);
void ZK_Cloud_DeleteKeyValue(const char* key);

// Extension interface
void ZK_DrawQuad(zk_vertex_format_t format, void* four_vertices);

// File system
void ZK_FileSystem_AddSearchPath(const char* path, bool flag);
bool ZK_FileSystem_CloseFile(zk_file_t* file);
bool ZK_FileSystem_CreateDirectory(const char* path);
bool ZK_FileSystem_DeleteDirectory(const char* path, bool with_files);
bool ZK_FileSystem_DeleteFile(const char* path);
zk_list_t* ZK_FileSystem_FindFiles(const char* path, const char* wildcards, bool recursive);
bool ZK_FileSystem_FileExists(const char* path);
void ZK_FileSystem_FlushFile(zk_file_t* file);
bool ZK_FileSystem_GetFileInfo(const char* path, zk_file_info_t* info);
int64_t ZK_FileSystem_GetFilePosition(zk_file_t* file);
int ZK_FileSystem_GetNumberOfSearchPaths();
const char* ZK_FileSystem_GetSearchPathByIndex(int index);
bool ZK_FileSystem_IsPathValid(const char* path);
bool ZK_FileSystem_Mount(const char* name, int index);
zk_file_t* ZK_FileSystem_OpenFile(const char* path, const char* mode);
size_t ZK_FileSystem_ReadFile(void* buffer, size_t size, zk_file_t* file);
void ZK_FileSystem_RemoveSearchPath(const char* path);
bool ZK_FileSystem_SearchPathExists(const char* path);
int ZK_FileSystem_SetFilePosition(zk_file_t* file, int offset, zk_seek_t origin);
void ZK_FileSystem_Unmount(const char* name);
size_t ZK_FileSystem_WriteFile(const void* data, size_t size, zk_file_t* file);

// Graphics (slots 88 and 89: the colour-setter variants in zekar.h)
void ZK_Graphics_ClearDepth(float depth);
void ZK_Graphics_ClearScreen(float r, float g, float b);
void ZK_Graphics_ClearScreenWithAlpha(float r, float g, float b, float a);
zk_bitmap_t* ZK_Graphics_CreateBitmap(const char* name, const zk_bitmap_parameters_t* parameters);
bool ZK_Graphics_CopyBitmapRenderTargetDataToPixels(zk_bitmap_t* bitmap);
zk_index_buffer_t* ZK_Graphics_CreateIndexBufferWithIndices(unsigned short* indices, unsigned int count, zk_buffer_usage_t usage);
zk_vertex_buffer_t* ZK_Graphics_CreateVertexBufferWithVertices(zk_vertex_format_t format, void* vertices, unsigned int count, zk_buffer_usage_t usage);
void ZK_Graphics_DisableScissorRect();
void ZK_Graphics_DrawBitmap(const zk_bitmap_t* bitmap, const float& x, const float& y);
void ZK_Graphics_DrawBitmap4V(const zk_bitmap_t* bitmap, const zk_vertex_t* four);
void ZK_Graphics_DrawBitmapLine(const zk_bitmap_t* bitmap, const vec2_t* from, const vec2_t* to, float width_from, float width_to, const color_t* color_from, const color_t* color_to);
void ZK_Graphics_DrawBitmapRS(const zk_bitmap_t* bitmap, const float& x, const float& y, const float& rotation, const float& scale);
void ZK_Graphics_DrawLine(const float& x0, const float& y0, const float& x1, const float& y1);
void ZK_Graphics_DrawLine2V(const zk_vertex_t* two);
void ZK_Graphics_DrawRect(const float& x, const float& y, const float& width, const float& height);
void ZK_Graphics_DrawSubBitmap(const zk_bitmap_t* bitmap, const float& x, const float& y, const float& left, const float& top, const float& right, const float& lower);
float ZK_Graphics_DrawTextf(zk_font_t* font, const float& x, const float& y, const char* format, ...) ZK_PRINTF_LIKE(4, 5);
void ZK_Graphics_DrawTriangles(const zk_bitmap_t* bitmap, zk_vertex_t* vertices, int vertex_count, unsigned short* indices, int index_count);
void ZK_Graphics_DrawVerticesWithIndices(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices);
void ZK_Graphics_DrawVerticesWithIndicesInstanced(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices, unsigned instances);
void ZK_Graphics_DrawVerticesWithIndicesSubset(zk_vertex_buffer_t* vertices, zk_index_buffer_t* indices, const unsigned& start, const unsigned& count);
void ZK_Graphics_FreeIndexBuffer(zk_index_buffer_t* buffer);
void ZK_Graphics_FreeVertexBuffer(zk_vertex_buffer_t* buffer);
float ZK_Graphics_GetAlpha();
zk_bitmap_t* ZK_Graphics_GetBitmap(const char* name);
zk_bitmap_t* ZK_Graphics_GetBitmapByIndex(const int& index);
zk_bitmap_t* ZK_Graphics_GetBitmapWithCacheMode(const char* name, int mode);
zk_blend_mode_t ZK_Graphics_GetBlend();
color_t ZK_Graphics_GetColor();
float ZK_Graphics_GetDepthDefault();
unsigned int ZK_Graphics_GetFeatures();
zk_font_t* ZK_Graphics_GetFont(const char* name);
int ZK_Graphics_GetMaximumTextureSize();
int ZK_Graphics_GetNumberOfBitmaps();
zk_filter_t ZK_Graphics_GetPixelFilter();
bool ZK_Graphics_GetRenderStateb(zk_render_state_t state);
float ZK_Graphics_GetRenderStatef(zk_render_state_t state);
int ZK_Graphics_GetRenderStatei(zk_render_state_t state);
zk_shader_t* ZK_Graphics_GetShader(const char* name);
void* ZK_Graphics_GetShaderPixelConstant(zk_shader_t* shader, int index);
int ZK_Graphics_GetShaderPixelConstantIndex(zk_shader_t* shader, const char* name);
const char* ZK_Graphics_GetShaderTags(zk_shader_t* shader);
const char* ZK_Graphics_GetShaderUserValue(zk_shader_t* shader, const char* key);
void* ZK_Graphics_GetShaderVertexConstant(zk_shader_t* shader, int index);
int ZK_Graphics_GetShaderVertexConstantIndex(zk_shader_t* shader, const char* name);
unsigned int ZK_Graphics_GetTextAlign();
float ZK_Graphics_GetTextHeightf(zk_font_t* font, const char* format, ...) ZK_PRINTF_LIKE(2, 3);
void ZK_Graphics_GetTextSizef(zk_font_t* font, float* width, float* height, const char* format, ...) ZK_PRINTF_LIKE(4, 5);
int ZK_Graphics_GetTextureInputIndex(zk_shader_t* shader, const char* name);
float ZK_Graphics_GetTextWidthf(zk_font_t* font, const char* format, ...) ZK_PRINTF_LIKE(2, 3);
void ZKI_Graphics_GetViewportDimensions(int& width, int& height);
const float* ZK_Graphics_GetViewPosition();
void ZK_Graphics_IncreaseBitmapReferenceCount(zk_bitmap_t* bitmap, int amount);
bool ZK_Graphics_IsShaderSupported(zk_shader_t* shader);
bool ZK_Graphics_IsTextureFormatSupported(const zk_bitmap_parameters_t& parameters);
zk_bitmap_t* ZK_Graphics_LoadBitmap(const char* name, int mode);
zk_font_t* ZK_Graphics_LoadFont(const char* name);
bool ZK_Graphics_LockIndexBuffer(zk_index_buffer_t* buffer);
bool ZK_Graphics_LockVertexBuffer(zk_vertex_buffer_t* buffer);
nTransform ZK_Graphics_PeekProjectionTransform();
zk_bitmap_t* ZK_Graphics_PeekRenderTarget();
nTransform ZK_Graphics_PeekViewTransform();
nTransform ZK_Graphics_PeekWorldTransform();
void ZK_Graphics_PopProjectionTransform();
void ZK_Graphics_PopRenderTarget();
void ZK_Graphics_PopScissorRectangle();
void ZK_Graphics_PopViewTransform();
void ZK_Graphics_PopWorldTransform();
void ZK_Graphics_PushProjectionTransform(const nTransform* transform);
void ZK_Graphics_PushRenderTarget(zk_bitmap_t* color);
void ZK_Graphics_PushRenderTargets(zk_graphics_api_t::RenderTargets* targets);
void ZK_Graphics_PushRenderTargetWithDepth(zk_bitmap_t* color, zk_bitmap_t* depth);
bool ZK_Graphics_PushScissorRectangle(int x, int y, int width, int height);
void ZK_Graphics_PushViewTransform(const nTransform* transform);
void ZK_Graphics_PushWorldTransform(const nTransform* transform);
bool ZK_Graphics_RefreshBitmap(zk_bitmap_t* bitmap);
void ZK_Graphics_RefreshFont(zk_font_t* font);
void ZK_Graphics_ReleaseBitmap(zk_bitmap_t* bitmap);
void ZK_Graphics_ReleaseFont(zk_font_t* font);
bool ZK_Graphics_ReloadShader(zk_shader_t* shader);
void ZK_Graphics_RemoveBitmapHandle(zk_bitmap_t* bitmap);
bool ZK_Graphics_ResizeBitmap(zk_bitmap_t* bitmap, int width, int height);
bool ZK_Graphics_SaveBitmap(zk_bitmap_t* bitmap, const char* path, int quality);
bool ZK_Graphics_SaveFont(zk_font_t* font, const char* path);
void ZK_Graphics_SetAlpha(const float& a);
zk_bitmap_t* ZK_Graphics_SetBitmapCacheMode(zk_bitmap_t* bitmap, int mode);
void ZK_Graphics_SetBitmapFrame(zk_bitmap_t* bitmap, int frame);
void ZK_Graphics_SetBlend(zk_blend_mode_t mode);
void ZK_Graphics_SetDepthDefault(const float& z);
void ZK_Graphics_SetDepthRange(float near_depth, float middle_depth, float far_depth);
void ZK_Graphics_SetFontShader(zk_shader_t* shader);
void ZK_Graphics_SetPixelFilter(zk_filter_t filter);
void ZK_Graphics_SetPresentInterval(int interval);
void ZK_Graphics_SetRenderStateb(zk_render_state_t state, bool value);
void ZK_Graphics_SetRenderStatef(zk_render_state_t state, float value);
void ZK_Graphics_SetRenderStatei(zk_render_state_t state, int value);
void ZK_Graphics_SetRenderTargetVirtualRect(zk_bitmap_t* bitmap, int x, int y, int width, int height);
bool ZK_Graphics_SetScissorRect(int x, int y, int width, int height);
void ZK_Graphics_SetShader(zk_shader_t* shader);
void ZK_Graphics_SetShaderPixelConstant(zk_shader_t* shader, int index, zk_shader_constant_type_t type, const void* value, int count);
void ZK_Graphics_SetShaderVertexConstant(zk_shader_t* shader, int index, zk_shader_constant_type_t type, const void* value, int count);
void ZK_Graphics_SetTextureAddressMode(int stage, zk_address_mode_t u, zk_address_mode_t v, zk_address_mode_t w);
void ZK_Graphics_SetTextureFilter(int stage, zk_filter_t mag, zk_filter_t min, zk_filter_t mip);
void ZK_Graphics_SetTextAlign(const unsigned int& flags);
void ZK_Graphics_SetTextHorizontalSpacing(const float& spacing);
void ZK_Graphics_SetTextboxWidth(const float& width);
void ZK_Graphics_SetTextTransform(const float& sx, const float& sy, const float& angle);
void ZK_Graphics_SetTextVerticalSpacing(const float& spacing);
bool ZK_Graphics_FontHasGlyphsToDrawText(zk_font_t* font, const char* text);
void ZK_Graphics_SetTextureInput(int stage, zk_bitmap_t* bitmap);
bool ZK_Graphics_ShaderTagExists(zk_shader_t* shader, const char* tag);
void ZK_Graphics_UnlockIndexBuffer(zk_index_buffer_t* buffer);
void ZK_Graphics_UnlockVertexBuffer(zk_vertex_buffer_t* buffer);

// Leaderboards
void ZK_SubmitScore(int user, zk_score_t score, const char* category);
bool ZK_RequestScores(int first, int count, zk_leaderboard_filter_t filter, const char* category);
bool ZK_RequestScoresAroundUserRank(int user, int count, const char* category);
bool ZK_IsNativeLeaderboardsViewSupported();
void ZK_ShowNativeLeaderboardsView(int user, const char* category);
const char* ZK_GetUserId(int user);
int ZK_GetLeaderboardsLoginState(int user);
void ZK_LeaderboardsLogin(int user);
bool ZK_IsNativeUserProfileViewSupported();
void ZK_ShowNativeUserProfileView(const char* user_id);
int ZK_GetNumberOfLeaderboardCategories();
const char* ZK_GetLeaderboardCategoryIdByIndex(int index);
int ZK_GetLeaderboardCategoryIndexById(const char* id);
int ZK_GetLeaderboardCategorySortOrder(const char* category);
int ZK_GetMaximumNumberOfScoresPerRequest();
const char* ZK_GetLeaderboardCategoryValue(const char* id, const char* key);

// Notifications
bool ZK_Notifications_IsAvailable();
void ZK_Notifications_RegisterForNotifications();
void ZK_Notifications_RemoveAllNotifications();
void ZK_Notifications_SetNotification(const char* a, const char* b, const char* c, unsigned int seconds);

// Social
bool ZK_Social_IsAvailable();
void ZK_Social_Login();
void ZK_Social_Logout();
void ZK_Social_RequestListOfUsers();
void ZK_Social_PostLocalUserScore(unsigned int score);
zk_bitmap_t* ZK_Social_GetUserImage(const char* user_id, int size);

// Statistic
void ZK_Statistic_LogEvent(int user, zk_statistic_api_t::Category category, const nString& name, zk_statistic_api_t::Stats& stats);

// User content
bool ZK_UGC_IsAvailable();
void ZK_UGC_RequestListOfItems();
bool ZK_UGC_IsListOfItemsReady();
int ZK_UGC_GetNumberOfItems();
zk_ugc_item_info_t* ZK_UGC_GetItemInfoByIndex(int index);
void ZK_UGC_SubscribeItem(const char* id);
void ZK_UGC_UnsubscribeItem(const char* id);
int ZK_UGC_CreateItem(zk_ugc_item_info_t* info);
void ZK_UGC_OpenUGCBrowser();
