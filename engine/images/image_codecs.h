// The engine's image codecs on bitmap records: TGA and the run-length
// bitmap (over engine/imageformats, in the state's pixel byte order, their
// messages printed), and the test image that stands in for PNG and JPEG,
// which this engine cannot decode.
#pragma once

#include <cstdio>

#include "engine/imageformats/image_formats.h"
#include "engine/runtime/media_records.h"
#include "engine/runtime/zekar.h"

// TGA held in memory (size bytes; never read past). The reader stores
// width, height and pixels and sets flag bits 0 and 1; a refused or short
// file leaves the bitmap without pixels and its size unchanged, and answers
// false. The size reader takes width and height from the header alone.
bool ZKI_LoadBitmapMemTGA(zk_bitmap_t* bitmap, const void* data, long size);
bool ZKI_GetImageDimensionsTGA(zk_bitmap_t* bitmap, const void* data, long size);

// Writes the bitmap as a 32-bit bottom-up TGA at a native path. The file is
// written beside the target under a temporary name and renamed into place
// only when every byte and the close succeeded, so a failed save leaves no
// file and keeps an older one whole. False for a bitmap without pixels, a
// path the file system refuses, a side above 65535 or a failed write.
bool ZKI_WriteTGA(zk_bitmap_t* bitmap, const char* path);

// The run-length bitmap from an engine file (width, height and pixels are
// set, nothing else), and to a C stream.
bool ZKI_ReadRLEBitmap(zk_bitmap_t* bitmap, zk_file_t* file);
bool ZKI_WriteRLEBitmap(zk_bitmap_t* bitmap, FILE* file);
// The same through any input or output (a memory block, for instance).
bool ZKI_ReadRLEBitmapFrom(zk_bitmap_t* bitmap, const zk_image_input_t& input);
bool ZKI_WriteRLEBitmapTo(zk_bitmap_t* bitmap, const zk_image_output_t& output);

// The 32x32 test image: pixel (x, y) holds the bytes x + y, 4y, 4x, 255 in
// memory order; flag bits 0 and 1 set; texture size untouched. Any pixels
// the bitmap had are freed.
void ZKI_TEMPCREATEBITMAP(zk_bitmap_t* bitmap);

// PNG and JPEG: the test image, and its size.
bool ZKI_LoadBitmapMemPNG(zk_bitmap_t* bitmap, const void* data, long size);
bool ZKI_LoadBitmapMemJPG(zk_bitmap_t* bitmap, const void* data, long size);
bool ZKI_GetImageDimensionsPNG(zk_bitmap_t* bitmap, const void* data, long size);
bool ZKI_GetImageDimensionsJPG(zk_bitmap_t* bitmap, const void* data, long size);
