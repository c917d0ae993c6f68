// Finding and reading the file behind a bitmap record: probing extensions,
// the download cache, bitmap sequences and numbered series, the image
// loader, and the data manifest's drawing size afterwards.

#include "engine/bitmaps/bitmap_loading.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/base/file_names.h"
#include "engine/bitmaps/bitmap_api.h"
#include "engine/bitmaps/bitmap_manifest_rules.h"
#include "engine/images/bitmap_pool.h"
#include "engine/bitmaps/bitmap_sequences.h"
#include "engine/images/image_loader.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"
#include "engine/storage/filesystem_api.h"
#include "engine/storage/http_system.h"

namespace {

// The image extensions as numbered for callers, and the order in which a
// name without extension is probed: two different orders.
const char* const image_extensions[] = {"jpg", "png", "tga", "bms"};
const char* const probe_order[] = {"png", "jpg", "tga", "bms"};
// Numbered source images of a sequence: separators and extensions tried.
const char* const numbered_separators[] = {"-", "_", ""};
const char* const numbered_extensions[] = {"png", "jpg", "tga"};
const int kNumberedImagesToTry = 20;
const int kNumberedImagesToTryInDeveloperMode = 120;
// The largest atlas a built sequence is packed into.
const int kSequenceAtlasSide = 2048;

const char* const kHttpScheme = "http://";

bool IsPlaceholder(const char* name) { return !name || name[0] == '!'; }

bool IsHttp(const char* path) { return strncmp(path, kHttpScheme, strlen(kHttpScheme)) == 0; }

bool FileExists(const char* path) { return zk->file_system->ZK_FileSystem_FileExists(path); }

void ReportNameTooLong(const char* name) {
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Bitmap name '%s' is too long to look for its files.", name);
}

void SetFilePath(zk_bitmap_t* bitmap, const char* path) {
    free(bitmap->file_path);
    bitmap->file_path = strdup(path);
}

void MarkFramesReady(zk_bitmap_t* bitmap) {
    bitmap->state = ZK_BITMAP_READY;
    if (!bitmap->frames) return;
    for (int i = 0; i < bitmap->frame_count; ++i) bitmap->frames[i].state = ZK_BITMAP_READY;
}

// The sequence just built replaces itself with what was read back from
// the file it was saved to; when that read fails, it stays as built.
void ReadBackSavedSequence(zk_bitmap_t* bitmap, const char* path) {
    zk_bitmap_t saved = {};
    saved.name = bitmap->name;  // borrowed: the reader names nothing after it
    if (!ZKI_LoadBitmapSequence(&saved, path)) return;
    ZKI_ReleaseBitmapStructures(bitmap);
    bitmap->frames = saved.frames;
    bitmap->frame_count = saved.frame_count;
    bitmap->atlas = saved.atlas;
    zk->graphics->ZK_Graphics_SetBitmapFrame(bitmap, 0);
}

// The numbered images beside a sequence file, by the first that exists.
// False when none does, or when the names are too long.
bool BuildFromNumberedImages(zk_bitmap_t* bitmap, const char* path, bool* found) {
    *found = false;
    nString base(path);
    base = base.Substring(0, base.Length() - 4);
    int last = zk->ZKI_IsDeveloperModeEnabled() ? kNumberedImagesToTryInDeveloperMode : kNumberedImagesToTry;
    for (int n = 0; n <= last; ++n) {
        char number[16];
        snprintf(number, sizeof number, "%.4d", n);
        for (const char* separator : numbered_separators) {
            for (const char* extension : numbered_extensions) {
                nString candidate, pattern;
                if (!ZKI_BuildProbeName(&candidate, {base.c_str(), separator, number, ".", extension}) ||
                    !ZKI_BuildProbeName(&pattern, {base.c_str(), separator, "*.", extension})) {
                    ReportNameTooLong(path);
                    return false;
                }
                if (!FileExists(candidate.c_str())) continue;
                ZKI_LoadBitmapSequenceFromFiles(bitmap, pattern.c_str());
                bitmap->state = ZK_BITMAP_READY;
                *found = true;
                return true;
            }
        }
    }
    return true;
}

}  // namespace

bool ZKI_BuildProbeName(nString* out, std::initializer_list<const char*> parts) {
    size_t length = 0;
    for (const char* part : parts) length += part ? strlen(part) : 0;
    if (length >= size_t(zk_max_probe_name)) return false;
    nString joined("");
    for (const char* part : parts) joined.Append(part ? part : "");
    *out = joined;
    return true;
}

int ZKI_GetNumberOfImageExtensions() { return int(sizeof image_extensions / sizeof image_extensions[0]); }

const char* ZKI_GetImageExtensionByIndex(int index) {
    return index >= 0 && index < ZKI_GetNumberOfImageExtensions() ? image_extensions[index] : nullptr;
}

bool ZKI_HasImageFileExtension(const char* path) {
    const char* extension = nPathExtension(path);
    if (!extension) return false;
    for (const char* image_extension : image_extensions) {
        if (strcasecmp(extension, image_extension) == 0) return true;
    }
    return false;
}

nString ZKI_GetImageCacheNameWithExtension(const char* path) {
    for (const char* extension : image_extensions) {
        nString candidate(path ? path : "");
        candidate.Append(".");
        candidate.Append(extension);
        zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(candidate.c_str(), "rb");
        if (!file) continue;
        bool filled = file->size > 0;
        zk->file_system->ZK_FileSystem_CloseFile(file);
        if (filled) return candidate;
    }
    return nString();
}

