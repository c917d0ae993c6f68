#include "engine/images/bitmap_pool.h"

#include <cstdlib>
#include <cstring>

#include "engine/base/clock.h"
#include "engine/base/nstring.h"
#include "engine/runtime/state.h"

namespace {

// The lock flag is read without SHARED_BITMAP while waiting; the atomic
// accesses keep that read well defined.
bool IsLockedFlagSet(const uint8_t* flag) { return __atomic_load_n(flag, __ATOMIC_ACQUIRE) != 0; }
void SetLockedFlag(uint8_t* flag, uint8_t value) { __atomic_store_n(flag, value, __ATOMIC_RELEASE); }

bool SharedBitmapMutexExists() { return zk_state.core_mutexes[ZK_CORE_MUTEX_SHARED_BITMAP] != nullptr; }

char* CopyName(const char* name) {
    size_t size = strlen(name) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy) memcpy(copy, name, size);
    return copy;
}

bool IsPowerOfTwo(int32_t value) { return value > 0 && (value & (value - 1)) == 0; }

void PrintCountChange(const char* format, const zk_bitmap_t* bitmap) {
    if (zk_state.print_reference_count_changes) zk->ZK_Printf(format, bitmap->name, bitmap->reference_count);
}

}  // namespace

uint16_t ZKI_GetBitmapFlags(const zk_bitmap_t* bitmap) {
    return bitmap ? __atomic_load_n(&bitmap->flags, __ATOMIC_ACQUIRE) : 0;
}

void ZKI_AddBitmapFlags(zk_bitmap_t* bitmap, uint16_t bits) {
    if ((ZKI_GetBitmapFlags(bitmap) & bits) != bits) __atomic_fetch_or(&bitmap->flags, bits, __ATOMIC_ACQ_REL);
}

void ZKI_ClearBitmapFlags(zk_bitmap_t* bitmap, uint16_t bits) {
    if (ZKI_GetBitmapFlags(bitmap) & bits) __atomic_fetch_and(&bitmap->flags, uint16_t(~bits), __ATOMIC_ACQ_REL);
}

void ZKI_InitBitmap(zk_bitmap_t* bitmap, const char* name) {
    if (!bitmap) return;
    memset(bitmap, 0, sizeof *bitmap);
    bitmap->name = CopyName(name ? name : "");
    bitmap->hash = nStringHash(bitmap->name);
    bitmap->state = ZK_BITMAP_NOT_LOADED;
    bitmap->taken_word = 1;
    bitmap->reference_count = 1;
}

zk_bitmap_t* ZKI_FindBitmapLocked(const char* name) {
    if (!name) return nullptr;
    uint32_t hash = nStringHash(name);
    for (int i = 0; i < zk_state.num_bitmaps; ++i) {
        zk_bitmap_t* bitmap = &zk_state.bitmaps[i];
        if (bitmap->hash == hash && bitmap->name && strcmp(bitmap->name, name) == 0) return bitmap;
    }
    return nullptr;
}

zk_bitmap_t* ZKI_FindBitmap(const char* name) {
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    zk_bitmap_t* bitmap = ZKI_FindBitmapLocked(name);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    return bitmap;
}

zk_bitmap_t* ZKI_TakeBitmapSlotLocked(const char* name) {
    int slot = 0;
    while (slot < zk_state.num_bitmaps && zk_state.bitmaps[slot].name) ++slot;
    if (slot >= ZK_MAX_BITMAPS) return nullptr;
    if (slot == zk_state.num_bitmaps) ++zk_state.num_bitmaps;
    zk_bitmap_t* bitmap = &zk_state.bitmaps[slot];
    ZKI_InitBitmap(bitmap, name);
    bitmap->slot = uint32_t(slot);
    return bitmap;
}

void ZKI_ReturnBitmapSlot(zk_bitmap_t* bitmap) {
    if (!bitmap) return;
    free(bitmap->name);
    bitmap->name = nullptr;
    free(bitmap->file_path);
    bitmap->file_path = nullptr;
    bitmap->state = ZK_BITMAP_RELEASED;
}

int ZK_Graphics_GetNumberOfBitmaps() {
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    int count = zk_state.num_bitmaps;
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    return count;
}

zk_bitmap_t* ZK_Graphics_GetBitmapByIndex(const int& index) {
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    zk_bitmap_t* bitmap = nullptr;
    if (index >= 0 && index < zk_state.num_bitmaps && zk_state.bitmaps[index].name) bitmap = &zk_state.bitmaps[index];
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    return bitmap;
}

void ZKI_LockRecordFlag(uint8_t* flag) {
    for (;;) {
        while (IsLockedFlagSet(flag)) ZKT_Sleep(1);
        if (!SharedBitmapMutexExists()) {
            SetLockedFlag(flag, 1);
            return;
        }
        ZKI_LockCoreMutex(ZK_CORE_MUTEX_SHARED_BITMAP);
        bool taken = !IsLockedFlagSet(flag);
        if (taken) SetLockedFlag(flag, 1);
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_SHARED_BITMAP);
        if (taken) return;
    }
}

bool ZKI_UnlockRecordFlag(uint8_t* flag) {
    if (!IsLockedFlagSet(flag)) return false;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_SHARED_BITMAP);
    SetLockedFlag(flag, 0);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_SHARED_BITMAP);
    return true;
}

void ZKI_LockBitmap(zk_bitmap_t* bitmap) {
    if (bitmap) ZKI_LockRecordFlag(&bitmap->locked);
}

