// Arbitrary bitmap sequence files through the sequence reader, from
// memory and through the file system; a sequence read is then shown frame
// by frame, optimised and written again, in both chunk forms. The first
// byte picks: bit 0 the pixel byte order, bit 1 atlas packing when saving.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/bitmaps/bitmap_api.h"
#include "engine/bitmaps/bitmap_sequences.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"
#include "fuzz/engine_fuzz_setup.h"

namespace {

const std::string& Folder() { return ZKFuzzEngineFolder("zk-bitmap-sequence-fuzz"); }

// Frames small enough to pack and write again quickly.
bool SmallEnough(const zk_bitmap_t& sequence) {
    int64_t pixels = 0;
    for (int i = 0; i < sequence.frame_count; ++i) {
        const zk_bitmap_t& frame = sequence.frames[i];
        pixels += int64_t(frame.texture_width) * frame.texture_height;
    }
    return sequence.frame_count <= 64 && pixels <= 128 * 128;
}

void UseSequence(zk_bitmap_t* sequence, int selector) {
    for (int i = -1; i <= sequence->frame_count; ++i) zk->graphics->ZK_Graphics_SetBitmapFrame(sequence, i);
    if (!SmallEnough(*sequence)) return;
    ZKI_OptimizeBitmapSequence(sequence);
    FILE* sink = fopen("/dev/null", "wb");
    ZKI_WriteBMS(sequence, sink);
    if (sink) fclose(sink);
    zk_state.pack_bitmaps = (selector & 2) ? 1 : 0;
    ZKI_SaveBitmapSequence(sequence, (Folder() + "/saved.bms").c_str(), 256, 256);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string& folder = Folder();
    int selector = data[0];
    zk_state.pixel_byte_order = selector & 1;
    zk_bitmap_t from_memory = {};
    from_memory.name = const_cast<char*>("memory");
    if (ZKI_LoadBitmapMemBMS(&from_memory, data + 1, long(size - 1))) UseSequence(&from_memory, selector);
    ZKI_FreeBitmapSequenceParts(&from_memory);

    std::string path = folder + "/input.bms";
    ZKFuzzWriteFile(path, data + 1, size - 1);
    zk_bitmap_t from_file = {};
    from_file.name = const_cast<char*>("file");
    ZKI_LoadBitmapSequence(&from_file, path.c_str());
    ZKI_FreeBitmapSequenceParts(&from_file);
    unlink(path.c_str());
    return 0;
}
