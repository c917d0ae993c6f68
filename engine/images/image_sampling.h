// Software image processing on bitmap pixels: point, bilinear and box
// sampling, resampling to a new size (whole, or in row chunks on worker
// threads), and the repair of colours under transparent pixels.
//
// Pixels are 4 bytes: byte 3 is alpha, bytes 0-2 the colour channels in
// memory order (all three treated alike). A sample's u, v are fractions of
// the bitmap's width and height (0..1 covers the image). Beyond the edges
// the colour is the nearest edge pixel's; a bitmap with an alpha channel
// (flag bit 0) is transparent there, one without keeps the edge's alpha.
// A pixel comes back as the u32 whose memory bytes are those 4 bytes.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/runtime/media_records.h"

// The pixel at (trunc(width * u), trunc(height * v)).
uint32_t ZKI_GetBitmapSamplePoint(zk_bitmap_t* bitmap, double u, double v);
// The four pixels around (width * u, height * v) weighted in 11-bit fixed
// point.
uint32_t ZKI_GetBitmapSampleBilinear(zk_bitmap_t* bitmap, double u, double v);
// The average of bilinear samples one source pixel apart over du x dv
// source pixels from (width * u, height * v), bounds included. Alpha is
// averaged over all samples, colour over the visible ones only, so that
// transparent samples do not darken it.
uint32_t ZKI_GetBitmapSampleArea(zk_bitmap_t* bitmap, double u, double v, double du, double dv);

// target gets a new width x height block (1..65534 each) resampled from
// source: copied at the same size, box samples when the source is more than
// 1.5 times larger on either axis, bilinear samples otherwise. The source
// is repaired first (its pixels change) and, with an alpha channel, the
// result after. False, with a popup for a missing bitmap or pixels, when
// nothing could be made; the target is then unchanged. The last argument
// is not used.
bool ZKI_CreateImageResized(zk_bitmap_t* target, zk_bitmap_t* source, int width, int height, int unused);

// The count of scaler threads running, shared by every worker; whoever
// starts one raises it, and each chunk lowers it when done.
extern std::atomic<int> zk_running_scaler_threads;

// Fills target rows first_row .. end_row - 1 of a width x height result
// (target's pixel block must already be that size) as ZKI_CreateImageResized
// samples them, then lowers zk_running_scaler_threads by one.
void ZKI_ResizeImageChunk(zk_bitmap_t* target, zk_bitmap_t* source, int width, int height, int first_row,
                          int end_row);

// One chunk for a worker thread: the arguments of ZKI_ResizeImageChunk.
struct zk_scaler_job_t {
    zk_bitmap_t* target;
    zk_bitmap_t* source;
    int width;
    int height;
    int first_row;
    int end_row;
};
// Thread body: runs the zk_scaler_job_t it is given.
void ZKI_ScalerThread(void* job);

// One pass, top row first and left to right: every fully transparent pixel
// next to a visible one takes the colour (not the alpha) of the first
// visible neighbour, looking left, below, right, then above. Only bitmaps
// with an alpha channel are repaired. Returns how many pixels changed.
int ZKI_FixAlphaBleeding(zk_bitmap_t* bitmap);
