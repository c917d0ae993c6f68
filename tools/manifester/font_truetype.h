// Glyph bitmaps rendered through FreeType.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

namespace manifester {

// The library's initialisation, replaceable so that its failure can be
// shown.
extern FT_Error (*zk_init_freetype)(FT_Library* library);

struct zk_bitmap_t;
// A rendered 8-bit grey bitmap as white pixels with the grey, strengthened
// by half, as alpha; rows are the bitmap's pitch apart (negative for one
// stored bottom row first). False when the pixels cannot be allocated.
bool ZKI_PixelsFromCoverage(const FT_Bitmap& coverage, zk_bitmap_t* bitmap);

}  // namespace manifester
