// The image codecs of zk-manifester: JPEG through libjpeg, PNG through
// libpng, TGA through the engine's image formats, and the header probes of
// the engine's font and bitmap-sequence files. Decoders clear the bitmap's
// size and pixels first and set the size as soon as they know it; pixel
// blocks come from malloc in the state's pixel byte order.
#pragma once

#include <cstdio>

#include "tools/manifester/file_reader.h"
#include "tools/manifester/runtime.h"

namespace manifester {

// The largest pixel block a decoder allocates: 2^28 pixels (1 GiB).
const long long zk_max_decoded_pixels = 1LL << 28;

bool ZKI_GetImageDimensionsJPG(zk_bitmap_t* bitmap, const void* data, long size);
bool ZKI_LoadBitmapMemJPG(zk_bitmap_t* bitmap, const void* data, long size);
// The size the full decoder would give, without decoding the pixels: the
// decoder's every step up to the allocation of the pixel block, but for the
// reading of the scans that the start of a file of several scans (every
// progressive one) does. Such a file is measured from its headers up to
// its first scan's, so a scan broken or cut short further on, which the
// decoder refuses or warns of, changes nothing of its size.
//
// The measurements may be given only a file's first bytes, with needs_more:
// when those do not suffice, they stop silently with *needs_more set, and
// the caller measures again with the whole file. Without needs_more the
// data is the whole file.
bool ZKI_MeasureJPG(zk_bitmap_t* bitmap, const void* data, long size, bool* needs_more = nullptr);
// The same, reading the file through the reader's window as far as the
// measure needs it. A failed read ends the measure without a message
// (false, the reader marked failed): the caller reports it.
bool ZKI_MeasureJPGFile(zk_bitmap_t* bitmap, zk_file_reader_t* reader);
bool WriteJpegRGB(const char* path, const unsigned char* rgb, int width, int height, int quality);
bool ZKI_WriteJPG(zk_bitmap_t* bitmap, const char* path, int quality);

// True when the first 4 bytes are those of the PNG signature.
bool PngCheckSignature(const void* data, long size);
// The size from the header, which is also the size the full decoder learns
// (measured from a file's first bytes as ZKI_MeasureJPG is).
bool ZKI_GetImageDimensionsPNG(zk_bitmap_t* bitmap, const void* data, long size, bool* needs_more = nullptr);
// The same for the manifest, which says why it refuses a file that is not a
// PNG at all (the size reader says nothing then).
bool ZKI_MeasurePNG(zk_bitmap_t* bitmap, const void* data, long size, bool* needs_more = nullptr);
// The same from a file, read as ZKI_MeasureJPGFile reads it.
bool ZKI_MeasurePNGFile(zk_bitmap_t* bitmap, zk_file_reader_t* reader);
bool ZKI_LoadBitmapMemPNG(zk_bitmap_t* bitmap, const void* data, long size);
bool ZKI_WritePNG(zk_bitmap_t* bitmap, FILE* stream);

bool ZKI_GetImageDimensionsTGA(zk_bitmap_t* bitmap, const void* data, long size);
bool ZKI_LoadBitmapMemTGA(zk_bitmap_t* bitmap, const void* data, long size);
// The size the full decoder would give: the header's, when it is accepted.
// The first zk_tga_measure_bytes bytes of a longer file are enough.
const long zk_tga_measure_bytes = 18 + 255;
bool ZKI_MeasureTGA(zk_bitmap_t* bitmap, const void* data, long size);
bool ZKI_WriteTGA(zk_bitmap_t* bitmap, const char* path);

// The height in a font file of versions 1 to 5; 0 (with "(not found)" or
// "(bad header)" on standard output) otherwise.
int GetFontFileHeight(const char* path);
// The frame count and the first frame's size of a bitmap sequence file
// with an atlas; width and height stay 0 without one.
bool GetBitmapSequenceSize(zk_bitmap_t* bitmap, const char* path);
// The same from the file's first bytes (zk_bitmap_sequence_measure_bytes of
// a longer file are enough); the path names the file in the message.
const long zk_bitmap_sequence_measure_bytes = 13 + 4 + 4 + 8 + 4 + 8;
bool ZKI_MeasureBitmapSequence(zk_bitmap_t* bitmap, const void* data, long size, const char* path);

// Clears what every decoder clears first.
inline void ZKI_ClearDecodedImage(zk_bitmap_t* bitmap) {
    bitmap->width = 0;
    bitmap->height = 0;
    bitmap->pixels = nullptr;
}

}  // namespace manifester
