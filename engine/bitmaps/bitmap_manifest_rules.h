// What a data manifest entry does to a bitmap: the size it is drawn at,
// whatever size the stored image has, and its pack mode. The entries
// themselves are looked up in storage (engine/storage/data_manifests.h).
#pragma once

#include "engine/runtime/media_records.h"

// Keeps the loaded size in the bitmap's loaded-size pair, then applies the
// entry's size ("w", "h"; 32 for a missing side) and pack mode.
void ZKI_UpdateBitmapAccordingToDataManifest(zk_bitmap_t* bitmap, const char* id);
void ZKI_UpdateBitmapAccordingToDataManifest(zk_bitmap_t* bitmap);
// A ".bms" sequence scales every frame to the entry's height; any other
// sequence updates each frame by its own name.
void ZKI_UpdateBitmapSequenceAccordingToDataManifest(zk_bitmap_t* bitmap);
