// Arbitrary files through the engine's image loader and what it hands them
// on to: the file is written under a chosen extension and read back through
// the file system (or read as a run-length bitmap); a decoded image is then
// sampled, resized, repaired, turned into a distance field and saved.
// The first byte picks as image_formats_fuzz does (bit 0 the pixel byte
// order, bit 1 the run-length reader), so the two targets share their seeds;
// bits 2-4 pick the extension and bits 5-7 the distance field's scale.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/images/distance_field.h"
#include "engine/images/image_codecs.h"
#include "engine/images/image_loader.h"
#include "engine/images/image_sampling.h"
#include "engine/runtime/state.h"
#include "fuzz/engine_fuzz_setup.h"

namespace {

const char* const extensions[] = {".tga", ".TGA", ".png", ".jpg", ".gif", "", ".tga.bak", ".Tga"};

const std::string& Folder() { return ZKFuzzEngineFolder("zk-image-loader-fuzz"); }

// What the engine does with a decoded image, kept small enough to stay fast.
void UseImage(zk_bitmap_t* bitmap, int selector, size_t size) {
    if (int64_t(bitmap->width) * bitmap->height > 256 * 256) return;
    bitmap->flags |= (selector & 1) ? 1 : 0;
    for (double u : {-0.5, 0.0, 0.37, 1.0}) {
        ZKI_GetBitmapSamplePoint(bitmap, u, 1.0 - u);
        ZKI_GetBitmapSampleBilinear(bitmap, u, u);
        ZKI_GetBitmapSampleArea(bitmap, u, u, 2.5, 1.5);
    }
    zk_bitmap_t resized = {};
    ZKI_CreateImageResized(&resized, bitmap, int(size % 61) + 1, int(size / 61 % 47) + 1, 0);
    ZKI_FixAlphaBleeding(&resized);
    zk_bitmap_t field = ZKI_GenerateDistanceField(*bitmap, (selector >> 5) + 1, int(size % 7) + 1);
    ZKI_ReleaseDistanceFieldBitmap(field);
    zk_il->SaveImage(&resized, (Folder() + "/saved.tga").c_str(), 0);
    FILE* sink = fopen("/dev/null", "wb");
    ZKI_WriteRLEBitmap(&resized, sink);
    if (sink) fclose(sink);
    zk_il->FreeImagePixels(&resized);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string& folder = Folder();
    int selector = data[0];
    zk_state.pixel_byte_order = selector & 1;
    std::string path = folder + "/image" + extensions[(selector >> 2) & 7];
    ZKFuzzWriteFile(path, data + 1, size - 1);
    zk_bitmap_t bitmap = {};
    if (selector & 2) {
        zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(path.c_str(), "rb");
        ZKI_ReadRLEBitmap(&bitmap, file);
        if (file) zk->file_system->ZK_FileSystem_CloseFile(file);
    } else {
        zk_bitmap_t measured = {};
        zk_il->GetImageDimensions(&measured, path.c_str());
        zk_il->LoadImagePixels(&bitmap, path.c_str());
    }
    if (bitmap.pixels) UseImage(&bitmap, selector, size);
    zk_il->FreeImagePixels(&bitmap);
    unlink(path.c_str());
    return 0;
}
