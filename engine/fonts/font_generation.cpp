// A font generated from its settings XML: the settings, the choice and
// loading of the source picture, then kerning, vertical metrics and
// effects over the glyphs cut out of it.

#include "engine/fonts/font_generation.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/images/image_loader.h"
#include "engine/images/image_sampling.h"
#include "engine/runtime/state.h"
#include "engine/storage/database_manager.h"

using InnerZK::DMArray;
using InnerZK::DMDatabase;
using InnerZK::DMNode;

namespace {

const char kBadSettings[] = "Array 'settings' is missing or has bad parms - see specifications.";
const char kBadGlyphs[] = "Array 'glyphs' is missing or has bad parms - see specifications.";
// The most pixels a source picture is resized to (256 MB).
const int64_t kLargestResizedPicture = int64_t(1) << 26;

// The settings keys, with the defaults of a key that is absent.
struct FontSettings {
    int version = 1;
    const char* tags = "";
    double spacing = 0;
    double auto_kern_threshold = 0.75;
    double y_safezone = 2;
    double line_padding_offset = 0;
    double font_height_multiplier = 1.0;
    double y_offset = 0;
    double output_scale = 1;
};

// A number, or a fraction "a/b".
double ParseNumber(const char* text) {
    const char* slash = strchr(text, '/');
    if (!slash) return atof(text);
    return atof(text) / atof(slash + 1);
}

const char* SettingText(DMArray* settings, const char* id, const char* key) {
    DMNode* node = settings->GetNodeById(id);
    return node ? node->GetValue(key) : nullptr;
}

double SettingNumber(DMArray* settings, const char* id, const char* key, double otherwise) {
    const char* text = SettingText(settings, id, key);
    return text ? ParseNumber(text) : otherwise;
}

FontSettings ReadSettings(DMArray* settings) {
    FontSettings s;
    const char* version = SettingText(settings, "VERSION", "value");
    if (version) s.version = atoi(version);
    const char* tags = SettingText(settings, "TAGS", "value");
    if (tags) s.tags = tags;
    s.spacing = SettingNumber(settings, "SPACING", "value", s.spacing);
    s.auto_kern_threshold = SettingNumber(settings, "AUTO_KERN_THRESHOLD", "value", s.auto_kern_threshold);
    s.y_safezone = SettingNumber(settings, "Y_SAFEZONE", "value", s.y_safezone);
    s.line_padding_offset = SettingNumber(settings, "LINE_PADDING_OFFSET", "value", s.line_padding_offset);
    s.font_height_multiplier = SettingNumber(settings, "FONT_HEIGHT_MULTIPLIER", "value", s.font_height_multiplier);
    s.y_offset = SettingNumber(settings, "Y_OFFSET", "value", s.y_offset);
    s.output_scale = SettingNumber(settings, "OUTPUT", "scale", s.output_scale);
    return s;
}

bool IsWordBoundary(char c) { return c == 0 || c == ' ' || c == ',' || c == ';'; }

bool HasWord(const char* text, const char* word) {
    size_t length = strlen(word);
    for (const char* at = text ? strstr(text, word) : nullptr; at; at = strstr(at + 1, word)) {
        if ((at == text || IsWordBoundary(at[-1])) && IsWordBoundary(at[length])) return true;
    }
    return false;
}

bool StartsWith(const char* text, const char* start) { return strncmp(text, start, strlen(start)) == 0; }

// The folder part of a name ("" when it has none), as a heap text.
char* FolderOf(const char* name) {
    const char* slash = strrchr(name, '/');
    size_t length = slash ? size_t(slash - name) : 0;
    char* folder = static_cast<char*>(malloc(length + 1));
    if (!folder) return nullptr;
    memcpy(folder, name, length);
    folder[length] = 0;
    return folder;
}

char* HeapText(const nString& text) {
    size_t size = strlen(text.c_str()) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy) memcpy(copy, text.c_str(), size);
    return copy;
}

