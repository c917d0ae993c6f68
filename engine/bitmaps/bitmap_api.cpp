// The bitmaps of the graphics table that find, count and keep them:
// creating, getting and loading by name, releasing, reference counts,
// cache modes (which load, keep or drop pixels and textures, and
// hibernate a bitmap at 0) and the frames of sequences.

#include "engine/bitmaps/bitmap_api.h"

#include <cstring>

#include "engine/bitmaps/bitmap_loading.h"
#include "engine/images/bitmap_pixels.h"
#include "engine/images/bitmap_pool.h"
#include "engine/bitmaps/bitmap_upload.h"
#include "engine/drawing/render_targets.h"
#include "engine/render/renderer_implementation.h"
#include "engine/render/resource_queues.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"

namespace {

const char* const kNoName = "!NONE";
const int kRenderTargetCacheMode = ZK_CACHE_TEXTURE;
const int kCreatedCacheMode = ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE;
const uint32_t kNoPadding = 3;

bool IsPlaceholder(const char* name) { return !name || name[0] == '!'; }

bool Keeps(int mode) { return (mode & (ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE)) != 0; }

// Endings after a '_' that give a loaded bitmap its texture type.
struct TypeEnding {
    const char* text;
    uint32_t type;
};
const TypeEnding kTypeEndings[] = {{"2D.", ZK_TEXTURE_2D}, {"3D.", ZK_TEXTURE_3D}, {"CUBE.", ZK_TEXTURE_CUBE}};

// The last ending found wins; an ending whose dot is the name's last dot
// ends the scan.
uint32_t TypeFromName(const char* name) {
    const char* last_dot = strrchr(name, '.');
    uint32_t type = ZK_TEXTURE_2D;
    const char* p = strchr(name, '_');
    while (p) {
        ++p;
        for (const TypeEnding& ending : kTypeEndings) {
            size_t length = strlen(ending.text);
            if (strncmp(p, ending.text, length) != 0) continue;
            type = ending.type;
            const char* dot = p + length - 1;
            if (dot == last_dot) return type;
            p = dot + 1;
            break;
        }
        p = strchr(p, '_');
    }
    return type;
}

// Null and empty names become "!NONE"; leading '/' characters are dropped
// one by one, each with a warning.
const char* NormalizeName(const char* name) {
    if (!name || !*name) return kNoName;
    while (*name == '/') {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Bitmap '%s' name path starting with '/'. Not allowed.", name);
        ++name;
    }
    return *name ? name : kNoName;
}

bool IsCurrentRenderTarget(const zk_bitmap_t* bitmap) {
    const zk_graphics_api_t::RenderTargets& targets = zk_state.render_targets;
    for (const zk_bitmap_t* color : targets.color) {
        if (color == bitmap) return true;
    }
    return targets.depth == bitmap;
}

bool IsReloadable(const zk_bitmap_t* bitmap) { return (ZKI_GetBitmapFlags(bitmap) & ZK_BITMAP_RELOADABLE) != 0; }

// A change to mode that is no change at all; the caller holds the record's
// lock.
bool IgnoresCacheMode(const zk_bitmap_t* bitmap, int mode) {
    return IsPlaceholder(bitmap->name) || bitmap->duplicate_of || mode == ZK_CACHE_LOOKUP_ONLY ||
           mode == bitmap->cache_mode;
}

bool CanChangeCacheMode(const zk_bitmap_t* bitmap) { return IsReloadable(bitmap) || bitmap->pixels; }

// Steps of a cache-mode change; the caller holds the record's lock.
void SetCacheModeLocked(zk_bitmap_t* bitmap, int mode) {
    if (IgnoresCacheMode(bitmap, mode)) return;
    if (!CanChangeCacheMode(bitmap)) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Bitmap '%s' not reloadable, can't change cache mode.", bitmap->name);
        return;
    }
    bool reloadable = IsReloadable(bitmap);
    bool atlas_has_pixels = bitmap->atlas && bitmap->atlas->pixels;
    if (Keeps(mode) && reloadable && !bitmap->pixels && !atlas_has_pixels) {
        bitmap->state = ZK_BITMAP_NOT_LOADED;
        ZKI_LoadBitmap(bitmap);
    }
    if ((mode & ZK_CACHE_TEXTURE) && !bitmap->hw_data.loaded) ZKI_LoadBitmapToHardware(bitmap);
    bool keeps_texture = (mode & ZK_CACHE_TEXTURE) != 0;
    if (!(mode & ZK_CACHE_PIXELS) && reloadable && (bitmap->hw_data.loaded || !keeps_texture)) {
        ZKI_ReleaseBitmapSoftwareData(bitmap);
        if (!keeps_texture && bitmap->hw_data.loaded) ZKI_ReleaseBitmapHardwareData(bitmap);
    } else if (!keeps_texture && bitmap->hw_data.loaded) {
        ZKI_ReleaseBitmapHardwareData(bitmap);
    }
    if (mode == ZK_CACHE_NOTHING) {
        ZKI_ReleaseBitmapStructures(bitmap);
        bitmap->state = ZK_BITMAP_NOT_LOADED;
    }
    bitmap->cache_mode = int8_t(mode);
}

