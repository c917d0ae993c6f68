// Arbitrary bytes through zk-manifester's decoders: PNG and JPEG (full
// decodes, size readers and the manifest's measurements) and TGA. The
// first byte picks the decoder and the pixel byte order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tools/manifester/codecs.h"

namespace {

int Silent(const char*, ...) { return 0; }
int SilentWithLevel(int, const char*, ...) { return 0; }

// Full decodes of what would be very large images only slow the search
// down; their refusals are tested elsewhere.
const long long max_fuzzed_pixels = 1 << 22;

typedef bool (*Reader)(zk_bitmap_t*, const void*, long);

const Reader size_readers[] = {ZKI_GetImageDimensionsPNG, ZKI_MeasureJPG, ZKI_GetImageDimensionsJPG, ZKI_MeasureTGA,
                               ZKI_GetImageDimensionsTGA};
const Reader full_readers[] = {ZKI_LoadBitmapMemPNG, ZKI_LoadBitmapMemJPG, ZKI_LoadBitmapMemTGA};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static bool ready = false;
    if (!ready) {
        ready = true;
        ZKI_SetBasicInterface();
        zk->Printf = Silent;
        zk->PrintDebugf = SilentWithLevel;
        zk->Popupf = SilentWithLevel;
    }
    zk_state.pixel_byte_order = data[0] & 1;
    int choice = (data[0] >> 1) % 8;
    long file_size = long(size - 1);
    void* file = malloc(file_size ? size_t(file_size) : 1);
    memcpy(file, data + 1, size_t(file_size));
    zk_bitmap_t bitmap;
    memset(&bitmap, 0, sizeof bitmap);
    bitmap.name = const_cast<char*>("fuzz");
    if (choice < 5) {
        size_readers[choice](&bitmap, file, file_size);
    } else {
        // Measured first, with the reader the manifest would use.
        Reader measure = choice == 5 ? ZKI_GetImageDimensionsPNG : choice == 6 ? ZKI_MeasureJPG : ZKI_MeasureTGA;
        measure(&bitmap, file, file_size);
        if ((long long)bitmap.width * bitmap.height <= max_fuzzed_pixels) full_readers[choice - 5](&bitmap, file, file_size);
    }
    free(bitmap.pixels);
    free(file);
    return 0;
}
