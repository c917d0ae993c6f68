// The interface table after set-up: every slot of the table and of its
// eleven sub-tables holds the function named for it.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/tests/core_fixture.h"
#include "engine/core/interface_functions.h"

namespace {

template <class F>
const void* Address(F function) {
    static_assert(sizeof(F) == sizeof(void*), "function pointers are one slot wide");
    const void* address;
    memcpy(&address, &function, sizeof(address));
    return address;
}

struct NamedSlot {
    const char* name;
    const void* address;
};

struct SubTable {
    const char* name;
    int slot;
    const NamedSlot* expected;
    size_t expected_count;
    size_t size_in_slots;
};

// In slot order, as the table lays them out. Slots 88 and 89 of the graphics
// table hold the BGRA colour setters while no renderer answers otherwise.
static const NamedSlot kTopLevel[] = {
    {"ZK_Printf", Address(ZK_Printf)},
    {"ZK_PrintDebugf", Address(ZK_PrintDebugf)},
    {"ZK_Popupf", Address(ZK_Popupf)},
    {"ZK_AddConsoleAutocompletionString", Address(ZK_AddConsoleAutocompletionString)},
    {"ZKT_Sleep", Address(ZKT_Sleep)},
    {"ZK_GetTime", Address(ZK_GetTime)},
    {"ZK_GetTimeNanoseconds", Address(ZK_GetTimeNanoseconds)},
    {"ZK_GetTimeSecondsElapsedSinceEpoch", Address(ZK_GetTimeSecondsElapsedSinceEpoch)},
    {"ZK_GetEpochTimeConvertedToDate", Address(ZK_GetEpochTimeConvertedToDate)},
    {"ZK_GetDate", Address(ZK_GetDate)},
    {"ZK_GetMutex", Address(ZK_GetMutex)},
    {"ZK_ReleaseMutex", Address(ZK_ReleaseMutex)},
    {"ZK_LockMutex", Address(ZK_LockMutex)},
    {"ZK_UnlockMutex", Address(ZK_UnlockMutex)},
    {"ZK_CreateThread", Address(ZK_CreateThread)},
    {"ZK_GetCurrentThreadId", Address(ZK_GetCurrentThreadId)},
    {"ZK_IsMainThread", Address(ZK_IsMainThread)},
    {"ZK_SynchronizeWithMainThreadBegin", Address(ZK_SynchronizeWithMainThreadBegin)},
    {"ZK_SynchronizeWithMainThreadEnd", Address(ZK_SynchronizeWithMainThreadEnd)},
    {"ZK_IsSynchronizedWithMainThread", Address(ZK_IsSynchronizedWithMainThread)},
    {"ZKD_SetCursor", Address(ZKD_SetCursor)},
    {"ZK_SignalShutdown", Address(ZK_SignalShutdown)},
    {"ZK_IsShutdownSignalled", Address(ZK_IsShutdownSignalled)},
    {"ZK_ProductFeatureExists", Address(ZK_ProductFeatureExists)},
    {"ZK_GetProductValue", Address(ZK_GetProductValue)},
    {"ZK_ReinitializeWithParameters", Address(ZK_ReinitializeWithParameters)},
    {"ZK_CallExtension", Address(ZK_CallExtension)},
    {"ZK_FreeList", Address(ZK_FreeList)},
    {"ZK_SendHttpRequest", Address(ZK_SendHttpRequest)},
    {"ZK_SendHttpRequestWithHeader", Address(ZK_SendHttpRequestWithHeader)},
    {"ZK_AllocBuffer", Address(ZK_AllocBuffer)},
    {"ZK_FreeBuffer", Address(ZK_FreeBuffer)},
    {"ZK_AllocMemory", Address(ZK_AllocMemory)},
    {"ZK_FreeMemory", Address(ZK_FreeMemory)},
    {"ZK_SendEventQueued", Address(ZK_SendEventQueued)},
    {"ZK_SetupEvent", Address(ZK_SetupEvent)},
    {"ZK_GetKeyStatei", Address(ZK_GetKeyStatei)},
    {"ZK_SetKeyStatei", Address(ZK_SetKeyStatei)},
    {"ZK_GetKeyStatef", Address(ZK_GetKeyStatef)},
    {"ZK_SetKeyStatef", Address(ZK_SetKeyStatef)},
    {"ZKI_IsDeveloperModeEnabled", Address(ZKI_IsDeveloperModeEnabled)},
};

static const NamedSlot k_achievements[] = {
    {"ZK_UnlockAchievement", Address(ZK_UnlockAchievement)},
    {"ZK_SetAchievementProgress", Address(ZK_SetAchievementProgress)},
    {"ZK_IsNativeAchievementViewSupported", Address(ZK_IsNativeAchievementViewSupported)},
    {"ZK_ShowNativeAchievementView", Address(ZK_ShowNativeAchievementView)},
    {"ZK_SetStatisticsInt", Address(ZK_SetStatisticsInt)},
    {"ZK_GetStatisticsInt", Address(ZK_GetStatisticsInt)},
};

static const NamedSlot k_audio[] = {
    {"ZK_Audio_GetChannelSound", Address(ZK_Audio_GetChannelSound)},
    {"ZK_Audio_GetMusicPlaying", Address(ZK_Audio_GetMusicPlaying)},
    {"ZK_Audio_GetSound", Address(ZK_Audio_GetSound)},
    {"ZK_Audio_GetSoundWithCacheMode", Address(ZK_Audio_GetSoundWithCacheMode)},
    {"ZK_Audio_IncreaseSoundReferenceCount", Address(ZK_Audio_IncreaseSoundReferenceCount)},
    {"ZK_Audio_IsChannelAlive", Address(ZK_Audio_IsChannelAlive)},
    {"ZK_Audio_LoadSound", Address(ZK_Audio_LoadSound)},
    {"ZK_Audio_PlayMusic", Address(ZK_Audio_PlayMusic)},
    {"ZK_Audio_PlaySound", Address(ZK_Audio_PlaySound)},
    {"ZK_Audio_PlaySoundDelayed", Address(ZK_Audio_PlaySoundDelayed)},
    {"ZK_Audio_ReleaseSound", Address(ZK_Audio_ReleaseSound)},
    {"ZK_Audio_SetChannelFrequency", Address(ZK_Audio_SetChannelFrequency)},
    {"ZK_Audio_SetChannelLooping", Address(ZK_Audio_SetChannelLooping)},
    {"ZK_Audio_SetChannelPan", Address(ZK_Audio_SetChannelPan)},
    {"ZK_Audio_SetChannelPaused", Address(ZK_Audio_SetChannelPaused)},
    {"ZK_Audio_SetChannelVolume", Address(ZK_Audio_SetChannelVolume)},
    {"ZK_Audio_SetMasterVolume", Address(ZK_Audio_SetMasterVolume)},
    {"ZK_Audio_SetMusicPaused", Address(ZK_Audio_SetMusicPaused)},
    {"ZK_Audio_SlideChannelVolume", Address(ZK_Audio_SlideChannelVolume)},
    {"ZK_Audio_SlideMusicVolume", Address(ZK_Audio_SlideMusicVolume)},
    {"ZK_Audio_SoundExists", Address(ZK_Audio_SoundExists)},
    {"ZK_Audio_StopChannel", Address(ZK_Audio_StopChannel)},
    {"ZK_Audio_StopChannelWithFade", Address(ZK_Audio_StopChannelWithFade)},
    {"ZK_Audio_StopMusic", Address(ZK_Audio_StopMusic)},
};

static const NamedSlot k_cloud[] = {
    {"ZK_Cloud_IsAvailable", Address(ZK_Cloud_IsAvailable)},
    {"ZK_Cloud_SetKeyValue", Address(ZK_Cloud_SetKeyValue)},
    {"ZK_Cloud_GetKeyValue", Address(ZK_Cloud_GetKeyValue)},
    {"ZK_Cloud_DeleteKeyValue", Address(ZK_Cloud_DeleteKeyValue)},
};

static const NamedSlot k_ext[] = {
    {"ZK_DrawQuad", Address(ZK_DrawQuad)},
};

static const NamedSlot k_file_system[] = {
    {"ZK_FileSystem_AddSearchPath", Address(ZK_FileSystem_AddSearchPath)},
    {"ZK_FileSystem_CloseFile", Address(ZK_FileSystem_CloseFile)},
    {"ZK_FileSystem_CreateDirectory", Address(ZK_FileSystem_CreateDirectory)},
    {"ZK_FileSystem_DeleteDirectory", Address(ZK_FileSystem_DeleteDirectory)},
    {"ZK_FileSystem_DeleteFile", Address(ZK_FileSystem_DeleteFile)},
    {"ZK_FileSystem_FindFiles", Address(ZK_FileSystem_FindFiles)},
    {"ZK_FileSystem_FileExists", Address(ZK_FileSystem_FileExists)},
    {"ZK_FileSystem_FlushFile", Address(ZK_FileSystem_FlushFile)},
    {"ZK_FileSystem_GetFileInfo", Address(ZK_FileSystem_GetFileInfo)},
    {"ZK_FileSystem_GetFilePosition", Address(ZK_FileSystem_GetFilePosition)},
    {"ZK_FileSystem_GetNumberOfSearchPaths", Address(ZK_FileSystem_GetNumberOfSearchPaths)},
    {"ZK_FileSystem_GetSearchPathByIndex", Address(ZK_FileSystem_GetSearchPathByIndex)},
    {"ZK_FileSystem_IsPathValid", Address(ZK_FileSystem_IsPathValid)},
    {"ZK_FileSystem_Mount", Address(ZK_FileSystem_Mount)},
    {"ZK_FileSystem_OpenFile", Address(ZK_FileSystem_OpenFile)},
    {"ZK_FileSystem_ReadFile", Address(ZK_FileSystem_ReadFile)},
    {"ZK_FileSystem_RemoveSearchPath", Address(ZK_FileSystem_RemoveSearchPath)},
    {"ZK_FileSystem_SearchPathExists", Address(ZK_FileSystem_SearchPathExists)},
    {"ZK_FileSystem_SetFilePosition", Address(ZK_FileSystem_SetFilePosition)},
    {"ZK_FileSystem_Unmount", Address(ZK_FileSystem_Unmount)},
    {"ZK_FileSystem_WriteFile", Address(ZK_FileSystem_WriteFile)},
};

static const NamedSlot k_graphics[] = {
    {"ZK_Graphics_ClearDepth", Address(ZK_Graphics_ClearDepth)},
    {"ZK_Graphics_ClearScreen", Address(ZK_Graphics_ClearScreen)},
    {"ZK_Graphics_ClearScreenWithAlpha", Address(ZK_Graphics_ClearScreenWithAlpha)},
    {"ZK_Graphics_CreateBitmap", Address(ZK_Graphics_CreateBitmap)},
    {"ZK_Graphics_CopyBitmapRenderTargetDataToPixels", Address(ZK_Graphics_CopyBitmapRenderTargetDataToPixels)},
    {"ZK_Graphics_CreateIndexBufferWithIndices", Address(ZK_Graphics_CreateIndexBufferWithIndices)},
    {"ZK_Graphics_CreateVertexBufferWithVertices", Address(ZK_Graphics_CreateVertexBufferWithVertices)},
    {"ZK_Graphics_DisableScissorRect", Address(ZK_Graphics_DisableScissorRect)},
    {"ZK_Graphics_DrawBitmap", Address(ZK_Graphics_DrawBitmap)},
    {"ZK_Graphics_DrawBitmap4V", Address(ZK_Graphics_DrawBitmap4V)},
    {"ZK_Graphics_DrawBitmapLine", Address(ZK_Graphics_DrawBitmapLine)},
    {"ZK_Graphics_DrawBitmapRS", Address(ZK_Graphics_DrawBitmapRS)},
    {"ZK_Graphics_DrawLine", Address(ZK_Graphics_DrawLine)},
    {"ZK_Graphics_DrawLine2V", Address(ZK_Graphics_DrawLine2V)},
    {"ZK_Graphics_DrawRect", Address(ZK_Graphics_DrawRect)},
    {"ZK_Graphics_DrawSubBitmap", Address(ZK_Graphics_DrawSubBitmap)},
    {"ZK_Graphics_DrawTextf", Address(ZK_Graphics_DrawTextf)},
    {"ZK_Graphics_DrawTriangles", Address(ZK_Graphics_DrawTriangles)},
    {"ZK_Graphics_DrawVerticesWithIndices", Address(ZK_Graphics_DrawVerticesWithIndices)},
    {"ZK_Graphics_DrawVerticesWithIndicesInstanced", Address(ZK_Graphics_DrawVerticesWithIndicesInstanced)},
    {"ZK_Graphics_DrawVerticesWithIndicesSubset", Address(ZK_Graphics_DrawVerticesWithIndicesSubset)},
    {"ZK_Graphics_FreeIndexBuffer", Address(ZK_Graphics_FreeIndexBuffer)},
    {"ZK_Graphics_FreeVertexBuffer", Address(ZK_Graphics_FreeVertexBuffer)},
    {"ZK_Graphics_GetAlpha", Address(ZK_Graphics_GetAlpha)},
    {"ZK_Graphics_GetBitmap", Address(ZK_Graphics_GetBitmap)},
    {"ZK_Graphics_GetBitmapByIndex", Address(ZK_Graphics_GetBitmapByIndex)},
    {"ZK_Graphics_GetBitmapWithCacheMode", Address(ZK_Graphics_GetBitmapWithCacheMode)},
    {"ZK_Graphics_GetBlend", Address(ZK_Graphics_GetBlend)},
    {"ZK_Graphics_GetColor", Address(ZK_Graphics_GetColor)},
    {"ZK_Graphics_GetDepthDefault", Address(ZK_Graphics_GetDepthDefault)},
    {"ZK_Graphics_GetFeatures", Address(ZK_Graphics_GetFeatures)},
    {"ZK_Graphics_GetFont", Address(ZK_Graphics_GetFont)},
    {"ZK_Graphics_GetMaximumTextureSize", Address(ZK_Graphics_GetMaximumTextureSize)},
    {"ZK_Graphics_GetNumberOfBitmaps", Address(ZK_Graphics_GetNumberOfBitmaps)},
    {"ZK_Graphics_GetPixelFilter", Address(ZK_Graphics_GetPixelFilter)},
    {"ZK_Graphics_GetRenderStateb", Address(ZK_Graphics_GetRenderStateb)},
    {"ZK_Graphics_GetRenderStatef", Address(ZK_Graphics_GetRenderStatef)},
    {"ZK_Graphics_GetRenderStatei", Address(ZK_Graphics_GetRenderStatei)},
    {"ZK_Graphics_GetShader", Address(ZK_Graphics_GetShader)},
    {"ZK_Graphics_GetShaderPixelConstant", Address(ZK_Graphics_GetShaderPixelConstant)},
    {"ZK_Graphics_GetShaderPixelConstantIndex", Address(ZK_Graphics_GetShaderPixelConstantIndex)},
    {"ZK_Graphics_GetShaderTags", Address(ZK_Graphics_GetShaderTags)},
    {"ZK_Graphics_GetShaderUserValue", Address(ZK_Graphics_GetShaderUserValue)},
    {"ZK_Graphics_GetShaderVertexConstant", Address(ZK_Graphics_GetShaderVertexConstant)},
    {"ZK_Graphics_GetShaderVertexConstantIndex", Address(ZK_Graphics_GetShaderVertexConstantIndex)},
    {"ZK_Graphics_GetTextAlign", Address(ZK_Graphics_GetTextAlign)},
    {"ZK_Graphics_GetTextHeightf", Address(ZK_Graphics_GetTextHeightf)},
    {"ZK_Graphics_GetTextSizef", Address(ZK_Graphics_GetTextSizef)},
    {"ZK_Graphics_GetTextureInputIndex", Address(ZK_Graphics_GetTextureInputIndex)},
    {"ZK_Graphics_GetTextWidthf", Address(ZK_Graphics_GetTextWidthf)},
    {"ZKI_Graphics_GetViewportDimensions", Address(ZKI_Graphics_GetViewportDimensions)},
    {"ZK_Graphics_GetViewPosition", Address(ZK_Graphics_GetViewPosition)},
    {"ZK_Graphics_IncreaseBitmapReferenceCount", Address(ZK_Graphics_IncreaseBitmapReferenceCount)},
    {"ZK_Graphics_IsShaderSupported", Address(ZK_Graphics_IsShaderSupported)},
    {"ZK_Graphics_IsTextureFormatSupported", Address(ZK_Graphics_IsTextureFormatSupported)},
    {"ZK_Graphics_LoadBitmap", Address(ZK_Graphics_LoadBitmap)},
    {"ZK_Graphics_LoadFont", Address(ZK_Graphics_LoadFont)},
    {"ZK_Graphics_LockIndexBuffer", Address(ZK_Graphics_LockIndexBuffer)},
    {"ZK_Graphics_LockVertexBuffer", Address(ZK_Graphics_LockVertexBuffer)},
    {"ZK_Graphics_PeekProjectionTransform", Address(ZK_Graphics_PeekProjectionTransform)},
    {"ZK_Graphics_PeekRenderTarget", Address(ZK_Graphics_PeekRenderTarget)},
    {"ZK_Graphics_PeekViewTransform", Address(ZK_Graphics_PeekViewTransform)},
    {"ZK_Graphics_PeekWorldTransform", Address(ZK_Graphics_PeekWorldTransform)},
    {"ZK_Graphics_PopProjectionTransform", Address(ZK_Graphics_PopProjectionTransform)},
    {"ZK_Graphics_PopRenderTarget", Address(ZK_Graphics_PopRenderTarget)},
    {"ZK_Graphics_PopScissorRectangle", Address(ZK_Graphics_PopScissorRectangle)},
    {"ZK_Graphics_PopViewTransform", Address(ZK_Graphics_PopViewTransform)},
    {"ZK_Graphics_PopWorldTransform", Address(ZK_Graphics_PopWorldTransform)},
    {"ZK_Graphics_PushProjectionTransform", Address(ZK_Graphics_PushProjectionTransform)},
    {"ZK_Graphics_PushRenderTarget", Address(ZK_Graphics_PushRenderTarget)},
    {"ZK_Graphics_PushRenderTargets", Address(ZK_Graphics_PushRenderTargets)},
    {"ZK_Graphics_PushRenderTargetWithDepth", Address(ZK_Graphics_PushRenderTargetWithDepth)},
    {"ZK_Graphics_PushScissorRectangle", Address(ZK_Graphics_PushScissorRectangle)},
    {"ZK_Graphics_PushViewTransform", Address(ZK_Graphics_PushViewTransform)},
    {"ZK_Graphics_PushWorldTransform", Address(ZK_Graphics_PushWorldTransform)},
    {"ZK_Graphics_RefreshBitmap", Address(ZK_Graphics_RefreshBitmap)},
    {"ZK_Graphics_RefreshFont", Address(ZK_Graphics_RefreshFont)},
    {"ZK_Graphics_ReleaseBitmap", Address(ZK_Graphics_ReleaseBitmap)},
    {"ZK_Graphics_ReleaseFont", Address(ZK_Graphics_ReleaseFont)},
    {"ZK_Graphics_ReloadShader", Address(ZK_Graphics_ReloadShader)},
    {"ZK_Graphics_RemoveBitmapHandle", Address(ZK_Graphics_RemoveBitmapHandle)},
    {"ZK_Graphics_ResizeBitmap", Address(ZK_Graphics_ResizeBitmap)},
    {"ZK_Graphics_SaveBitmap", Address(ZK_Graphics_SaveBitmap)},
    {"ZK_Graphics_SaveFont", Address(ZK_Graphics_SaveFont)},
    {"ZK_Graphics_SetAlpha", Address(ZK_Graphics_SetAlpha)},
    {"ZK_Graphics_SetBitmapCacheMode", Address(ZK_Graphics_SetBitmapCacheMode)},
    {"ZK_Graphics_SetBitmapFrame", Address(ZK_Graphics_SetBitmapFrame)},
    {"ZK_Graphics_SetBlend", Address(ZK_Graphics_SetBlend)},
    {"ZK_Graphics_SetColor_BGRA", Address(ZK_Graphics_SetColor_BGRA)},
    {"ZK_Graphics_SetColorWithAlpha_BGRA", Address(ZK_Graphics_SetColorWithAlpha_BGRA)},
    {"ZK_Graphics_SetDepthDefault", Address(ZK_Graphics_SetDepthDefault)},
    {"ZK_Graphics_SetDepthRange", Address(ZK_Graphics_SetDepthRange)},
    {"ZK_Graphics_SetFontShader", Address(ZK_Graphics_SetFontShader)},
    {"ZK_Graphics_SetPixelFilter", Address(ZK_Graphics_SetPixelFilter)},
    {"ZK_Graphics_SetPresentInterval", Address(ZK_Graphics_SetPresentInterval)},
    {"ZK_Graphics_SetRenderStateb", Address(ZK_Graphics_SetRenderStateb)},
    {"ZK_Graphics_SetRenderStatef", Address(ZK_Graphics_SetRenderStatef)},
    {"ZK_Graphics_SetRenderStatei", Address(ZK_Graphics_SetRenderStatei)},
    {"ZK_Graphics_SetRenderTargetVirtualRect", Address(ZK_Graphics_SetRenderTargetVirtualRect)},
    {"ZK_Graphics_SetScissorRect", Address(ZK_Graphics_SetScissorRect)},
    {"ZK_Graphics_SetShader", Address(ZK_Graphics_SetShader)},
    {"ZK_Graphics_SetShaderPixelConstant", Address(ZK_Graphics_SetShaderPixelConstant)},
    {"ZK_Graphics_SetShaderVertexConstant", Address(ZK_Graphics_SetShaderVertexConstant)},
    {"ZK_Graphics_SetTextureAddressMode", Address(ZK_Graphics_SetTextureAddressMode)},
    {"ZK_Graphics_SetTextureFilter", Address(ZK_Graphics_SetTextureFilter)},
    {"ZK_Graphics_SetTextAlign", Address(ZK_Graphics_SetTextAlign)},
    {"ZK_Graphics_SetTextHorizontalSpacing", Address(ZK_Graphics_SetTextHorizontalSpacing)},
    {"ZK_Graphics_SetTextboxWidth", Address(ZK_Graphics_SetTextboxWidth)},
    {"ZK_Graphics_SetTextTransform", Address(ZK_Graphics_SetTextTransform)},
    {"ZK_Graphics_SetTextVerticalSpacing", Address(ZK_Graphics_SetTextVerticalSpacing)},
    {"ZK_Graphics_FontHasGlyphsToDrawText", Address(ZK_Graphics_FontHasGlyphsToDrawText)},
    {"ZK_Graphics_SetTextureInput", Address(ZK_Graphics_SetTextureInput)},
    {"ZK_Graphics_ShaderTagExists", Address(ZK_Graphics_ShaderTagExists)},
    {"ZK_Graphics_UnlockIndexBuffer", Address(ZK_Graphics_UnlockIndexBuffer)},
    {"ZK_Graphics_UnlockVertexBuffer", Address(ZK_Graphics_UnlockVertexBuffer)},
};

static const NamedSlot k_leaderboards[] = {
    {"ZK_SubmitScore", Address(ZK_SubmitScore)},
    {"ZK_RequestScores", Address(ZK_RequestScores)},
    {"ZK_RequestScoresAroundUserRank", Address(ZK_RequestScoresAroundUserRank)},
    {"ZK_IsNativeLeaderboardsViewSupported", Address(ZK_IsNativeLeaderboardsViewSupported)},
    {"ZK_ShowNativeLeaderboardsView", Address(ZK_ShowNativeLeaderboardsView)},
    {"ZK_GetUserId", Address(ZK_GetUserId)},
    {"ZK_GetLeaderboardsLoginState", Address(ZK_GetLeaderboardsLoginState)},
    {"ZK_LeaderboardsLogin", Address(ZK_LeaderboardsLogin)},
    {"ZK_IsNativeUserProfileViewSupported", Address(ZK_IsNativeUserProfileViewSupported)},
    {"ZK_ShowNativeUserProfileView", Address(ZK_ShowNativeUserProfileView)},
    {"ZK_GetNumberOfLeaderboardCategories", Address(ZK_GetNumberOfLeaderboardCategories)},
    {"ZK_GetLeaderboardCategoryIdByIndex", Address(ZK_GetLeaderboardCategoryIdByIndex)},
    {"ZK_GetLeaderboardCategoryIndexById", Address(ZK_GetLeaderboardCategoryIndexById)},
    {"ZK_GetLeaderboardCategorySortOrder", Address(ZK_GetLeaderboardCategorySortOrder)},
    {"ZK_GetMaximumNumberOfScoresPerRequest", Address(ZK_GetMaximumNumberOfScoresPerRequest)},
    {"ZK_GetLeaderboardCategoryValue", Address(ZK_GetLeaderboardCategoryValue)},
};

static const NamedSlot k_notifications[] = {
    {"ZK_Notifications_IsAvailable", Address(ZK_Notifications_IsAvailable)},
    {"ZK_Notifications_RegisterForNotifications", Address(ZK_Notifications_RegisterForNotifications)},
    {"ZK_Notifications_RemoveAllNotifications", Address(ZK_Notifications_RemoveAllNotifications)},
    {"ZK_Notifications_SetNotification", Address(ZK_Notifications_SetNotification)},
};

static const NamedSlot k_social[] = {
    {"ZK_Social_IsAvailable", Address(ZK_Social_IsAvailable)},
    {"ZK_Social_Login", Address(ZK_Social_Login)},
    {"ZK_Social_Logout", Address(ZK_Social_Logout)},
    {"ZK_Social_RequestListOfUsers", Address(ZK_Social_RequestListOfUsers)},
    {"ZK_Social_PostLocalUserScore", Address(ZK_Social_PostLocalUserScore)},
    {"ZK_Social_GetUserImage", Address(ZK_Social_GetUserImage)},
};

static const NamedSlot k_statistic[] = {
    {"ZK_Statistic_LogEvent", Address(ZK_Statistic_LogEvent)},
};

static const NamedSlot k_ugc[] = {
    {"ZK_UGC_IsAvailable", Address(ZK_UGC_IsAvailable)},
    {"ZK_UGC_RequestListOfItems", Address(ZK_UGC_RequestListOfItems)},
    {"ZK_UGC_IsListOfItemsReady", Address(ZK_UGC_IsListOfItemsReady)},
    {"ZK_UGC_GetNumberOfItems", Address(ZK_UGC_GetNumberOfItems)},
    {"ZK_UGC_GetItemInfoByIndex", Address(ZK_UGC_GetItemInfoByIndex)},
    {"ZK_UGC_SubscribeItem", Address(ZK_UGC_SubscribeItem)},
    {"ZK_UGC_UnsubscribeItem", Address(ZK_UGC_UnsubscribeItem)},
    {"ZK_UGC_CreateItem", Address(ZK_UGC_CreateItem)},
    {"ZK_UGC_OpenUGCBrowser", Address(ZK_UGC_OpenUGCBrowser)},
};

static const SubTable kSubTables[] = {
    {"achievements", 41, k_achievements, sizeof(k_achievements) / sizeof(k_achievements[0]), sizeof(zk_achievements_api_t) / sizeof(void*)},
    {"audio", 42, k_audio, sizeof(k_audio) / sizeof(k_audio[0]), sizeof(zk_audio_api_t) / sizeof(void*)},
    {"cloud", 43, k_cloud, sizeof(k_cloud) / sizeof(k_cloud[0]), sizeof(zk_cloud_api_t) / sizeof(void*)},
    {"ext", 44, k_ext, sizeof(k_ext) / sizeof(k_ext[0]), sizeof(zk_extension_api_t) / sizeof(void*)},
    {"file_system", 45, k_file_system, sizeof(k_file_system) / sizeof(k_file_system[0]), sizeof(zk_file_system_api_t) / sizeof(void*)},
    {"graphics", 46, k_graphics, sizeof(k_graphics) / sizeof(k_graphics[0]), sizeof(zk_graphics_api_t) / sizeof(void*)},
    {"leaderboards", 47, k_leaderboards, sizeof(k_leaderboards) / sizeof(k_leaderboards[0]), sizeof(zk_leaderboards_api_t) / sizeof(void*)},
    {"notifications", 48, k_notifications, sizeof(k_notifications) / sizeof(k_notifications[0]), sizeof(zk_notifications_api_t) / sizeof(void*)},
    {"social", 49, k_social, sizeof(k_social) / sizeof(k_social[0]), sizeof(zk_social_api_t) / sizeof(void*)},
    {"statistic", 50, k_statistic, sizeof(k_statistic) / sizeof(k_statistic[0]), sizeof(zk_statistic_api_t) / sizeof(void*)},
    {"ugc", 51, k_ugc, sizeof(k_ugc) / sizeof(k_ugc[0]), sizeof(zk_ugc_api_t) / sizeof(void*)},
};

const void* const* SlotsOf(const void* table) { return static_cast<const void* const*>(table); }

void ExpectSlots(const char* table_name, const void* table, const NamedSlot* expected, size_t count) {
    const void* const* slots = SlotsOf(table);
    for (size_t i = 0; i < count; ++i) {
        EXPECT_NE(slots[i], nullptr) << table_name << " slot " << i << " (" << expected[i].name << ") is empty";
        EXPECT_EQ(slots[i], expected[i].address) << table_name << " slot " << i << " should hold " << expected[i].name;
    }
}

class InterfaceTest : public ZkCoreTest {};

TEST_F(InterfaceTest, SetUpPointsZkAtTheTableAndTheStateAtIt) {
    EXPECT_EQ(zk, &zekar);
    EXPECT_EQ(zk_state.zk, zk);
    EXPECT_EQ(zk_state.device_info, &zk_device_info);
}

TEST_F(InterfaceTest, EveryTopLevelFunctionSlotHoldsItsFunction) {
    ASSERT_EQ(sizeof(kTopLevel) / sizeof(kTopLevel[0]), 41u);
    ExpectSlots("zekar", &zekar, kTopLevel, 41);
}

TEST_F(InterfaceTest, SlotsFortyOneToFiftyOnePointAtTheSubTablesInOrder) {
    const void* expected[] = {&zk_achievements_api, &zk_audio_api,   &zk_cloud_api,         &zk_extension_api,
                              &zk_file_system_api,  &zk_graphics_api, &zk_leaderboards_api, &zk_notifications_api,
                              &zk_social_api,       &zk_statistic_api, &zk_ugc_api};
    const void* const* slots = SlotsOf(&zekar);
    for (int slot = 41; slot <= 51; ++slot) EXPECT_EQ(slots[slot], expected[slot - 41]) << "slot " << slot;
}

TEST_F(InterfaceTest, EverySubTableSlotHoldsItsFunction) {
    const void* const* slots = SlotsOf(&zekar);
    for (const SubTable& table : kSubTables) {
        SCOPED_TRACE(table.name);
        ASSERT_EQ(table.expected_count, table.size_in_slots);
        ExpectSlots(table.name, slots[table.slot], table.expected, table.expected_count);
    }
}

TEST_F(InterfaceTest, SubTableSizesMatchTheirSlotCounts) {
    const size_t counts[] = {6, 24, 4, 1, 21, 115, 16, 4, 6, 1, 9};
    size_t i = 0;
    for (const SubTable& table : kSubTables) EXPECT_EQ(table.size_in_slots, counts[i++]) << table.name;
}

TEST_F(InterfaceTest, ColourSettersFollowTheVertexColourFormat) {
    struct Case {
        int format;
        const void* set_color;
        const void* set_color_with_alpha;
    } cases[] = {
        {0, Address(ZK_Graphics_SetColor_RGBA), Address(ZK_Graphics_SetColorWithAlpha_RGBA)},
        {1, Address(ZK_Graphics_SetColor_BGRA), Address(ZK_Graphics_SetColorWithAlpha_BGRA)},
        {2, Address(ZK_Graphics_SetColor_BGRA), Address(ZK_Graphics_SetColorWithAlpha_BGRA)},
        {-1, Address(ZK_Graphics_SetColor_BGRA), Address(ZK_Graphics_SetColorWithAlpha_BGRA)},
    };
    for (const Case& c : cases) {
        zk_graphics_api_t api = {};
        ZKI_SelectColorSetters(&api, c.format);
        EXPECT_EQ(Address(api.ZK_Graphics_SetColor), c.set_color) << "format " << c.format;
        EXPECT_EQ(Address(api.ZK_Graphics_SetColorWithAlpha), c.set_color_with_alpha) << "format " << c.format;
    }
}

TEST_F(InterfaceTest, EachSubTableFillerFillsItsOwnSlotOnly) {
    struct Case {
        void (*filler)(zekar_t*);
        int slot;
        const void* table;
    } cases[] = {
        {ZKI_SetInterfaceAchievements, 41, &zk_achievements_api}, {ZKI_SetInterfaceAudio, 42, &zk_audio_api},
        {ZKI_SetInterfaceCloud, 43, &zk_cloud_api},               {ZKI_SetInterfaceFileSystem, 45, &zk_file_system_api},
        {ZKI_SetInterfaceGraphics, 46, &zk_graphics_api},         {ZKI_SetInterfaceLeaderboards, 47, &zk_leaderboards_api},
        {ZKI_SetInterfaceNotifications, 48, &zk_notifications_api}, {ZKI_SetInterfaceSocial, 49, &zk_social_api},
        {ZKI_SetInterfaceStatistic, 50, &zk_statistic_api},       {ZKI_SetInterfaceUGC, 51, &zk_ugc_api},
    };
    for (const Case& c : cases) {
        zekar_t table = {};
        c.filler(&table);
        const void* const* slots = SlotsOf(&table);
        for (int slot = 0; slot < 52; ++slot) {
            EXPECT_EQ(slots[slot], slot == c.slot ? c.table : nullptr) << "filler of slot " << c.slot << ", slot " << slot;
        }
    }
}

TEST_F(InterfaceTest, CallsThroughTheTableReachTheEngine) {
    zk_state.developer_mode = 1;
    EXPECT_TRUE(zk->ZKI_IsDeveloperModeEnabled());
    zk_mutex_t* mutex = zk->ZK_GetMutex("table call");
    EXPECT_EQ(mutex, ZK_GetMutex("table call"));
    EXPECT_EQ(zk->ZK_GetCurrentThreadId(), 1u);
}

}  // namespace