// Changes the cache mode to mode, or adds mode to the bitmap's own. With
// unlimited memory a mode that keeps pixels or the texture counts a bitmap
// not counted yet once, but only when the change goes ahead: the count
// needs GET_BITMAP, which is taken before the record's lock.
void ChangeCacheMode(zk_bitmap_t* bitmap, int mode, bool add_to_own) {
    bool may_count = zk_state.unlimited_memory && !(ZKI_GetBitmapFlags(bitmap) & ZK_BITMAP_COUNTED_BY_GET);
    if (may_count) ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    ZKI_LockBitmap(bitmap);
    int wanted = add_to_own ? mode | bitmap->cache_mode : mode;
    if (may_count) {
        if (!IgnoresCacheMode(bitmap, wanted) && CanChangeCacheMode(bitmap)) ZKI_CountKeptBitmap(bitmap, wanted);
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    }
    SetCacheModeLocked(bitmap, wanted);
    ZKI_UnlockBitmap(bitmap);
}

// Adds mode to the bitmap's own (load: reloadable bitmaps only).
void AddCacheMode(zk_bitmap_t* bitmap, int mode, bool only_reloadable) {
    if (only_reloadable && !IsReloadable(bitmap)) return;
    ChangeCacheMode(bitmap, mode, true);
}

// A record just taken for get or load (caller holds GET_BITMAP).
void SetUpNamedRecord(zk_bitmap_t* bitmap, const char* name, uint16_t flags) {
    ZKI_AddBitmapFlags(bitmap, flags);
    bitmap->format = ZK_TEXTURE_FORMAT_COLOR;
    bitmap->renderer_hint = strstr(name, "textures/") ? 0 : 1;
    bitmap->pack_mode = uint32_t(zk_state.default_bitmap_flags);
    bitmap->cache_mode = ZK_CACHE_NOTHING;
    bitmap->type = TypeFromName(name);
    bitmap->depth = 1;
}

// Get and load: the shared road of a name not in the pool yet. Called with
// GET_BITMAP held; returns with it released.
zk_bitmap_t* TakeNamedRecord(const char* name, int mode, uint16_t flags) {
    zk->ZK_Printf("..caching bitmap '%s'", name);
    zk_bitmap_t* bitmap = ZKI_TakeBitmapSlotLocked(name);
    if (!bitmap) {
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, " ! Zekar out of free bitmaps.");
        return nullptr;
    }
    SetUpNamedRecord(bitmap, name, flags);
    if (mode == ZK_CACHE_NOTHING) ZKI_ClearBitmapFlags(bitmap, ZK_BITMAP_COUNTED_BY_GET);
    ZKI_StartBitmapReferenceCount(bitmap, mode);
    if (!IgnoresCacheMode(bitmap, mode)) ZKI_CountKeptBitmap(bitmap, mode);
    // Held from here to the end of the first load, so that no other
    // thread sees the record half-built.
    ZKI_LockBitmap(bitmap);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    if (mode != ZK_CACHE_NOTHING) {
        SetCacheModeLocked(bitmap, mode);
        ZKI_ValidateBitmap(bitmap);
        if (bitmap->frame_count > 0 && bitmap->frames) ZK_Graphics_SetBitmapFrame(bitmap, 0);
    }
    ZKI_UnlockBitmap(bitmap);
    return bitmap;
}

