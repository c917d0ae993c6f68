// Pixels between the files' B, G, R(, A) order and the order in memory.
// Swapping red and blue is its own inverse, so the same helpers serve
// reading and writing.
#pragma once

#include <cstdint>
#include <cstring>

#include "engine/imageformats/image_formats.h"

// count 4-byte pixels from in to out (the two do not overlap).
inline void ZKI_ConvertRow32(const uint8_t* __restrict in, uint8_t* __restrict out, int count,
                             zk_pixel_byte_order_t order) {
    size_t bytes = size_t(count) * 4;
    if (order == ZK_PIXELS_BGRA) {
        memcpy(out, in, bytes);
        return;
    }
    for (size_t i = 0; i < bytes; i += 4) {
        out[i] = in[i + 2];
        out[i + 1] = in[i + 1];
        out[i + 2] = in[i];
        out[i + 3] = in[i + 3];
    }
}

// count 3-byte pixels from in to 4-byte pixels at out, alpha 255.
inline void ZKI_ConvertRow24(const uint8_t* __restrict in, uint8_t* __restrict out, int count,
                             zk_pixel_byte_order_t order) {
    int first = order == ZK_PIXELS_BGRA ? 0 : 2;
    for (int i = 0; i < count; ++i, in += 3, out += 4) {
        out[0] = in[first];
        out[1] = in[1];
        out[2] = in[2 - first];
        out[3] = 255;
    }
}

// One pixel of 3 or 4 bytes into out[4].
inline void ZKI_ConvertPixel(const uint8_t* in, size_t bytes_per_pixel, zk_pixel_byte_order_t order, uint8_t* out) {
    int first = order == ZK_PIXELS_BGRA ? 0 : 2;
    out[0] = in[first];
    out[1] = in[1];
    out[2] = in[2 - first];
    out[3] = bytes_per_pixel == 4 ? in[3] : 255;
}
