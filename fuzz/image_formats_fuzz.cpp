// Arbitrary bytes through the engine's TGA and run-length bitmap readers.
// The first byte picks the reader and the pixel byte order; the rest is
// the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/imageformats/image_formats.h"

namespace {

struct Memory {
    const uint8_t* data;
    size_t size;
    size_t at;
};

size_t ReadMemory(void* context, void* buffer, size_t size) {
    Memory* memory = static_cast<Memory*>(context);
    size_t n = size < memory->size - memory->at ? size : memory->size - memory->at;
    memcpy(buffer, memory->data + memory->at, n);
    memory->at += n;
    return n;
}

size_t CountWritten(void* context, const void*, size_t size) {
    *static_cast<size_t*>(context) += size;
    return size;
}

void Ignore(void*, zk_image_message_id_t, int, const char*) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    zk_pixel_byte_order_t order = (data[0] & 1) ? ZK_PIXELS_BGRA : ZK_PIXELS_RGBA;
    bool run_length = (data[0] & 2) != 0;
    // An exact copy, so that a read past the data is caught.
    size_t file_size = size - 1;
    uint8_t* file = static_cast<uint8_t*>(malloc(file_size ? file_size : 1));
    memcpy(file, data + 1, file_size);
    zk_image_messages_t messages = {Ignore, nullptr};
    zk_image_t image;
    bool ok;
    if (run_length) {
        Memory memory = {file, file_size, 0};
        ok = ZKI_DecodeRLEBitmap({ReadMemory, &memory}, order, &image, &messages);
    } else {
        ok = ZKI_DecodeTGA(file, file_size, order, &image, &messages);
    }
    if (ok) {
        // What was read is written back out: both writers see every image.
        size_t written = 0;
        zk_image_output_t output = {CountWritten, &written};
        ZKI_EncodeTGA(image, order, output, &messages);
        ZKI_EncodeRLEBitmap(image, order, output, &messages);
    }
    free(image.pixels);
    free(file);
    return 0;
}
