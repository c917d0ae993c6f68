// Arbitrary bytes through zk-manifester's decoders: PNG and JPEG (full
// decodes, size readers and the manifest's measurements, from memory and
// from a file read in pieces) and TGA. The first byte picks the decoder and
// the pixel byte order.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <algorithm>

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

// The file a measure reads through the file reader, served from memory in
// pieces of changing sizes, with a signal now and then.
const uint8_t* served = nullptr;
size_t served_size = 0, serves = 0;

ssize_t ServePieces(int, void* buffer, size_t size, off_t offset) {
    const size_t pieces[] = {1, 7, 1000, size_t(-1)};
    if (++serves % 5 == 0) {
        errno = EINTR;
        return -1;
    }
    size_t count = std::min(std::min(size, pieces[serves % 5 - 1]), served_size - size_t(offset));
    memcpy(buffer, served + offset, count);
    return ssize_t(count);
}

// The measure of the file read through the file reader must give what the
// whole file in memory gives.
void CheckFileReader(bool png, const void* file, long size) {
    zk_bitmap_t whole = {}, read = {};
    bool whole_ok = png ? ZKI_MeasurePNG(&whole, file, size) : ZKI_MeasureJPG(&whole, file, size);
    static zk_file_reader_t reader;  // too large for the stack
    served = static_cast<const uint8_t*>(file);
    served_size = size_t(size);
    serves = 0;
    ZKI_BeginFileReader(&reader, -1, uint64_t(size), ServePieces);
    bool read_ok = png ? ZKI_MeasurePNGFile(&read, &reader) : ZKI_MeasureJPGFile(&read, &reader);
    if (reader.failed || read_ok != whole_ok || read.width != whole.width || read.height != whole.height) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    ZKFuzzSetUpManifester();
    zk_state.pixel_byte_order = data[0] & 1;
    int choice = (data[0] >> 1) % 12;
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
    } else if (choice < 10) {
        if (file_size > 1) CheckFirstBytes(choice == 8, file, file_size, file_size / 2);
    } else {
        CheckFileReader(choice == 10, file, file_size);
    }
    free(bitmap.pixels);
    free(file);
    return 0;
}
