#include "engine/bitmaps/bitmap_manifest_rules.h"

#include <cstdlib>
#include <cstring>

#include "engine/base/file_names.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/data_manifests.h"

using InnerZK::DMNode;

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

// Any name of four characters or more ending in "bms", with or without a
// '.' before it.
static bool IsBitmapSequenceFile(const char* name) {
    return name && strlen(name) >= 4 && nStringEndsWith(name, "bms");
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
