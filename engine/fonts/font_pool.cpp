// The 32 font records: taking and freeing slots, glyph arrays, the per-font
// lock and the release of fonts by reference count.

#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/images/bitmap_pool.h"
#include "engine/fonts/fonts.h"
#include "engine/bitmaps/bitmap_api.h"
#include "engine/render/resource_queues.h"
#include "engine/runtime/state.h"

namespace {

char* CopyName(const char* name) {
    size_t size = strlen(name) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy) memcpy(copy, name, size);
    return copy;
}

void PrintCountChange(const char* format, const zk_font_t* font) {
    if (zk_state.print_reference_count_changes) zk->ZK_Printf(format, font->name, font->reference_count);
}

// Glyphs uploaded one by one (no atlas) own their textures; a glyph
// without pixels of its own (a small letter standing in for its capital)
// owns none.
void FreeGlyphTextures(zk_font_t* font) {
    if (font->atlas.width != 0 || !font->glyphs) return;
    for (int i = 0; i < font->num_glyphs; ++i) {
        zk_bitmap_t& bitmap = font->glyphs[i].bitmap;
        if (!bitmap.pixels) continue;
        if (bitmap.hw_data.loaded || bitmap.hw_data.renderer_data) ZKI_CallRendererToFreeBitmap(&bitmap.hw_data);
    }
}

}  // namespace

zk_glyph_t* ZKI_AllocateGlyphs(int64_t count) {
    if (count <= 0) return nullptr;
    if (uint64_t(count) > SIZE_MAX / sizeof(zk_glyph_t)) return nullptr;
    zk_glyph_t* glyphs = static_cast<zk_glyph_t*>(calloc(size_t(count), sizeof(zk_glyph_t)));
    if (!glyphs) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Not enough memory for %lld glyph records.",
                           static_cast<long long>(count));
    }
    return glyphs;
}

void ZKI_FreeFontGlyphs(zk_font_t* font) {
    if (!font) return;
    for (int i = 0; font->glyphs && i < font->num_glyphs; ++i) {
        free(font->glyphs[i].bitmap.pixels);
        free(font->glyphs[i].kern);
    }
    free(font->glyphs);
    font->glyphs = nullptr;
    font->num_glyphs = 0;
}

bool ZKI_ResetFontGlyphs(zk_font_t* font, int count) {
    ZKI_FreeFontGlyphs(font);
    font->glyphs = ZKI_AllocateGlyphs(count);
    if (!font->glyphs) return count <= 0;
    font->num_glyphs = count;
    return true;
}

zk_font_t* ZKI_CreateNewFont(const char* name) {
    int slot = 0;
    while (slot < zk_state.num_fonts && zk_state.fonts[slot].name) ++slot;
    if (slot >= ZK_MAX_FONTS) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Out of free fonts.");
        return nullptr;
    }
    char* copy = CopyName(name ? name : "");
    if (!copy) return nullptr;
    if (slot == zk_state.num_fonts) ++zk_state.num_fonts;
    zk_font_t* font = &zk_state.fonts[slot];
    memset(font, 0, sizeof *font);
    font->name = copy;
    font->hash = nStringHash(copy);
    font->scale = 1.0f;
    font->state = ZK_FONT_CREATED;
    font->slot = uint32_t(slot);
    font->reference_count = 1;
    return font;
}

void ZKI_FONTS_ReleaseFont(zk_font_t* font) {
    if (!font) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Trying to release null font in ZKI_FONTS_ReleaseFont.");
        return;
    }
    zk->ZK_PrintDebugf(ZK_MESSAGE_INFO, "Releasing font '%s'...", font->name ? font->name : "");
    // Held while the glyphs go: the renderer thread may be uploading them.
    ZKI_LockFont(font);
    {
        // A queued upload of a font that is gone would find nothing.
        ZK_ResourceQueueLock lock;
        zk_state.font_upload_queue.RemoveItem(font);
    }
    FreeGlyphTextures(font);
    ZKI_FreeFontGlyphs(font);
    zk->graphics->ZK_Graphics_ReleaseBitmap(&font->atlas);
    free(font->name);
    font->name = nullptr;
    ZKI_UnlockFont(font);
}

bool ZKI_LockFont(zk_font_t* font) {
    if (font) ZKI_LockRecordFlag(&font->locked);
    return true;
}

void ZKI_UnlockFont(zk_font_t* font) {
    if (!font || ZKI_UnlockRecordFlag(&font->locked)) return;
    if (zk->ZKI_IsDeveloperModeEnabled()) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZKI_UnlockFont called on unlocked font ('%s').",
                      font->name ? font->name : "NULL");
    }
}

void ZK_Graphics_ReleaseFont(zk_font_t* font) {
    if (!font) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZK_Graphics_ReleaseFont: font is null.");
        return;
    }
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
    if (!zk_state.reference_counting) {
        ZKI_FONTS_ReleaseFont(font);
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
        return;
    }
    --font->reference_count;
    PrintCountChange("ZK_Graphics_ReleaseFont '%s' ref count--, now %d.", font);
    if ((font->flags & ZK_FONT_COUNTED_BY_GET) && font->reference_count == 0) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "ZK_Graphics_ReleaseFont: font '%s' has been released too many times: ref counting will get "
                      "messed up. NOTE: font has been accessed using GetFont() which increses ref count by 1 once.",
                      font->name);
    }
    if (font->reference_count == 0) {
        // Hibernating: the font keeps its slot, glyphs and atlas.
        zk->ZK_Printf("ZK_Graphics_ReleaseFont: hibernating Font '%s'.", font->name);
    } else if (font->reference_count < 0) {
        font->reference_count = 0;
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZK_Graphics_ReleaseFont: reference count of font '%s' is less than zero.",
                      font->name);
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_FONT);
}

void ZKI_FreeFonts() {}
void ZKI_OptimizeFontForSearches(zk_font_t*) {}
bool ZKI_LoadFontXML(zk_font_t*) { return false; }
