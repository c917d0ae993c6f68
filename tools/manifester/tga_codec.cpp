// TGA for the manifester's bitmaps: the engine's image formats in the
// state's pixel byte order, their messages printed, files written through
// C stdio.
#include <cstdlib>

#include "engine/imageformats/image_formats.h"
#include "tools/manifester/codecs.h"

namespace manifester {

namespace {

// The formats' texts do not name the file: a line before them does.
void PrintMessage(void* context, zk_image_message_id_t, int type, const char* text) {
    ZKI_NameFileOnce(static_cast<zk_file_messages_t*>(context));
    zk->PrintDebugf(type, "%s", text);
}

// Where the messages about the bitmap's file go.
struct Printed {
    explicit Printed(const zk_bitmap_t* bitmap) : file{bitmap->name, false}, sink{PrintMessage, &file} {}
    zk_file_messages_t file;
    zk_image_messages_t sink;
};

zk_pixel_byte_order_t PixelOrder() { return zk_state.pixel_byte_order == 1 ? ZK_PIXELS_BGRA : ZK_PIXELS_RGBA; }

size_t WriteToStream(void* stream, const void* data, size_t size) {
    return fwrite(data, 1, size, static_cast<FILE*>(stream));
}

}  // namespace

bool ZKI_GetImageDimensionsTGA(zk_bitmap_t* bitmap, const void* data, long size) {
    ZKI_ClearDecodedImage(bitmap);
    zk_tga_header_t header;
    Printed printed(bitmap);
    if (!ZKI_ReadTGAHeader(data, size > 0 ? size_t(size) : 0, &header, &printed.sink)) return false;
    bitmap->width = header.width;
    bitmap->height = header.height;
    bitmap->flags |= 3u;
    return true;
}

bool ZKI_LoadBitmapMemTGA(zk_bitmap_t* bitmap, const void* data, long size) {
    ZKI_ClearDecodedImage(bitmap);
    zk_image_t image;
    Printed printed(bitmap);
    bool ok = ZKI_DecodeTGA(data, size > 0 ? size_t(size) : 0, PixelOrder(), &image, &printed.sink);
    bitmap->width = image.width;
    bitmap->height = image.height;
    bitmap->pixels = image.pixels;
    if (ok) bitmap->flags |= 3u;
    return ok;
}

bool ZKI_MeasureTGA(zk_bitmap_t* bitmap, const void* data, long size) {
    ZKI_ClearDecodedImage(bitmap);
    zk_tga_header_t header;
    Printed printed(bitmap);
    if (!ZKI_ReadTGAHeader(data, size > 0 ? size_t(size) : 0, &header, &printed.sink) ||
        !ZKI_IsSupportedTGA(header, &printed.sink)) {
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
    Printed printed(bitmap);
    printed.file.name = path;
    bool ok = ZKI_EncodeTGA(image, PixelOrder(), {WriteToStream, file.stream}, &printed.sink);
    return ZKI_CommitSafeFile(&file, !ok);
}

}  // namespace manifester
