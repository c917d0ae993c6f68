// Pixel blocks of bitmaps: their allocation (sizes in 64 bits, refused in
// words when they cannot be had), pasting one bitmap into another and
// comparing two bitmaps' pixels. Pixels are 4 bytes, byte 3 alpha, rows top
// first, `width` pixels per row.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/runtime/media_records.h"

// A block for width x height pixels (at least one byte, so that an empty
// image still has a block), to be freed with free(). Null for a negative
// side or a size that cannot be allocated, with an ERROR line saying so.
uint32_t* ZKI_AllocatePixelBlock(int64_t width, int64_t height);
// The same with every byte 0.
uint32_t* ZKI_AllocateClearedPixelBlock(int64_t width, int64_t height);

// Test hook: the allocation behind ZKI_AllocatePixelBlock (malloc when
// null); it is handed the byte count.
void ZKI_SetPixelAllocatorForTesting(void* (*allocate)(size_t bytes));

// The bitmap as its pixel block is laid out: a shallow copy whose width and
// height are the block's (texture_width x texture_height; width x height
// while those are unset). A data manifest may give a bitmap a drawing size
// other than its block's; whatever reads or writes pixels by width and
// height (sampling, resizing, pasting, comparing, saving) is handed this
// view, so that it never reaches past the block.
zk_bitmap_t ZKI_PixelBlockView(const zk_bitmap_t* bitmap);

// Copies source's pixels into target with source's top left corner at
// column x, row y of target. Only the part that lies inside target is
// copied.
void ZKI_PasteBitmap(zk_bitmap_t* source, int x, int y, zk_bitmap_t* target);

// True when both bitmaps have the same size and no byte of a pixel differs
// by more than tolerance (differences measured in 255.5ths); a tolerance of
// 1.0 or more, or an empty image, always matches. A match with differences
// prints their total.
bool ZKI_BitmapPixelsMatch(zk_bitmap_t* a, zk_bitmap_t* b, float tolerance);