enum class Counting { kOncePerRecord, kEveryCall };

zk_bitmap_t* GetOrLoad(const char* name, int mode, Counting counting) {
    name = NormalizeName(name);
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    zk_bitmap_t* bitmap = ZKI_FindBitmapLocked(name);
    if (!bitmap) {
        if (mode == ZK_CACHE_LOOKUP_ONLY) {
            ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
            return nullptr;
        }
        uint16_t flags = ZK_BITMAP_RELOADABLE;
        if (counting == Counting::kOncePerRecord) flags |= ZK_BITMAP_COUNTED_BY_GET;
        return TakeNamedRecord(name, mode, flags);
    }
    if (mode == ZK_CACHE_LOOKUP_ONLY) {
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
        return bitmap;
    }
    if (mode != ZK_CACHE_NOTHING && !IsPlaceholder(name)) {
        if (counting == Counting::kOncePerRecord) {
            ZKI_CountBitmapGet(bitmap);
        } else if (ZKI_AddBitmapReferences(bitmap, 1)) {
            zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Bitmap '%s' reference count suspiciously high: capping at %d.", name,
                          zk_bitmap_max_references);
        }
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    AddCacheMode(bitmap, mode, counting == Counting::kEveryCall);
    return bitmap;
}

// The new record of CreateBitmap; the caller holds its lock.
void SetUpCreatedRecord(zk_bitmap_t* bitmap, const zk_bitmap_parameters_t& parameters, int width, int height) {
    bool render_target = parameters.render_target != 0;
    bitmap->cache_mode = int8_t(render_target ? kRenderTargetCacheMode : kCreatedCacheMode);
    bitmap->width = bitmap->texture_width = width;
    bitmap->height = bitmap->texture_height = height;
    bitmap->depth = parameters.depth;
    bitmap->format = parameters.format;
    bitmap->type = parameters.type;
    bitmap->renderer_hint = parameters.renderer_hint;
    ZKI_ClearBitmapFlags(bitmap, ZK_BITMAP_RELOADABLE);
    if (render_target) ZKI_AddBitmapFlags(bitmap, ZK_BITMAP_RENDER_TARGET);
    bitmap->pack_mode = kNoPadding;
}

// A created bitmap's pixels start cleared, or its render target is made.
void GiveCreatedBitmapItsData(zk_bitmap_t* bitmap) {
    if (!(ZKI_GetBitmapFlags(bitmap) & ZK_BITMAP_RENDER_TARGET)) {
        bitmap->pixels = ZKI_AllocateClearedPixelBlock(bitmap->width, bitmap->height);
    } else if (!ZKI_CanCallRendererForBitmaps()) {
        ZK_ResourceQueueLock lock;
        ZKI_QueueOnce(zk_state.bitmap_upload_queue, bitmap);
    } else if (ri && zk_state.renderer_initialized) {
        ZKI_CallRendererToCreateBitmap(bitmap);
    }
}

}  // namespace

void ZKI_ClampBitmapSize(const char* caller, const char* name, int* width, int* height) {
    int maximum = ri ? ri->GetMaximumTextureSize() : 0;
    if (maximum > 0 && (*width > maximum || *height > maximum)) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "%s: bitmap '%s' has too large dimension(s) (%i, %i), each dimension is clamped to %i.", caller,
                      name, *width, *height, maximum);
    }
    for (int* side : {width, height}) {
        if (*side < 1) *side = 1;
        if (maximum > 0 && *side > maximum) *side = maximum;
    }
}

