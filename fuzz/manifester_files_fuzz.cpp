// Arbitrary bytes as one of zk-manifester's own files: an XML database or a
// font file of any version. The first byte picks which, and the pixel byte
// order. The file is served from memory through the interface table. A font
// that reads is saved as version 6 and must read back the same.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/manifester_fuzz_setup.h"
#include "tools/manifester/fonts.h"
#include "tools/manifester/runtime.h"
#include "tools/manifester/xml_database.h"

using namespace manifester;

namespace {

const char* const input_name = "input.xml";
const uint8_t* input = nullptr;
size_t input_size = 0, position = 0;
zk_file_t memory_file;
std::string saved_path;

// The input under its name; every other name is a real file.
zk_file_t* OpenFile(const char* name, const char* mode) {
    if (strcmp(name, input_name) != 0) return ZKI_OpenFile(name, mode);
    position = 0;
    memory_file.size = uint32_t(input_size);
    ++zk_state.open_files;
    return &memory_file;
}

int CloseFile(zk_file_t* file) {
    if (file != &memory_file) return ZKI_CloseFile(file);
    --zk_state.open_files;
    return 0;
}

size_t ReadItems(void* buffer, size_t size, size_t count, zk_file_t* file) {
    if (file != &memory_file) return fread(buffer, size, count, file->stream);
    if (size == 0) return 0;
    size_t items = (input_size - position) / size;
    if (items > count) items = count;
    memcpy(buffer, input + position, items * size);
    position += items * size;
    return items;
}

bool SameGlyph(const zk_font_t& a, const zk_font_t& b, int i) {
    const zk_glyph_t &x = a.glyphs[i], &y = b.glyphs[i];
    if (x.code != y.code || x.x_offset != y.x_offset || x.y_offset != y.y_offset || x.advance != y.advance ||
        x.bitmap.width != y.bitmap.width || x.bitmap.height != y.bitmap.height || !x.kerning != !y.kerning ||
        !x.bitmap.pixels != !y.bitmap.pixels) {
        return false;
    }
    if (x.kerning && memcmp(x.kerning, y.kerning, size_t(a.glyph_count)) != 0) return false;
    return !x.bitmap.pixels ||
           memcmp(x.bitmap.pixels, y.bitmap.pixels, size_t(x.bitmap.width) * size_t(x.bitmap.height) * 4) == 0;
}

bool SameFont(const zk_font_t& a, const zk_font_t& b) {
    if (a.utf8 != b.utf8 || a.baseline != b.baseline || a.height != b.height || a.line_spacing != b.line_spacing ||
        a.glyph_count != b.glyph_count) {
        return false;
    }
    for (int i = 0; i < a.glyph_count; ++i) {
        if (!SameGlyph(a, b, i)) return false;
    }
    return true;
}

void ReadFont() {
    zk_font_t font = {}, again = {};
    font.name = const_cast<char*>(input_name);
    again.name = const_cast<char*>(saved_path.c_str());
    ZKI_EmptyFont(&font);
    ZKI_EmptyFont(&again);
    if (ZKI_LoadFontMFT(&font)) {
        if (!ZKI_SaveFont(&font, saved_path.c_str()) || !ZKI_LoadFontMFT(&again) || !SameFont(font, again)) abort();
    }
    ZKI_SetFontGlyphCount(&font, 0);
    ZKI_SetFontGlyphCount(&again, 0);
}

void ReadDatabase() {
    ZK_XMLDatabaseList list = {};
    ZK_XMLDatabase* database = GetDatabase(&list, input_name);
    // Every lookup reaches only what was loaded.
    for (int a = 0; database && a < database->arrays.count; ++a) {
        ZK_XMLArray* array = database->arrays.items[a];
        GetArray(database, array->id);
        for (int n = 0; n < GetNumberOfNodes(array); ++n) {
            ZK_XMLNode* node = GetNodeByIndex(array, n);
            GetNode(array, node->id);
            for (int p = 0; p < node->pair_count; ++p) GetValue(node, node->pairs[p].name);
        }
    }
    FreeDatabaseList(&list);
}

void RemoveSaved() { remove(saved_path.c_str()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    if (ZKFuzzSetUpManifester()) {
        zk->OpenFile = OpenFile;
        zk->CloseFile = CloseFile;
        zk->ReadItems = ReadItems;
        saved_path = "/tmp/zk-manifester-fuzz-" + std::to_string(getpid()) + ".mft";
        atexit(RemoveSaved);
    }
    zk_state.pixel_byte_order = (data[0] >> 1) & 1;
    input = data + 1;
    input_size = size - 1;
    if (data[0] & 1) {
        ReadFont();
    } else {
        ReadDatabase();
    }
    return 0;
}
