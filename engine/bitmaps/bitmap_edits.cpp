// The bitmaps of the graphics table that change or export a bitmap's
// content: resizing, refreshing from its source or pixels, saving, and the
// copy of a render target's texture back into pixels.

#include <cstring>

#include "engine/drawing/batch_renderer.h"
#include "engine/bitmaps/bitmap_api.h"
#include "engine/bitmaps/bitmap_loading.h"
#include "engine/images/bitmap_pixels.h"
#include "engine/images/bitmap_pool.h"
#include "engine/bitmaps/bitmap_upload.h"
#include "engine/images/image_loader.h"
#include "engine/images/image_sampling.h"
#include "engine/render/renderer_implementation.h"
#include "engine/render/resource_queues.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"
#include "engine/storage/http_system.h"

namespace {

const char* NameOrNull(const zk_bitmap_t* bitmap) { return bitmap->name ? bitmap->name : "null"; }

bool IsRenderTarget(const zk_bitmap_t* bitmap) {
    return (ZKI_GetBitmapFlags(bitmap) & ZK_BITMAP_RENDER_TARGET) != 0;
}

void StoreSize(zk_bitmap_t* bitmap, int width, int height) {
    bitmap->width = bitmap->texture_width = width;
    bitmap->height = bitmap->texture_height = height;
}

void RemoveQueuedUploads(zk_bitmap_t* bitmap) {
    ZK_ResourceQueueLock lock;
    nArray<zk_bitmap_t*>& queue = zk_state.bitmap_upload_queue;
    for (int i = queue.count - 1; i >= 0; --i) {
        if (queue.items[i] == bitmap) queue.RemoveItemAtIndex(i);
    }
}

bool ResizeRenderTarget(zk_bitmap_t* bitmap, int width, int height) {
    if (bitmap->width == width && bitmap->height == height) return false;
    if (!ZKI_CanCallRendererForBitmaps()) {
        ZKI_LockBitmap(bitmap);
        {
            ZK_ResourceQueueLock lock;
            StoreSize(bitmap, width, height);
            ZKI_QueueOnce(zk_state.bitmap_upload_queue, bitmap);
        }
        ZKI_UnlockBitmap(bitmap);
        return true;
    }
    zk->ZK_Printf("ZK_ResizeBitmap resizing render target '%s' from %dx%d to %dx%d", NameOrNull(bitmap),
                  bitmap->width, bitmap->height, width, height);
    RemoveQueuedUploads(bitmap);
    ZKI_LockBitmap(bitmap);
    StoreSize(bitmap, width, height);
    if (bitmap->hw_data.loaded) ZKI_CallRendererToFreeBitmap(&bitmap->hw_data);
    ZKI_CallRendererToCreateBitmap(bitmap);
    ZKI_UnlockBitmap(bitmap);
    return true;
}

// Resamples the pixel block itself, whatever drawing size a data manifest
// gave the bitmap; afterwards both sizes are the new one.
bool ResizePixels(zk_bitmap_t* bitmap, int width, int height) {
    ZKI_LockBitmap(bitmap);
    zk_bitmap_t source = ZKI_PixelBlockView(bitmap);
    zk_bitmap_t resized = {};
    bool done = ZKI_CreateImageResized(&resized, &source, width, height, 0);
    if (done) {
        uint32_t* old_pixels = bitmap->pixels;
        StoreSize(bitmap, resized.width, resized.height);
        bitmap->pixels = resized.pixels;
        resized.pixels = old_pixels;
        zk_il->FreeImagePixels(&resized);
    }
    ZKI_UnlockBitmap(bitmap);
    return done;
}

bool IsSequence(const zk_bitmap_t* bitmap) { return bitmap->frames && bitmap->frame_count > 0; }

// The pixels an upload takes: a sequence's come from its atlas, or from
// every frame of its own when it has none.
bool HasPixelsToUpload(const zk_bitmap_t* bitmap) {
    if (!IsSequence(bitmap)) return bitmap->pixels != nullptr;
    if (bitmap->atlas) return bitmap->atlas->pixels != nullptr;
    for (int i = 0; i < bitmap->frame_count; ++i) {
        const zk_bitmap_t& frame = bitmap->frames[i];
        if (!frame.duplicate_of && !frame.pixels) return false;
    }
    return true;
}

// What a bitmap drew with before its file was read again: its texture (or
// a sequence's frames and atlas with theirs) and its sizes. It is freed once
// the new pixels are up, or put back when none came.
struct HeldParts {
    zk_bitmap_t::hw_data_t hw_data;
    zk_bitmap_t* frames;
    int32_t frame_count;
    zk_bitmap_t* atlas;
    int32_t frame_index;
    float frame_rate;
    int32_t width, height, texture_width, texture_height;
    uint16_t state;
};

HeldParts TakeParts(zk_bitmap_t* bitmap) {
    HeldParts held = {bitmap->hw_data,       bitmap->frames,         bitmap->frame_count, bitmap->atlas,
                      bitmap->frame_index,   bitmap->frame_rate,     bitmap->width,       bitmap->height,
                      bitmap->texture_width, bitmap->texture_height, bitmap->state};
    memset(&bitmap->hw_data, 0, sizeof bitmap->hw_data);
    bitmap->frames = nullptr;
    bitmap->frame_count = 0;
    bitmap->atlas = nullptr;
    bitmap->pixels = nullptr;
    return held;
}

void PutPartsBack(zk_bitmap_t* bitmap, const HeldParts& held) {
    bitmap->hw_data = held.hw_data;
    bitmap->frames = held.frames;
    bitmap->frame_count = held.frame_count;
    bitmap->atlas = held.atlas;
    bitmap->frame_index = held.frame_index;
    bitmap->frame_rate = held.frame_rate;
    bitmap->width = held.width;
    bitmap->height = held.height;
    bitmap->texture_width = held.texture_width;
    bitmap->texture_height = held.texture_height;
    bitmap->state = held.state;
}

// Frees the textures and sequence parts held aside, through a record that
// borrows the bitmap's name.
void FreeHeldParts(const zk_bitmap_t* bitmap, const HeldParts& held) {
    zk_bitmap_t old = {};
    old.name = bitmap->name;
    old.hw_data = held.hw_data;
    old.frames = held.frames;
    old.frame_count = held.frame_count;
    old.atlas = held.atlas;
    ZKI_ReleaseBitmapHardwareData(&old);
    ZKI_ReleaseBitmapStructures(&old);
}

// Reads a reloadable bitmap's pixels from its file again, keeping the
// texture it has until they are there: false, with the bitmap as it was,
// when none came.
bool ReloadPixels(zk_bitmap_t* bitmap) {
    if (!(ZKI_GetBitmapFlags(bitmap) & ZK_BITMAP_RELOADABLE)) return false;
    HeldParts held = TakeParts(bitmap);
    bitmap->state = ZK_BITMAP_NOT_LOADED;
    if (ZKI_LoadBitmap(bitmap) && HasPixelsToUpload(bitmap)) {
        FreeHeldParts(bitmap, held);
        return true;
    }
    ZKI_ReleaseBitmapSoftwareData(bitmap);
    ZKI_ReleaseBitmapStructures(bitmap);
    PutPartsBack(bitmap, held);
    return false;
}

// A sequence goes on showing the frame it showed before the refresh, or
// its last one when the file read again holds fewer frames.
void ShowHeldFrame(zk_bitmap_t* bitmap, int frame) {
    if (!IsSequence(bitmap)) return;
    if (frame >= bitmap->frame_count) frame = bitmap->frame_count - 1;
    ZK_Graphics_SetBitmapFrame(bitmap, frame);
}

// Uploads the pixels a bitmap holds, or has read again from its file; the
// pixels read again go once they are up, unless its cache mode keeps them.
// True when the bitmap has a texture afterwards.
bool RefreshTexture(zk_bitmap_t* bitmap) {
    // Reading a sequence's file again shows its frame 0.
    int shown = bitmap->frame_index;
    bool reloaded = false;
    if (!HasPixelsToUpload(bitmap)) {
        if (!ReloadPixels(bitmap)) {
            ShowHeldFrame(bitmap, shown);
            return false;
        }
        reloaded = true;
    }
    ZKI_ReleaseBitmapHardwareData(bitmap);
    bitmap->state = ZK_BITMAP_LOADING;
    ZKI_LoadBitmapToHardware(bitmap);
    ShowHeldFrame(bitmap, shown);
    bitmap->state = ZK_BITMAP_READY;
    if (reloaded && !(bitmap->cache_mode & ZK_CACHE_PIXELS)) ZKI_ReleaseBitmapSoftwareData(bitmap);
    return bitmap->hw_data.loaded != 0;
}

}  // namespace