void ZKI_UnlockBitmap(zk_bitmap_t* bitmap) {
    if (!bitmap || ZKI_UnlockRecordFlag(&bitmap->locked)) return;
    if (zk->ZKI_IsDeveloperModeEnabled()) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZKI_UnlockBitmap called on unlocked bitmap ('%s').",
                      bitmap->name ? bitmap->name : "NULL");
    }
}

bool ZKI_ValidateBitmap(zk_bitmap_t* bitmap) {
    if (!bitmap) return false;
    const char* name = bitmap->name ? bitmap->name : "";
    bool depth_format = bitmap->format >= 1 && bitmap->format <= 3;
    if (bitmap->type != ZK_TEXTURE_2D && depth_format) {
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Depth formats (ZK_TEXTURE_FORMAT_D*_FLOAT) are supported with 2D textures only.");
        return false;
    }
    if (bitmap->type == ZK_TEXTURE_3D) return true;
    if (bitmap->depth != 1) {
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Bitmap '%s' must have depth of 1.", name);
        return false;
    }
    if (bitmap->type != ZK_TEXTURE_CUBE) return true;
    // A loaded cube map holds its six faces stacked vertically; a render
    // target is one face high.
    int32_t face = bitmap->texture_height;
    if (!(bitmap->flags & ZK_BITMAP_RENDER_TARGET)) face /= 6;
    if (bitmap->texture_width != face) {
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "The width and height of cube map '%s' do not match.", name);
        return false;
    }
    if (!IsPowerOfTwo(bitmap->texture_width)) {
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Cube map '%s' must have power of two dimensions.", name);
        return false;
    }
    return true;
}

void ZKI_StartBitmapReferenceCount(zk_bitmap_t* bitmap, int cache_mode) {
    if (!bitmap) return;
    if (cache_mode == ZK_CACHE_NOTHING) {
        bitmap->reference_count = 0;
        PrintCountChange("'%s' ref count = 0 (CACHE_NOTHING)", bitmap);
        return;
    }
    bitmap->reference_count = 1;
    PrintCountChange("'%s' ref count = 1", bitmap);
}

bool ZKI_AddBitmapReferences(zk_bitmap_t* bitmap, int amount) {
    if (!bitmap) return false;
    int count = int(bitmap->reference_count) + amount;
    bool capped = count > zk_bitmap_max_references;
    if (capped) count = zk_bitmap_max_references;
    bitmap->reference_count = int16_t(count);
    PrintCountChange("'%s' ref count++: now %d", bitmap);
    return capped;
}

// One reference for a record not yet counted by GetBitmap, which it then is.
static void CountOnce(zk_bitmap_t* bitmap, const char* format) {
    if (!bitmap || (ZKI_GetBitmapFlags(bitmap) & ZK_BITMAP_COUNTED_BY_GET)) return;
    ZKI_AddBitmapFlags(bitmap, ZK_BITMAP_COUNTED_BY_GET);
    if (bitmap->reference_count < zk_bitmap_max_references) ++bitmap->reference_count;
    PrintCountChange(format, bitmap);
}

void ZKI_CountBitmapGet(zk_bitmap_t* bitmap) { CountOnce(bitmap, "'%s' ref count++ (GetBitmap): now %d"); }

void ZKI_CountKeptBitmap(zk_bitmap_t* bitmap, int cache_mode) {
    if (!zk_state.unlimited_memory || !(cache_mode & (ZK_CACHE_PIXELS | ZK_CACHE_TEXTURE))) return;
    CountOnce(bitmap, "'%s' ref count++: now %d");
}

int ZKI_DropBitmapReference(zk_bitmap_t* bitmap) {
    if (!bitmap) return 0;
    if (!zk_state.reference_counting) return bitmap->reference_count;
    --bitmap->reference_count;
    PrintCountChange("ZK_Graphics_ReleaseBitmap: '%s' ref count--: now %d", bitmap);
    return bitmap->reference_count;
}

// --- Record helpers ---------------------------------------------------------

static uint32_t TextureBytes(const zk_bitmap_t* bitmap, bool use_image_size) {
    int32_t w = use_image_size ? bitmap->texture_width : bitmap->hw_data.texture_width;
    int32_t h = use_image_size ? bitmap->texture_height : bitmap->hw_data.texture_height;
    return static_cast<uint32_t>(w) * static_cast<uint32_t>(h) * 4u;
}

uint32_t ZKI_GetBitmapGPUMemoryUsageEstimate(zk_bitmap_t* bitmap, bool use_image_size) {
    if (!bitmap) return 0;
    if (bitmap->frame_count > 0) {
        if (bitmap->atlas) return TextureBytes(bitmap->atlas, use_image_size);
        return static_cast<uint32_t>(bitmap->frame_count) * TextureBytes(bitmap, use_image_size);
    }
    return TextureBytes(bitmap, use_image_size);
}

zk_bitmap_t* ZK_CreateBitmapFromSubBitmap(zk_bitmap_t* out, zk_bitmap_t* source, float x0, float y0, float x1,
                                          float y1) {
    if (!out || !source) return out;
    *out = *source;
    out->duplicate_of = source;
    out->atlas = source;
    out->width = static_cast<int32_t>(x1 - x0);
    out->height = static_cast<int32_t>(y1 - y0);
    const float* uv = source->hw_data.uv;
    float w = static_cast<float>(source->width);
    float h = static_cast<float>(source->height);
    float du = uv[2] - uv[0];
    float dv = uv[3] - uv[1];
    out->hw_data.uv[0] = uv[0] + (x0 / w) * du;
    out->hw_data.uv[1] = uv[1] + (y0 / h) * dv;
    out->hw_data.uv[2] = uv[0] + (x1 / w) * du;
    out->hw_data.uv[3] = uv[1] + (y1 / h) * dv;
    return out;
}
