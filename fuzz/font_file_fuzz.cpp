// Arbitrary font files through the engine's font reader. A file it accepts
// is written again as version 7 and read back, and the two reads must
// agree. Bit 0 of the first byte (part of the magic, which is not
// compared) picks the renderer's pixel byte order.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/fonts/font_files.h"
#include "engine/fonts/fonts.h"
#include "engine/runtime/state.h"
#include "fuzz/engine_fuzz_setup.h"

namespace {

const std::string& Folder() { return ZKFuzzEngineFolder("zk-font-file-fuzz"); }

struct Font {
    explicit Font(const std::string& name) {
        record.name = strdup(name.c_str());
        record.scale = 1.0f;
    }
    ~Font() {
        ZKI_FreeFontGlyphs(&record);
        free(record.name);
    }
    zk_font_t record = {};
};

void Check(bool condition) {
    if (!condition) abort();
}

size_t PixelBytes(const zk_bitmap_t& b) { return b.pixels ? size_t(b.width) * size_t(b.height) * 4 : 0; }

void ExpectSameGlyph(const zk_glyph_t& a, const zk_glyph_t& b, int count) {
    Check(a.code == b.code && a.y_offset == b.y_offset && a.x_offset == b.x_offset && a.advance == b.advance);
    Check((a.kern == nullptr) == (b.kern == nullptr));
    Check(!a.kern || memcmp(a.kern, b.kern, size_t(count)) == 0);
    Check(PixelBytes(a.bitmap) == PixelBytes(b.bitmap));
    Check(PixelBytes(a.bitmap) == 0 || memcmp(a.bitmap.pixels, b.bitmap.pixels, PixelBytes(a.bitmap)) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = Folder();
    zk_state.pixel_byte_order = size > 0 ? data[0] & 1 : 0;
    ZKFuzzWriteFile(folder + "/in.mft", data, size);
    Font first(folder + "/in.mft");
    if (!ZKI_LoadFontMFT(&first.record)) return 0;
    Check(first.record.num_glyphs >= 0 && (first.record.num_glyphs == 0) == (first.record.glyphs == nullptr));
    Check(first.record.scale > 0);

    std::string saved = folder + "/saved.mft";
    if (!ZKI_SaveFont(&first.record, saved.c_str())) {
        // Only a glyph beyond the 16-bit sizes of version 7 keeps a font
        // from being written (old versions store sizes up to 65535).
        bool too_large = false;
        for (int i = 0; i < first.record.num_glyphs; ++i) {
            too_large |= first.record.glyphs[i].bitmap.width > 32767 || first.record.glyphs[i].bitmap.height > 32767;
        }
        Check(too_large);
        return 0;
    }
    Font second(saved);
    Check(ZKI_LoadFontMFT(&second.record));
    const zk_font_t& a = first.record;
    const zk_font_t& b = second.record;
    Check(a.utf8 == b.utf8 && a.baseline == b.baseline && a.height == b.height && a.line_spacing == b.line_spacing);
    Check(a.num_glyphs == b.num_glyphs && a.scale == b.scale);
    for (int i = 0; i < a.num_glyphs; ++i) ExpectSameGlyph(a.glyphs[i], b.glyphs[i], a.num_glyphs);
    return 0;
}
