// Bitmaps and the renderer: creating render targets (with their format
// fall-backs), uploading and freeing textures, and the bitmaps' part of the
// per-frame upload.

#include "engine/bitmaps/bitmap_upload.h"

#include <cstring>

#include "engine/drawing/batch_renderer.h"
#include "engine/bitmaps/bitmap_api.h"
#include "engine/images/bitmap_pool.h"
#include "engine/render/renderer_implementation.h"
#include "engine/render/resource_queues.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"

namespace {

// Formats a render target may be created with instead of its own, in the
// order they are tried; a format not listed is asked for as it is,
// without a format check.
struct FormatFallbacks {
    uint32_t format;
    int count;
    uint32_t tries[3];
};
const FormatFallbacks format_fallbacks[] = {
    {6, 2, {6, 4, 0}},
    {3, 3, {3, 2, 1}},
    {2, 2, {2, 1, 0}},
};

const char* NameOrNull(const zk_bitmap_t* bitmap) { return bitmap && bitmap->name ? bitmap->name : "null"; }

bool IsMainThread() { return ZKT_GetCurrentThreadId() == 1; }

// In developer mode a renderer call from another thread is reported (and
// refused) even where the renderer would take it.
bool RefusedOffMainThread(const char* message) {
    if (!zk->ZKI_IsDeveloperModeEnabled() || IsMainThread()) return false;
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "%s", message);
    return true;
}

bool TryFormat(zk_bitmap_t* bitmap, uint32_t format) {
    zk_bitmap_parameters_t parameters = {};
    parameters.format = format;
    parameters.type = bitmap->type;
    parameters.renderer_hint = bitmap->renderer_hint;
    parameters.width = bitmap->width;
    parameters.height = bitmap->height;
    parameters.depth = bitmap->depth;
    parameters.render_target = (ZKI_GetBitmapFlags(bitmap) & ZK_BITMAP_RENDER_TARGET) ? 1 : 0;
    if (!ri->IsTextureFormatSupported(parameters)) return false;
    bitmap->format = format;
    return ri->CreateRenderTarget(bitmap);
}


void UploadQueuedBitmap(zk_bitmap_t* bitmap) {
    ZKI_LockBitmap(bitmap);
    if (bitmap->name) {
        if (!(ZKI_GetBitmapFlags(bitmap) & ZK_BITMAP_RENDER_TARGET)) {
            if (!bitmap->pixels && !bitmap->frames) {
                zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING,
                                   "[ZKI_ProcessBitmapResourceQueues] Data of bitmap '%s' is not valid anymore. Most "
                                   "likely it has just been released.",
                                   bitmap->name);
            } else {
                ZKI_LoadBitmapToHardware(bitmap);
                if (!(bitmap->cache_mode & ZK_CACHE_PIXELS)) ZKI_ReleaseBitmapSoftwareData(bitmap);
            }
        } else if (ri && zk_state.renderer_initialized) {
            if (bitmap->hw_data.loaded) ZKI_CallRendererToFreeBitmap(&bitmap->hw_data);
            ZKI_CallRendererToCreateBitmap(bitmap);
        }
    }
    // Removed while the record is still held: a request made after this
    // upload (under the record's lock) then stays queued.
    ZKI_RemoveFirstUpload(zk_state.bitmap_upload_queue, bitmap);
    ZKI_UnlockBitmap(bitmap);
}



void LoadSequenceToHardware(zk_bitmap_t* bitmap) {
    zk_bitmap_t* atlas = bitmap->atlas;
    if (atlas && !atlas->hw_data.loaded) ZKI_CallRendererToLoadBitmap(atlas);
    for (int i = 0; i < bitmap->frame_count; ++i) {
        zk_bitmap_t* frame = &bitmap->frames[i];
        if (atlas) {
            frame->hw_data.renderer_data = atlas->hw_data.renderer_data;
            frame->hw_data.texture_width = atlas->hw_data.texture_width;
            frame->hw_data.texture_height = atlas->hw_data.texture_height;
            frame->hw_data.loaded = atlas->hw_data.loaded;
        } else if (frame->duplicate_of) {
            // An original always comes before its duplicates.
            frame->hw_data = frame->duplicate_of->hw_data;
        } else if (!frame->hw_data.loaded && frame->pixels) {
            ZKI_CallRendererToLoadBitmap(frame);
        }
    }
    zk->graphics->ZK_Graphics_SetBitmapFrame(bitmap, bitmap->frame_index);
}

}  // namespace

bool ZKI_CanCallRendererForBitmaps() {
    return ZKI_IsRendererThread() || ZKI_RendererAllowsAnyThread(ZK_RENDERER_THREAD_SAFE_BITMAPS);
}

