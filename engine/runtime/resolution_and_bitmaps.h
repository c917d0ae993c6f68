// Core helpers about resolutions, parameters and bitmaps.
#pragma once

#include <cstdint>

#include "engine/runtime/state.h"

// The running parameters' width, height and windowed flag become the
// requested ones again (only with a program installed).
void ZKI_RevertProgramParameters();
// 4 bytes per pixel of the texture size (or of the image size); a sequence
// of frames counts its shared sheet once when it has one, else each frame.
uint32_t ZKI_GetBitmapGPUMemoryUsageEstimate(zk_bitmap_t* bitmap, bool use_image_size);
// `out` becomes the part x0,y0 - x1,y1 of `source`, sharing its image.
zk_bitmap_t* ZK_CreateBitmapFromSubBitmap(zk_bitmap_t* out, zk_bitmap_t* source, float x0, float y0, float x1,
                                          float y1);

// One entry of the resource listing: name (not owned), kind ("GFX", "SND"
// or "FNT"), bytes counted, and the bitmap size (0 for sounds and fonts).
struct ZKT_ResourceListItem {
    const char* name;
    const char* type;
    uint32_t bytes;
    int32_t width;
    int32_t height;
};
