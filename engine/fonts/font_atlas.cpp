// A font's glyphs on their way to the renderer: packed into the font's
// atlas (or, with packing off, each its own texture), uploaded on the
// renderer thread or queued for it, and the small letters a LATIN-1 font
// lacks standing in for by its capitals.

#include <cstdlib>
#include <cstring>

#include "engine/bitmaps/bitmap_api.h"
#include "engine/bitmaps/bitmap_packing.h"
#include "engine/images/bitmap_pool.h"
#include "engine/bitmaps/bitmap_upload.h"
#include "engine/fonts/fonts.h"
#include "engine/render/resource_queues.h"
#include "engine/runtime/state.h"

namespace {

const int kMostAtlasGlyphs = 4096;
const int kSmallLetters = 'a', kLastSmallLetter = 'z', kToCapital = 32;

bool HasPixels(const zk_bitmap_t& bitmap) { return bitmap.pixels && bitmap.width > 0 && bitmap.height > 0; }

// The atlas's texture becomes every glyph's; their rectangles came with
// the packing.
void ShareAtlasTexture(zk_font_t* font) {
    const zk_bitmap_t::hw_data_t& atlas = font->atlas.hw_data;
    for (int i = 0; font->glyphs && i < font->num_glyphs; ++i) {
        zk_bitmap_t::hw_data_t& hw = font->glyphs[i].bitmap.hw_data;
        hw.loaded = atlas.loaded;
        hw.renderer_data = atlas.renderer_data;
        hw.texture_width = atlas.texture_width;
        hw.texture_height = atlas.texture_height;
    }
}

// The upload itself, where the renderer may be called.
void UploadNow(zk_font_t* font) {
    if (!ZKI_TryRegainRenderer()) return;
    if (HasPixels(font->atlas)) {
        ZKI_LoadBitmapToHardware(&font->atlas);
        ShareAtlasTexture(font);
        font->atlas.state = ZK_BITMAP_READY;
        return;
    }
    // Without packing every glyph is a texture of its own; glyph bitmaps
    // have no name, which the bitmap upload goes by, so the renderer is
    // called directly.
    for (int i = 0; font->glyphs && i < font->num_glyphs; ++i) {
        zk_bitmap_t& bitmap = font->glyphs[i].bitmap;
        if (!HasPixels(bitmap)) continue;
        bitmap.state = ZK_BITMAP_LOADING;
        ZKI_CallRendererToLoadBitmap(&bitmap);
        bitmap.state = ZK_BITMAP_READY;
    }
}

// The glyph bitmaps that have pixels, in glyph order; at most
// kMostAtlasGlyphs of them.
int CollectGlyphBitmaps(zk_font_t* font, zk_bitmap_t** list) {
    int count = 0;
    for (int i = 0; font->glyphs && i < font->num_glyphs; ++i) {
        if (!HasPixels(font->glyphs[i].bitmap)) continue;
        if (count == kMostAtlasGlyphs) {
            zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                          "ZKI_RecreateFontAtlas too many glyphs (%d) in font '%s' for bitmap buffer. Ignoring some of "
                          "them.",
                          font->num_glyphs, font->name);
            break;
        }
        list[count++] = &font->glyphs[i].bitmap;
    }
    return count;
}

// A small letter the font lacks draws and kerns as its capital. The stand-in
// shares the capital's place in the atlas (or its texture) but owns no
// pixels, so that freeing the font frees every block once, and packing the
// font again leaves it out and makes it anew.
void LetCapitalsStandInForSmallLetters(zk_font_t* font) {
    if (font->utf8 || font->num_glyphs != ZK_LATIN1_GLYPHS || !font->glyphs) return;
    zk_glyph_t* glyphs = font->glyphs;
    for (int small = kSmallLetters; small <= kLastSmallLetter; ++small) {
        zk_glyph_t& letter = glyphs[small];
        const zk_glyph_t& capital = glyphs[small - kToCapital];
        if (HasPixels(letter.bitmap) || !HasPixels(capital.bitmap)) continue;
        free(letter.bitmap.pixels);
        free(letter.kern);
        letter = capital;
        letter.bitmap.pixels = nullptr;
        letter.kern = nullptr;
        if (capital.kern) {
            letter.kern = static_cast<int8_t*>(malloc(ZK_LATIN1_GLYPHS));
            if (letter.kern) memcpy(letter.kern, capital.kern, ZK_LATIN1_GLYPHS);
        }
        for (int i = 0; i < ZK_LATIN1_GLYPHS; ++i) {
            if (glyphs[i].kern) glyphs[i].kern[small] = glyphs[i].kern[small - kToCapital];
        }
    }
}

}  // namespace