bool ZKI_CallRendererToCreateBitmap(zk_bitmap_t* bitmap) {
    if (!bitmap) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "ZKI_CallRendererToCreateBitmap: bitmap is null.");
        return false;
    }
    if (RefusedOffMainThread("ZKI_CallRendererToCreateBitmap: called from non-renderer thread, fix the code!"))
        return false;
    if (!ri) return false;
    zk_batch_renderer.Flush();
    if (bitmap->hw_data.loaded) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING,
                           "ZKI_CallRendererToCreateBitmap: bitmap '%s' is already loaded to GPU, freeing...",
                           NameOrNull(bitmap));
        ZKI_CallRendererToFreeBitmap(&bitmap->hw_data);
    }
    for (const FormatFallbacks& fallbacks : format_fallbacks) {
        if (fallbacks.format != bitmap->format) continue;
        for (int i = 0; i < fallbacks.count; ++i) {
            if (!TryFormat(bitmap, fallbacks.tries[i])) continue;
            bitmap->hw_data.loaded = 1;
            return true;
        }
        return false;
    }
    if (!ri->CreateRenderTarget(bitmap)) return false;
    bitmap->hw_data.loaded = 1;
    return true;
}

void ZKI_CallRendererToFreeBitmap(zk_bitmap_t::hw_data_t* hw) {
    if (RefusedOffMainThread("ZKI_CallRendererToFreeBitmap from non-renderer thread. Code fix required.")) return;
    if (!hw) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "ZKI_CallRendererToFreeBitmap: parameter is null bitmap hw data.");
        return;
    }
    if (!hw->loaded) {
        if (hw->renderer_data) {
            zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING,
                               "ZKI_CallRendererToFreeBitmap: Bitmap %x not loaded to gpu but implementation data "
                               "exists.",
                               static_cast<unsigned>(reinterpret_cast<uintptr_t>(hw)));
        }
        return;
    }
    zk_batch_renderer.Flush();
    zk_batch_renderer.FreeTexture(hw);
    if (ri) ri->FreeBitmap(hw);
    memset(hw, 0, sizeof *hw);
}

bool ZKI_CallRendererToLoadBitmap(zk_bitmap_t* bitmap) {
    if (RefusedOffMainThread("ZKI_CallRendererToLoadBitmap from non-renderer thread. Code fix required."))
        return false;
    if (!bitmap) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "ZKI_CallRendererToLoadBitmap: parameter is null bitmap.");
        return false;
    }
    if (!bitmap->pixels) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "ZKI_CallRendererToLoadBitmap: Bitmap '%s' missing pixels.",
                           NameOrNull(bitmap));
        return false;
    }
    if (!ri) return false;
    zk_batch_renderer.Flush();
    if (bitmap->hw_data.loaded) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "ZKI_CallRendererToLoadBitmap: Bitmap '%s' already loaded to gpu. Freeing...",
                           NameOrNull(bitmap));
        ZKI_CallRendererToFreeBitmap(&bitmap->hw_data);
    }
    if (!ri->LoadBitmap(bitmap)) return false;
    bitmap->hw_data.loaded = 1;
    return true;
}

void ZKI_LoadBitmapToHardware(zk_bitmap_t* bitmap) {
    if (!bitmap || !bitmap->name) return;
    if (!ZKI_CanCallRendererForBitmaps()) {
        ZK_ResourceQueueLock lock;
        ZKI_QueueOnce(zk_state.bitmap_upload_queue, bitmap);
        return;
    }
    if (!ZKI_TryRegainRenderer()) return;
    if (bitmap->frame_count >= 1 && bitmap->frames) {
        LoadSequenceToHardware(bitmap);
        return;
    }
    bool uploaded = bitmap->width != 0 && bitmap->height != 0 && ZKI_CallRendererToLoadBitmap(bitmap);
    if (!uploaded) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Unable to upload bitmap '%s' (%dx%d) to renderer.", bitmap->name,
                           bitmap->width, bitmap->height);
    }
}

void ZKI_FreeQueuedBitmapTextures() {
    zk_bitmap_t::hw_data_t copy[ZK_UPLOADS_PER_FRAME];
    int count = ZKI_CopyFirstUploads(zk_state.bitmap_release_queue, copy);
    for (int i = 0; i < count; ++i) {
        ZKI_CallRendererToFreeBitmap(&copy[i]);
        // Producers only append, so the entries handled are still the
        // first ones.
        ZK_ResourceQueueLock lock;
        zk_state.bitmap_release_queue.RemoveItemAtIndex(0);
    }
}

void ZKI_UploadQueuedBitmaps() {
    zk_bitmap_t* copy[ZK_UPLOADS_PER_FRAME];
    int count = ZKI_CopyFirstUploads(zk_state.bitmap_upload_queue, copy);
    for (int i = 0; i < count; ++i) UploadQueuedBitmap(copy[i]);
}