bool FileExists(const nString& path) { return zk->file_system->ZK_FileSystem_FileExists(path.c_str()); }

// Every field generation sets or reads, as a fresh record holds it, and
// `glyph_count` zeroed glyphs. Generation reads the baseline, scale, spread
// and encoding it finds, so a font generated again (say, refreshed after
// its file went) would otherwise build on what it read or made before, such
// as the data manifest's scale or a distance-field file's spread, smoothing
// and flag. Taken only where the new glyphs replace the old ones, so that a
// generation that cannot start leaves the font as it was.
bool StartAsFreshFont(zk_font_t* font, int glyph_count) {
    font->utf8 = 0;
    font->baseline = 0;
    font->height = 0;
    font->line_spacing = 0;
    font->scale = 1.0f;
    font->spread = 0;
    font->smoothing = 0;
    font->flags &= uint8_t(~ZK_FONT_DISTANCE_FIELD);
    return ZKI_ResetFontGlyphs(font, glyph_count);
}

// One generation: the database it reads and the messages it ends with.
class FontGeneration {
public:
    FontGeneration(zk_font_t* font, double input_scale) : font_(font), input_scale_(input_scale) {
        xml_name_.SetFormatted("%s.xml", font->name);
    }
    ~FontGeneration() {
        if (database_) zk_dman.ReleaseDatabase(database_);
        free(folder_);
    }

    bool Run();

private:
    bool Fail(const char* reason) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to generate font from source '%s': %s", xml_name_.c_str(), reason);
        return false;
    }
    double OutputScale() const;
    bool GlyphsFromPicture(double scale, int spacing);
    bool GlyphsFromTrueType();
    void PrepareGlyphs();
    void SetVerticalMetrics();
    void DisableTaggedKerning();

    zk_font_t* font_;
    double input_scale_;
    nString xml_name_;
    char* folder_ = nullptr;
    DMDatabase* database_ = nullptr;
    DMArray* settings_ = nullptr;
    DMArray* glyphs_ = nullptr;
    FontSettings s_;
    float top_ = 0;  // the highest glyph top, which becomes the line's top
};

double FontGeneration::OutputScale() const {
    double scale = s_.output_scale * input_scale_;
    if (scale > 0.001 && scale <= 10) return scale;
    zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                  "ZKI_GenerateFontFromSource: scale factor %g for font %s is invalid. Use values > 0 and < 10.", scale,
                  font_->name);
    return 1.0;
}

bool FontGeneration::GlyphsFromPicture(double scale, int spacing) {
    const char* input = ZKIF_SelectBestInputBitmapForScaling(settings_, float(scale));
    scale /= ZKIF_GetInputBitmapScaleFactor(input);
    if (fabs(scale - 1.0) < 0.01) scale = 1.0;
    zk->ZK_Printf("Adjusted scale with %s is %g.", input, scale);
    const char* bitmap = SettingText(settings_, input, "bitmap");
    if (!bitmap) return Fail(kBadSettings);
    char* path = ZKI_GetFontSourceFullFilePath(bitmap, folder_);
    zk_bitmap_t picture = {};
    picture.name = path;
    bool loaded = path && zk_il && zk_il->LoadImagePixels(&picture, path);
    if (!loaded) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unable to open image file '%s'. Make sure the file '%s' exist.", bitmap,
                      path ? path : bitmap);
    } else if (fabs(scale - 1.0) >= 1e-6) {
        zk_bitmap_t resized = {};
        resized.name = path;
        int width = ZKI_TruncateToInt(picture.width * scale), height = ZKI_TruncateToInt(picture.height * scale);
        if (int64_t(width) * height > kLargestResizedPicture) {
            zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Font source picture '%s' is too large to be resized to %dx%d.", path,
                          width, height);
            loaded = false;
        } else {
            loaded = ZKI_CreateImageResized(&resized, &picture, width, height, 0);
        }
        if (loaded) {
            free(picture.pixels);
            picture = resized;
        }
    }
    bool cut = loaded && StartAsFreshFont(font_, ZK_LATIN1_GLYPHS) &&
               ZKI_LoadGlyphsFromBitmap(font_, &picture, glyphs_, spacing, float(input_scale_));
    free(picture.pixels);
    free(path);
    if (!loaded) return false;
    return cut || Fail(kBadGlyphs);
}

