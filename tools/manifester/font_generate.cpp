// Fonts generated from their settings database: glyphs rendered from a
// TrueType font or cut out of a picture, then spacing, kerning and the
// final metrics.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/manifester/fonts.h"
#include "tools/manifester/image_loader.h"
#include "tools/manifester/resample.h"

namespace manifester {

namespace {

const size_t name_size = 260;  // settings names: 259 characters at most
const size_t path_size = 512;
const int code_points = 65536;
const float default_kern_threshold = 0.75f;
// Numbers from the settings are held within the range of the i16 fields
// they end up in, so that sums of a few of them cannot overflow.
const int max_setting = 32767;
// Alpha at or below this is noise in a source picture.
const int picture_alpha_floor = 4;

const char* const reason_database = "Database not found or doesn't contain any arrays.";
const char* const reason_settings = "Array 'settings' is missing or has bad parms - see specifications.";
const char* const reason_glyphs = "Array 'glyphs' is missing or has bad parms - see specifications.";
const char* const reason_picture_scale = "Input bitmap cannot be scaled to the output scale.";

// Always in a font made from language strings.
const char always_selected[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!\"$&'()*+,-./<=>?\\_";

bool IsWordEdge(char c) { return c == '\0' || c == ' ' || c == '\t' || c == ',' || c == ';'; }

// A number, or a fraction of two numbers; `otherwise` without a text.
double NumberOrFraction(const char* text, double otherwise) {
    if (!text) return otherwise;
    char numerator[64], denominator[64];
    if (!ZKI_SplitString(text, '/', 1, denominator, sizeof denominator)) return strtod(text, nullptr);
    ZKI_SplitString(text, '/', 0, numerator, sizeof numerator);
    return strtod(numerator, nullptr) / strtod(denominator, nullptr);
}

bool FileOpens(const char* path) {
    zk_file_t* file = zk->OpenFile(path, "r");
    if (!file) return false;
    zk->CloseFile(file);
    return true;
}

// A source file as named when it opens, else beside the settings file.
bool FindSourceFile(const char* file, const char* settings_name, char* path) {
    if (snprintf(path, path_size, "%s", file) < int(path_size) && FileOpens(path)) return true;
    char* folder = GetPathDirectory(settings_name);
    bool fits = folder && snprintf(path, path_size, "%s/%s", folder, file) < int(path_size);
    free(folder);
    return fits && FileOpens(path);
}

// One code point from UTF-8 at *text, which moves past it; false for a
// broken sequence (an overlong form, a surrogate, or beyond U+10FFFF).
bool DecodeUtf8(const char** text, uint32_t* code) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(*text);
    static const struct {
        uint8_t mask, lead;
        int extra;
        uint32_t smallest;
    } forms[] = {{0x80, 0x00, 0, 0}, {0xE0, 0xC0, 1, 0x80}, {0xF0, 0xE0, 2, 0x800}, {0xF8, 0xF0, 3, 0x10000}};
    for (const auto& form : forms) {
        if ((p[0] & form.mask) != form.lead) continue;
        uint32_t value = p[0] & uint8_t(~form.mask);
        for (int i = 1; i <= form.extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            value = value << 6 | (p[i] & 0x3F);
        }
        if (value < form.smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        *text += 1 + form.extra;
        *code = value;
        return true;
    }
    return false;
}

void SelectCodePoint(bool* selected, uint32_t code) {
    if (code < uint32_t(code_points)) {
        selected[code] = true;
    } else {
        zk->Popupf(1, "UTF32 %d out of range in ZKI_CreateFontGlyphsArrayFromStrings\n", int(code));
    }
}

// Every code point of the text, or none (with a message) when it is not
// UTF-8.
void SelectText(bool* selected, const char* text) {
    for (const char* p = text; *p;) {
        uint32_t code;
        if (!DecodeUtf8(&p, &code)) {
            zk->Popupf(2, "error converting %s\n", text);
            return;
        }
    }
    for (const char* p = text; *p;) {
        uint32_t code = 0;
        DecodeUtf8(&p, &code);
        SelectCodePoint(selected, code);
    }
}

bool Fail(const char* settings_name, const char* reason) {
    zk->Popupf(1, "Failed to generate font from source '%s': %s\n", settings_name, reason);
    return false;
}

bool RenderFromTrueType(zk_font_t* font, ZK_XMLDatabase* database, ZK_XMLNode* input, const char* settings_name) {
    int size_px = ZKI_SettingInt(GetValue(input, "size_px"), 0);
    if (size_px < 1) return Fail(settings_name, reason_settings);
    char ttf[path_size];
    if (!FindSourceFile(GetValue(input, "ttf"), settings_name, ttf)) {
        zk->Popupf(1, "Unable to find font source file %s\n", GetValue(input, "ttf"));
        return false;
    }
    const char* strings = GetValue(input, "strings");
    if (!strings) {
        if (!ZKI_SetFontGlyphCount(font, 256)) return false;
        for (int i = 0; i < 256; ++i) font->glyphs[i].code = uint32_t(i);
    } else {
        char strings_path[path_size];
        if (!FindSourceFile(strings, settings_name, strings_path)) {
            zk->Popupf(1, "Unable to find font language strings xml source file %s\n", strings);
            return false;
        }
        if (!ZKI_CreateFontGlyphsArrayFromStrings(font, strings_path, GetArray(database, "additional_utf_characters"))) {
            return false;
        }
    }
    return ZKI_CreateFontGlyphBitmapsFromTTF(font, ttf, size_px, size_px, GetValue(input, "style"));
}

bool CutFromPicture(zk_font_t* font, ZK_XMLDatabase* database, ZK_XMLArray* settings, double scale,
                    double input_scale, const char* settings_name) {
    const char* input = ZKIF_SelectBestInputBitmapForScaling(settings, scale);
    const char* picture_name = GetArrayValue(settings, input, "bitmap");
    if (!picture_name) return Fail(settings_name, reason_settings);
    scale /= ZKIF_GetInputBitmapScaleFactor(input);
    if (std::fabs(scale - 1.0) < 0.01) scale = 1.0;
    zk->Printf("Adjusted scale with %s is %g.\n", input, scale);

    char path[path_size];
    zk_bitmap_t picture = {};
    if (!FindSourceFile(picture_name, settings_name, path) || !GetImageLoaderImp()->LoadImagePixels(&picture, path)) {
        zk->Popupf(1, "Unable to open image file '%s'. Make sure the file '%s' exist.\n", picture_name, path);
        free(picture.pixels);
        return false;
    }
    ZKI_ForceLowAlphaToZero(&picture, picture_alpha_floor);
    BleedAlpha(&picture);
    if (std::fabs(scale - 1.0) >= 1e-6) {
        zk_bitmap_t scaled = {};
        double width = picture.width * scale, height = picture.height * scale;
        bool resized = width >= 1 && width < 65535 && height >= 1 && height < 65535 &&
                       ZKI_CreateImageResized(&scaled, &picture, int(width), int(height));
        free(picture.pixels);
        picture = scaled;
        if (!resized) {
            free(picture.pixels);
            return Fail(settings_name, reason_picture_scale);
        }
    }
    int spacing = ZKI_SettingInt(GetArrayValue(settings, "SPACING", "value"), 0);
    bool cut = ZKI_SetFontGlyphCount(font, 256) &&
               ZKI_LoadGlyphsFromBitmap(font, &picture, GetArray(database, "glyphs"), spacing, float(input_scale));
    free(picture.pixels);
    return cut || Fail(settings_name, reason_glyphs);
}

// Glyphs tagged DISABLE_AUTOKERN are never kerned, on either side. Only
// fonts with kerning rows have anything to clear.
void DisableAutoKerning(zk_font_t* font, ZK_XMLArray* glyphs) {
    if (font->utf8) return;
    for (int i = 0; i < GetNumberOfNodes(glyphs); ++i) {
        ZK_XMLNode* node = GetNodeByIndex(glyphs, i);
        const char* id = GetValue(node, "id");
        if (!id || !ZKI_HasWord(GetValue(node, "tags"), "DISABLE_AUTOKERN")) continue;
        long index = strtol(id, nullptr, 10);
        if (index < 0 || index >= font->glyph_count) continue;
        zk_glyph_t& glyph = font->glyphs[index];
        if (glyph.kerning) memset(glyph.kerning, 0, size_t(font->glyph_count));
        for (int g = 0; g < font->glyph_count; ++g) {
            if (font->glyphs[g].kerning) font->glyphs[g].kerning[index] = 0;
        }
    }
}

// Alpha bleeding, kerning rows or extra spacing, the height and the line
// metrics of a font whose glyphs are made.
bool FinishGlyphs(zk_font_t* font, ZK_XMLDatabase* database, ZK_XMLArray* settings) {
    int spacing = ZKI_SettingInt(GetArrayValue(settings, "SPACING", "value"), 0);
    const char* threshold = GetArrayValue(settings, "AUTO_KERN_THRESHOLD", "value");
    for (int i = 0; i < font->glyph_count; ++i) {
        zk_glyph_t& glyph = font->glyphs[i];
        BleedAlpha(&glyph.bitmap);
        free(glyph.kerning);
        glyph.kerning = nullptr;
        if (font->utf8) {
            glyph.advance = int16_t(glyph.advance + spacing);
        } else if (!(glyph.kerning = static_cast<int8_t*>(calloc(size_t(font->glyph_count), 1)))) {
            return false;
        }
    }
    // Beyond 0..1 every pixel or none is solid; held near that range so
    // that any number from the file converts safely.
    double solid = threshold ? std::fmin(std::fmax(strtod(threshold, nullptr), -1.0), 2.0) : default_kern_threshold;
    if (!font->utf8) ZKI_DetermineKernPairs(font, 0, float(solid));
    for (int i = 0; i < font->glyph_count; ++i) {
        if (font->glyphs[i].bitmap.height > font->height) font->height = font->glyphs[i].bitmap.height;
    }
    DisableAutoKerning(font, GetArray(database, "glyphs"));
    const char* padding = GetArrayValue(settings, "LINE_PADDING_OFFSET", "value");
    font->line_spacing = font->height + (padding ? ZKI_TruncatedInt(strtod(padding, nullptr)) : 0);
    font->baseline = font->height - 2;
    return true;
}

}  // namespace

int ZKI_SettingInt(const char* text, int otherwise) {
    if (!text) return otherwise;
    long value = strtol(text, nullptr, 10);
    return value < -max_setting ? -max_setting : value > max_setting ? max_setting : int(value);
}

int ZKI_TruncatedInt(double value) {
    if (!(value > -max_setting && value < max_setting)) return value > 0 ? max_setting : value < 0 ? -max_setting : 0;
    return int(value);
}

bool ZKI_HasWord(const char* text, const char* word) {
    if (!text || !word || !*word) return false;
    size_t length = strlen(word);
    for (const char* p = strstr(text, word); p; p = strstr(p + 1, word)) {
        if ((p == text || IsWordEdge(p[-1])) && IsWordEdge(p[length])) return true;
    }
    return false;
}

bool ZKI_SplitString(const char* text, char separator, int index, char* out, int size) {
    if (!text || index < 0 || size < 1) return false;
    const char* start = text;
    for (int i = 0; i < index; ++i) {
        start = strchr(start, separator);
        if (!start) return false;
        ++start;
    }
    const char* end = strchr(start, separator);
    size_t length = end ? size_t(end - start) : strlen(start);
    if (length > size_t(size - 1)) length = size_t(size - 1);
    memcpy(out, start, length);
    out[length] = '\0';
    return true;
}

void ZKI_ReplaceAll(const char* text, const char* from, const char* to, char* out, int size) {
    if (size < 1) return;
    size_t from_length = from ? strlen(from) : 0, to_length = to ? strlen(to) : 0, n = 0;
    for (const char* p = text ? text : ""; *p && n + 1 < size_t(size);) {
        if (from_length && strncmp(p, from, from_length) == 0) {
            for (size_t i = 0; i < to_length && n + 1 < size_t(size); ++i) out[n++] = to[i];
            p += from_length;
        } else {
            out[n++] = *p++;
        }
    }
    out[n] = '\0';
}

double ZKIF_GetInputBitmapScaleFactor(const char* id) {
    static const char prefix[] = "INPUT@";
    if (!id || strncmp(id, prefix, sizeof prefix - 1) != 0) return 1.0;
    char without_x[64], factor[64];
    ZKI_ReplaceAll(id + sizeof prefix - 1, "x", "", without_x, sizeof without_x);
    ZKI_ReplaceAll(without_x, "X", "", factor, sizeof factor);
    return NumberOrFraction(factor, 1.0);
}

const char* ZKIF_SelectBestInputBitmapForScaling(ZK_XMLArray* settings, double scale) {
    const char* held = nullptr;
    double held_factor = 0;
    for (int i = 0; i < GetNumberOfNodes(settings); ++i) {
        const char* id = GetNodeByIndex(settings, i)->id;
        if (!id || strncmp(id, "INPUT", 5) != 0) continue;
        double factor = ZKIF_GetInputBitmapScaleFactor(id);
        if (std::fabs(factor - scale) < 0.01) return id;
        if (!held || (held_factor < scale && factor > held_factor)) {
            held = id;
            held_factor = factor;
        }
    }
    if (held) zk->Printf("Selecting bitmap input '%s' for scale %.2fx (closest match).\n", held, scale);
    return held;
}

bool ZKI_CreateFontGlyphsArrayFromStrings(zk_font_t* font, const char* strings_xml, ZK_XMLArray* additional) {
    ZKI_SetFontGlyphCount(font, 0);
    font->utf8 = 1;
    ZK_XMLArray* strings = GetArray(GetDatabase(&zk_state.databases, strings_xml), "STRINGS");
    if (!strings) return false;
    bool* selected = static_cast<bool*>(calloc(code_points, sizeof(bool)));
    if (!selected) return false;
    for (int i = 0; i < GetNumberOfNodes(strings); ++i) {
        ZK_XMLNode* node = GetNodeByIndex(strings, i);
        const char* from = GetValue(node, "from");
        if (!from) from = node->id ? node->id : "";
        for (const char* p = from; *p; ++p) selected[uint8_t(*p)] = true;
        if (const char* to = GetValue(node, "to")) SelectText(selected, to);
    }
    for (const char* p = always_selected; *p; ++p) selected[uint8_t(*p)] = true;
    for (int i = 0; i < GetNumberOfNodes(additional); ++i) {
        const char* id = GetNodeByIndex(additional, i)->id;
        uint32_t code = 0;
        if (id && !DecodeUtf8(&id, &code)) code = 0;
        SelectCodePoint(selected, code);
    }
    int count = 0;
    for (int code = 0; code < code_points; ++code) count += selected[code];
    bool made = ZKI_SetFontGlyphCount(font, count);
    for (int code = 0, n = 0; made && code < code_points; ++code) {
        if (selected[code]) font->glyphs[n++].code = uint32_t(code);
    }
    free(selected);
    return made;
}

bool ZKI_GenerateFontFromSource(zk_font_t* font, double input_scale) {
    if (!font || !font->name) return false;
    char settings_name[name_size];
    if (snprintf(settings_name, sizeof settings_name, "%s.xml", font->name) >= int(sizeof settings_name)) {
        return Fail(font->name, reason_database);
    }
    zk->Printf("Attempting to generate font from source '%s'\n", settings_name);
    ZK_XMLDatabase* database = GetDatabase(&zk_state.databases, settings_name);
    if (!database || database->arrays.count == 0) return Fail(settings_name, reason_database);
    ZK_XMLArray* settings = GetArray(database, "settings");
    if (!settings) return Fail(settings_name, reason_settings);

    double scale = NumberOrFraction(GetArrayValue(settings, "OUTPUT", "scale"), 1.0) * input_scale;
    if (!(scale >= 0.001 && scale <= 10)) {
        zk->Popupf(1, "ZKI_GenerateFontFromSource: scale factor %g for font %s is invalid. Use values > 0 and < 10.\n",
                   scale, font->name);
        scale = 1.0;
    }
    ZK_XMLNode* input = GetNode(settings, "INPUT");
    bool made = GetValue(input, "ttf") ? RenderFromTrueType(font, database, input, settings_name)
                                       : CutFromPicture(font, database, settings, scale, input_scale, settings_name);
    return made && FinishGlyphs(font, database, settings);
}

}  // namespace manifester
