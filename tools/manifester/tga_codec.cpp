// TGA for the manifester's bitmaps: the engine's image formats in the
// state's pixel byte order, their messages printed, files written through
// C stdio.
#include <cstdlib>

#include "engine/imageformats/image_formats.h"
#include "tools/manifester/codecs.h"

namespace {

void PrintMessage(void*, zk_image_message_id_t, int type, const char* text) { zk->PrintDebugf(type, "%s", text); }

const zk_image_messages_t printed = {PrintMessage, nullptr};

zk_pixel_byte_order_t PixelOrder() { return zk_state.pixel_byte_order == 1 ? ZK_PIXELS_BGRA : ZK_PIXELS_RGBA; }

size_t WriteToStream(void* stream, const void* data, size_t size) {
    return fwrite(data, 1, size, static_cast<FILE*>(stream));
}

}  // namespace

bool ZKI_GetImageDimensionsTGA(zk_bitmap_t* bitmap, const void* data, long size) {
    ZKI_ClearDecodedImage(bitmap);
    zk_tga_header_t header;
    if (!ZKI_ReadTGAHeader(data, size > 0 ? size_t(size) : 0, &header, &printed)) return false;
    bitmap->width = header.width;
    bitmap->height = header.height;
    bitmap->flags |= 3u;
    return true;
}

bool ZKI_LoadBitmapMemTGA(zk_bitmap_t* bitmap, const void* data, long size) {
    ZKI_ClearDecodedImage(bitmap);
    zk_image_t image;
    bool ok = ZKI_DecodeTGA(data, size > 0 ? size_t(size) : 0, PixelOrder(), &image, &printed);
    bitmap->width = image.width;
    bitmap->height = image.height;
    bitmap->pixels = image.pixels;
    if (ok) bitmap->flags |= 3u;
    return ok;
}

bool ZKI_MeasureTGA(zk_bitmap_t* bitmap, const void* data, long size) {
    ZKI_ClearDecodedImage(bitmap);
    zk_tga_header_t header;
    if (!ZKI_ReadTGAHeader(data, size > 0 ? size_t(size) : 0, &header, &printed) ||
        !ZKI_IsSupportedTGA(header, &printed)) {
        return false;
    }
    bitmap->width = header.width;
    bitmap->height = header.height;
    return true;
}

bool ZKI_WriteTGA(zk_bitmap_t* bitmap, const char* path) {
    if (!bitmap || !bitmap->pixels) return false;
    zk_safe_file_t file;
    if (!ZKI_OpenSafeFile(&file, path)) return false;
    zk_image_t image = {bitmap->width, bitmap->height, bitmap->pixels};
    bool ok = ZKI_EncodeTGA(image, PixelOrder(), {WriteToStream, file.stream}, &printed);
    return ZKI_CommitSafeFile(&file, !ok);
}
