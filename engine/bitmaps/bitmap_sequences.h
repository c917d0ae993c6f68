// Bitmap sequences: one bitmap with several frames. A sequence is built
// from numbered images (walk_0000.png, walk_0001.png, ...), identical
// frames are found and shared, the frames are packed into one atlas, and
// the result is stored in a sequence file, read back instead of the images
// from then on.
//
// The sequence file, all numbers 32-bit little-endian:
//   "ZK_Bm_Seq_v1" and a NUL (13 bytes), frame count, "RGBA", then an
//   8-byte chunk name padded with NULs:
//   "ATLAS": 0; per frame width, height, frame number (i32), frame rate,
//            left, top, right, bottom in the atlas (f32); the encoding
//            ("RLE" or "PNG" with a NUL, case ignored); for "RLE" the atlas
//            as a run-length bitmap, for "PNG" a length and that many bytes
//            (read as the 32x32 test image: this engine has no PNG codec).
//   "FRAME": per frame (each after its own "FRAME" name but the first):
//            0; width, height, frame number, frame rate; "RLE" and a NUL;
//            the frame as a run-length bitmap.
#pragma once

#include <cstddef>
#include <cstdio>

#include "engine/runtime/media_records.h"

// Reads a sequence file through the file system into the bitmap's frames
// (and atlas, named "atlas:" + path). False without a message when the file
// does not open; a refused file is reported and leaves no frames.
bool ZKI_LoadBitmapSequence(zk_bitmap_t* bitmap, const char* path);
// The same from a sequence file held in memory (size bytes, never read
// past); the atlas is named "atlas:".
bool ZKI_LoadBitmapMemBMS(zk_bitmap_t* bitmap, const void* data, long size);

// Numbered images: the pattern's first '*' stands for a 4-digit number
// (0000-0999). Numbers are counted from the first file found until more
// files are missing in a row than allowed (5, or 100 once a file followed
// a gap); each found image becomes a frame named after its file. A warning
// when none is found. True unless the names are too long to look for.
bool ZKI_LoadBitmapSequenceFromFiles(zk_bitmap_t* bitmap, const char* pattern);
// Finds frames whose pixels match an earlier frame's (within 3/255 per
// byte): such a frame becomes a duplicate, sharing the earlier frame's
// pixels (its own are freed) and later its texture.
void ZKI_OptimizeBitmapSequence(zk_bitmap_t* bitmap);

// Writes the sequence file at a native path, through a temporary file
// renamed into place. With the state's pack_bitmaps set, the frames that
// are not duplicates are first packed into a new atlas of at most
// max_width x max_height (the bitmap keeps it) and the file holds the atlas;
// otherwise it holds every frame. False, with a warning, for a bitmap
// without frames or whose frames hold no pixels (one read from an atlas),
// frames that do not fit or a failed write.
bool ZKI_SaveBitmapSequence(zk_bitmap_t* bitmap, const char* native_path, int max_width, int max_height);
// Writes the sequence as it is (its atlas when it has one with pixels,
// else every frame) to a C stream; false for a bitmap without frames or a
// failed write.
bool ZKI_WriteBMS(zk_bitmap_t* bitmap, FILE* file);
