// The interface table: the list every table is generated from keeps the
// documented slot order, and after set-up every slot holds the function
// named for it, or, where no layer provides the slot, a neutral function.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/app/interface.h"
#include "engine/drawing/drawing_interface.h"
#include "engine/drawing/graphics_state.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/interface_filling.h"
#include "engine/runtime/tests/core_fixture.h"

namespace {

template <class F>
const void* Address(F function) {
    static_assert(sizeof(F) == sizeof(void*), "function pointers are one slot wide");
    const void* address;
    memcpy(&address, &function, sizeof(address));
    return address;
}

// The documented order of each table, written out independently of the
// list the tables are generated from.
const char* const kTopLevel[] = {
    "ZK_Printf", "ZK_PrintDebugf", "ZK_Popupf", "ZK_AddConsoleAutocompletionString", "ZKT_Sleep", "ZK_GetTime",
    "ZK_GetTimeNanoseconds", "ZK_GetTimeSecondsElapsedSinceEpoch", "ZK_GetEpochTimeConvertedToDate", "ZK_GetDate",
    "ZK_GetMutex", "ZK_ReleaseMutex", "ZK_LockMutex", "ZK_UnlockMutex", "ZK_CreateThread", "ZK_GetCurrentThreadId",
    "ZK_IsMainThread", "ZK_SynchronizeWithMainThreadBegin", "ZK_SynchronizeWithMainThreadEnd",
    "ZK_IsSynchronizedWithMainThread", "ZKD_SetCursor", "ZK_SignalShutdown", "ZK_IsShutdownSignalled",
    "ZK_ProductFeatureExists", "ZK_GetProductValue", "ZK_ReinitializeWithParameters", "ZK_CallExtension",
    "ZK_FreeList", "ZK_SendHttpRequest", "ZK_SendHttpRequestWithHeader", "ZK_AllocBuffer", "ZK_FreeBuffer",
    "ZK_AllocMemory", "ZK_FreeMemory", "ZK_SendEventQueued", "ZK_SetupEvent", "ZK_GetKeyStatei", "ZK_SetKeyStatei",
    "ZK_GetKeyStatef", "ZK_SetKeyStatef", "ZKI_IsDeveloperModeEnabled", "achievements", "audio", "cloud", "ext",
    "file_system", "graphics", "leaderboards", "notifications", "social", "statistic", "ugc",
};
const char* const k_achievements[] = {
    "ZK_UnlockAchievement", "ZK_SetAchievementProgress", "ZK_IsNativeAchievementViewSupported",
    "ZK_ShowNativeAchievementView", "ZK_SetStatisticsInt", "ZK_GetStatisticsInt",
};
const char* const k_audio[] = {
    "ZK_Audio_GetChannelSound", "ZK_Audio_GetMusicPlaying", "ZK_Audio_GetSound", "ZK_Audio_GetSoundWithCacheMode",
    "ZK_Audio_IncreaseSoundReferenceCount", "ZK_Audio_IsChannelAlive", "ZK_Audio_LoadSound", "ZK_Audio_PlayMusic",
    "ZK_Audio_PlaySound", "ZK_Audio_PlaySoundDelayed", "ZK_Audio_ReleaseSound", "ZK_Audio_SetChannelFrequency",
    "ZK_Audio_SetChannelLooping", "ZK_Audio_SetChannelPan", "ZK_Audio_SetChannelPaused",
    "ZK_Audio_SetChannelVolume", "ZK_Audio_SetMasterVolume", "ZK_Audio_SetMusicPaused",
    "ZK_Audio_SlideChannelVolume", "ZK_Audio_SlideMusicVolume", "ZK_Audio_SoundExists", "ZK_Audio_StopChannel",
    "ZK_Audio_StopChannelWithFade", "ZK_Audio_StopMusic",
};
const char* const k_cloud[] = {
    "ZK_Cloud_IsAvailable", "ZK_Cloud_SetKeyValue", "ZK_Cloud_GetKeyValue", "ZK_Cloud_DeleteKeyValue",
};
const char* const k_ext[] = {
    "ZK_DrawQuad",
};
const char* const k_file_system[] = {
    "ZK_FileSystem_AddSearchPath", "ZK_FileSystem_CloseFile", "ZK_FileSystem_CreateDirectory",
    "ZK_FileSystem_DeleteDirectory", "ZK_FileSystem_DeleteFile", "ZK_FileSystem_FindFiles",
    "ZK_FileSystem_FileExists", "ZK_FileSystem_FlushFile", "ZK_FileSystem_GetFileInfo",
    "ZK_FileSystem_GetFilePosition", "ZK_FileSystem_GetNumberOfSearchPaths", "ZK_FileSystem_GetSearchPathByIndex",
    "ZK_FileSystem_IsPathValid", "ZK_FileSystem_Mount", "ZK_FileSystem_OpenFile", "ZK_FileSystem_ReadFile",
    "ZK_FileSystem_RemoveSearchPath", "ZK_FileSystem_SearchPathExists", "ZK_FileSystem_SetFilePosition",
    "ZK_FileSystem_Unmount", "ZK_FileSystem_WriteFile",
};
const char* const k_graphics[] = {
    "ZK_Graphics_ClearDepth", "ZK_Graphics_ClearScreen", "ZK_Graphics_ClearScreenWithAlpha",
    "ZK_Graphics_CreateBitmap", "ZK_Graphics_CopyBitmapRenderTargetDataToPixels",
    "ZK_Graphics_CreateIndexBufferWithIndices", "ZK_Graphics_CreateVertexBufferWithVertices",
    "ZK_Graphics_DisableScissorRect", "ZK_Graphics_DrawBitmap", "ZK_Graphics_DrawBitmap4V",
    "ZK_Graphics_DrawBitmapLine", "ZK_Graphics_DrawBitmapRS", "ZK_Graphics_DrawLine", "ZK_Graphics_DrawLine2V",
    "ZK_Graphics_DrawRect", "ZK_Graphics_DrawSubBitmap", "ZK_Graphics_DrawTextf", "ZK_Graphics_DrawTriangles",
    "ZK_Graphics_DrawVerticesWithIndices", "ZK_Graphics_DrawVerticesWithIndicesInstanced",
    "ZK_Graphics_DrawVerticesWithIndicesSubset", "ZK_Graphics_FreeIndexBuffer", "ZK_Graphics_FreeVertexBuffer",
    "ZK_Graphics_GetAlpha", "ZK_Graphics_GetBitmap", "ZK_Graphics_GetBitmapByIndex",
    "ZK_Graphics_GetBitmapWithCacheMode", "ZK_Graphics_GetBlend", "ZK_Graphics_GetColor",
    "ZK_Graphics_GetDepthDefault", "ZK_Graphics_GetFeatures", "ZK_Graphics_GetFont",
    "ZK_Graphics_GetMaximumTextureSize", "ZK_Graphics_GetNumberOfBitmaps", "ZK_Graphics_GetPixelFilter",
    "ZK_Graphics_GetRenderStateb", "ZK_Graphics_GetRenderStatef", "ZK_Graphics_GetRenderStatei",
    "ZK_Graphics_GetShader", "ZK_Graphics_GetShaderPixelConstant", "ZK_Graphics_GetShaderPixelConstantIndex",
    "ZK_Graphics_GetShaderTags", "ZK_Graphics_GetShaderUserValue", "ZK_Graphics_GetShaderVertexConstant",
    "ZK_Graphics_GetShaderVertexConstantIndex", "ZK_Graphics_GetTextAlign", "ZK_Graphics_GetTextHeightf",
    "ZK_Graphics_GetTextSizef", "ZK_Graphics_GetTextureInputIndex", "ZK_Graphics_GetTextWidthf",
    "ZKI_Graphics_GetViewportDimensions", "ZK_Graphics_GetViewPosition",
    "ZK_Graphics_IncreaseBitmapReferenceCount", "ZK_Graphics_IsShaderSupported",
    "ZK_Graphics_IsTextureFormatSupported", "ZK_Graphics_LoadBitmap", "ZK_Graphics_LoadFont",
    "ZK_Graphics_LockIndexBuffer", "ZK_Graphics_LockVertexBuffer", "ZK_Graphics_PeekProjectionTransform",
    "ZK_Graphics_PeekRenderTarget", "ZK_Graphics_PeekViewTransform", "ZK_Graphics_PeekWorldTransform",
    "ZK_Graphics_PopProjectionTransform", "ZK_Graphics_PopRenderTarget", "ZK_Graphics_PopScissorRectangle",
    "ZK_Graphics_PopViewTransform", "ZK_Graphics_PopWorldTransform", "ZK_Graphics_PushProjectionTransform",
    "ZK_Graphics_PushRenderTarget", "ZK_Graphics_PushRenderTargets", "ZK_Graphics_PushRenderTargetWithDepth",
    "ZK_Graphics_PushScissorRectangle", "ZK_Graphics_PushViewTransform", "ZK_Graphics_PushWorldTransform",
    "ZK_Graphics_RefreshBitmap", "ZK_Graphics_RefreshFont", "ZK_Graphics_ReleaseBitmap", "ZK_Graphics_ReleaseFont",
    "ZK_Graphics_ReloadShader", "ZK_Graphics_RemoveBitmapHandle", "ZK_Graphics_ResizeBitmap",
    "ZK_Graphics_SaveBitmap", "ZK_Graphics_SaveFont", "ZK_Graphics_SetAlpha", "ZK_Graphics_SetBitmapCacheMode",
    "ZK_Graphics_SetBitmapFrame", "ZK_Graphics_SetBlend", "ZK_Graphics_SetColor", "ZK_Graphics_SetColorWithAlpha",
    "ZK_Graphics_SetDepthDefault", "ZK_Graphics_SetDepthRange", "ZK_Graphics_SetFontShader",
    "ZK_Graphics_SetPixelFilter", "ZK_Graphics_SetPresentInterval", "ZK_Graphics_SetRenderStateb",
    "ZK_Graphics_SetRenderStatef", "ZK_Graphics_SetRenderStatei", "ZK_Graphics_SetRenderTargetVirtualRect",
    "ZK_Graphics_SetScissorRect", "ZK_Graphics_SetShader", "ZK_Graphics_SetShaderPixelConstant",
    "ZK_Graphics_SetShaderVertexConstant", "ZK_Graphics_SetTextureAddressMode", "ZK_Graphics_SetTextureFilter",
    "ZK_Graphics_SetTextAlign", "ZK_Graphics_SetTextHorizontalSpacing", "ZK_Graphics_SetTextboxWidth",
    "ZK_Graphics_SetTextTransform", "ZK_Graphics_SetTextVerticalSpacing", "ZK_Graphics_FontHasGlyphsToDrawText",
    "ZK_Graphics_SetTextureInput", "ZK_Graphics_ShaderTagExists", "ZK_Graphics_UnlockIndexBuffer",
    "ZK_Graphics_UnlockVertexBuffer",
};
const char* const k_leaderboards[] = {
    "ZK_SubmitScore", "ZK_RequestScores", "ZK_RequestScoresAroundUserRank", "ZK_IsNativeLeaderboardsViewSupported",
    "ZK_ShowNativeLeaderboardsView", "ZK_GetUserId", "ZK_GetLeaderboardsLoginState", "ZK_LeaderboardsLogin",
    "ZK_IsNativeUserProfileViewSupported", "ZK_ShowNativeUserProfileView", "ZK_GetNumberOfLeaderboardCategories",
    "ZK_GetLeaderboardCategoryIdByIndex", "ZK_GetLeaderboardCategoryIndexById",
    "ZK_GetLeaderboardCategorySortOrder", "ZK_GetMaximumNumberOfScoresPerRequest",
    "ZK_GetLeaderboardCategoryValue",
};
const char* const k_notifications[] = {
    "ZK_Notifications_IsAvailable", "ZK_Notifications_RegisterForNotifications",
    "ZK_Notifications_RemoveAllNotifications", "ZK_Notifications_SetNotification",
};
const char* const k_social[] = {
    "ZK_Social_IsAvailable", "ZK_Social_Login", "ZK_Social_Logout", "ZK_Social_RequestListOfUsers",
    "ZK_Social_PostLocalUserScore", "ZK_Social_GetUserImage",
};
const char* const k_statistic[] = {
    "ZK_Statistic_LogEvent",
};
const char* const k_ugc[] = {
    "ZK_UGC_IsAvailable", "ZK_UGC_RequestListOfItems", "ZK_UGC_IsListOfItemsReady", "ZK_UGC_GetNumberOfItems",
    "ZK_UGC_GetItemInfoByIndex", "ZK_UGC_SubscribeItem", "ZK_UGC_UnsubscribeItem", "ZK_UGC_CreateItem",
    "ZK_UGC_OpenUGCBrowser",
};

// What the generated list says of one table: each member's name and byte
// offset. The per-table macros all expand here; only the table's own take.
struct ListedSlot {
    const char* name;
    size_t offset;
};

#define ZK_FOR_TABLE(table, statement) \
    if constexpr (std::is_same<Table, table>::value) statement;
template <class Table>
std::vector<ListedSlot> Listed() {
    std::vector<ListedSlot> slots;
#define ZK_LISTED(table, name) ZK_FOR_TABLE(table, slots.push_back({#name, offsetof(table, name)}))
#define ZK_TOP_SLOT(ret, name, params, attributes) ZK_LISTED(zekar_t, name)
#define ZK_SUB_TABLE(type, object, member) ZK_LISTED(zekar_t, member)
#define ZK_ACHIEVEMENTS_SLOT(ret, name, params, attributes) ZK_LISTED(zk_achievements_api_t, name)
#define ZK_AUDIO_SLOT(ret, name, params, attributes) ZK_LISTED(zk_audio_api_t, name)
#define ZK_CLOUD_SLOT(ret, name, params, attributes) ZK_LISTED(zk_cloud_api_t, name)
#define ZK_EXTENSION_SLOT(ret, name, params, attributes) ZK_LISTED(zk_extension_api_t, name)
#define ZK_FILE_SYSTEM_SLOT(ret, name, params, attributes) ZK_LISTED(zk_file_system_api_t, name)
#define ZK_GRAPHICS_SLOT(ret, name, params, attributes) ZK_LISTED(zk_graphics_api_t, name)
#define ZK_LEADERBOARDS_SLOT(ret, name, params, attributes) ZK_LISTED(zk_leaderboards_api_t, name)
#define ZK_NOTIFICATIONS_SLOT(ret, name, params, attributes) ZK_LISTED(zk_notifications_api_t, name)
#define ZK_SOCIAL_SLOT(ret, name, params, attributes) ZK_LISTED(zk_social_api_t, name)
#define ZK_STATISTIC_SLOT(ret, name, params, attributes) ZK_LISTED(zk_statistic_api_t, name)
#define ZK_UGC_SLOT(ret, name, params, attributes) ZK_LISTED(zk_ugc_api_t, name)
#include "engine/runtime/interface.def"
#undef ZK_LISTED
    return slots;
}

// The neutral function of each slot's type, in slot order.
template <class Table>
std::vector<const void*> NeutralSlots() {
    std::vector<const void*> slots;
#define ZK_NEUTRAL(table, ret, params) ZK_FOR_TABLE(table, slots.push_back(Address(zk_neutral<ret(*) params>::Call)))
#define ZK_ACHIEVEMENTS_SLOT(ret, name, params, attributes) ZK_NEUTRAL(zk_achievements_api_t, ret, params)
#define ZK_AUDIO_SLOT(ret, name, params, attributes) ZK_NEUTRAL(zk_audio_api_t, ret, params)
#define ZK_CLOUD_SLOT(ret, name, params, attributes) ZK_NEUTRAL(zk_cloud_api_t, ret, params)
#define ZK_EXTENSION_SLOT(ret, name, params, attributes) ZK_NEUTRAL(zk_extension_api_t, ret, params)
#define ZK_GRAPHICS_SLOT(ret, name, params, attributes) ZK_NEUTRAL(zk_graphics_api_t, ret, params)
#define ZK_LEADERBOARDS_SLOT(ret, name, params, attributes) ZK_NEUTRAL(zk_leaderboards_api_t, ret, params)
#define ZK_NOTIFICATIONS_SLOT(ret, name, params, attributes) ZK_NEUTRAL(zk_notifications_api_t, ret, params)
#define ZK_SOCIAL_SLOT(ret, name, params, attributes) ZK_NEUTRAL(zk_social_api_t, ret, params)
#define ZK_STATISTIC_SLOT(ret, name, params, attributes) ZK_NEUTRAL(zk_statistic_api_t, ret, params)
#define ZK_UGC_SLOT(ret, name, params, attributes) ZK_NEUTRAL(zk_ugc_api_t, ret, params)
#include "engine/runtime/interface.def"
#undef ZK_NEUTRAL
    return slots;
}

struct TableOrder {
    const char* name;
    const char* const* documented;
    size_t documented_count;
    std::vector<ListedSlot> listed;
    size_t size_in_slots;
};

#define ZK_TABLE_ORDER(label, var, type) {label, var, sizeof(var) / sizeof(var[0]), Listed<type>(), sizeof(type) / sizeof(void*)}

const TableOrder kTables[] = {
    ZK_TABLE_ORDER("top level", kTopLevel, zekar_t),
    ZK_TABLE_ORDER("achievements", k_achievements, zk_achievements_api_t),
    ZK_TABLE_ORDER("audio", k_audio, zk_audio_api_t),
    ZK_TABLE_ORDER("cloud", k_cloud, zk_cloud_api_t),
    ZK_TABLE_ORDER("ext", k_ext, zk_extension_api_t),
    ZK_TABLE_ORDER("file_system", k_file_system, zk_file_system_api_t),
    ZK_TABLE_ORDER("graphics", k_graphics, zk_graphics_api_t),
    ZK_TABLE_ORDER("leaderboards", k_leaderboards, zk_leaderboards_api_t),
    ZK_TABLE_ORDER("notifications", k_notifications, zk_notifications_api_t),
    ZK_TABLE_ORDER("social", k_social, zk_social_api_t),
    ZK_TABLE_ORDER("statistic", k_statistic, zk_statistic_api_t),
    ZK_TABLE_ORDER("ugc", k_ugc, zk_ugc_api_t),
};

// Slots whose functions every set-up table holds by name: the engine's own
// and storage's.
struct NamedSlot {
    const char* name;
    const void* address;
};
const NamedSlot kTopLevelFunctions[] = {
#define ZK_TOP_SLOT(ret, name, params, attributes) {#name, Address(name)},
#include "engine/runtime/interface.def"
};
const NamedSlot kFileSystemFunctions[] = {
#define ZK_FILE_SYSTEM_SLOT(ret, name, params, attributes) {#name, Address(name)},
#include "engine/runtime/interface.def"
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

TEST_F(InterfaceTest, TheListKeepsTheDocumentedSlotOrder) {
    for (const TableOrder& table : kTables) {
        SCOPED_TRACE(table.name);
        ASSERT_EQ(table.listed.size(), table.documented_count);
        ASSERT_EQ(table.listed.size(), table.size_in_slots);
        for (size_t i = 0; i < table.listed.size(); ++i) {
            EXPECT_STREQ(table.listed[i].name, table.documented[i]) << "slot " << i;
            EXPECT_EQ(table.listed[i].offset, i * sizeof(void*)) << table.listed[i].name;
        }
    }
}

TEST_F(InterfaceTest, EveryTopLevelFunctionSlotHoldsItsFunction) {
    ASSERT_EQ(sizeof(kTopLevelFunctions) / sizeof(kTopLevelFunctions[0]), 41u);
    ExpectSlots("zekar", &zekar, kTopLevelFunctions, 41);
}

TEST_F(InterfaceTest, EveryFileSystemSlotHoldsItsFunction) {
    ExpectSlots("file_system", zk->file_system, kFileSystemFunctions, 21);
}

TEST_F(InterfaceTest, SlotsFortyOneToFiftyOnePointAtTheSubTablesInOrder) {
    const void* expected[] = {&zk_achievements_api, &zk_audio_api,   &zk_cloud_api,         &zk_extension_api,
                              &zk_file_system_api,  &zk_graphics_api, &zk_leaderboards_api, &zk_notifications_api,
                              &zk_social_api,       &zk_statistic_api, &zk_ugc_api};
    const void* const* slots = SlotsOf(&zekar);
    for (int slot = 41; slot <= 51; ++slot) EXPECT_EQ(slots[slot], expected[slot - 41]) << "slot " << slot;
}

// Every slot of a part whose layer has not registered holds the neutral
// function of its own type; a slot a registered layer provides holds its
// function.
template <class Table>
void ExpectNeutral(const char* name, const Table* table, const std::vector<NamedSlot>& provided = {}) {
    SCOPED_TRACE(name);
    std::vector<const void*> neutral = NeutralSlots<Table>();
    std::vector<ListedSlot> listed = Listed<Table>();
    ASSERT_EQ(neutral.size(), sizeof(Table) / sizeof(void*));
    ASSERT_EQ(listed.size(), neutral.size());
    const void* const* slots = SlotsOf(table);
    size_t found = 0;
    for (size_t i = 0; i < neutral.size(); ++i) {
        const void* expected = neutral[i];
        for (const NamedSlot& slot : provided) {
            if (strcmp(slot.name, listed[i].name) != 0) continue;
            expected = slot.address;
            ++found;
        }
        EXPECT_EQ(slots[i], expected) << "slot " << i << " " << listed[i].name;
    }
    EXPECT_EQ(found, provided.size());
}

#define ZK_PROVIDED(name) {#name, Address(name)}
TEST_F(InterfaceTest, TheExtensionTableHoldsTheMediaLayersQuadDraw) {
    ExpectNeutral("ext", zk->ext, {ZK_PROVIDED(ZK_DrawQuad)});
}

// The services layer registers at set-up: each of its seven sub-tables
// holds, slot by slot, the front of the slot's name.
TEST_F(InterfaceTest, ServiceSubTablesHoldTheServiceFronts) {
#define ZK_EXPECT_FRONT(table, name) EXPECT_EQ(Address(zk->table->name), Address(name)) << #name;
#define ZK_ACHIEVEMENTS_SLOT(ret, name, params, attributes) ZK_EXPECT_FRONT(achievements, name)
#define ZK_CLOUD_SLOT(ret, name, params, attributes) ZK_EXPECT_FRONT(cloud, name)
#define ZK_LEADERBOARDS_SLOT(ret, name, params, attributes) ZK_EXPECT_FRONT(leaderboards, name)
#define ZK_NOTIFICATIONS_SLOT(ret, name, params, attributes) ZK_EXPECT_FRONT(notifications, name)
#define ZK_SOCIAL_SLOT(ret, name, params, attributes) ZK_EXPECT_FRONT(social, name)
#define ZK_STATISTIC_SLOT(ret, name, params, attributes) ZK_EXPECT_FRONT(statistic, name)
#define ZK_UGC_SLOT(ret, name, params, attributes) ZK_EXPECT_FRONT(ugc, name)
#include "engine/runtime/interface.def"
#undef ZK_EXPECT_FRONT
}

TEST_F(InterfaceTest, GraphicsHoldsWhatTheMediaLayerProvidesAndNeutralFunctionsElsewhere) {
    ExpectNeutral(
        "graphics", zk->graphics,
        {ZK_PROVIDED(ZK_Graphics_CreateIndexBufferWithIndices), ZK_PROVIDED(ZK_Graphics_CreateVertexBufferWithVertices),
         ZK_PROVIDED(ZK_Graphics_FreeIndexBuffer), ZK_PROVIDED(ZK_Graphics_FreeVertexBuffer),
         ZK_PROVIDED(ZK_Graphics_LockIndexBuffer), ZK_PROVIDED(ZK_Graphics_LockVertexBuffer),
         ZK_PROVIDED(ZK_Graphics_UnlockIndexBuffer), ZK_PROVIDED(ZK_Graphics_UnlockVertexBuffer),
         // Bitmaps.
         ZK_PROVIDED(ZK_Graphics_CopyBitmapRenderTargetDataToPixels), ZK_PROVIDED(ZK_Graphics_CreateBitmap),
         ZK_PROVIDED(ZK_Graphics_GetBitmap), ZK_PROVIDED(ZK_Graphics_GetBitmapByIndex),
         ZK_PROVIDED(ZK_Graphics_GetBitmapWithCacheMode), ZK_PROVIDED(ZK_Graphics_GetNumberOfBitmaps),
         ZK_PROVIDED(ZK_Graphics_IncreaseBitmapReferenceCount), ZK_PROVIDED(ZK_Graphics_LoadBitmap),
         ZK_PROVIDED(ZK_Graphics_RefreshBitmap), ZK_PROVIDED(ZK_Graphics_ReleaseBitmap),
         ZK_PROVIDED(ZK_Graphics_RemoveBitmapHandle), ZK_PROVIDED(ZK_Graphics_ResizeBitmap),
         ZK_PROVIDED(ZK_Graphics_SaveBitmap), ZK_PROVIDED(ZK_Graphics_SetBitmapCacheMode),
         ZK_PROVIDED(ZK_Graphics_SetBitmapFrame),
         // State, transforms, scissor and render targets; without a renderer
         // the colour setters write B,G,R,A.
         ZK_PROVIDED(ZK_Graphics_ClearDepth), ZK_PROVIDED(ZK_Graphics_ClearScreen),
         ZK_PROVIDED(ZK_Graphics_ClearScreenWithAlpha), ZK_PROVIDED(ZK_Graphics_DisableScissorRect),
         ZK_PROVIDED(ZK_Graphics_GetAlpha), ZK_PROVIDED(ZK_Graphics_GetBlend), ZK_PROVIDED(ZK_Graphics_GetColor),
         ZK_PROVIDED(ZK_Graphics_GetDepthDefault), ZK_PROVIDED(ZK_Graphics_GetFeatures),
         ZK_PROVIDED(ZK_Graphics_GetMaximumTextureSize), ZK_PROVIDED(ZK_Graphics_GetPixelFilter),
         ZK_PROVIDED(ZK_Graphics_GetRenderStateb), ZK_PROVIDED(ZK_Graphics_GetRenderStatef),
         ZK_PROVIDED(ZK_Graphics_GetRenderStatei), ZK_PROVIDED(ZKI_Graphics_GetViewportDimensions),
         ZK_PROVIDED(ZK_Graphics_GetViewPosition), ZK_PROVIDED(ZK_Graphics_IsTextureFormatSupported),
         ZK_PROVIDED(ZK_Graphics_PeekProjectionTransform), ZK_PROVIDED(ZK_Graphics_PeekRenderTarget),
         ZK_PROVIDED(ZK_Graphics_PeekViewTransform), ZK_PROVIDED(ZK_Graphics_PeekWorldTransform),
         ZK_PROVIDED(ZK_Graphics_PopProjectionTransform), ZK_PROVIDED(ZK_Graphics_PopRenderTarget),
         ZK_PROVIDED(ZK_Graphics_PopScissorRectangle), ZK_PROVIDED(ZK_Graphics_PopViewTransform),
         ZK_PROVIDED(ZK_Graphics_PopWorldTransform), ZK_PROVIDED(ZK_Graphics_PushProjectionTransform),
         ZK_PROVIDED(ZK_Graphics_PushRenderTarget), ZK_PROVIDED(ZK_Graphics_PushRenderTargets),
         ZK_PROVIDED(ZK_Graphics_PushRenderTargetWithDepth), ZK_PROVIDED(ZK_Graphics_PushScissorRectangle),
         ZK_PROVIDED(ZK_Graphics_PushViewTransform), ZK_PROVIDED(ZK_Graphics_PushWorldTransform),
         ZK_PROVIDED(ZK_Graphics_SetAlpha), ZK_PROVIDED(ZK_Graphics_SetBlend),
         {"ZK_Graphics_SetColor", Address(ZK_Graphics_SetColor_BGRA)},
         {"ZK_Graphics_SetColorWithAlpha", Address(ZK_Graphics_SetColorWithAlpha_BGRA)},
         ZK_PROVIDED(ZK_Graphics_SetDepthDefault), ZK_PROVIDED(ZK_Graphics_SetDepthRange),
         ZK_PROVIDED(ZK_Graphics_SetPixelFilter), ZK_PROVIDED(ZK_Graphics_SetPresentInterval),
         ZK_PROVIDED(ZK_Graphics_SetRenderStateb), ZK_PROVIDED(ZK_Graphics_SetRenderStatef),
         ZK_PROVIDED(ZK_Graphics_SetRenderStatei), ZK_PROVIDED(ZK_Graphics_SetRenderTargetVirtualRect),
         ZK_PROVIDED(ZK_Graphics_SetScissorRect), ZK_PROVIDED(ZK_Graphics_SetTextureAddressMode),
         ZK_PROVIDED(ZK_Graphics_SetTextureFilter), ZK_PROVIDED(ZK_Graphics_SetTextureInput),
         // Drawing through the batch renderer.
         ZK_PROVIDED(ZK_Graphics_DrawBitmap), ZK_PROVIDED(ZK_Graphics_DrawBitmap4V),
         ZK_PROVIDED(ZK_Graphics_DrawBitmapLine), ZK_PROVIDED(ZK_Graphics_DrawBitmapRS),
         ZK_PROVIDED(ZK_Graphics_DrawLine), ZK_PROVIDED(ZK_Graphics_DrawLine2V), ZK_PROVIDED(ZK_Graphics_DrawRect),
         ZK_PROVIDED(ZK_Graphics_DrawSubBitmap), ZK_PROVIDED(ZK_Graphics_DrawTriangles),
         ZK_PROVIDED(ZK_Graphics_DrawVerticesWithIndices), ZK_PROVIDED(ZK_Graphics_DrawVerticesWithIndicesInstanced),
         ZK_PROVIDED(ZK_Graphics_DrawVerticesWithIndicesSubset),
         // Fonts.
         ZK_PROVIDED(ZK_Graphics_GetFont), ZK_PROVIDED(ZK_Graphics_LoadFont), ZK_PROVIDED(ZK_Graphics_RefreshFont),
         ZK_PROVIDED(ZK_Graphics_ReleaseFont), ZK_PROVIDED(ZK_Graphics_SaveFont),
         // Text.
         ZK_PROVIDED(ZK_Graphics_DrawTextf), ZK_PROVIDED(ZK_Graphics_FontHasGlyphsToDrawText),
         ZK_PROVIDED(ZK_Graphics_GetTextAlign), ZK_PROVIDED(ZK_Graphics_GetTextHeightf),
         ZK_PROVIDED(ZK_Graphics_GetTextSizef), ZK_PROVIDED(ZK_Graphics_GetTextWidthf),
         ZK_PROVIDED(ZK_Graphics_GetTextureInputIndex), ZK_PROVIDED(ZK_Graphics_SetFontShader),
         ZK_PROVIDED(ZK_Graphics_SetTextAlign), ZK_PROVIDED(ZK_Graphics_SetTextboxWidth),
         ZK_PROVIDED(ZK_Graphics_SetTextHorizontalSpacing), ZK_PROVIDED(ZK_Graphics_SetTextTransform),
         ZK_PROVIDED(ZK_Graphics_SetTextVerticalSpacing),
         // Shaders.
         ZK_PROVIDED(ZK_Graphics_GetShader), ZK_PROVIDED(ZK_Graphics_GetShaderPixelConstant),
         ZK_PROVIDED(ZK_Graphics_GetShaderPixelConstantIndex), ZK_PROVIDED(ZK_Graphics_GetShaderTags),
         ZK_PROVIDED(ZK_Graphics_GetShaderUserValue), ZK_PROVIDED(ZK_Graphics_GetShaderVertexConstant),
         ZK_PROVIDED(ZK_Graphics_GetShaderVertexConstantIndex), ZK_PROVIDED(ZK_Graphics_IsShaderSupported),
         ZK_PROVIDED(ZK_Graphics_ReloadShader), ZK_PROVIDED(ZK_Graphics_SetShader),
         ZK_PROVIDED(ZK_Graphics_SetShaderPixelConstant), ZK_PROVIDED(ZK_Graphics_SetShaderVertexConstant),
         ZK_PROVIDED(ZK_Graphics_ShaderTagExists)});
}
#undef ZK_PROVIDED

void RecordedRect(const float&, const float&, const float&, const float&) {}
bool AvailableCloud() { return true; }

TEST_F(InterfaceTest, EachPartIsFilledAgainFromItsLayer) {
    // Each part is filled again from the layer that provides it.
    zk->graphics->ZK_Graphics_DrawRect = RecordedRect;
    zk->graphics->ZK_Graphics_ClearScreen = nullptr;
    zk->cloud->ZK_Cloud_IsAvailable = AvailableCloud;
    ZKI_SetBasicInterface(zk);
    EXPECT_EQ(Address(zk->graphics->ZK_Graphics_DrawRect), Address(ZK_Graphics_DrawRect));
    EXPECT_EQ(Address(zk->graphics->ZK_Graphics_ClearScreen), Address(ZK_Graphics_ClearScreen));
    EXPECT_EQ(Address(zk->cloud->ZK_Cloud_IsAvailable), Address(ZK_Cloud_IsAvailable));
    // The table's own slots and the other parts are untouched by them.
    EXPECT_EQ(Address(zk->ZK_CallExtension), Address(ZK_CallExtension));
    EXPECT_EQ(Address(zk->ext->ZK_DrawQuad), Address(ZK_DrawQuad));
}

TEST_F(InterfaceTest, SubTableSizesMatchTheirSlotCounts) {
    const size_t counts[] = {41 + 11, 6, 24, 4, 1, 21, 115, 16, 4, 6, 1, 9};
    size_t i = 0;
    for (const TableOrder& table : kTables) EXPECT_EQ(table.size_in_slots, counts[i++]) << table.name;
}

TEST_F(InterfaceTest, ColourSettersFollowTheVertexColourFormat) {
    const auto SetColorRGBA = ZK_Graphics_SetColor_RGBA, SetColorBGRA = ZK_Graphics_SetColor_BGRA;
    const auto SetColorWithAlphaRGBA = ZK_Graphics_SetColorWithAlpha_RGBA;
    const auto SetColorWithAlphaBGRA = ZK_Graphics_SetColorWithAlpha_BGRA;
    struct Case {
        int format;
        const void* set_color;
        const void* set_color_with_alpha;
    } cases[] = {
        {0, Address(SetColorRGBA), Address(SetColorWithAlphaRGBA)},
        {1, Address(SetColorBGRA), Address(SetColorWithAlphaBGRA)},
        {2, Address(SetColorBGRA), Address(SetColorWithAlphaBGRA)},
        {-1, Address(SetColorBGRA), Address(SetColorWithAlphaBGRA)},
    };
    for (const Case& c : cases) {
        zk_graphics_api_t api = {};
        ZKI_SelectColorSetters(&api, c.format);
        EXPECT_EQ(Address(api.ZK_Graphics_SetColor), c.set_color) << "format " << c.format;
        EXPECT_EQ(Address(api.ZK_Graphics_SetColorWithAlpha), c.set_color_with_alpha) << "format " << c.format;
    }
    // Without a renderer the table takes the B,G,R,A pair.
    ZKI_SetInterfaceGraphics(zk);
    EXPECT_EQ(Address(zk->graphics->ZK_Graphics_SetColor), Address(SetColorBGRA));
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
