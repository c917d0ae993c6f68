#include "engine/fonts/font_files.h"

#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/imageformats/font_file_format.h"
#include "engine/images/bitmap_pixels.h"
#include "engine/images/bitmap_pool.h"
#include "engine/fonts/fonts.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"
#include "engine/storage/safe_write.h"

namespace {

const char* NameOf(const zk_font_t* font) { return font->name ? font->name : ""; }

// Versions 1 to 7 read and 7 written, every rule at its widest: only the
// version digit counts, old sizes are unsigned, every old glyph has a
// kerning row, and a glyph without pixels is written without a size.
zk_font_file_format_t EngineFormat() {
    zk_font_file_format_t format = {};
    format.newest_version = 7;
    format.whole_magic = false;
    format.old_name = {0, false};
    format.new_name = {32, false};
    format.old_sizes_signed = false;
    format.old_rows_zeroed = true;
    format.negative_count_refused = false;
    format.max_glyphs = 0;
    format.sizes_written_as_they_are = false;
    format.order = zk_state.pixel_byte_order == 1 ? ZK_PIXELS_BGRA : ZK_PIXELS_RGBA;
    format.allocate_pixels = ZKI_AllocatePixelBlock;
    return format;
}

size_t ReadFromFile(void* context, void* buffer, size_t size) {
    return zk->file_system->ZK_FileSystem_ReadFile(buffer, size, static_cast<zk_file_t*>(context));
}

void ReportReading(void* context, const zk_font_file_message_t& message) {
    const char* name = NameOf(static_cast<const zk_font_t*>(context));
    switch (message.id) {
    case ZK_FONT_FILE_BAD_HEADER:
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Font '%s' has invalid header ('%s')", name, message.magic);
        break;
    case ZK_FONT_FILE_NEWER_VERSION:
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Font '%s' is of version %d; versions up to %d can be read.", name,
                      message.version, EngineFormat().newest_version);
        break;
    case ZK_FONT_FILE_BAD_SCALE:
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Font '%s' has an invalid scale (%g); using 1.0.", name, message.scale);
        break;
    case ZK_FONT_FILE_DAMAGED:
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Font '%s' is truncated or damaged.", name);
        break;
    }
}

void TakeGlyph(zk_glyph_t* glyph, zk_font_file_glyph_t* read) {
    glyph->code = read->code;
    glyph->y_offset = read->y_offset;
    glyph->x_offset = read->x_offset;
    glyph->advance = read->advance;
    glyph->kern = read->kerning;
    zk_bitmap_t& bitmap = glyph->bitmap;
    bitmap.width = bitmap.texture_width = read->width;
    bitmap.height = bitmap.texture_height = read->height;
    bitmap.pixels = read->pixels;
    if (bitmap.pixels) bitmap.flags |= ZK_BITMAP_HAS_ALPHA;
    read->kerning = nullptr;
    read->pixels = nullptr;
}

// The file's glyphs into fresh records and its fields into the font; false
// (the font unchanged) when the records cannot be had.
bool TakeContents(zk_font_t* font, zk_font_file_t* read) {
    zk_glyph_t* glyphs = nullptr;
    if (read->glyph_count > 0) {
        glyphs = ZKI_AllocateGlyphs(read->glyph_count);
        if (!glyphs) return false;
        for (int i = 0; i < read->glyph_count; ++i) TakeGlyph(&glyphs[i], &read->glyphs[i]);
    }
    ZKI_FreeFontGlyphs(font);
    font->utf8 = read->utf8;
    font->baseline = read->baseline;
    font->height = read->height;
    font->line_spacing = read->line_spacing;
    font->glyphs = glyphs;
    font->num_glyphs = glyphs ? read->glyph_count : 0;
    // Older files have no distance-field fields: they read as a bitmap font
    // of scale 1, as into a fresh record, whatever file the font read before.
    bool distance_field_fields = read->version >= 7;
    font->spread = distance_field_fields ? read->spread : 0.0f;
    font->smoothing = distance_field_fields ? read->smoothing : 0.0f;
    font->scale = distance_field_fields ? read->scale : 1.0f;
    if (font->spread > 0) {
        font->flags |= ZK_FONT_DISTANCE_FIELD;
    } else {
        font->flags &= uint8_t(~ZK_FONT_DISTANCE_FIELD);
    }
    return true;
}

}  // namespace

