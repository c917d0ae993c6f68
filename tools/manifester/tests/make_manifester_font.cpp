// Makes a font file as zk-manifester makes it, for the engine's test that
// reads the manifester's files: DejaVu Sans at 20 pixels, rendered through
// FreeType from a settings XML written beside it, generated, saved (version
// 6) and read back through the manifester's own font road.
//
//   make_manifester_font <folder>     writes <folder>/dejavu.mft(.xml)
//
// Exits 0 when the font was made and read back with its 256 glyphs.
#include <cstdio>
#include <string>

#include "tools/manifester/fonts.h"

int main(int argc, char** argv) {
    using namespace manifester;
    if (argc != 2) {
        fprintf(stderr, "usage: make_manifester_font <folder>\n");
        return 2;
    }
    const std::string name = std::string(argv[1]) + "/dejavu.mft";
    FILE* settings = fopen((name + ".xml").c_str(), "wb");
    if (!settings) return 1;
    fputs("<?xml version=\"1.0\"?>\n<root>\n<array id=\"settings\">\n"
          " <node id=\"INPUT\" ttf=\"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf\" size_px=\"20\"/>\n"
          " <node id=\"LINE_PADDING_OFFSET\" value=\"3\"/>\n"
          "</array>\n<array id=\"glyphs\">\n <node id=\"84\" tags=\"DISABLE_AUTOKERN\"/>\n</array>\n</root>\n",
          settings);
    if (fclose(settings) != 0) return 1;
    ZKI_SetBasicInterface();
    zk_font_t* font = ZKI_LoadFont(name.c_str());
    return font && font->glyph_count == 256 ? 0 : 1;
}
