// Data manifests: XML databases that give each image resource the size it
// has on screen (and its pack mode), whatever size the stored image has.
// Several manifests may be added; the one added last wins.
#pragma once

#include "engine/base/narray.h"
#include "engine/datamodel/datamodel.h"

struct zk_bitmap_t;

// The added manifests, newest first, and the first array of each in the
// same order. The databases belong to the database manager.
extern nArray<InnerZK::DMDatabase*> zk_data_manifest_databases;
extern nArray<InnerZK::DMArray*> zk_data_manifest_arrays;

// Adds the manifest file at the path once; a missing file is ignored.
void ZKI_AddManifest(const char* path);
// The entry of a resource: the id itself, or for an id without extension
// the id with ".png", ".jpg", ".tga" or ".bms" (in that order); null when
// there is none.
InnerZK::DMNode* ZKI_GetDataManifestNode(const char* id);
// Keeps the loaded size in the bitmap's loaded-size pair, then applies the
// entry's size ("w", "h"; 32 for a missing side) and pack mode.
void ZKI_UpdateBitmapAccordingToDataManifest(zk_bitmap_t* bitmap, const char* id);
void ZKI_UpdateBitmapAccordingToDataManifest(zk_bitmap_t* bitmap);
// A ".bms" sequence scales every frame to the entry's height; any other
// sequence updates each frame by its own name.
void ZKI_UpdateBitmapSequenceAccordingToDataManifest(zk_bitmap_t* bitmap);
