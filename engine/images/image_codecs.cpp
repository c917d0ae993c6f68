#include "engine/images/image_codecs.h"

#include <cstdlib>

#include "engine/base/nstring.h"
#include "engine/imageformats/image_formats.h"
#include "engine/images/bitmap_pixels.h"
#include "engine/images/bitmap_pool.h"
#include "engine/runtime/state.h"
#include "engine/storage/safe_write.h"

namespace {

const int kTestImageSide = 32;

void PrintImageMessage(void*, zk_image_message_id_t, int type, const char* text) {
    zk->ZK_PrintDebugf(type, "%s", text);
}

const zk_image_messages_t kPrinted = {PrintImageMessage, nullptr};

zk_pixel_byte_order_t PixelOrder() { return zk_state.pixel_byte_order == 1 ? ZK_PIXELS_BGRA : ZK_PIXELS_RGBA; }

size_t DataSize(long size) { return size > 0 ? size_t(size) : 0; }

void DropPixels(zk_bitmap_t* bitmap) {
    free(bitmap->pixels);
    bitmap->pixels = nullptr;
}

size_t ReadEngineFile(void* file, void* buffer, size_t size) {
    return zk->file_system->ZK_FileSystem_ReadFile(buffer, size, static_cast<zk_file_t*>(file));
}

size_t WriteStream(void* stream, const void* data, size_t size) {
    return fwrite(data, 1, size, static_cast<FILE*>(stream));
}

}  // namespace

bool ZKI_LoadBitmapMemTGA(zk_bitmap_t* bitmap, const void* data, long size) {
    if (!bitmap) return false;
    DropPixels(bitmap);
    zk_image_t image;
    if (!ZKI_DecodeTGA(data, DataSize(size), PixelOrder(), &image, &kPrinted)) return false;
    bitmap->width = image.width;
    bitmap->height = image.height;
    bitmap->pixels = image.pixels;
    ZKI_AddBitmapFlags(bitmap, ZK_BITMAP_HAS_ALPHA | ZK_BITMAP_RELOADABLE);
    return true;
}

bool ZKI_GetImageDimensionsTGA(zk_bitmap_t* bitmap, const void* data, long size) {
    if (!bitmap) return false;
    zk_tga_header_t header;
    if (!ZKI_ReadTGAHeader(data, DataSize(size), &header, &kPrinted)) return false;
    bitmap->width = header.width;
    bitmap->height = header.height;
    ZKI_AddBitmapFlags(bitmap, ZK_BITMAP_HAS_ALPHA | ZK_BITMAP_RELOADABLE);
    return true;
}

bool ZKI_WriteTGA(zk_bitmap_t* bitmap, const char* path) {
    if (!bitmap || !bitmap->pixels || !zk->file_system->ZK_FileSystem_IsPathValid(path)) return false;
    ZKFileSystem::SafeFileOutput output;
    if (!output.file.Begin(path, &output.error)) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Unable to open file '%s' for writing.", path);
        return false;
    }
    zk_image_t image = {bitmap->width, bitmap->height, bitmap->pixels};
    bool written = ZKI_EncodeTGA(image, PixelOrder(), {ZKFileSystem::SafeFileOutput::Write, &output}, &kPrinted) &&
                   output.file.Commit(&output.error);
    if (!written && !output.error.IsEmpty()) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Unable to save image: %s.", output.error.c_str());
    }
    return written;
}

bool ZKI_ReadRLEBitmapFrom(zk_bitmap_t* bitmap, const zk_image_input_t& input) {
    if (!bitmap) return false;
    DropPixels(bitmap);
    zk_image_t image;
    if (!ZKI_DecodeRLEBitmap(input, PixelOrder(), &image, &kPrinted)) return false;
    bitmap->width = image.width;
    bitmap->height = image.height;
    bitmap->pixels = image.pixels;
    return true;
}

bool ZKI_WriteRLEBitmapTo(zk_bitmap_t* bitmap, const zk_image_output_t& output) {
    if (!bitmap) return false;
    zk_image_t image = {bitmap->width, bitmap->height, bitmap->pixels};
    return ZKI_EncodeRLEBitmap(image, PixelOrder(), output, &kPrinted);
}

bool ZKI_ReadRLEBitmap(zk_bitmap_t* bitmap, zk_file_t* file) {
    if (!bitmap || !file) return false;
    return ZKI_ReadRLEBitmapFrom(bitmap, {ReadEngineFile, file});
}

bool ZKI_WriteRLEBitmap(zk_bitmap_t* bitmap, FILE* file) {
    if (!bitmap || !file) return false;
    return ZKI_WriteRLEBitmapTo(bitmap, {WriteStream, file});
}

void ZKI_TEMPCREATEBITMAP(zk_bitmap_t* bitmap) {
    if (!bitmap) return;
    DropPixels(bitmap);
    bitmap->width = bitmap->height = kTestImageSide;
    ZKI_AddBitmapFlags(bitmap, ZK_BITMAP_HAS_ALPHA | ZK_BITMAP_RELOADABLE);
    bitmap->pixels = ZKI_AllocatePixelBlock(kTestImageSide, kTestImageSide);
    if (!bitmap->pixels) return;
    uint8_t* p = reinterpret_cast<uint8_t*>(bitmap->pixels);
    for (int y = 0; y < kTestImageSide; ++y) {
        for (int x = 0; x < kTestImageSide; ++x, p += 4) {
            p[0] = uint8_t(x + y);
            p[1] = uint8_t(4 * y);
            p[2] = uint8_t(4 * x);
            p[3] = 255;
        }
    }
}

static bool MakeTestImage(zk_bitmap_t* bitmap) {
    ZKI_TEMPCREATEBITMAP(bitmap);
    return bitmap && bitmap->pixels;
}

static bool TestImageSize(zk_bitmap_t* bitmap) {
    if (!bitmap) return false;
    bitmap->width = bitmap->height = kTestImageSide;
    return true;
}

bool ZKI_LoadBitmapMemPNG(zk_bitmap_t* bitmap, const void*, long) { return MakeTestImage(bitmap); }
bool ZKI_LoadBitmapMemJPG(zk_bitmap_t* bitmap, const void*, long) { return MakeTestImage(bitmap); }
bool ZKI_GetImageDimensionsPNG(zk_bitmap_t* bitmap, const void*, long) { return TestImageSize(bitmap); }
bool ZKI_GetImageDimensionsJPG(zk_bitmap_t* bitmap, const void*, long) { return TestImageSize(bitmap); }