bool FontGeneration::GlyphsFromTrueType() {
    const char* ttf = SettingText(settings_, "INPUT", "ttf");
    zk->ZK_Printf("Using TTF source font '%s'.", ttf);
    char* ttf_path = ZKI_GetFontSourceFullFilePath(ttf, folder_);
    const char* strings = SettingText(settings_, "INPUT", "strings");
    bool usable_strings = strings && strings[0] != '!';
    if (!usable_strings) {
        if (!StartAsFreshFont(font_, ZK_LATIN1_GLYPHS)) {
            free(ttf_path);
            return false;
        }
        int named = glyphs_ ? glyphs_->GetNumberOfNodes() : 0;
        for (int i = 0; i < ZK_LATIN1_GLYPHS; ++i) {
            const char* id = i < named ? glyphs_->GetNodeByIndex(i)->GetValue("id") : nullptr;
            font_->glyphs[i].code = glyphs_ ? uint32_t(id ? atoi(id) : 0) : uint32_t(i);
        }
    } else {
        zk->ZK_Printf("Using input strings from '%s'.", strings);
        nString beside;
        beside.SetFormatted("%s/%s", folder_, strings);
        nString found(strings);
        if (!FileExists(found) && folder_[0] && FileExists(beside)) found = beside;
        if (!FileExists(found)) {
            zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Unable to find font language strings xml source file %s", strings);
        }
        // The strings give the glyphs their codes, and the font its glyphs.
        StartAsFreshFont(font_, 0);
        ZKI_CreateFontGlyphsArrayFromStrings(font_, found.c_str());
    }
    if (settings_->GetNodeById("DISTANCE_FIELD")) {
        const char* reason = nullptr;
        double size_px = SettingNumber(settings_, "DISTANCE_FIELD", "size_px", 0);
        double spread = SettingNumber(settings_, "DISTANCE_FIELD", "spread", 0);
        double smoothing = SettingNumber(settings_, "DISTANCE_FIELD", "smoothing", 0);
        if (s_.version < 2) {
            reason = "Distance field support requires font database version 2 or later.";
        } else if (!(size_px > 0)) {
            reason = "Distance field size_px must be greater than 0.";
        } else if (ZKI_TruncateToInt(spread) == 0) {
            reason = "Distance field spread is invalid.";
        } else if (!(smoothing >= 0)) {
            reason = "Distance field smoothing is invalid.";
        }
        if (reason) {
            free(ttf_path);
            return Fail(reason);
        }
        font_->spread = float(ZKI_TruncateToInt(spread));
        font_->smoothing = float(smoothing);
    }
    bool rendered = ZKI_CreateFontGlyphBitmapsFromTTF(font_, ttf_path, ZKI_TruncateToInt(SettingNumber(
                                                                           settings_, "INPUT", "size_px", 0))) != 0;
    free(ttf_path);
    return rendered;
}

bool IsDistanceField(const zk_font_t* font) { return font->spread > 0; }

bool HasGlyphPixels(const zk_glyph_t& glyph) {
    return glyph.bitmap.pixels && glyph.bitmap.width > 0 && glyph.bitmap.height > 0;
}

// Clean edges, and for LATIN-1 fonts a fresh zeroed kerning table per
// glyph.
void FontGeneration::PrepareGlyphs() {
    for (int i = 0; i < font_->num_glyphs; ++i) {
        zk_glyph_t& glyph = font_->glyphs[i];
        ZKI_FixAlphaBleeding(&glyph.bitmap);
        if (HasGlyphPixels(glyph)) ZKI_ForceLowAlphaToZero(&glyph.bitmap, 4);
        free(glyph.kern);
        glyph.kern = font_->utf8 ? nullptr : static_cast<int8_t*>(calloc(size_t(font_->num_glyphs), 1));
    }
}