bool ZK_Graphics_ResizeBitmap(zk_bitmap_t* bitmap, int width, int height) {
    if (!bitmap) return false;
    if (width == bitmap->width && height == bitmap->height && width == bitmap->texture_width &&
        height == bitmap->texture_height)
        return false;
    ZKI_ClampBitmapSize("ZK_Graphics_ResizeBitmap", NameOrNull(bitmap), &width, &height);
    if (IsRenderTarget(bitmap)) return ResizeRenderTarget(bitmap, width, height);
    // A sequence's pixels belong to its frames.
    if (bitmap->frames) return false;
    return ResizePixels(bitmap, width, height);
}

bool ZK_Graphics_RefreshBitmap(zk_bitmap_t* bitmap) {
    if (!bitmap || !bitmap->name) return false;
    if (strncmp(bitmap->name, "http://", 7) == 0) {
        nString cached = ZKFileSystem::GetHTTPCacheFilePath(bitmap->name, false);
        zk->file_system->ZK_FileSystem_DeleteFile(cached.c_str());
        ZKI_LockBitmap(bitmap);
        int mode = bitmap->cache_mode;
        ZKI_UnlockBitmap(bitmap);
        ZK_Graphics_SetBitmapCacheMode(bitmap, ZK_CACHE_NOTHING);
        ZK_Graphics_SetBitmapCacheMode(bitmap, mode);
        return true;
    }
    if (!ZKI_CanCallRendererForBitmaps()) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "Refreshing bitmaps from another thread than main has not been tested properly yet. Not "
                      "refreshing bitmap.");
        return false;
    }
    zk_batch_renderer.Flush();
    if (IsRenderTarget(bitmap)) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING,
                           "You should use zk->graphics->CopyBitmapRenderTargetDataToPixels to copy bitmap GPU data to "
                           "pixels instead of RefreshBitmap.");
        return ZK_Graphics_CopyBitmapRenderTargetDataToPixels(bitmap);
    }
    ZKI_LockBitmap(bitmap);
    bool refreshed = RefreshTexture(bitmap);
    ZKI_UnlockBitmap(bitmap);
    return refreshed;
}