zk_bitmap_t* ZK_Graphics_GetBitmap(const char* name) {
    return ZK_Graphics_GetBitmapWithCacheMode(name, zk_state.default_bitmap_cache_mode);
}

zk_bitmap_t* ZK_Graphics_GetBitmapWithCacheMode(const char* name, int mode) {
    return GetOrLoad(name, mode, Counting::kOncePerRecord);
}

zk_bitmap_t* ZK_Graphics_LoadBitmap(const char* name, int mode) { return GetOrLoad(name, mode, Counting::kEveryCall); }

zk_bitmap_t* ZK_Graphics_CreateBitmap(const char* name, const zk_bitmap_parameters_t* parameters) {
    if (!name) name = "";
    if (!parameters) return nullptr;
    int width = parameters->width, height = parameters->height;
    ZKI_ClampBitmapSize("ZK_Graphics_CreateBitmap", name, &width, &height);
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    zk_bitmap_t* bitmap = ZKI_FindBitmapLocked(name);
    if (bitmap) {
        ZKI_AddBitmapReferences(bitmap, 1);
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
        if (bitmap->width != width || bitmap->height != height) ZK_Graphics_ResizeBitmap(bitmap, width, height);
        return bitmap;
    }
    zk->ZK_Printf("..creating bitmap '%s' (%dx%d)", name, width, height);
    bitmap = ZKI_TakeBitmapSlotLocked(name);
    if (!bitmap) {
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to create bitmap '%s': Zekar is out of free bitmaps.", name);
        return nullptr;
    }
    ZKI_StartBitmapReferenceCount(bitmap, kCreatedCacheMode);
    ZKI_LockBitmap(bitmap);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    SetUpCreatedRecord(bitmap, *parameters, width, height);
    if (ZKI_ValidateBitmap(bitmap)) {
        GiveCreatedBitmapItsData(bitmap);
        bitmap->state = ZK_BITMAP_READY;
    }
    ZKI_UnlockBitmap(bitmap);
    return bitmap;
}

void ZK_Graphics_IncreaseBitmapReferenceCount(zk_bitmap_t* bitmap, int amount) {
    if (!bitmap || amount <= 0) return;
    // More than the cap can never count; the sum then stays in range.
    if (amount > zk_bitmap_max_references) amount = zk_bitmap_max_references;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    if (bitmap->reference_count == 0 && !(ZKI_GetBitmapFlags(bitmap) & ZK_BITMAP_RELOADABLE)) {
        zk->ZK_Popupf(ZK_MESSAGE_ERROR,
                      "Trying to increase bitmap '%s' reference count from 0 to 1. You need to load or create bitmap "
                      "first to set reference count to 1.",
                      bitmap->name ? bitmap->name : "");
    }
    ZKI_AddBitmapReferences(bitmap, amount);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
}