void FontGeneration::SetVerticalMetrics() {
    bool any = false;
    for (int i = 0; i < font_->num_glyphs; ++i) {
        const zk_glyph_t& glyph = font_->glyphs[i];
        if (!HasGlyphPixels(glyph)) continue;
        if (!any || glyph.y_offset < top_) top_ = glyph.y_offset;
        any = true;
    }
    if (!IsDistanceField(font_)) top_ = top_ - 2 < 0 ? 0 : top_ - 2;
    int shift = ZKI_TruncateToInt(s_.y_offset * input_scale_);
    float scale = font_->scale > 0 ? font_->scale : 1.0f;
    int height = 0, tallest = 0;
    for (int i = 0; i < font_->num_glyphs; ++i) {
        zk_glyph_t& glyph = font_->glyphs[i];
        glyph.y_offset += float(shift) / scale;
        if (!HasGlyphPixels(glyph)) continue;
        glyph.y_offset -= top_;
        int reach = glyph.bitmap.height + ZKI_TruncateToInt(std::ceil(glyph.y_offset));
        if (reach > height) height = reach;
        if (glyph.bitmap.height > tallest) tallest = glyph.bitmap.height;
    }
    if (s_.version == 1) {
        height = tallest;
    } else {
        height -= ZKI_TruncateToInt(float(shift) / scale);
        if (!IsDistanceField(font_)) height -= 2;
    }
    height = ZKI_TruncateToInt(s_.font_height_multiplier * height);
    if (IsDistanceField(font_)) height += 1;
    font_->height = height;
}

void FontGeneration::DisableTaggedKerning() {
    for (int node = 0; glyphs_ && node < glyphs_->GetNumberOfNodes(); ++node) {
        DMNode* description = glyphs_->GetNodeByIndex(node);
        const char* id_text = description->GetValue("id");
        if (!id_text || !HasWord(description->GetValue("tags"), "DISABLE_AUTOKERN")) continue;
        int id = atoi(id_text);
        if (id < 0 || id >= font_->num_glyphs) continue;
        for (int other = 0; other < font_->num_glyphs; ++other) {
            if (font_->glyphs[id].kern) font_->glyphs[id].kern[other] = 0;
            if (font_->glyphs[other].kern) font_->glyphs[other].kern[id] = 0;
        }
    }
}

bool FontGeneration::Run() {
    zk->ZK_Printf("Attempting to generate font from source '%s'", xml_name_.c_str());
    folder_ = FolderOf(xml_name_.c_str());
    database_ = zk_dman.GetDatabase(xml_name_.c_str());
    if (!folder_ || database_->GetNumberOfArrays() == 0) {
        return Fail("Font database not found or doesn't contain any arrays.");
    }
    settings_ = database_->GetArrayById("settings");
    if (!settings_) return Fail(kBadSettings);
    glyphs_ = database_->GetArrayById("glyphs");
    s_ = ReadSettings(settings_);
    if (s_.version <= 0) return Fail("Font database is of invalid version.");
    int safezone = ZKI_TruncateToInt(s_.y_safezone * input_scale_);
    if (safezone < 1) safezone = 1;
    double scale = OutputScale();
    int spacing = ZKI_TruncateToInt(s_.spacing * scale + 0.4);
    if (spacing == 0 && s_.spacing >= 1) spacing = 1;

    bool cut;
    if (SettingText(settings_, "INPUT", "ttf")) {
        cut = GlyphsFromTrueType();
    } else if (SettingText(settings_, "INPUT", "bitmap")) {
        cut = glyphs_ ? GlyphsFromPicture(scale, spacing) : Fail(kBadGlyphs);
    } else {
        cut = Fail(kBadSettings);
    }
    if (!cut) return false;

    PrepareGlyphs();
    if (!HasWord(s_.tags, "DISABLE_KERN_PAIRING")) {
        ZKI_DetermineKernPairs(font_, 0, float(s_.auto_kern_threshold), safezone);
    }
    for (int i = 0; font_->utf8 && i < font_->num_glyphs; ++i) {
        zk_glyph_t& glyph = font_->glyphs[i];
        if (glyph.code > 255) glyph.advance = int16_t(glyph.advance + spacing);
    }
    SetVerticalMetrics();
    ZKI_ApplyFontEffects(font_, database_->GetArrayById("effects"));
    DisableTaggedKerning();

    if (font_->baseline == 0) {
        font_->baseline = int(std::lround(0.9 * font_->height));
    } else {
        font_->baseline = font_->baseline - int(std::lround(top_)) + 2 + (IsDistanceField(font_) ? 0 : 1);
    }
    double font_scale = font_->scale;
    font_->baseline = ZKI_TruncateToInt(font_->baseline * font_scale);
    font_->line_spacing = ZKI_TruncateToInt((s_.line_padding_offset + font_->height) * font_scale);
    font_->height = ZKI_TruncateToInt(font_->height * font_scale);
    return true;
}

}  // namespace

