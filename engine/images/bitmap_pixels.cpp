#include "engine/images/bitmap_pixels.h"

#include <cstdlib>
#include <cstring>

#include "engine/runtime/state.h"

static void* (*pixel_allocator)(size_t) = nullptr;

void ZKI_SetPixelAllocatorForTesting(void* (*allocate)(size_t bytes)) { pixel_allocator = allocate; }

static uint32_t* AllocateBlock(int64_t width, int64_t height, bool cleared) {
    void* block = nullptr;
    // Both sides fit in 32 bits, so the product of the three fits in 64.
    if (width >= 0 && height >= 0 && width <= INT32_MAX && height <= INT32_MAX) {
        uint64_t bytes = uint64_t(width) * uint64_t(height) * 4;
        if (bytes == 0) bytes = 1;
        if (bytes <= uint64_t(PTRDIFF_MAX)) {
            if (pixel_allocator) {
                block = pixel_allocator(size_t(bytes));
                if (block && cleared) memset(block, 0, size_t(bytes));
            } else {
                block = cleared ? calloc(size_t(bytes), 1) : malloc(size_t(bytes));
            }
        }
    }
    if (!block) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Not enough memory for a bitmap of %lldx%lld pixels.", (long long)width,
                           (long long)height);
    }
    return static_cast<uint32_t*>(block);
}

uint32_t* ZKI_AllocatePixelBlock(int64_t width, int64_t height) { return AllocateBlock(width, height, false); }

uint32_t* ZKI_AllocateClearedPixelBlock(int64_t width, int64_t height) { return AllocateBlock(width, height, true); }

zk_bitmap_t ZKI_PixelBlockView(const zk_bitmap_t* bitmap) {
    zk_bitmap_t view = {};
    if (!bitmap) return view;
    view = *bitmap;
    if (view.texture_width > 0 && view.texture_height > 0) {
        view.width = view.texture_width;
        view.height = view.texture_height;
    }
    return view;
}

void ZKI_PasteBitmap(zk_bitmap_t* source, int x, int y, zk_bitmap_t* target) {
    if (!source || !target || !source->pixels || !target->pixels) return;
    int64_t first_column = x < 0 ? -int64_t(x) : 0;
    int64_t end_column = int64_t(source->width);
    if (int64_t(x) + end_column > target->width) end_column = int64_t(target->width) - x;
    int64_t first_row = y < 0 ? -int64_t(y) : 0;
    int64_t end_row = int64_t(source->height);
    if (int64_t(y) + end_row > target->height) end_row = int64_t(target->height) - y;
    if (first_column >= end_column) return;
    size_t row_bytes = size_t(end_column - first_column) * 4;
    for (int64_t row = first_row; row < end_row; ++row) {
        const uint32_t* from = source->pixels + row * source->width + first_column;
        uint32_t* to = target->pixels + (row + y) * target->width + (first_column + x);
        memcpy(to, from, row_bytes);
    }
}

bool ZKI_BitmapPixelsMatch(zk_bitmap_t* a, zk_bitmap_t* b, float tolerance) {
    if (!a || !b || !a->pixels || !b->pixels) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "BitmapPixelsMatch got bad parameters.");
        return false;
    }
    if (a->width != b->width || a->height != b->height) return false;
    if (tolerance >= 1.0f || a->width <= 0 || a->height <= 0) return true;
    const uint8_t* pa = reinterpret_cast<const uint8_t*>(a->pixels);
    const uint8_t* pb = reinterpret_cast<const uint8_t*>(b->pixels);
    size_t bytes = size_t(a->width) * size_t(a->height) * 4;
    double sum = 0.0;
    for (size_t i = 0; i < bytes; ++i) {
        // 255.5, not 255: a difference of exactly tolerance * 255 passes.
        double difference = abs(int(pa[i]) - int(pb[i])) / 255.5;
        if (difference > tolerance) return false;
        sum += difference;
    }
    if (sum > 0.0) {
        double units = sum * 255.0;
        zk->ZK_PrintDebugf(ZK_MESSAGE_INFO, "Total difference is %d units", units < INT32_MAX ? int(units) : INT32_MAX);
    }
    return true;
}
