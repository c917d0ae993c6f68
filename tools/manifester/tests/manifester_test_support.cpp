#include "tools/manifester/tests/manifester_test_support.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "tools/manifester/fonts.h"

namespace manifester_test {

using namespace manifester;

std::vector<Printed>& Recorded() {
    static std::vector<Printed> printed;
    return printed;
}

std::string RecordedText() {
    std::string all;
    for (const Printed& p : Recorded()) all += p.text;
    return all;
}

static int Record(const char* kind, const char* format, va_list args) {
    char text[4096];
    int count = vsnprintf(text, sizeof text, format, args);
    Recorded().push_back({kind, text});
    return count;
}

static int RecordPrint(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int count = Record("print", format, args);
    va_end(args);
    return count;
}

static int RecordDebug(int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int count = Record("debug", format, args);
    va_end(args);
    return count;
}

static int RecordPopup(int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int count = Record("popup", format, args);
    va_end(args);
    return count;
}

void ManifesterTest::SetUp() {
    ZKI_SetBasicInterface();
    zk->Printf = RecordPrint;
    zk->PrintDebugf = RecordDebug;
    zk->Popupf = RecordPopup;
    Recorded().clear();
}

HeapCopy::HeapCopy(const Bytes& bytes) : block(malloc(bytes.empty() ? 1 : bytes.size())), length(long(bytes.size())) {
    if (!bytes.empty()) memcpy(block, bytes.data(), bytes.size());
}

HeapCopy::~HeapCopy() { free(block); }

TestFont::TestFont(const std::string& path) : zk_font_t() {
    name = ZKI_StrDup(path.c_str());
    scale = 1.0f;
    ZKI_EmptyFont(this);
}

TestFont::~TestFont() {
    ZKI_SetFontGlyphCount(this, 0);
    free(name);
}

FontFile FontFileOf(const zk_font_t& font) {
    FontFile file;
    file.encoding = font.utf8 ? "UTF-8" : "LATIN-1";
    file.baseline = font.baseline;
    file.height = font.height;
    file.line_spacing = font.line_spacing;
    for (int i = 0; i < font.glyph_count; ++i) {
        const zk_glyph_t& g = font.glyphs[i];
        FontFileGlyph out;
        out.code = g.code;
        out.y_offset = g.y_offset;
        out.x_offset = g.x_offset;
        out.advance = g.advance;
        if (g.kerning) out.kerning.assign(g.kerning, g.kerning + font.glyph_count);
        out.width = int16_t(g.bitmap.width);
        out.height = int16_t(g.bitmap.height);
        if (g.bitmap.pixels) {
            const uint8_t* bytes = reinterpret_cast<const uint8_t*>(g.bitmap.pixels);
            out.pixels.assign(bytes, bytes + size_t(g.bitmap.width) * g.bitmap.height * 4);
        }
        file.glyphs.push_back(out);
    }
    return file;
}

std::string DescribeFontFile(const FontFile& f) {
    std::string text = f.encoding + " " + std::to_string(f.baseline) + "/" + std::to_string(f.height) + "/" +
                       std::to_string(f.line_spacing) + " " + std::to_string(f.glyphs.size()) + ":";
    for (const FontFileGlyph& g : f.glyphs) {
        text += "\n[" + std::to_string(g.code) + " " + std::to_string(g.y_offset) + "," + std::to_string(g.x_offset) +
                " +" + std::to_string(g.advance) + " " + std::to_string(g.width) + "x" + std::to_string(g.height);
        for (int8_t k : g.kerning) text += " k" + std::to_string(k);
        for (uint8_t p : g.pixels) text += " " + std::to_string(p);
        text += "]";
    }
    return text;
}

}  // namespace manifester_test
