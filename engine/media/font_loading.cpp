// Filling a font record: from its font file, else generated from source,
// saved and read back; then rescaled to the height the data manifest gives.

#include <cstdlib>
#include <cstring>

#include "engine/media/bitmap_pool.h"
#include "engine/media/font_files.h"
#include "engine/media/font_generation.h"
#include "engine/media/fonts.h"
#include "engine/runtime/state.h"
#include "engine/storage/data_manifests.h"
#include "engine/storage/filesystem_api.h"

namespace {

const int kSmallestRescaledHeight = 2;

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
