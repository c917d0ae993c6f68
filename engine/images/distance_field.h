// Signed distance fields of bitmaps, as distance-field font glyphs use
// them.
#pragma once

#include "engine/runtime/media_records.h"

// A zeroed record of (source width / scale) x (source height / scale)
// pixels with a new pixel block and nothing else set. Each pixel samples
// the source at the middle of its scale x scale cell and finds the nearest
// source pixel of the other kind (inside: alpha and one colour byte at
// least 128) within spread x scale source pixels. Its colour is white and
// its alpha 0.5 + 0.5 x distance / reach, positive inside, clamped to 0..1
// (255 deep inside, 0 far outside). A scale or spread below 1, a source
// without pixels or memory that cannot be had gives a record without
// pixels, with a popup.
zk_bitmap_t ZKI_GenerateDistanceField(const zk_bitmap_t& source, int scale, int spread);

// Frees the pixel block of a ZKI_GenerateDistanceField result.
void ZKI_ReleaseDistanceFieldBitmap(const zk_bitmap_t& bitmap);