void ZKI_AddUploadFontToHardwareUploadQueue(zk_font_t* font) {
    if (!font) return;
    ZK_ResourceQueueLock lock;
    if (ZKI_IsQueued(zk_state.font_upload_queue, font)) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Font '%s' already exists in upload queue, not adding twice.",
                           font->name);
        return;
    }
    zk_state.font_upload_queue.InsertLast(font);
}

void ZKI_LoadFontToHardware(zk_font_t* font) {
    if (!font) return;
    if (!ZKI_CanCallRendererForBitmaps()) {
        ZKI_AddUploadFontToHardwareUploadQueue(font);
        return;
    }
    UploadNow(font);
}

void ZKI_UploadQueuedFont(zk_font_t* font) {
    if (!font) return;
    ZKI_LockFont(font);
    // A font freed while it waited has nothing left to upload; the pass
    // took the entry off the queue, so a pass run where the renderer may
    // not be called puts it back for the next frame.
    if (font->name) ZKI_LoadFontToHardware(font);
    ZKI_UnlockFont(font);
}

void ZKI_UploadQueuedFonts() {
    zk_font_t* copy[ZK_UPLOADS_PER_FRAME];
    int count = ZKI_CopyFirstUploads(zk_state.font_upload_queue, copy);
    for (int i = 0; i < count; ++i) {
        // Taken off first: a font queued again while it goes up (its atlas
        // made anew on another thread) then stays queued for the next frame
        // instead of being turned away as a duplicate and lost.
        ZKI_RemoveFirstUpload(zk_state.font_upload_queue, copy[i]);
        ZKI_UploadQueuedFont(copy[i]);
    }
}

bool ZKI_RecreateFontAtlas(zk_font_t* font) {
    if (!font || font->height < 1) return false;
    zk_bitmap_t** list = static_cast<zk_bitmap_t**>(malloc(sizeof(zk_bitmap_t*) * kMostAtlasGlyphs));
    if (!list) return false;
    ZKI_LockFont(font);
    int count = CollectGlyphBitmaps(font, list);
    if (font->atlas.hw_data.loaded) {
        ZKI_ReleaseBitmapHardwareData(&font->atlas);
        ShareAtlasTexture(font);  // no glyph keeps the texture that goes
    }
    bool packed = false;
    if (zk_state.pack_bitmaps) {
        int largest = zk->graphics->ZK_Graphics_GetMaximumTextureSize();
        packed = ZKI_PackBitmaps(&font->atlas, list, count, largest, largest);
        if (packed) font->atlas.state = ZK_BITMAP_LOADING;
    }
    if (packed || !zk_state.pack_bitmaps) {
        ZKI_LoadFontToHardware(font);
    }
    if (packed) LetCapitalsStandInForSmallLetters(font);
    ZKI_UnlockFont(font);
    free(list);
    return true;
}

// Renderer start, on the renderer thread: glyph bitmaps have no name for
// the bitmap upload to go by, so they are handed to the renderer directly.
void ZKI_LoadFontsGPUResources() {
    for (int i = 0; i < zk_fonts_state.extensions.count; ++i) {
        nArray<zk_glyph_t*>& glyphs = zk_fonts_state.extensions.items[i]->glyphs;
        for (int g = 0; g < glyphs.count; ++g) {
            zk_bitmap_t& bitmap = glyphs.items[g]->bitmap;
            if (!bitmap.hw_data.loaded && HasPixels(bitmap)) ZKI_CallRendererToLoadBitmap(&bitmap);
        }
    }
}
