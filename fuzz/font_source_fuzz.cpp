// Fonts generated from arbitrary sources: the input is a settings XML, a 0
// byte, and the picture ("p.tga", which the settings may name). Pictures
// claiming more than 16384 pixels are left out to keep each run short.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/fonts/font_generation.h"
#include "engine/fonts/fonts.h"
#include "engine/runtime/state.h"
#include "engine/storage/database_manager.h"
#include "fuzz/engine_fuzz_setup.h"

namespace {

const size_t kTgaHeader = 18;
const int64_t kLargestPicture = 16384;

const std::string& Folder() { return ZKFuzzEngineFolder("zk-font-source-fuzz"); }

bool PictureIsSmall(const uint8_t* tga, size_t size) {
    if (size < kTgaHeader) return true;
    int64_t width = tga[12] | tga[13] << 8, height = tga[14] | tga[15] << 8;
    return width * height <= kLargestPicture;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = Folder();
    const uint8_t* end = static_cast<const uint8_t*>(memchr(data, 0, size));
    size_t xml_size = end ? size_t(end - data) : size;
    const uint8_t* picture = end ? end + 1 : data + size;
    size_t picture_size = size - (size_t(picture - data));
    if (!PictureIsSmall(picture, picture_size)) return 0;

    std::string name = folder + "/f.mft";
    ZKFuzzWriteFile(name + ".xml", data, xml_size);
    ZKFuzzWriteFile(folder + "/p.tga", picture, picture_size);
    zk_font_t font = {};
    font.name = strdup(name.c_str());
    font.scale = 1.0f;
    if (ZKI_GenerateFontFromSource(&font, 1.0)) {
        if (font.num_glyphs > 0 && !font.glyphs) abort();
        ZKI_CheckThatAllGlyphsArePresent(&font);
    }
    ZKI_FreeFontGlyphs(&font);
    free(font.name);
    // The settings are read afresh each run.
    zk_dman.ReleaseDatabase((name + ".xml").c_str());
    return 0;
}