bool ZKI_GenerateFontFromSource(zk_font_t* font, double input_scale) {
    if (!font || !font->name) return false;
    FontGeneration generation(font, input_scale);
    return generation.Run();
}

char* ZKI_GetFontSourceFullFilePath(const char* file, const char* dir) {
    if (!file) return nullptr;
    nString path(file);
    if (FileExists(path)) return HeapText(path);
    if (dir && dir[0]) {
        size_t length = strlen(dir);
        path.SetFormatted(dir[length - 1] == '/' ? "%s%s" : "%s/%s", dir, file);
        if (FileExists(path)) return HeapText(path);
    }
    path.SetFormatted("../build/%s", file);
    if (FileExists(path)) return HeapText(path);
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unable to find font source file %s.", file);
    return HeapText(nString(file));
}

double ZKIF_GetInputBitmapScaleFactor(const char* id) {
    if (!id || !StartsWith(id, "INPUT@")) return 1.0;
    char number[64];
    size_t length = 0;
    for (const char* c = id + 6; *c && length + 1 < sizeof number; ++c) {
        if (*c != 'x' && *c != 'X') number[length++] = *c;
    }
    number[length] = 0;
    double factor = ParseNumber(number);
    return std::isfinite(factor) && factor > 0 ? factor : 1.0;
}

const char* ZKIF_SelectBestInputBitmapForScaling(DMArray* settings, float scale) {
    const char* taken = nullptr;
    double taken_factor = 0;
    for (int i = 0; settings && i < settings->GetNumberOfNodes(); ++i) {
        const char* id = settings->GetNodeByIndex(i)->id;
        if (!id || !StartsWith(id, "INPUT")) continue;
        double factor = ZKIF_GetInputBitmapScaleFactor(id);
        if (fabs(factor - scale) < 0.01) return id;
        // A larger picture scaled down is better than a smaller one scaled up.
        if (!taken || (taken_factor < scale && factor > taken_factor)) {
            taken = id;
            taken_factor = factor;
        }
    }
    if (taken) zk->ZK_Printf("Selecting bitmap input '%s' for scale %.2fx (closest match).", taken, double(scale));
    return taken;
}

int ZKI_CreateFontGlyphsArrayFromStrings(zk_font_t*, const char*) {
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZKI_CreateFontGlyphsArrayFromStrings not available.");
    return 0;
}

int ZKI_CreateFontGlyphBitmapsFromTTF(zk_font_t*, const char*, int) {
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZKI_CreateFontGlyphBitmapsFromTTF not available.");
    return 0;
}

int ZKI_CreateFontSourceBitmapFromTTF(zk_font_t*, const char*, int) {
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZKI_CreateFontSourceBitmapFromTTF not available.");
    return 0;
}
