// Fonts by name (shared, counted) and the filling of a font record: from
// its font file, else generated from source, saved and read back; then
// rescaled to the height the data manifest gives.

#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/images/bitmap_pool.h"
#include "engine/fonts/font_files.h"
#include "engine/fonts/font_generation.h"
#include "engine/fonts/fonts.h"
#include "engine/runtime/state.h"
#include "engine/storage/data_manifests.h"
#include "engine/storage/filesystem_api.h"

namespace {

const int kSmallestRescaledHeight = 2;

bool IsPlaceholderName(const char* name) { return name[0] == '!'; }

bool IsFontFileName(const char* path) { return strstr(path, ".mft") != nullptr; }

// The font file, else one generation from source; a generated font is
// saved as its file and read back from it.
bool ReadOrGenerate(zk_font_t* font, const char* path) {
    for (bool generated = false;; generated = true) {
        if (IsFontFileName(path) && ZKI_LoadFontMFT(font)) return true;
        if (generated || !ZKI_GenerateFontFromSource(font, 1.0)) return false;
        // Only a font file is ever read back: saving under any other name
        // would write over a file that is not a font.
        if (!IsFontFileName(path)) return false;
        zk->graphics->ZK_Graphics_SaveFont(font, ZKI_GetFileFullPath(font->name, false));
    }
}

// Glyph bitmaps are 2D colour textures, one level deep.
void DescribeGlyphBitmaps(zk_font_t* font) {
    for (int i = 0; font->glyphs && i < font->num_glyphs; ++i) {
        zk_bitmap_t& bitmap = font->glyphs[i].bitmap;
        bitmap.depth = 1;
        bitmap.format = ZK_TEXTURE_FORMAT_COLOR;
        bitmap.type = ZK_TEXTURE_2D;
        bitmap.renderer_hint = 1;
    }
}

}  // namespace

void ZKI_UpdateFontAccordingToDataManifest(zk_font_t* font) {
    if (!font || font->height < kSmallestRescaledHeight || font->spread > 0) return;
    InnerZK::DMNode* node = ZKI_GetDataManifestNode(font->name);
    const char* text = node ? node->GetValue("h") : nullptr;
    int height = text ? atoi(text) : 0;
    if (height < kSmallestRescaledHeight) return;
    float ratio = float(height) / float(font->height);
    font->scale = ratio;
    font->height = height;
    font->line_spacing = ZKI_TruncateToInt(double(font->line_spacing) * ratio);
    font->baseline = ZKI_TruncateToInt(double(font->baseline) * ratio);
}

bool ZKI_LoadFont(zk_font_t* font, const char* path) {
    if (!font || !path) return false;
    bool loaded = strstr(path, "!NONE") || ReadOrGenerate(font, path);
    if (loaded) {
        ZKI_UpdateFontAccordingToDataManifest(font);
        zk->ZK_Printf("Font size %dpx.", font->height);
    } else {
        zk->ZK_Printf("Failed: bad or unfound font file '%s'", path);
    }
    DescribeGlyphBitmaps(font);
    return loaded;
}

namespace {

// How a font was asked for: GetFont counts a caller once, LoadFont each
// time, and their messages differ.
struct FontRequest {
    bool through_get;
    const char* counted;
    const char* created;
    const char* caching;
};
const FontRequest kGetFont = {true, "'%s' ref count++ (GetFont): now %d", "'%s' ref count = 1 (GetFont)",
                              "..caching font '%s'"};
const FontRequest kLoadFont = {false, "'%s' ref count++: now %d", "'%s' ref count = 1", "..caching font '%s' "};

// The pooled font of that name, counted; null when none (GET_FONT held).
zk_font_t* FindFontLocked(const char* name, const FontRequest& request) {
    uint32_t hash = nStringHash(name);
    for (int i = 0; i < zk_state.num_fonts && i < ZK_MAX_FONTS; ++i) {
        zk_font_t* font = &zk_state.fonts[i];
        if (!font->name || font->hash != hash || strcmp(font->name, name) != 0) continue;
        bool counted_once = request.through_get && (font->flags & ZK_FONT_COUNTED_BY_GET);
        if (!IsPlaceholderName(name) && !counted_once && font->reference_count < INT16_MAX) {
            ++font->reference_count;
            if (zk_state.print_reference_count_changes) zk->ZK_Printf(request.counted, name, font->reference_count);
        }
        return font;
    }
    return nullptr;
}

zk_font_t* FontByName(const char* name, const FontRequest& request) {
    if (!name) name = "";
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
    zk_font_t* font = FindFontLocked(name, request);
    if (font) {
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
        return font;
    }
    font = ZKI_CreateNewFont(name);
    if (font) {
        if (zk_state.print_reference_count_changes) zk->ZK_Printf(request.created, name);
        if (request.through_get) font->flags |= ZK_FONT_COUNTED_BY_GET;
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
    if (!font) return nullptr;

    zk_file_info_t info;
    if (zk->ZKI_IsDeveloperModeEnabled() && zk->file_system->ZK_FileSystem_GetFileInfo(name, &info)) {
        font->time_modified = info.modification_time;
    }
    zk->ZK_Printf(request.caching, name);
    font->cache_mode = int8_t(zk_state.default_bitmap_cache_mode);
    ZKI_ResetFontGlyphs(font, ZK_LATIN1_GLYPHS);
    if (!ZKI_LoadFont(font, name)) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZK_Graphics_RefreshFont: failed to load font '%s'.", name);
    }
    ZKI_RecreateFontAtlas(font);
    return font;
}

}  // namespace

zk_font_t* ZKI_GetFont(const char* name) { return FontByName(name, kGetFont); }
zk_font_t* ZKI_LoadFont(const char* name) { return FontByName(name, kLoadFont); }
zk_font_t* ZK_Graphics_GetFont(const char* name) { return ZKI_GetFont(name); }
zk_font_t* ZK_Graphics_LoadFont(const char* name) { return ZKI_LoadFont(name); }

void ZKI_RefreshFont(zk_font_t* font) {
    // A freed record has no name to be read again from.
    if (!font || !font->name) return;
    // The glyphs are replaced while the renderer thread may be uploading
    // the font from the queue.
    ZKI_LockFont(font);
    bool loaded = ZKI_LoadFont(font, font->name);
    ZKI_UnlockFont(font);
    if (!loaded) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZK_Graphics_RefreshFont: failed to load font '%s'.", font->name);
    }
    ZKI_RecreateFontAtlas(font);
}

void ZK_Graphics_RefreshFont(zk_font_t* font) { ZKI_RefreshFont(font); }
