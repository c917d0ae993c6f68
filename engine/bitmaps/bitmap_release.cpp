// Freeing the parts of a bitmap: its pixels, its textures (at once on the
// renderer thread, queued from elsewhere) and a sequence's frames and
// atlas.
//
// Who owns what: a plain bitmap owns its pixels and texture. A sequence's
// frames own theirs, except a duplicate frame, which shares those of the
// frame it duplicates; the atlas, when there is one, owns the texture that
// every frame draws from. The sequence record's own pixels and renderer
// part are copies of its shown frame's and are never freed through it.

#include <cstdlib>
#include <cstring>

#include "engine/bitmaps/bitmap_api.h"
#include "engine/images/bitmap_pool.h"
#include "engine/images/image_loader.h"
#include "engine/render/resource_queues.h"
#include "engine/runtime/state.h"

namespace {

// A chain of atlas links is one step long (sequence to atlas); the bound
// only keeps a damaged record from looping.
const int kMaxAtlasLinks = 4;

bool IsPlaceholder(const char* name) { return !name || name[0] == '!'; }

bool IsSequence(const zk_bitmap_t* bitmap) { return bitmap->frames && bitmap->frame_count > 0; }

void ZeroHardwareData(zk_bitmap_t::hw_data_t* hw) { memset(hw, 0, sizeof *hw); }

void FreePixels(zk_bitmap_t* bitmap) {
    if (!bitmap->pixels) return;
    if (zk_il) {
        zk_il->FreeImagePixels(bitmap);
    } else {
        free(bitmap->pixels);
        bitmap->pixels = nullptr;
    }
}

// Frames drawing from an atlas only borrow its texture; their rectangles
// in it stay.
void ForgetAtlasTexture(zk_bitmap_t::hw_data_t* hw) {
    hw->loaded = 0;
    hw->renderer_data = nullptr;
}

void FreeFramePixels(zk_bitmap_t* bitmap) {
    for (int i = 0; i < bitmap->frame_count; ++i) {
        zk_bitmap_t* frame = &bitmap->frames[i];
        if (frame->duplicate_of) {
            frame->pixels = nullptr;
        } else {
            FreePixels(frame);
        }
    }
    bitmap->pixels = nullptr;
}

bool HasTexture(const zk_bitmap_t::hw_data_t& hw) { return hw.loaded || hw.renderer_data; }

// Hands every texture the bitmap owns to release: its own, or its atlas's
// and its frames' (frames drawing from an atlas and duplicates only
// forget theirs). A sequence's renderer part and pixel pointer were only
// copies of its shown frame's.
template <class Release>
void ReleaseTextures(zk_bitmap_t* bitmap, Release release) {
    if (!IsSequence(bitmap)) {
        release(&bitmap->hw_data);
        return;
    }
    for (int i = 0; i < bitmap->frame_count; ++i) {
        zk_bitmap_t* frame = &bitmap->frames[i];
        if (bitmap->atlas) {
            ForgetAtlasTexture(&frame->hw_data);
        } else if (frame->duplicate_of) {
            ZeroHardwareData(&frame->hw_data);
        } else {
            release(&frame->hw_data);
        }
    }
    if (bitmap->atlas) release(&bitmap->atlas->hw_data);
    if (!bitmap->atlas) bitmap->pixels = nullptr;
    ZeroHardwareData(&bitmap->hw_data);
}

void FreeTextureNow(zk_bitmap_t::hw_data_t* hw) {
    if (HasTexture(*hw)) ZKI_CallRendererToFreeBitmap(hw);
}

// Caller holds RESOURCE_QUEUE.
void QueueReleaseLocked(zk_bitmap_t::hw_data_t* hw) {
    if (!hw->loaded) return;
    zk_state.bitmap_release_queue.InsertLast(*hw);
    ZeroHardwareData(hw);
}

void RemoveFromUploadQueueLocked(zk_bitmap_t* bitmap) {
    nArray<zk_bitmap_t*>& queue = zk_state.bitmap_upload_queue;
    for (int i = queue.count - 1; i >= 0; --i) {
        if (queue.items[i] == bitmap) queue.RemoveItemAtIndex(i);
    }
}

// Whatever texture a record still holds when its record goes.
void ReleaseOwnTexture(zk_bitmap_t::hw_data_t* hw) {
    if (!HasTexture(*hw)) return;
    if (ZKI_CanCallRendererForBitmaps()) {
        if (ri && zk_state.renderer_initialized) ZKI_CallRendererToFreeBitmap(hw);
        return;
    }
    ZK_ResourceQueueLock lock;
    QueueReleaseLocked(hw);
}

// A frame's own parts; its texture only when it has one of its own.
void FreeFrameRecord(zk_bitmap_t* frame, bool owns_texture) {
    frame->atlas = nullptr;
    if (owns_texture) ReleaseOwnTexture(&frame->hw_data);
    if (!frame->duplicate_of) FreePixels(frame);
    free(frame->name);
    free(frame->file_path);
    memset(frame, 0, sizeof *frame);
}

void FreeAtlasRecord(zk_bitmap_t* atlas) {
    ReleaseOwnTexture(&atlas->hw_data);
    FreePixels(atlas);
    free(atlas->name);
    free(atlas->file_path);
    free(atlas);
}

}  // namespace

