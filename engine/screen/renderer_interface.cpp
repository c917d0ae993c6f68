// Loading, starting and shutting down the renderer back end.

#include "engine/screen/renderer_interface.h"

#include <cstring>

#include "engine/base/file_names.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/bitmaps/bitmap_api.h"
#include "engine/fonts/fonts.h"
#include "engine/render/renderer_implementation.h"
#include "engine/render/resource_queues.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/events/events.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"

namespace {

const int kSmallestFullscreenWidth = 640;
const int kSmallestFullscreenHeight = 480;

// Failed initialisations in a row, across calls.
int failures_in_a_row = 0;

bool IsPlaceholderName(const char* name) { return !name || name[0] == '!'; }

bool SameScreenParameters(const zk_parms_t& a, const zk_parms_t& b) {
    return a.width == b.width && a.height == b.height && (a.windowed != 0) == (b.windowed != 0);
}

// Step 6: the first attempt, and on failure one attempt with the previous
// parameters (windowed after the second failure in a row). `saved` holds
// zk_parms as they were before this call. False ends the start; *again
// asks for a new start from the top.
bool InitializeWithRollBack(const zk_parms_t& saved, bool* again) {
    *again = false;
    if (ri->Initialize(zk, &zk_state, &zk_parms)) {
        failures_in_a_row = 0;
        return true;
    }
    ++failures_in_a_row;
    bool fallback_windowed = failures_in_a_row == 2 ? true : saved.windowed != 0;
    zk_parms_t fallback = saved;
    fallback.windowed = fallback_windowed ? 1 : 0;
    if (failures_in_a_row > 2 || SameScreenParameters(fallback, zk_parms)) {
        zk->ZK_Popupf(ZK_MESSAGE_ERROR,
                      "Unable to initialize the renderer.\n\nPlease try updating your display adapter drivers and "
                      "rebooting.");
        return false;
    }
    zk_parms = fallback;
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Rolling back parms..");
    if (ri->Initialize(zk, &zk_state, &zk_parms)) return true;
    *again = true;
    return false;
}

bool IsInBitmapUploadQueue(const zk_bitmap_t* bitmap) {
    ZK_ResourceQueueLock lock;
    return ZKI_IsQueued(zk_state.bitmap_upload_queue, bitmap);
}

void TellProgramRenderTargetIsBack(zk_bitmap_t* bitmap) {
    if (!zk_prog || !zk_prog->EventProc) return;
    zk_prog->EventProc(ZKI_MakeEvent(zk_render_target_event_t{ZK_EVENT_RENDER_TARGET_RECREATED, bitmap}));
}

// Step 10: every named bitmap in use comes back into the renderer.
void BringBitmapsBack() {
    int count = zk_state.num_bitmaps < ZK_MAX_BITMAPS ? zk_state.num_bitmaps : ZK_MAX_BITMAPS;
    for (int i = 0; i < count; ++i) {
        zk_bitmap_t* bitmap = &zk_state.bitmaps[i];
        if (IsPlaceholderName(bitmap->name)) continue;
        if (zk_state.reference_counting && bitmap->reference_count < 1) continue;
        if (IsInBitmapUploadQueue(bitmap)) {
            zk->ZK_Printf("Bitmap '%s' already queued for upload.", bitmap->name);
            continue;
        }
        if (bitmap->flags & 4) {
            ZKI_CallRendererToCreateBitmap(bitmap);
            TellProgramRenderTargetIsBack(bitmap);
        } else {
            // A stored mode no bitmap has, so that setting its own mode
            // again is a change, which reloads it.
            int mode = bitmap->cache_mode;
            bitmap->cache_mode = static_cast<int8_t>(255);
            zk->graphics->ZK_Graphics_SetBitmapCacheMode(bitmap, mode);
        }
        zk->graphics->ZK_Graphics_SetBitmapFrame(bitmap, 0);
    }
}

void RebuildFontAtlases() {
    int count = zk_state.num_fonts < ZK_MAX_FONTS ? zk_state.num_fonts : ZK_MAX_FONTS;
    for (int i = 0; i < count; ++i) {
        if (zk_state.fonts[i].name) ZKI_RecreateFontAtlas(&zk_state.fonts[i]);
    }
}

void ReloadShaders() {
    int count = zk_state.num_shaders < ZK_MAX_SHADERS ? zk_state.num_shaders : ZK_MAX_SHADERS;
    for (int i = 0; i < count; ++i) {
        if (nStringEndsWith(zk_state.shaders[i].name, ".xml")) ZKI_LoadShaderInRenderer(&zk_state.shaders[i]);
    }
}

// Waits while another thread holds the bitmap's lock flag, then holds it
// while its renderer data is released.
void ReleaseBitmapRendererData(zk_bitmap_t* bitmap) {
    for (;;) {
        ZKI_LockCoreMutex(ZK_CORE_MUTEX_SHARED_BITMAP);
        bool taken = !bitmap->locked;
        if (taken) bitmap->locked = 1;
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_SHARED_BITMAP);
        if (taken) break;
        ZKT_Sleep(1);
    }
    ZKI_ReleaseBitmapHardwareData(bitmap);
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_SHARED_BITMAP);
    bitmap->locked = 0;
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_SHARED_BITMAP);
}

