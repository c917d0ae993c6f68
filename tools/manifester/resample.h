// Image resampling for the font generator: bilinear filtering for small
// scale factors, area averaging over bilinear samples for larger
// reductions, and alpha bleeding, which spreads colour into fully
// transparent pixels so that filtering does not pull in their colour.
// Pixels are four bytes, read as channels 0, 1, 2 and alpha (byte 3).
#pragma once

#include <cstdint>

#include "tools/manifester/runtime.h"

namespace manifester {

// Scales source into target (whose pixels are replaced). The source gets
// one alpha-bleeding pass; the two must be different bitmaps with
// different pixels. False for sizes below 1 or of 65535 and more, and
// (with a message) for a missing bitmap, a source without pixels, or
// pixels that cannot be allocated.
bool ZKI_CreateImageResized(zk_bitmap_t* target, zk_bitmap_t* source, int width, int height);
// One pass in place: each fully transparent pixel takes the colour of its
// last opaque neighbour of above, right, below, left, keeping alpha 0.
// Gives the number of transparent pixels visited.
int BleedAlpha(zk_bitmap_t* bitmap);
// The pixel at the coordinate clamped into the image; for a bitmap with an
// alpha channel (flag bit 0) a clamped fetch is transparent.
uint32_t GetPixelClamped(const zk_bitmap_t* bitmap, int x, int y);
// Bilinear sample at (u x width, v x height).
uint32_t SampleBilinear(const zk_bitmap_t* bitmap, double u, double v);
int ClampInt(int value, int low, int high);

// A colour of four values 0.0 to 1.0: channels 2, 1, 0 and alpha.
struct zk_float_colour_t {
    float c2, c1, c0, alpha;
};
void ClampColour(zk_float_colour_t* colour);
// Each value times 255, truncated, back into the byte it stands for.
uint32_t ColourToPixel(const zk_float_colour_t& colour);

}  // namespace manifester
