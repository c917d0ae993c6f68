#include "engine/images/image_loader.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "engine/base/file_names.h"
#include "engine/base/nstring.h"
#include "engine/images/bitmap_pixels.h"
#include "engine/images/bitmap_pool.h"
#include "engine/images/image_codecs.h"
#include "engine/runtime/state.h"
#include "engine/storage/filesystem_api.h"

namespace {

typedef bool (*MemoryReader)(zk_bitmap_t* bitmap, const void* data, long size);

struct ReadableFormat {
    const char* extension;
    MemoryReader pixels;
    MemoryReader dimensions;
};

const ReadableFormat readable_formats[] = {
    {"tga", ZKI_LoadBitmapMemTGA, ZKI_GetImageDimensionsTGA},
    {"png", ZKI_LoadBitmapMemPNG, ZKI_GetImageDimensionsPNG},
    {"jpg", ZKI_LoadBitmapMemJPG, ZKI_GetImageDimensionsJPG},
};

// Only TGA has an encoder here; "png" and "jpg" are refused like any other
// ending rather than left as an empty or missing file behind a success.
struct WritableFormat {
    const char* ending;
    bool (*write)(zk_bitmap_t* bitmap, const char* path);
};

const WritableFormat writable_formats[] = {
    {"tga", ZKI_WriteTGA},
};

const int max_side = 65535;

const ReadableFormat* ReadableFormatOf(const char* path) {
    const char* extension = nPathExtension(path);
    if (!extension) return nullptr;
    for (const ReadableFormat& format : readable_formats) {
        if (strcasecmp(extension, format.extension) == 0) return &format;
    }
    return nullptr;
}

// The whole file through the file system, in a heap block; null when it
// cannot be opened or read whole.
void* ReadWholeFile(const char* path, long* size) {
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(path, "rb");
    if (!file) return nullptr;
    size_t bytes = file->size > 0 ? size_t(file->size) : 0;
    void* data = malloc(bytes ? bytes : 1);
    if (data && bytes && zk->file_system->ZK_FileSystem_ReadFile(data, bytes, file) != bytes) {
        free(data);
        data = nullptr;
    }
    zk->file_system->ZK_FileSystem_CloseFile(file);
    *size = long(bytes);
    return data;
}

// Reads the file and hands it to its format's pixel or size reader. The
// bitmap is reloadable once its file could be read.
bool ReadImageFile(zk_bitmap_t* bitmap, const char* path, bool pixels) {
    long size = 0;
    void* data = ReadWholeFile(path, &size);
    if (!data) return false;
    ZKI_AddBitmapFlags(bitmap, ZK_BITMAP_RELOADABLE);
    free(bitmap->pixels);
    bitmap->pixels = nullptr;
    bool read = false;
    if (const ReadableFormat* format = ReadableFormatOf(path)) {
        read = (pixels ? format->pixels : format->dimensions)(bitmap, data, size);
    } else {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unsupported image format in file '%s'\n", path);
    }
    free(data);
    return read;
}

}  // namespace

void ImageLoaderImp::AllocateImagePixels(zk_bitmap_t* bitmap, int width, int height) {
    if (!bitmap) return;
    if (width < 1 || width > max_side || height < 1 || height > max_side) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ImageLoaderImp::AllocateImagePixels dimensions (%d%d) seem weird.", width,
                      height);
    }
    if (bitmap->pixels) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ImageLoaderImp::AllocateImagePixels bitmap already has pixels allocated!");
        FreeImagePixels(bitmap);
    }
    width = width < 0 ? 0 : width > max_side + 1 ? max_side + 1 : width;
    height = height < 0 ? 0 : height > max_side + 1 ? max_side + 1 : height;
    bitmap->width = bitmap->texture_width = width;
    bitmap->height = bitmap->texture_height = height;
    bitmap->pixels = ZKI_AllocatePixelBlock(width, height);
}

bool ImageLoaderImpPortable::GetImageDimensions(zk_bitmap_t* bitmap, const char* path) {
    if (!bitmap || !path) return true;
    bool read = ReadImageFile(bitmap, path, false);
    FreeImagePixels(bitmap);
    return read;
}

bool ImageLoaderImpPortable::LoadImagePixels(zk_bitmap_t* bitmap, const char* path) {
    if (!bitmap || !path) return true;
    if (!ReadImageFile(bitmap, path, true) || !bitmap->pixels) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Unable to load image '%s'\n", path);
        return false;
    }
    bitmap->texture_width = bitmap->width;
    bitmap->texture_height = bitmap->height;
    zk_file_info_t info;
    if (zk->ZKI_IsDeveloperModeEnabled() && zk->file_system->ZK_FileSystem_GetFileInfo(path, &info)) {
        bitmap->file_time = info.modification_time;
    }
    return true;
}

void ImageLoaderImpPortable::FreeImagePixels(zk_bitmap_t* bitmap) {
    if (!bitmap) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "ImageLoader trying to free null bitmap.\n");
        return;
    }
    free(bitmap->pixels);
    bitmap->pixels = nullptr;
}

bool ImageLoaderImpPortable::SaveImage(zk_bitmap_t* bitmap, const char* path, int /*quality*/) {
    if (!bitmap || !path) return false;
    zk->ZK_Printf("Saving image to file '%s'..\n", path);
    nString native = strstr(path, "://") ? ZK_ConvertStaticPathToNativeOSPath(path) : nString(path);
    // The format is chosen by the ending alone, no '.' needed ("atga" is a
    // TGA), in names of four characters or more.
    if (strlen(native.c_str()) >= 4) {
        for (const WritableFormat& format : writable_formats) {
            if (nStringEndsWith(native.c_str(), format.ending)) return format.write(bitmap, native.c_str());
        }
    }
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "SaveImage - file format for '%s' not supported. Use .png format.\n", path);
    return false;
}

ImageLoaderImp* GetImageLoaderImp() {
    static ImageLoaderImpPortable loader;
    return &loader;
}

bool ZKI_InitImageLoader() {
    zk_il = GetImageLoaderImp();
    zk_state.image_loader = zk_il;
    return true;
}