bool ZKI_LoadBitmap(zk_bitmap_t* bitmap) {
    if (!bitmap || !bitmap->name) return false;
    const char* name = bitmap->name;
    // A name such as ".png" is probed like one without extension.
    if (nPathHasExtension(name, nLEADING_DOT_IS_NAME) || IsHttp(name)) return ZKI_LoadBitmap(bitmap, name);
    for (const char* extension : probe_order) {
        nString candidate;
        if (!ZKI_BuildProbeName(&candidate, {name, ".", extension})) {
            ReportNameTooLong(name);
            return false;
        }
        if (!FileExists(candidate.c_str())) continue;
        SetFilePath(bitmap, candidate.c_str());
        return ZKI_LoadBitmap(bitmap, candidate.c_str());
    }
    zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                  "Unable to load bitmap '%s' without extension. Tried all image formats but found no source files.",
                  name);
    return false;
}

bool ZKI_LoadBitmap(zk_bitmap_t* bitmap, const char* path) {
    if (!bitmap) return false;
    if (IsPlaceholder(bitmap->name) || bitmap->state != ZK_BITMAP_NOT_LOADED) return true;
    bitmap->state = ZK_BITMAP_LOADING;
    if (bitmap->pixels) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Bitmap '%s' has existing pixel data. Freeing it.", bitmap->name);
        ZKI_ReleaseBitmapSoftwareData(bitmap);
    }
    bitmap->frame_rate = 30.0f;
    bool loaded = false;
    if (!path) {
        loaded = false;
    } else if (IsHttp(path)) {
        loaded = ZKI_LoadBitmapHTTP(bitmap, path);
        if (loaded) ZKI_UpdateBitmapAccordingToDataManifest(bitmap, bitmap->name);
    } else if (strlen(path) >= 5 && nStringEndsWith(path, ".bms")) {
        loaded = ZKI_LoadBitmapBMS(bitmap, path);
        if (loaded) ZKI_UpdateBitmapSequenceAccordingToDataManifest(bitmap);
    } else if (strchr(path, '*')) {
        ZKI_LoadBitmapSequenceFromFiles(bitmap, path);
        ZKI_UpdateBitmapSequenceAccordingToDataManifest(bitmap);
        loaded = true;
    } else {
        loaded = zk_il && zk_il->LoadImagePixels(bitmap, path);
        if (loaded) ZKI_UpdateBitmapAccordingToDataManifest(bitmap, bitmap->name);
    }
    MarkFramesReady(bitmap);
    if (!loaded) zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unable to load bitmap '%s'.\n", bitmap->name);
    return loaded;
}

bool ZKI_LoadBitmapHTTP(zk_bitmap_t* bitmap, const char* url) {
    if (!bitmap || !url) return false;
    if (strchr(url, '*')) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "Asterisk character ('*') isn't allowed in http:// url file names such as '%s'\n", url);
        bitmap->state = ZK_BITMAP_READY;
        return false;
    }
    nString cached = ZKFileSystem::GetHTTPCacheFilePath(url, false);
    if (!ZKI_HasImageFileExtension(cached.c_str())) {
        nString with_extension = ZKI_GetImageCacheNameWithExtension(cached.c_str());
        if (!with_extension.IsEmpty()) cached = with_extension;
    }
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(cached.c_str(), "rb");
    bool downloaded = file && file->size > 0;
    if (file) zk->file_system->ZK_FileSystem_CloseFile(file);
    if (!downloaded) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Download not complete (%d%% of %.1fKB done, ret %d). Not saving.\n", 0,
                           0.0, 0);
        bitmap->state = ZK_BITMAP_READY;
        return false;
    }
    bool loaded = zk_il && zk_il->LoadImagePixels(bitmap, cached.c_str());
    if (loaded) SetFilePath(bitmap, cached.c_str());
    bitmap->state = ZK_BITMAP_READY;
    return loaded;
}

bool ZKI_LoadBitmapBMS(zk_bitmap_t* bitmap, const char* path) {
    if (!bitmap || !path || strlen(path) < 4) return false;
    if (ZKI_LoadBitmapSequence(bitmap, path)) {
        zk->graphics->ZK_Graphics_SetBitmapFrame(bitmap, 0);
        bitmap->state = ZK_BITMAP_READY;
        return true;
    }
    bool found = false;
    if (!BuildFromNumberedImages(bitmap, path, &found) || !found) return false;
    ZKI_OptimizeBitmapSequence(bitmap);
    nString native = ZK_GetNativePathForBMS(bitmap);
    if (ZKI_SaveBitmapSequence(bitmap, native.c_str(), kSequenceAtlasSide, kSequenceAtlasSide)) {
        ReadBackSavedSequence(bitmap, native.c_str());
    }
    return true;
}

nString ZK_GetNativePathForBMS(zk_bitmap_t* bitmap) {
    const char* name = bitmap && bitmap->name ? bitmap->name : "";
    nString path("res://data/");
    path.Append(name);
    for (int i = zk->file_system->ZK_FileSystem_GetNumberOfSearchPaths() - 1; i >= 0; --i) {
        const char* search_path = zk->file_system->ZK_FileSystem_GetSearchPathByIndex(i);
        if (!search_path || !strstr(search_path, "data") || strstr(search_path, "-src") || strstr(search_path, "://"))
            continue;
        path = "res://";
        path.Append(search_path);
        path.Append("/");
        path.Append(name);
        break;
    }
    return ZK_ConvertStaticPathToNativeOSPath(path.c_str());
}
