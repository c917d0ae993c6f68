// Font files: versions 1 to 6 read, version 6 written, through the
// engine's font file format with this program's rules.
#include <cstdlib>
#include <cstring>

#include "engine/imageformats/font_file_format.h"
#include "tools/manifester/fonts.h"

namespace manifester {

namespace {

// The whole magic is compared, old sizes are signed, old glyphs before
// version 4 have no kerning row, a version 6 encoding name ends within 32
// bytes, the code points below 65536 are the most glyphs a font has, and
// sizes are written as they are.
zk_font_file_format_t ManifesterFormat() {
    zk_font_file_format_t format = {};
    format.newest_version = 6;
    format.whole_magic = true;
    format.old_name = {0, false};
    format.new_name = {32, true};
    format.old_sizes_signed = true;
    format.old_rows_zeroed = false;
    format.negative_count_refused = true;
    format.max_glyphs = 65536;
    format.sizes_written_as_they_are = true;
    format.order = zk_state.pixel_byte_order == 1 ? ZK_PIXELS_BGRA : ZK_PIXELS_RGBA;
    format.allocate_pixels = nullptr;
    return format;
}

size_t ReadFromFile(void* context, void* buffer, size_t size) {
    return size == 0 ? 0 : zk->ReadItems(buffer, 1, size, static_cast<zk_file_t*>(context));
}

// The reader's one refusal, told once the file is closed.
struct Refusal {
    bool bad_header = false;
    bool damaged = false;
    char magic[12] = {};
};

void KeepRefusal(void* context, const zk_font_file_message_t& message) {
    Refusal* refusal = static_cast<Refusal*>(context);
    if (message.id == ZK_FONT_FILE_DAMAGED) {
        refusal->damaged = true;
        return;
    }
    refusal->bad_header = true;
    if (message.magic) strncpy(refusal->magic, message.magic, sizeof refusal->magic - 1);
}

void TakeGlyph(zk_glyph_t* glyph, zk_font_file_glyph_t* read, int index, int version) {
    glyph->code = version < 6 ? uint32_t(index) : read->code;
    glyph->y_offset = int16_t(read->y_offset);
    glyph->x_offset = read->x_offset;
    glyph->advance = read->advance;
    glyph->kerning = read->kerning;
    glyph->bitmap.width = read->width;
    glyph->bitmap.height = read->height;
    glyph->bitmap.pixels = read->pixels;
    read->kerning = nullptr;
    read->pixels = nullptr;
}

bool TakeContents(zk_font_t* font, zk_font_file_t* read) {
    font->utf8 = read->utf8;
    font->baseline = read->baseline;
    font->height = read->height;
    font->line_spacing = read->line_spacing;
    if (!ZKI_SetFontGlyphCount(font, read->glyph_count)) return false;
    for (int i = 0; i < read->glyph_count; ++i) TakeGlyph(&font->glyphs[i], &read->glyphs[i], i, read->version);
    return true;
}

size_t WriteToStream(void* context, const void* data, size_t size) {
    return fwrite(data, 1, size, static_cast<FILE*>(context));
}

// The font's fields as the file holds them; the glyph view borrows the
// font's blocks.
bool ViewOf(const zk_font_t* font, zk_font_file_t* view) {
    *view = zk_font_file_t{};
    view->utf8 = font->utf8;
    view->baseline = font->baseline;
    view->height = font->height;
    view->line_spacing = font->line_spacing;
    view->glyph_count = font->glyphs ? font->glyph_count : 0;
    if (font->glyph_count <= 0 || !font->glyphs) return true;
    view->glyphs = static_cast<zk_font_file_glyph_t*>(calloc(size_t(font->glyph_count), sizeof(zk_font_file_glyph_t)));
    if (!view->glyphs) return false;
    for (int i = 0; i < font->glyph_count; ++i) {
        const zk_glyph_t& glyph = font->glyphs[i];
        view->glyphs[i] = {glyph.code,         float(glyph.y_offset), glyph.x_offset,      glyph.advance,
                           glyph.kerning,      glyph.bitmap.width,    glyph.bitmap.height, glyph.bitmap.pixels};
    }
    return true;
}

}  // namespace

bool ZKI_LoadFontMFT(zk_font_t* font) {
    if (!font || !font->name) return false;
    zk_file_t* file = zk->OpenFile(font->name, "r");
    if (!file) {
        zk->Printf("(not found)");
        return false;
    }
    Refusal refusal;
    zk_font_file_messages_t messages = {KeepRefusal, &refusal};
    zk_font_file_t read = {};
    bool loaded = ZKI_ReadFontFile({ReadFromFile, file}, int64_t(file->size), ManifesterFormat(), &read, &messages);
    if (loaded && !TakeContents(font, &read)) {
        refusal.damaged = true;
        loaded = false;
    }
    ZKI_FreeFontFile(&read);
    zk->CloseFile(file);
    if (refusal.bad_header) {
        zk->Popupf(1, "Font '%s' has unknown or bad header ('%s')\n", font->name, refusal.magic);
    } else if (refusal.damaged) {
        zk->Popupf(1, "Font '%s' is cut short or holds sizes its file cannot hold.\n", font->name);
        ZKI_EmptyFont(font);
    }
    return loaded;
}

bool ZKI_SaveFont(zk_font_t* font, const char* path) {
    if (!font) return false;
    zk->Printf("..saving font '%s'..", path ? path : "");
    zk_font_file_format_t format = ManifesterFormat();
    zk_font_file_t view;
    zk_safe_file_t file;
    if (!ViewOf(font, &view) || ZKI_FindUnwritableFontGlyph(view, format) >= 0 || !ZKI_OpenSafeFile(&file, path)) {
        free(view.glyphs);
        zk->Popupf(1, "Failed to save font '%s'\n", path ? path : "");
        return false;
    }
    zk->Printf("\n");
    bool written = ZKI_WriteFontFile(view, format, {WriteToStream, file.stream});
    free(view.glyphs);
    if (!ZKI_CommitSafeFile(&file, !written)) {
        zk->Popupf(1, "Failed to save font '%s'\n", path);
        return false;
    }
    return true;
}

}  // namespace manifester
