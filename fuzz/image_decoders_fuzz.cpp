// Arbitrary bytes through zk-manifester's decoders: PNG and JPEG (full
// decodes, size readers and the manifest's measurements) and TGA. The
// first byte picks the decoder and the pixel byte order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/manifester_fuzz_setup.h"
#include "tools/manifester/codecs.h"

using namespace manifester;

namespace {

// Full decodes of what would be very large images only slow the search
// down; their refusals are tested elsewhere.
const long long max_fuzzed_pixels = 1 << 22;

typedef bool (*Reader)(zk_bitmap_t*, const void*, long);

bool MeasurePNG(zk_bitmap_t* b, const void* data, long size) { return ZKI_MeasurePNG(b, data, size); }
bool MeasureJPG(zk_bitmap_t* b, const void* data, long size) { return ZKI_MeasureJPG(b, data, size); }

const Reader size_readers[] = {MeasurePNG, MeasureJPG, ZKI_GetImageDimensionsJPG, ZKI_MeasureTGA,
                               ZKI_GetImageDimensionsTGA};
const Reader full_readers[] = {ZKI_LoadBitmapMemPNG, ZKI_LoadBitmapMemJPG, ZKI_LoadBitmapMemTGA};
const Reader measures[] = {MeasurePNG, MeasureJPG, ZKI_MeasureTGA};

// A measurement from the first bytes (asking for the rest when they do
// not suffice) must give what the whole file gives.
void CheckFirstBytes(bool png, const void* file, long size, long first) {
    zk_bitmap_t whole = {}, partly = {};
    bool whole_ok = png ? ZKI_MeasurePNG(&whole, file, size) : ZKI_MeasureJPG(&whole, file, size);
    bool needs_more = false;
    bool partly_ok = png ? ZKI_MeasurePNG(&partly, file, first, &needs_more)
                         : ZKI_MeasureJPG(&partly, file, first, &needs_more);
    if (needs_more) return;
    if (partly_ok != whole_ok || partly.width != whole.width || partly.height != whole.height) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    ZKFuzzSetUpManifester();
    zk_state.pixel_byte_order = data[0] & 1;
    int choice = (data[0] >> 1) % 10;
    long file_size = long(size - 1);
    void* file = malloc(file_size ? size_t(file_size) : 1);
    memcpy(file, data + 1, size_t(file_size));
    zk_bitmap_t bitmap;
    memset(&bitmap, 0, sizeof bitmap);
    bitmap.name = const_cast<char*>("fuzz");
    if (choice < 5) {
        size_readers[choice](&bitmap, file, file_size);
    } else if (choice < 8) {
        // Measured first, with the reader the manifest uses.
        measures[choice - 5](&bitmap, file, file_size);
        if ((long long)bitmap.width * bitmap.height <= max_fuzzed_pixels) full_readers[choice - 5](&bitmap, file, file_size);
    } else if (file_size > 1) {
        CheckFirstBytes(choice == 8, file, file_size, file_size / 2);
    }
    free(bitmap.pixels);
    free(file);
    return 0;
}
