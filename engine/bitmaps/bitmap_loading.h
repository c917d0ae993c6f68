// How a bitmap record gets its pixels: a name without extension is probed
// for its file, an "http://" name is read from the download cache, a
// ".bms" name is read as a bitmap sequence (built from its numbered source
// images when the file is missing), a name with '*' is a numbered series
// of images, anything else goes to the image loader. The data manifests
// (engine/storage) then give the bitmap its drawing size; the pixel block
// keeps its own size in texture_width x texture_height.
#pragma once

#include <initializer_list>

#include "engine/base/nstring.h"
#include "engine/runtime/media_records.h"

// File names built from a bitmap's name to look for its files are shorter
// than this; a longer one is refused rather than cut.
const int zk_max_probe_name = 512;
// Joins the parts into out; false (out unchanged) when the result would
// not be shorter than zk_max_probe_name. No part is used as a format.
bool ZKI_BuildProbeName(nString* out, std::initializer_list<const char*> parts);

// Image file extensions, in the order of this table: "jpg", "png", "tga",
// "bms". The index helper answers null outside 0..3.
int ZKI_GetNumberOfImageExtensions();
const char* ZKI_GetImageExtensionByIndex(int index);

// Loads the bitmap by its name: as named when it has an extension (a '.'
// after its last '/') or is an "http://" address, else the first of
// name.png, name.jpg, name.tga and name.bms that exists (kept in
// file_path). False, with a warning, when none exists or the name is too
// long to probe.
bool ZKI_LoadBitmap(zk_bitmap_t* bitmap);
// Loads a record in state 1 from path (any other record, and placeholder
// names, are left alone: true). The record ends ready (state 3) whether or
// not the load succeeded; a failure is reported and answers false.
bool ZKI_LoadBitmap(zk_bitmap_t* bitmap, const char* path);
// An "http://" bitmap from its file in the download cache.
bool ZKI_LoadBitmapHTTP(zk_bitmap_t* bitmap, const char* url);
// True when the text after the last '.' of the path's last component is an
// image extension (case ignored).
bool ZKI_HasImageFileExtension(const char* path);
// The first of path + "." + each image extension that opens and is not
// empty; an empty string when none does.
nString ZKI_GetImageCacheNameWithExtension(const char* path);
// A ".bms" sequence from its file; when that cannot be read, built from
// numbered images beside it (base-0000.png, base_0000.jpg, base0000.tga,
// ...), saved as a sequence file and read back from it.
bool ZKI_LoadBitmapBMS(zk_bitmap_t* bitmap, const char* path);
// Where a built sequence of this bitmap is saved: below the last search
// path that is a plain data folder, else below "res://data/", as a native
// path (empty when there is none).
nString ZK_GetNativePathForBMS(zk_bitmap_t* bitmap);