bool ZK_Graphics_CopyBitmapRenderTargetDataToPixels(zk_bitmap_t* bitmap) {
    if (!bitmap || !IsRenderTarget(bitmap)) return false;
    if (bitmap->format != 7 && bitmap->format != 8) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Unsupported texture format in CopyBitmapRenderTargetDataToPixels.");
        return false;
    }
    if (bitmap->type != ZK_TEXTURE_2D) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Unsupported texture type in CopyBitmapRenderTargetDataToPixels.");
        return false;
    }
    return ri && ri->CopyRenderTargetToBitmapPixels(bitmap);
}

bool ZK_Graphics_SaveBitmap(zk_bitmap_t* bitmap, const char* path, int quality) {
    if (!bitmap) return false;
    ZKI_LockBitmap(bitmap);
    if (!bitmap->pixels) {
        ZKI_UnlockBitmap(bitmap);
        if (IsRenderTarget(bitmap)) {
            zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING,
                               "No pixel data present. Call  zk->graphics->CopyBitmapRenderTargetDataToPixels to fetch "
                               "the data from gpu.");
        }
        zk->ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Unable to save bitmap as pixels data is null.");
        return false;
    }
    // The pixel block as it is, whatever drawing size the bitmap has.
    zk_bitmap_t block = ZKI_PixelBlockView(bitmap);
    bool saved = zk_il && zk_il->SaveImage(&block, path, quality);
    ZKI_UnlockBitmap(bitmap);
    return saved;
}