void ZK_Graphics_ReleaseBitmap(zk_bitmap_t* bitmap) {
    if (!bitmap || IsPlaceholder(bitmap->name)) return;
    if (IsCurrentRenderTarget(bitmap)) {
        zk->ZK_Popupf(ZK_MESSAGE_ERROR,
                      "ZK_Graphics_ReleaseBitmap: releasing current render target bitmap '%s' is not allowed, set the "
                      "render target to NULL before releasing.",
                      bitmap->name);
        zk_graphics_api_t::RenderTargets none = {};
        ZKI_SetRenderTargets(&none);
    }
    bool quiet = zk->ZK_ProductFeatureExists("DISABLE_REFERENCE_COUNT_ERROR_POPUPS");
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    if (zk_state.reference_counting) {
        int count = ZKI_DropBitmapReference(bitmap);
        if (count > 0) {
            ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
            return;
        }
        if (count < 0) {
            bitmap->reference_count = 0;
            ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
            if (!quiet) zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Bitmap '%s' reference count less than zero.", bitmap->name);
            return;
        }
        uint16_t flags = ZKI_GetBitmapFlags(bitmap);
        if ((flags & ZK_BITMAP_COUNTED_BY_GET) && !quiet) {
            zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                          "Releasing bitmap '%s' too many times: ref counting will get messed up. NOTE: bitmap has "
                          "been accessed using GetBitmap which increses ref count by 1 once.",
                          bitmap->name);
        }
        if (flags & ZK_BITMAP_RELOADABLE) {
            // Hibernated with GET_BITMAP still held, so that a load of the
            // same name on another thread either counts before this
            // release or finds the record hibernated and loads it again.
            zk->ZK_Printf("Hibernating bitmap '%s'..", bitmap->name);
            // Released by every holder: the next get counts its caller
            // again, as it did the first time.
            ZKI_ClearBitmapFlags(bitmap, ZK_BITMAP_COUNTED_BY_GET);
            ZKI_LockBitmap(bitmap);
            SetCacheModeLocked(bitmap, ZK_CACHE_NOTHING);
            ZKI_UnlockBitmap(bitmap);
            ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
            return;
        }
    }
    zk->ZK_Printf("Releasing bitmap '%s'..", bitmap->name);
    if (!ZKI_CanCallRendererForBitmaps()) {
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
        zk->ZK_Popupf(ZK_MESSAGE_ERROR,
                      "ZK_Graphics_ReleaseBitmap '%s' without reference counting is not possible from non-main thread.",
                      bitmap->name);
        return;
    }
    ZKI_LockBitmap(bitmap);
    if (bitmap->state == ZK_BITMAP_RELEASED) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Trying to release null bitmap.");
    } else {
        ZKI_FreeBitmap(bitmap);
    }
    ZKI_UnlockBitmap(bitmap);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
}

void ZK_Graphics_RemoveBitmapHandle(zk_bitmap_t* bitmap) {
    if (!bitmap) return;
    zk->ZK_Printf("Removing bitmap '%s' handle permanently.", bitmap->name ? bitmap->name : "");
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    ZKI_LockBitmap(bitmap);
    int expected = (ZKI_GetBitmapFlags(bitmap) & ZK_BITMAP_COUNTED_BY_GET) ? 1 : 0;
    if (bitmap->reference_count != expected) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING,
                           "ZK_Graphics_RemoveBitmapHandle: bitmap '%s' is not fully release before this call.",
                           bitmap->name ? bitmap->name : "");
    }
    ZKI_FreeBitmap(bitmap);
    ZKI_UnlockBitmap(bitmap);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
}

zk_bitmap_t* ZK_Graphics_SetBitmapCacheMode(zk_bitmap_t* bitmap, int mode) {
    if (!bitmap || IsPlaceholder(bitmap->name) || mode == ZK_CACHE_LOOKUP_ONLY) return bitmap;
    ChangeCacheMode(bitmap, mode, false);
    return bitmap;
}

void ZK_Graphics_SetBitmapFrame(zk_bitmap_t* bitmap, int frame) {
    if (!bitmap || !bitmap->frames || bitmap->frame_count <= 0) return;
    int index = (frame > 0 ? frame : 0) % bitmap->frame_count;
    const zk_bitmap_t& shown = bitmap->frames[index];
    bitmap->frame_index = index;
    bitmap->width = shown.width;
    bitmap->height = shown.height;
    // The pixel pointer comes with the size of its block.
    bitmap->texture_width = shown.texture_width;
    bitmap->texture_height = shown.texture_height;
    if (ZKI_GetBitmapFlags(&shown) & ZK_BITMAP_HAS_ALPHA) {
        ZKI_AddBitmapFlags(bitmap, ZK_BITMAP_HAS_ALPHA);
    } else {
        ZKI_ClearBitmapFlags(bitmap, ZK_BITMAP_HAS_ALPHA);
    }
    bitmap->pixels = shown.pixels;
    bitmap->hw_data = shown.hw_data;
}
