#include "tools/manifester/image_loader.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "tools/manifester/codecs.h"

namespace manifester {

namespace {

typedef bool (*MemoryReader)(zk_bitmap_t* bitmap, const void* data, long size);

struct Codec {
    const char* ending;
    MemoryReader dimensions;
    MemoryReader pixels;
};

// The codecs by the file name's last four characters.
const Codec codecs[] = {
    {".tga", ZKI_GetImageDimensionsTGA, ZKI_LoadBitmapMemTGA},
    {".png", [](zk_bitmap_t* b, const void* data, long size) { return ZKI_GetImageDimensionsPNG(b, data, size); },
     ZKI_LoadBitmapMemPNG},
    {".jpg", ZKI_GetImageDimensionsJPG, ZKI_LoadBitmapMemJPG},
};

const Codec* CodecFor(const char* path) {
    for (const Codec& codec : codecs) {
        if (ZKI_PathEndsWith(path, codec.ending)) return &codec;
    }
    return nullptr;
}

// The whole file through the file table, in a heap block; null when it
// cannot be opened or read.
void* ReadWholeFile(const char* path, long* size) {
    zk_file_t* file = zk->OpenFile(path, "r");
    if (!file) return nullptr;
    void* data = malloc(file->size ? file->size : 1);
    if (data && file->size && zk->ReadFile(data, file->size, file) != 1) {
        free(data);
        data = nullptr;
    }
    *size = long(file->size);
    zk->CloseFile(file);
    return data;
}

// Reads the file and runs one of its codec's readers on it.
bool ReadWith(zk_bitmap_t* bitmap, const char* path, bool pixels) {
    long size = 0;
    void* data = ReadWholeFile(path, &size);
    if (!data) return false;
    bitmap->flags |= 2u;
    const Codec* codec = CodecFor(path);
    bool ok = false;
    if (!codec) {
        zk->Popupf(1, "Unsupported image format in file '%s'\n", path);
    } else {
        ok = (pixels ? codec->pixels : codec->dimensions)(bitmap, data, size);
    }
    free(data);
    return ok;
}

}  // namespace

bool ZKI_PathEndsWith(const char* path, const char* ending) {
    size_t length = strlen(path), ending_length = strlen(ending);
    return length >= ending_length && strcasecmp(path + length - ending_length, ending) == 0;
}

bool ImageLoaderImpPortable::GetImageDimensions(zk_bitmap_t* bitmap, const char* path) {
    if (!bitmap || !path) return true;
    bool ok = ReadWith(bitmap, path, false);
    free(bitmap->pixels);
    bitmap->pixels = nullptr;
    return ok;
}

bool ImageLoaderImpPortable::LoadImagePixels(zk_bitmap_t* bitmap, const char* path) {
    if (!bitmap || !path) return true;
    ReadWith(bitmap, path, true);
    if (bitmap->pixels) return true;
    zk->PrintDebugf(1, "Unable to load image '%s'\n", path);
    return false;
}

void ImageLoaderImpPortable::FreeImagePixels(zk_bitmap_t* bitmap) {
    if (!bitmap) {
        zk->PrintDebugf(1, "ImageLoader trying to free null bitmap.\n");
        return;
    }
    free(bitmap->pixels);
    bitmap->pixels = nullptr;
}

// Chosen by the path's last three characters without regard to case; a
// PNG is written only when its file opened, and put in place only whole.
bool ImageLoaderImpPortable::SaveImage(zk_bitmap_t* bitmap, const char* path, int quality) {
    if (!bitmap || !path) return false;
    if (strlen(path) >= 4 && ZKI_PathEndsWith(path, "png")) {
        zk_safe_file_t file;
        if (!ZKI_OpenSafeFile(&file, path)) return false;
        bool ok = ZKI_WritePNG(bitmap, file.stream);
        return ZKI_CommitSafeFile(&file, !ok);
    }
    if (strlen(path) >= 4 && ZKI_PathEndsWith(path, "jpg")) return ZKI_WriteJPG(bitmap, path, quality);
    if (strlen(path) >= 4 && ZKI_PathEndsWith(path, "tga")) return ZKI_WriteTGA(bitmap, path);
    zk->Popupf(1, "SaveImage - file format for '%s' not supported. Use .png format.\n", path);
    return false;
}

ImageLoaderImp* GetImageLoaderImp() {
    static ImageLoaderImpPortable loader;
    return &loader;
}

}  // namespace manifester
