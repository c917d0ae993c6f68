// Data manifests: XML databases that give each image resource the size it
// has on screen (and its pack mode), whatever size the stored image has.
// Several manifests may be added; the one added last wins. This is the
// store and its look-up; what an entry does to a bitmap lives with the
// bitmaps (engine/bitmaps/bitmap_manifest_rules.h), and fonts look their
// height up here too.
#pragma once

#include "engine/base/narray.h"
#include "engine/datamodel/datamodel.h"

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
