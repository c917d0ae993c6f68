#include "engine/storage/data_manifests.h"

#include <cstdlib>
#include <cstring>

#include "engine/runtime/media_records.h"
#include "engine/base/nstring.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/database_manager.h"
#include "engine/storage/filesystem_api.h"

using InnerZK::DMArray;
using InnerZK::DMDatabase;
using InnerZK::DMNode;

nArray<DMDatabase*> zk_data_manifest_databases;
nArray<DMArray*> zk_data_manifest_arrays;

// The side a manifest gives when its entry has none.
static const int default_side = 32;

struct PackModeName {
    const char* value;
    uint32_t pack_mode;
};

// "PAD_EXPAND " is matched with its trailing blank, as manifests write it.
static const PackModeName pack_modes[] = {
    {"NO_PADDING", 3},
    {"PAD_TRANSPARENT", 2},
    {"PAD_EXPAND ", 0},
};

// Endings tried, in this order, for an id without extension.
static const char* const fallback_extensions[] = {"png", "jpg", "tga", "bms"};

static bool IsManifest(const char* path) {
    for (int i = 0; i < zk_data_manifest_databases.count; ++i) {
        const char* name = zk_data_manifest_databases.items[i]->name;
        if (name && strcmp(name, path) == 0) return true;
    }
    return false;
}

void ZKI_AddManifest(const char* path) {
    if (!path || IsManifest(path)) return;
    if (!zk->file_system->ZK_FileSystem_FileExists(path)) return;
    DMDatabase* database = zk_dman.GetDatabase(path);
    DMArray* first = database->GetArrayByIndex(0);
    if (first) {
        zk_data_manifest_databases.InsertFirst(database);
        zk_data_manifest_arrays.InsertFirst(first);
    }
    zk->ZK_PrintDebugf(ZK_MESSAGE_INFO, "Added manifest '%s'.", path);
}

static DMNode* FindInManifests(const char* id) {
    for (int i = 0; i < zk_data_manifest_arrays.count; ++i) {
        DMNode* node = zk_data_manifest_arrays.items[i]->GetNodeById(id);
        if (node) return node;
    }
    return nullptr;
}

// Scanning from the end, a '.' before any '/'.
static bool HasExtension(const char* id) {
    for (const char* p = id + strlen(id); p > id; --p) {
        if (p[-1] == '/') return false;
        if (p[-1] == '.') return true;
    }
    return false;
}

DMNode* ZKI_GetDataManifestNode(const char* id) {
    if (!id) return nullptr;
    DMNode* node = FindInManifests(id);
    if (node || HasExtension(id)) return node;
    for (const char* extension : fallback_extensions) {
        node = FindInManifests(nString::Format("%s.%s", id, extension).c_str());
        if (node) return node;
    }
    return nullptr;
}

static int SideOf(const DMNode* node, const char* key) {
    const char* value = node->GetValue(key);
    return value ? atoi(value) : default_side;
}

static void ApplyPackMode(zk_bitmap_t* bitmap, const DMNode* node) {
    const char* value = node->GetValue("pack_mode");
    if (!value) return;
    zk->ZK_Printf("Using pack mode '%s'\n", value);
    for (const PackModeName& mode : pack_modes) {
        if (strcmp(value, mode.value) == 0) bitmap->pack_mode = mode.pack_mode;
    }
}

static void KeepLoadedSize(zk_bitmap_t* bitmap) {
    bitmap->texture_width = bitmap->width;
    bitmap->texture_height = bitmap->height;
}

void ZKI_UpdateBitmapAccordingToDataManifest(zk_bitmap_t* bitmap, const char* id) {
    if (!bitmap) return;
    KeepLoadedSize(bitmap);
    DMNode* node = ZKI_GetDataManifestNode(id);
    if (!node) return;
    bitmap->width = SideOf(node, "w");
    bitmap->height = SideOf(node, "h");
    ApplyPackMode(bitmap, node);
}

void ZKI_UpdateBitmapAccordingToDataManifest(zk_bitmap_t* bitmap) {
    if (bitmap) ZKI_UpdateBitmapAccordingToDataManifest(bitmap, bitmap->name);
}

static bool IsBitmapSequenceFile(const char* name) {
    size_t length = name ? strlen(name) : 0;
    return length >= 4 && strcmp(name + length - 3, "bms") == 0;
}

// Every frame keeps its loaded size and is scaled so that the first frame
// gets the entry's height. A first frame without height gives no scale:
// the frames keep their sizes.
static void ScaleFrames(zk_bitmap_t* bitmap, int height) {
    if (!bitmap->frames || bitmap->frame_count <= 0) return;
    int first_height = bitmap->frames[0].height;
    double scale = first_height != 0 ? double(height) / double(first_height) : 1.0;
    for (int i = 0; i < bitmap->frame_count; ++i) {
        zk_bitmap_t* frame = &bitmap->frames[i];
        KeepLoadedSize(frame);
        if (first_height == 0) continue;
        frame->width = int(frame->width * scale);
        frame->height = int(frame->height * scale);
    }
}

void ZKI_UpdateBitmapSequenceAccordingToDataManifest(zk_bitmap_t* bitmap) {
    if (!bitmap) return;
    if (IsBitmapSequenceFile(bitmap->name)) {
        DMNode* node = ZKI_GetDataManifestNode(bitmap->name);
        if (!node) return;
        ScaleFrames(bitmap, SideOf(node, "h"));
        zk->graphics->ZK_Graphics_SetBitmapFrame(bitmap, 0);
        return;
    }
    if (!bitmap->frames) return;
    for (int i = 0; i < bitmap->frame_count; ++i) {
        ZKI_UpdateBitmapAccordingToDataManifest(&bitmap->frames[i], bitmap->frames[i].name);
    }
}
