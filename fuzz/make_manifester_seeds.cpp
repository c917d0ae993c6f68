// Writes the seed inputs of the manifester files fuzz target into the
// directory given: XML databases and font files of every version, written
// from the formats, each behind the byte that picks its reader.
#include <cstdio>
#include <string>

#include "tools/manifester/tests/font_files.h"

using namespace manifester_test;

namespace {

void Seed(const std::string& directory, const std::string& name, uint8_t selector, const Bytes& file) {
    Bytes input = {selector};
    input.insert(input.end(), file.begin(), file.end());
    WriteBytes(directory + "/" + name, input);
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

FontFile SmallFont(const std::string& encoding, int glyphs) {
    FontFile font;
    font.encoding = encoding;
    font.baseline = 9;
    font.height = 11;
    font.line_spacing = 13;
    for (int i = 0; i < glyphs; ++i) {
        FontFileGlyph g;
        g.code = uint32_t(32 + i);
        g.y_offset = int16_t(i - 1);
        g.advance = int16_t(i + 2);
        if (i % 2 == 0) g.kerning.assign(size_t(glyphs), int8_t(-i));
        g.width = int16_t(i % 3);
        g.height = 2;
        g.pixels.assign(size_t(g.width) * 2 * 4, uint8_t(40 * i));
        font.glyphs.push_back(g);
    }
    return font;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: make_manifester_seeds <seeds>\n");
        return 1;
    }
    std::string seeds = argv[1];
    Seed(seeds, "settings.xml", 0,
         Text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n <!-- font settings -->\n"
              " <array id=\"settings\">\n  <node id=\"INPUT\" ttf=\"a.ttf\" size_px=\"20\" style=\"BOLD\"/>\n"
              "  <node id=\"OUTPUT\" scale=\"1/2\"/>\n </array>\n <array id=\"glyphs\">\n"
              "  <node id=\"65\" spacing=\"2\" tags=\"DISABLE_AUTOKERN\"></node>\n  <node id=\"32\" span=\"0\"/>\n"
              " </array>\n</root>\n"));
    Seed(seeds, "strings.xml", 0,
         Text("<?xml version=\"1.0\"?>\n<root>\n<array id=\"STRINGS\">\n"
              "<node id=\"hi\" to=\"Gr\xC3\xBC\xC3\x9F\x65 \\\"\xE2\x82\xAC\\\"\\n\">text \"<b>\" here</node>\n"
              "<node id=\"k\" from=\"x\" to=\"y\" v=unquoted/>\n</array>\n</root>\n"));
    FontFile wide = SmallFont("UTF-8", 5), latin = SmallFont("LATIN-1", 3);
    Seed(seeds, "font_v6_utf8", 1, WriteFontVersion6(wide));
    Seed(seeds, "font_v6_latin1", 3, WriteFontVersion6(latin));
    for (int version = 1; version <= 5; ++version) {
        Seed(seeds, "font_v" + std::to_string(version), 1, WriteOldFontVersion(version, latin));
    }
    return 0;
}