bool ZKI_LoadFontMFT(zk_font_t* font) {
    if (!font) return false;
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(NameOf(font), "r");
    if (!file) {
        zk->ZK_Printf("Font '%s' file not found.", NameOf(font));
        return false;
    }
    zk_font_file_t read = {};
    zk_font_file_messages_t messages = {ReportReading, font};
    bool loaded = ZKI_ReadFontFile({ReadFromFile, file}, file->size > 0 ? int64_t(file->size) : 0, EngineFormat(),
                                   &read, &messages);
    if (loaded && !TakeContents(font, &read)) {
        ReportReading(font, {ZK_FONT_FILE_DAMAGED, nullptr, read.version, 0});
        loaded = false;
    }
    zk->file_system->ZK_FileSystem_CloseFile(file);
    ZKI_FreeFontFile(&read);
    return loaded;
}

namespace {

// The font's fields as the file holds them; the glyph view borrows the
// font's blocks.
bool ViewOf(const zk_font_t* font, zk_font_file_t* view) {
    *view = zk_font_file_t{};
    view->utf8 = font->utf8;
    view->baseline = font->baseline;
    view->height = font->height;
    view->line_spacing = font->line_spacing;
    view->spread = font->spread;
    view->smoothing = font->smoothing;
    view->scale = font->scale;
    int count = font->glyphs && font->num_glyphs > 0 ? font->num_glyphs : 0;
    if (count == 0) return true;
    view->glyphs = static_cast<zk_font_file_glyph_t*>(calloc(size_t(count), sizeof(zk_font_file_glyph_t)));
    if (!view->glyphs) return false;
    view->glyph_count = count;
    for (int i = 0; i < count; ++i) {
        const zk_glyph_t& glyph = font->glyphs[i];
        view->glyphs[i] = {glyph.code,         glyph.y_offset,      glyph.x_offset,      glyph.advance,
                           glyph.kern,         glyph.bitmap.width,  glyph.bitmap.height, glyph.bitmap.pixels};
    }
    return true;
}

bool RefuseSaving(const char* path, zk_font_file_t* view) {
    free(view->glyphs);
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to save font '%s'", path);
    return false;
}

}  // namespace

bool ZKI_SaveFont(zk_font_t* font, const char* path) {
    if (!font) return false;
    zk->ZK_Printf("..saving font '%s'..", path ? path : NameOf(font));
    if (!path || !*path) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to save font '%s': no file path to write to.", NameOf(font));
        return false;
    }
    if (strstr(path, "://")) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to save font '%s': only native paths can be written.", path);
        return false;
    }
    zk_font_file_t view;
    if (!ViewOf(font, &view)) return RefuseSaving(path, &view);
    zk_font_file_format_t format = EngineFormat();
    int too_large = ZKI_FindUnwritableFontGlyph(view, format);
    if (too_large >= 0) {
        free(view.glyphs);
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to save font '%s': glyph #%d is larger than 32767 pixels.", path,
                      too_large);
        return false;
    }
    ZKFileSystem::SafeFileOutput saved;
    if (!saved.file.Begin(path, &saved.error)) return RefuseSaving(path, &view);
    bool written = ZKI_WriteFontFile(view, format, {ZKFileSystem::SafeFileOutput::Write, &saved}) && saved.file.Commit(&saved.error);
    if (!written) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Font '%s' not written: %s.", path, saved.error.c_str());
        return RefuseSaving(path, &view);
    }
    free(view.glyphs);
    return true;
}

bool ZK_Graphics_SaveFont(zk_font_t* font, const char* path) { return ZKI_SaveFont(font, path); }
