// Packing bitmaps into one atlas image (sequence frames, font glyphs).
#pragma once

#include "engine/runtime/media_records.h"

// The largest atlas side, whatever the caller allows.
const int zk_max_atlas_side = 8192;

// Packs count bitmaps, in order, into the smallest power-of-two atlas of at
// most max_width x max_height (each limited to zk_max_atlas_side) that
// holds them all in rows: every row is as high as the highest bitmap plus
// 2, and the bitmaps stand 2 pixels apart and 2 from the left and top
// edges. Sides from 32 to 1024 are tried first, then 64 to 2048, then 128
// to 4096; among fitting sizes of equal area the squarer (and then the
// later) one is taken.
//
// The atlas record is reset first (its old pixels are freed; a texture it
// had must be freed by the caller): named "atlas", one reference, state
// 1, 2D, colour format, depth 1, no padding. It gets a cleared pixel block
// with each bitmap's pixels at its place, and each bitmap gets its
// rectangle in the atlas as its hw_data.uv (left, top, right, bottom, 0..1).
// The bitmaps' pixel blocks are read as they are (texture_width x
// texture_height where those are set). With an alpha channel among them,
// the atlas has one too and its transparent pixels are repaired.
//
// False, with a warning naming the sizes, when they fit no allowed size
// (the atlas record then has no pixels); false also for no bitmaps or a
// null entry.
bool ZKI_PackBitmaps(zk_bitmap_t* atlas, zk_bitmap_t** bitmaps, int count, int max_width, int max_height);
