// Packing bitmaps into an atlas: the size search and the copy.

#include "engine/bitmaps/bitmap_packing.h"

#include <cstdint>
#include <cstdlib>

#include "engine/base/narray.h"
#include "engine/images/bitmap_pixels.h"
#include "engine/images/bitmap_pool.h"
#include "engine/images/image_sampling.h"
#include "engine/runtime/zekar.h"

namespace {

// Pixels between bitmaps and from the left and top edges; also added to
// each row's height.
const int kGap = 2;
// Passes of the size search: sides 2^(first + pass) .. 2^(last + pass).
const int kPasses = 3;
const int kFirstSideShift = 5;
const int kLastSideShift = 10;

struct Place {
    int x, y;
};

// Lays the bitmaps out left to right, starting a new row when the next one
// would pass the right edge; false when one is wider than a row or a row
// passes the bottom edge.
bool LayOut(const nArray<zk_bitmap_t>& blocks, int row_height, int width, int height, Place* places) {
    int x = kGap, y = kGap;
    for (int i = 0; i < blocks.count; ++i) {
        int w = blocks.items[i].width;
        if (int64_t(x) + w + kGap > width) {
            if (x == kGap) return false;
            x = kGap;
            y += row_height;
        }
        if (int64_t(y) + row_height > height) return false;
        if (places) places[i] = {x, y};
        x += w + kGap;
    }
    return true;
}

int64_t RoundUpToPowerOfTwo(int64_t value) {
    int64_t power = 1;
    while (power < value) power *= 2;
    return power;
}

double Squareness(int width, int height) {
    return width < height ? double(width) / height : double(height) / width;
}

void ResetAtlas(zk_bitmap_t* atlas) {
    free(atlas->pixels);
    free(atlas->name);
    free(atlas->file_path);
    ZKI_InitBitmap(atlas, "atlas");
    atlas->depth = 1;
    atlas->format = ZK_TEXTURE_FORMAT_COLOR;
    atlas->type = ZK_TEXTURE_2D;
    atlas->renderer_hint = 1;
    atlas->pack_mode = 3;
}

struct Size {
    int width, height;
};

// The search over power-of-two sizes; false when none fits.
bool ChooseSize(const nArray<zk_bitmap_t>& blocks, int row_height, int max_width, int max_height, double pixel_area,
                Size* best) {
    *best = {2 * max_width, 2 * max_height};
    for (int pass = 0; pass < kPasses; ++pass) {
        bool found = false;
        for (int h = 1 << (kFirstSideShift + pass); h <= 1 << (kLastSideShift + pass); h *= 2) {
            for (int w = 1 << (kFirstSideShift + pass); w <= 1 << (kLastSideShift + pass); w *= 2) {
                if (w > max_width || h > max_height || !LayOut(blocks, row_height, w, h, nullptr)) continue;
                zk->ZK_Printf("Fits into %dx%d (%.2f full)", w, h, pixel_area / (double(w) * h));
                int64_t area = int64_t(w) * h, best_area = int64_t(best->width) * best->height;
                if (area < best_area || (area == best_area && Squareness(w, h) >= Squareness(best->width, best->height)))
                    *best = {w, h};
                found = true;
            }
        }
        if (found) return true;
    }
    return false;
}

}  // namespace

bool ZKI_PackBitmaps(zk_bitmap_t* atlas, zk_bitmap_t** bitmaps, int count, int max_width, int max_height) {
    if (!atlas || !bitmaps || count < 1) return false;
    for (int i = 0; i < count; ++i) {
        if (!bitmaps[i]) return false;
    }
    if (max_width > zk_max_atlas_side) max_width = zk_max_atlas_side;
    if (max_height > zk_max_atlas_side) max_height = zk_max_atlas_side;
    ResetAtlas(atlas);

    nArray<zk_bitmap_t> blocks;
    int tallest = 0;
    // Areas in double: a list of large bitmaps may pass any integer's range
    // (it then fits nowhere).
    double pixel_area = 0, rounded_area = 0;
    bool alpha = false;
    for (int i = 0; i < count; ++i) {
        zk_bitmap_t block = ZKI_PixelBlockView(bitmaps[i]);
        if (block.width < 0 || block.height < 0) return false;
        blocks.InsertLast(block);
        if (block.height > tallest) tallest = block.height;
        pixel_area += double(block.width) * block.height;
        rounded_area += double(RoundUpToPowerOfTwo(block.width)) * double(RoundUpToPowerOfTwo(block.height));
        alpha = alpha || (ZKI_GetBitmapFlags(bitmaps[i]) & ZK_BITMAP_HAS_ALPHA);
    }
    // A row higher than any atlas fits nowhere; its height is kept in range.
    int row_height = (tallest > zk_max_atlas_side ? zk_max_atlas_side + 1 : tallest) + kGap;

    Size size;
    if (!ChooseSize(blocks, row_height, max_width, max_height, pixel_area, &size)) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "ZKI_PackBitmaps unable to find large enough atlas size for %d bitmaps (first bm size %dx%d). "
                      "All bitmaps need to fit into %dx%d atlas for 100%% cross-platform compatibility.",
                      count, blocks.items[0].width, blocks.items[0].height, max_width, max_height);
        return false;
    }
    zk->ZK_Printf("Choosing %dx%d, packing pixels... (ratio %.2f vs single images)", size.width, size.height,
                  rounded_area / (double(size.width) * size.height));
    nArray<Place> places;
    places.SetMaximumSize(count);
    places.count = count;
    atlas->pixels = ZKI_AllocateClearedPixelBlock(size.width, size.height);
    if (!atlas->pixels) return false;
    atlas->width = atlas->texture_width = size.width;
    atlas->height = atlas->texture_height = size.height;
    if (!LayOut(blocks, row_height, size.width, size.height, places.items)) {
        zk->ZK_Printf("WARNING: Failed to tile %d bitmaps into any atlas.", count);
        free(atlas->pixels);
        atlas->pixels = nullptr;
        return false;
    }
    float w = float(size.width), h = float(size.height);
    for (int i = 0; i < count; ++i) {
        const Place& place = places.items[i];
        zk_bitmap_t& block = blocks.items[i];
        ZKI_PasteBitmap(&block, place.x, place.y, atlas);
        float* uv = bitmaps[i]->hw_data.uv;
        uv[0] = place.x / w;
        uv[1] = place.y / h;
        uv[2] = (place.x + block.width) / w;
        uv[3] = (place.y + block.height) / h;
    }
    if (alpha) ZKI_AddBitmapFlags(atlas, ZK_BITMAP_HAS_ALPHA);
    ZKI_FixAlphaBleeding(atlas);
    zk->ZK_Printf("Successfully packed %d bitmaps into %dx%d atlas.", count, size.width, size.height);
    return true;
}