void ReleaseRendererResources() {
    int bitmaps = zk_state.num_bitmaps < ZK_MAX_BITMAPS ? zk_state.num_bitmaps : ZK_MAX_BITMAPS;
    for (int i = 0; i < bitmaps; ++i) {
        if (zk_state.bitmaps[i].name) ReleaseBitmapRendererData(&zk_state.bitmaps[i]);
    }
    int fonts = zk_state.num_fonts < ZK_MAX_FONTS ? zk_state.num_fonts : ZK_MAX_FONTS;
    for (int i = 0; i < fonts; ++i) {
        zk_bitmap_t::hw_data_t& atlas = zk_state.fonts[i].atlas.hw_data;
        if (zk_state.fonts[i].name && (atlas.loaded || atlas.renderer_data))
            ZKI_CallRendererToFreeBitmap(&atlas);
    }
    ZKI_FreeReplacedRendererShaders();
    int shaders = zk_state.num_shaders < ZK_MAX_SHADERS ? zk_state.num_shaders : ZK_MAX_SHADERS;
    for (int i = 0; i < shaders; ++i) {
        zk_shader_t& shader = zk_state.shaders[i];
        if (!shader.name) continue;
        if (shader.renderer_shader) {
            ri->FreeShader(&shader);
            shader.renderer_shader = nullptr;
        }
        shader.flags &= static_cast<uint8_t>(~2u);  // no longer loaded in the renderer
    }
}

}  // namespace

bool ZKI_CreateWindow() { return true; }

bool ZKI_InitRendImp() {
    if (!ri) {
        zk->ZK_Printf("Renderer doesn't exist, can't continue with init.");
        return false;
    }
    if (zk_state.renderer_initialized) {
        zk->ZK_Printf("Renderer in ready state, shutting it down before new init.");
        ZKI_ShutdownRendImp();
    }
    zk_state.renderer_initialized = 0;

    const zk_parms_t saved = zk_parms;
    zk_parms.width = zk_state.parms.width;
    zk_parms.height = zk_state.parms.height;
    zk_parms.windowed = zk_state.parms.windowed;
    if (zk_parms.width < kSmallestFullscreenWidth || zk_parms.height < kSmallestFullscreenHeight)
        zk_parms.windowed = 1;
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Renderer Initializing: %dx%d %s..", zk_parms.width, zk_parms.height,
                       zk_parms.windowed ? "windowed" : "fullscreen");
    // Every render state reaches the renderer again at its next setting.
    memset(zk_state.render_state_set, 0, sizeof(zk_state.render_state_set));

    bool again = false;
    if (!InitializeWithRollBack(saved, &again)) return again ? ZKI_InitRendImp() : false;

    ZKI_InitializeShaderTranslator();
    ri->InitializeBuiltInShaders();
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Renderer Initialization done.");
    if (!zk_device_info.fixed_resolution) {
        zk_device_info.screen_width = zk_parms.width;
        zk_device_info.screen_height = zk_parms.height;
    }
    zk_state.renderer_texture_format = ri->GetTextureFormat();
    zk_state.pixel_byte_order = zk_state.renderer_texture_format;
    zk_state.renderer_vertex_color_format = ri->GetVertexColorFormat();

    // What the renderer held comes back into it: bitmaps, font atlases,
    // shaders, the fonts' glyph pages, then the batch renderer's own.
    BringBitmapsBack();
    RebuildFontAtlases();
    ReloadShaders();
    ZKI_LoadFontsGPUResources();
    zk_batch_renderer.Initialize();
    zk->ZK_Printf("Batch renderer initializing done.");

    zk_state.renderer_initialized = 1;
    zk->graphics->ZK_Graphics_SetDepthDefault(zk_state.depth_default);
    zk->graphics->ZK_Graphics_SetDepthRange(zk_state.depth_range[0], zk_state.depth_range[1],
                                            zk_state.depth_range[2]);
    zk->ZK_Printf("Renderer ready.");
    return true;
}

void ZKI_ShutdownRendImp() {
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Zekar RendImp Shutdown.");
    if (!ri) return;
    // The start's steps undone, before the renderer itself goes.
    ReleaseRendererResources();
    zk_fonts_state.FreeGPUResources();
    zk_batch_renderer.Free();
    ri->Shutdown();
    zk_state.renderer_initialized = 0;
    ZKI_DeinitializeShaderTranslator();
}