void ZKI_ReleaseBitmapSoftwareData(zk_bitmap_t* bitmap) {
    if (!bitmap) return;
    zk_bitmap_t* owner = bitmap;
    for (int link = 0; link < kMaxAtlasLinks; ++link) {
        if (IsPlaceholder(owner->name)) return;
        if (!owner->atlas) break;
        owner = owner->atlas;
    }
    if (IsSequence(bitmap)) FreeFramePixels(bitmap);
    if (owner != bitmap || !IsSequence(bitmap)) FreePixels(owner);
}

void ZKI_ReleaseBitmapHardwareData(zk_bitmap_t* bitmap) {
    if (!bitmap || IsPlaceholder(bitmap->name)) return;
    if (ZKI_CanCallRendererForBitmaps()) {
        if (!ZKI_TryRegainRenderer() || !zk_state.renderer_initialized) return;
        {
            // A waiting upload would bring the texture straight back.
            ZK_ResourceQueueLock lock;
            RemoveFromUploadQueueLocked(bitmap);
        }
        ReleaseTextures(bitmap, FreeTextureNow);
        return;
    }
    ZK_ResourceQueueLock lock;
    // A waiting upload is dropped; a texture made before it is still
    // freed (a render target resized from another thread is both).
    RemoveFromUploadQueueLocked(bitmap);
    ReleaseTextures(bitmap, QueueReleaseLocked);
}

void ZKI_QueueBitmapHardwareDataRelease(zk_bitmap_t* bitmap) {
    if (!bitmap) return;
    ZK_ResourceQueueLock lock;
    QueueReleaseLocked(&bitmap->hw_data);
}

void ZKI_FreeBitmapAtlas(zk_bitmap_t* bitmap) {
    if (!bitmap || !bitmap->atlas) return;
    for (int i = 0; bitmap->frames && i < bitmap->frame_count; ++i) {
        bitmap->frames[i].atlas = nullptr;
        ForgetAtlasTexture(&bitmap->frames[i].hw_data);
    }
    FreeAtlasRecord(bitmap->atlas);
    bitmap->atlas = nullptr;
}

void ZKI_FreeBitmapSequenceParts(zk_bitmap_t* bitmap) {
    if (!bitmap) return;
    if (bitmap->frames) {
        bool frames_own_textures = bitmap->atlas == nullptr;
        for (int i = 0; i < bitmap->frame_count; ++i) {
            zk_bitmap_t* frame = &bitmap->frames[i];
            FreeFrameRecord(frame, frames_own_textures && !frame->duplicate_of);
        }
        free(bitmap->frames);
        bitmap->frames = nullptr;
        bitmap->pixels = nullptr;
    }
    bitmap->frame_count = 0;
    ZeroHardwareData(&bitmap->hw_data);
    if (bitmap->atlas) FreeAtlasRecord(bitmap->atlas);
    bitmap->atlas = nullptr;
}

void ZKI_ReleaseBitmapStructures(zk_bitmap_t* bitmap) {
    if (!bitmap || IsPlaceholder(bitmap->name)) return;
    ZKI_FreeBitmapSequenceParts(bitmap);
}

void ZKI_FreeBitmap(zk_bitmap_t* bitmap) {
    if (!bitmap) return;
    ZKI_ReleaseBitmapHardwareData(bitmap);
    ZKI_ReleaseBitmapSoftwareData(bitmap);
    ZKI_ReleaseBitmapStructures(bitmap);
    // A placeholder made by CreateBitmap still has the pixels it was given.
    if (IsPlaceholder(bitmap->name) && !bitmap->frames) FreePixels(bitmap);
    ZKI_ReturnBitmapSlot(bitmap);
}
